#include "core/Settings.h"
#include "db/Schema.h"
#include "support/Installation.h"
#include "support/PostgresCluster.h"
#include "support/RobotProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QUrl>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using testsupport::Engine;
using testsupport::Installation;
using testsupport::RobotProcess;

namespace {

// verificar's status, then its lines that are not OK, without their reasons:
// "1 FALLA puerto".
QStringList verify(const QString &dir, QString *out)
{
    const RobotProcess::Answer a = RobotProcess::ask(dir, {"verificar"});
    *out = a.out + a.err;
    QStringList verdict{QString::number(a.status)};
    for (const QString &line : a.out.split(u'\n', Qt::SkipEmptyParts))
        if (!line.startsWith("OK "))
            verdict << line.section(u':', 0, 0);
    return verdict;
}

// Each fault fails its own line and no other.
TEST(Verify, NamesEachFaultOnItsLine)
{
    const struct
    {
        const char *name;
        Engine engine;
        QByteArray robotIni, simIni;
        QString remove;
        QStringList verdict;
    } cases[] = {
        // clang-format off
        {"driver library missing", Engine::Sqlite, "[driver]\nLibrary=/nada/libnada.so\n", "", "",
         {"1", "FALLA biblioteca del controlador", "OMITIDA puerto"}},
        {"port that does not open", Engine::Sqlite, "", "[faults]\nOpen=fail\n", "", {"1", "FALLA puerto"}},
        {"maintenance marker missing", Engine::Sqlite, "", "", "KardolenTerminalUpd.inf",
         {"1", "FALLA marca de mantenimiento"}},
        {"database role that may only read", Engine::Postgres, "", "", "", {"1", "FALLA base de datos principal"}},
        // clang-format on
    };
    testsupport::PostgresCluster &cluster = testsupport::PostgresCluster::shared();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst({.simIni = c.simIni, .robotIni = c.robotIni, .engine = c.engine});
        if (!c.remove.isEmpty())
            QFile::remove(inst.file(c.remove));
        const QString database = QUrl(inst.mainDatabase()).path().mid(1);
        const QString role = "lector_" + database;
        if (c.engine == Engine::Postgres) {
            cluster.exec(QStringLiteral("CREATE ROLE %1 LOGIN; GRANT CONNECT ON DATABASE %2 TO %1")
                             .arg(role, database));
            inst.db().exec("GRANT USAGE ON SCHEMA public TO " + role +
                           "; GRANT SELECT ON ALL TABLES IN SCHEMA public TO " + role);
            QSettings(inst.file("robot-fiscal.ini"), QSettings::IniFormat)
                .setValue("database/Url", cluster.url(database, role));
        }
        QString out;
        EXPECT_EQ(verify(inst.path(), &out), c.verdict) << out.toStdString();
        if (c.engine == Engine::Postgres) {
            // What the robot writes, by name; nothing was written to find out.
            EXPECT_TRUE(out.contains("falta UPDATE (Factura, Control, Impresa, Imprimir, NúmeroZ) "
                                     "sobre «Consulta Ventas Edición»"))
                << out.toStdString();
            inst.db().exec("DROP OWNED BY " + role);
            cluster.exec(QStringLiteral("REVOKE ALL ON DATABASE %1 FROM %2; DROP ROLE %2")
                             .arg(database, role));
        }
    }
}

