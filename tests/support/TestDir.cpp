#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

TestDir::TestDir() = default;

QString TestDir::file(const QString &name) const
{
    return QDir(m_dir.path()).filePath(name);
}

void TestDir::write(const QString &name, const QByteArray &bytes) const
{
    const QString path = file(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

} // namespace testsupport
