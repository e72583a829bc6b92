#include "support/Installation.h"

#include "db/Schema.h"

#include <QFile>
#include <QJsonDocument>

namespace testsupport {

namespace {
QString read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

Installation::Installation() : Installation(Setup()) {}

Installation::Installation(const Setup &setup) : m_type(setup.type)
{
    m_dir.writeInstallation(setup.type);
    m_dir.write(QStringLiteral("robot-fiscal.ini"),
                "[driver]\nLibrary=" FISCALSIM_LIBRARY "\n[timing]\nScale=0.01\n" + setup.robotIni);
    writeSimIni(setup.simIni);
    const QString main = file(QStringLiteral("Base de Datos.dba"));
    db::Schema::createDatabase(main, {db::Schema::mainSchema()});
    db::Schema::createDatabase(file(QStringLiteral("Vextora.dba")), {db::Schema::localSchema()});
    m_rows = std::make_unique<MainRows>(QStringLiteral("QSQLITE"), main);
    m_rows->setCompany(QStringLiteral("J123456789"));
    m_rows->setRates(16.0, 8.0, 31.0);
}

void Installation::writeSimIni(const QByteArray &extra) const
{
    m_dir.write(QStringLiteral("fiscalsim.ini"),
                "[printer]\nType=" + m_type.toLatin1() + "\nSerial=Z1B1234567\n" + extra);
}

QList<QStringList> Installation::simLog() const
{
    QList<QStringList> out;
    for (const QString &line : read(file(QStringLiteral("fiscalsim.log"))).split(u'\n'))
        if (!line.isEmpty())
            out << line.split(u'\t');
    return out;
}

QStringList Installation::sentCommands() const
{
    QStringList out;
    for (const QStringList &f : simLog())
        if (f.value(0) == QLatin1String("SendCmd"))
            out << f.value(1) + (f.value(2) == QLatin1String("1") ? QString()
                                                                  : QStringLiteral(" [refused]"));
    return out;
}

QString Installation::paper() const
{
    return read(file(QStringLiteral("fiscalsim-paper.txt")));
}

QJsonObject Installation::fiscalMemory() const
{
    return QJsonDocument::fromJson(read(file(QStringLiteral("fiscalsim.state"))).toUtf8()).object();
}

} // namespace testsupport
