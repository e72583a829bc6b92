#include "support/Installation.h"

#include "db/PrintJournal.h"
#include "db/Schema.h"
#include "support/PostgresCluster.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>

namespace testsupport {

namespace {
QString read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

Installation::Installation() : Installation(Setup()) {}

Installation::Installation(const Setup &setup)
    : m_type(setup.type), m_engine(setup.sharing ? setup.sharing->m_engine : setup.engine)
{
    const QString data = setup.sharing ? setup.sharing->path() : path();
    write(QStringLiteral("Vextora.inf"),
          QStringLiteral("Datos:%1/\r\nImpresora:%2\r\nPuerto:COM1\r\n80Columnas:-1\r\n"
                         "Serial:Z1B1234567\r\nCaja:%3\r\n")
              .arg(data, setup.type)
              .arg(setup.fiscalMachine)
              .toUtf8());
    write(QStringLiteral("KardolenTerminalUpd.inf"), QByteArray());
    QByteArray ini = "[driver]\nLibrary=" FISCALSIM_LIBRARY "\n[timing]\nScale=0.01\n";
    // The idle printer's readings would take the faults a test sets for a
    // document's uploads: off unless the test asks for them.
    if (!setup.robotIni.contains("PrinterProbe"))
        ini += "PrinterProbe=0\n";
    if (setup.sharing) {
        m_main = setup.sharing->m_main;
    } else if (m_engine == Engine::Sqlite) {
        m_main = file(QStringLiteral("Base de Datos.dba"));
        db::Schema::createDatabase(m_main, {db::Schema::mainSchema(), setup.rows});
    } else {
        m_cluster = setup.cluster ? setup.cluster : &PostgresCluster::shared();
        m_database = m_cluster->createDatabase();
        m_main = m_cluster->url(m_database);
        db::Schema::createPostgresDatabase(m_main, {db::Schema::mainSchema(), setup.rows});
    }
    if (m_engine == Engine::Postgres)
        ini += "[database]\nUrl=\"" + m_main.toUtf8() + "\"\n";
    write(QStringLiteral("robot-fiscal.ini"), ini + setup.robotIni);
    writeSimIni(setup.simIni);
    db::Schema::createDatabase(file(QStringLiteral("Vextora.dba")), {db::Schema::localSchema()});
    m_rows = std::make_unique<MainRows>(m_main);
    // A printer that printed before the robot came, whatever the database
    // records: its numbers were accepted at installation, as an operator would.
    const QString sim = QString::fromUtf8(setup.simIni);
    if (sim.contains(QStringLiteral("[counters]"))) {
        const core::Clock clock;
        db::PrintJournal journal(path(), clock, {m_main, setup.fiscalMachine});
        for (const auto &[kind, key] : {std::pair{core::DocumentKind::Invoice, "Invoice"},
                                        std::pair{core::DocumentKind::CreditNote, "CreditNote"}}) {
            const auto counter =
                QRegularExpression(QStringLiteral("^%1=(\\d+)$").arg(QLatin1String(key)),
                                   QRegularExpression::MultilineOption)
                    .match(sim);
            if (counter.hasMatch())
                journal.acceptNumber(kind, counter.captured(1).rightJustified(8, u'0'));
        }
    }
    if (!setup.sharing && setup.rows.isEmpty()) {
        m_rows->setCompany(QStringLiteral("J123456789"));
        m_rows->setRates(16.0, 8.0, 31.0);
    }
}

Installation::~Installation()
{
    m_rows.reset();
    if (m_cluster)
        m_cluster->dropDatabase(m_database);
}

void Installation::setDatabaseAway(bool away)
{
    if (m_engine == Engine::Sqlite) {
        const QString aside = file(QStringLiteral("aparte.dba"));
        EXPECT_TRUE(away ? QFile::rename(m_main, aside) : QFile::rename(aside, m_main));
    } else if (m_cluster == &PostgresCluster::shared()) {
        ADD_FAILURE() << "the shared cluster stays up: give the installation a cluster of its own";
    } else if (away) {
        m_rows.reset();
        m_cluster->stop();
    } else {
        m_cluster->start();
        m_rows = std::make_unique<MainRows>(m_main);
    }
}

void Installation::writeSimIni(const QByteArray &extra) const
{
    write(QStringLiteral("fiscalsim.ini"),
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
