#include "support/Installation.h"

#include <QFile>

namespace testsupport {

Installation::Installation(const QString &printerType, const QByteArray &simIni, double scale)
    : m_type(printerType)
{
    m_dir.write(QStringLiteral("Vextora.inf"),
                QStringLiteral("Datos:%1/\r\nImpresora:%2\r\nPuerto:COM1\r\n80Columnas:-1\r\n"
                               "Serial:Z1B1234567\r\nCaja:1\r\n")
                    .arg(m_dir.path(), printerType)
                    .toUtf8());
    m_dir.write(QStringLiteral("KardolenTerminalUpd.inf"), QByteArray());
    m_dir.write(QStringLiteral("robot-fiscal.ini"),
                QStringLiteral("[driver]\nLibrary=%1\n[timing]\nScale=%2\n")
                    .arg(QStringLiteral(FISCALSIM_LIBRARY))
                    .arg(scale)
                    .toUtf8());
    writeSimIni(simIni);
    m_main = std::make_unique<MainDatabase>(m_dir.file(QStringLiteral("Base de Datos.dba")));
    m_main->setCompany(QStringLiteral("J123456789"));
    m_local = std::make_unique<MainDatabase>(m_dir.file(QStringLiteral("Vextora.dba")),
                                             QStringLiteral("local-schema.sql"));
}

void Installation::writeSimIni(const QByteArray &extra) const
{
    m_dir.write(QStringLiteral("fiscalsim.ini"),
                "[printer]\nType=" + m_type.toLatin1() + "\nSerial=Z1B1234567\n" + extra);
}

QStringList Installation::journalEntries() const
{
    QFile f(m_dir.file(QStringLiteral("fiscalsim.log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
        if (!line.isEmpty())
            out << line;
    return out;
}

QStringList Installation::sentCommands() const
{
    QStringList out;
    for (const QString &line : journalEntries()) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.value(0) == QLatin1String("SendCmd"))
            out << f.value(1);
    }
    return out;
}

} // namespace testsupport
