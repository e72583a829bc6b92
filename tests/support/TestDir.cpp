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

void TestDir::writeInstallation(const QString &printerType, const QString &extraLines) const
{
    const QString inf = QStringLiteral("Datos:%1/\r\nImpresora:%2\r\nPuerto:COM1\r\n"
                                       "80Columnas:-1\r\nSerial:Z1B1234567\r\nCaja:1\r\n")
                            .arg(path(), printerType) +
                        extraLines;
    write(QStringLiteral("Vextora.inf"), inf.toUtf8());
    write(QStringLiteral("KardolenTerminalUpd.inf"), QByteArray());
}

} // namespace testsupport