// An empty installation fails only where the installer has yet to act: no
// maintenance marker, the vendor's driver library, the administrative
// system's main database. Given those, it passes as it was written.
TEST(Init, ThenVerifyFailsOnlyWhereTheInstallerMustAct)
{
    testsupport::TestDir dir;
    const QDir shop(dir.file("tienda"));
    const RobotProcess::Answer made =
        RobotProcess::ask({}, {"--init", shop.path(), "--printer", "DASCOM"});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_EQ(shop.entryList(QDir::Files),
              (QStringList{"robot-fiscal.ini", "Vextora.dba", "Vextora.inf"}));
    // Every key present, each at the value a missing one would take.
    QSettings ini(shop.filePath("robot-fiscal.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.allKeys().size(), 10) << ini.allKeys().join(' ').toStdString();
    const core::Settings read = core::Settings::load(ini.fileName()), plain;
    EXPECT_EQ(std::tie(read.driverLibrary, read.timingScale, read.codePage, read.wakeOnChange),
              std::tie(plain.driverLibrary, plain.timingScale, plain.codePage, plain.wakeOnChange));
    QString out;
    EXPECT_EQ(verify(shop.path(), &out),
              (QStringList{"1", "FALLA marca de mantenimiento", "FALLA biblioteca del controlador",
                           "OMITIDA puerto", "FALLA base de datos principal"}))
        << out.toStdString();

    ini.setValue("driver/Library", FISCALSIM_LIBRARY);
    ini.sync();
    QFile(shop.filePath("KardolenTerminalUpd.inf")).open(QIODevice::WriteOnly);
    db::Schema::createDatabase(shop.filePath("Base de Datos.dba"), {db::Schema::mainSchema()});
    EXPECT_EQ(verify(shop.path(), &out), QStringList{"0"}) << out.toStdString();

    // Never made over anything, nor for a printer it does not know.
    EXPECT_EQ(RobotProcess::ask({}, {"--init", shop.path()}).status, 7);
    for (const char *unknown : {"hka", "EPSON"})
        EXPECT_EQ(RobotProcess::ask({}, {"--init", dir.file("otra"), "--printer", unknown}).status,
                  7);
    EXPECT_FALSE(QFileInfo::exists(dir.file("otra")));
}

// systemd's notification socket, as a service's robot finds it in NOTIFY_SOCKET.
class NotifySocket
{
public:
    explicit NotifySocket(const QString &path) : m_fd(socket(AF_UNIX, SOCK_DGRAM, 0))
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        EXPECT_EQ(bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    }
    ~NotifySocket() { close(m_fd); }
    // Until a message holds `text`; false on time-out.
    bool waitFor(const QString &text)
    {
        const QDeadlineTimer deadline(60000);
        char buffer[4096];
        while (!messages.join('\n').contains(text)) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, int(deadline.remainingTime())) <= 0)
                return false;
            messages << QString::fromUtf8(buffer, qMax(ssize_t(0), recv(m_fd, buffer, 4096, 0)));
        }
        return true;
    }
    QStringList messages;

private:
    int m_fd;
};

// Under systemd: readiness, a status line, the watchdog fed by the ticks, and
// one journal entry per line or message box, with its priority and no time
// of its own. A maintenance stop waits before its exit, so that the unit's
// restart comes minutes later; a stop signal ends the wait.
TEST(Service, NotifiesSystemdAndWritesJournalEntries)
{
    const QString box = "<3>Robot Fiscal: El servidor parece estar en mantenimiento. Por favor "
                        "verifique e intente de nuevo más tarde.\n";
    const struct
    {
        const char *name;
        QByteArray robotIni, simIni;
        QString notified, entry; // awaited in the notifications, then in the journal
        int status;              // 0: ended by SIGTERM
    } cases[] = {
        // A port that does not open: the watchdog fed while polling is off, until it resumes.
        {"port failure", "", "[faults]\nOpen=fail\n", "WATCHDOG=1", "\n<6>sondeo reanudado\n", 0},
        {"maintenance stop", "[timing]\nScale=0.001\n", "", "STATUS=arranque detenido", box, 3},
        {"stopped while it waits", "[timing]\nScale=1\n", "", "EXTEND_TIMEOUT_USEC=", box, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst({.simIni = c.simIni, .robotIni = c.robotIni});
        if (c.entry == box)
            QFile::remove(inst.file("KardolenTerminalUpd.inf"));
        inst.db().addItem(inst.db().addSale({}), {});
        NotifySocket notify(inst.file("notify"));
        QProcess robot;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("NOTIFY_SOCKET", inst.file("notify"));
        env.insert("WATCHDOG_USEC", "600000");
        robot.setProcessEnvironment(env);
        // Standard output and error one stream, the journal's, as systemd connects them.
        robot.setProcessChannelMode(QProcess::MergedChannels);
        robot.start(
            "sh",
            {"-c", "export JOURNAL_STREAM=$(stat -L -c %d:%i /proc/self/fd/2); exec \"$0\" \"$@\"",
             ROBOT_BINARY, "--dir", inst.path(), "--headless"});
        ASSERT_TRUE(notify.waitFor(c.notified)) << notify.messages.join('|').toStdString();
        QString out;
        for (const QString &entry :
             {c.simIni.isEmpty() ? c.entry : "\n<3>fallo factura ", c.entry}) {
            while (!out.contains(entry) && robot.waitForReadyRead(60000))
                out += QString::fromUtf8(robot.readAll());
            inst.writeSimIni({});
        }
        if (c.status == 0)
            robot.terminate();
        ASSERT_TRUE(robot.waitForFinished(60000));
        EXPECT_EQ(robot.exitCode(), c.status);
        out += QString::fromUtf8(robot.readAll());
        EXPECT_TRUE(out.contains(c.entry)) << out.toStdString();
        for (const QString &line : out.split(u'\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(line.startsWith('<')) << line.toStdString();
        if (c.entry != box) {
            EXPECT_TRUE(notify.waitFor("STOPPING=1") && notify.messages.contains("READY=1"))
                << notify.messages.join('|').toStdString();
        }
    }
}

} // namespace
