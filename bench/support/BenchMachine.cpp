#include "BenchMachine.h"

#include <QFile>

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

} // namespace bench
