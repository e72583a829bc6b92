#include "BenchMachine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace bench {

QByteArray BenchMachine::loadAverage()
{
    const QByteArray text = readFile(QStringLiteral("/proc/loadavg"));
    return text.isEmpty() ? QByteArray("?") : text.split(' ').mid(0, 3).join(' ');
}

QByteArray BenchMachine::readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString BenchMachine::builtRobot(const QString &simulatorLibrary)
{
    const QString path = QFileInfo(simulatorLibrary).dir().filePath(QStringLiteral("robot-fiscal"));
    if (QFileInfo(path).isExecutable())
        return path;
    std::fprintf(stderr, "%s is not built\n", qPrintable(path));
    return QString();
}

} // namespace bench
