#include "robot/Startup.h"
#include "core/InstanceLock.h"
#include "core/Texts.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QDir>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using robot::Startup;
using testsupport::RecordingWindow;
using testsupport::TestDir;

namespace {

struct Configured
{
    RecordingWindow window;
    core::RobotState state;
    core::Settings settings;
    db::ListSources lists;
    bool ok = false;
};

// Reads a configuration file with the given text from a fresh program directory.
std::unique_ptr<Configured> readConfiguration(const TestDir &dir, const QByteArray &text)
{
    dir.write(QStringLiteral("Vextora.inf"), text);
    auto c = std::make_unique<Configured>();
    c->state.RutaPrograma = dir.path();
    Startup startup(c->state, c->settings, c->lists, c->window);
    c->ok = startup.LeerConfiguracion();
    return c;
}

struct ConfigCase
{
    const char *name;
    QByteArray text;
    QString rutaBaseDatos;
    QString directorioDatos;
    QString tipo;
    QString puerto;
    bool columnas80;
    QString serial;
    int caja;
};

TEST(LeerConfiguracion, ReadsEachKeyOnlyInItsPosition)
{
    const QString base = QStringLiteral("Base de Datos.dba");
    const ConfigCase cases[] = {
        {"empty file", "", "", "", "", "COM1", false, "", 0},
        {"all six keys",
         "Datos:F:\\Comun\\\r\nImpresora:HKA\r\nPuerto:COM3\r\n80Columnas:0\r\n"
         "Serial:Z1B1234567\r\nCaja:12\r\n",
         "F:\\Comun\\" + base, "F:\\Comun\\", "HKA", "COM3", true, "Z1B1234567", 12},
        {"keys swapped", "Impresora:HKA\nDatos:F:\\Comun\\\n", "", "", "", "COM1", false, "", 0},
        {"-1 leaves 80 columns off", "\n\n\n80Columnas:-1\n", "", "", "", "COM1", false, "", 0},
        {"1 sets 80 columns", "\n\n\n80Columnas:1\n", "", "", "", "COM1", true, "", 0},
        {"no value sets 80 columns", "\n\n\n80Columnas:\n", "", "", "", "COM1", true, "", 0},
        {"Impresora with nothing after it", "\nImpresora:\n", "", "", "", "COM1", false, "", 0},
        {"serial with a comma", "\n\n\n\nSerial:ABC,123\nCaja:5\n", "", "", "", "COM1", false,
         "ABC", 0},
        {"blank after Datos", "Datos: /srv/comun/\n", " /srv/comun/" + base, "/srv/comun/", "",
         "COM1", false, "", 0},
        {"Puerto only spaces", "\n\nPuerto:    \n", "", "", "", "COM1", false, "", 0},
        {"empty first line", "\nDatos:/srv/\nImpresora:DASCOM\n", "", "", "", "COM1", false, "", 0},
        {"quoted item keeps its comma", "\"Datos:/a,b/\"\n", "/a,b/" + base, "/a,b/", "", "COM1",
         false, "", 0},
        {"leading blanks skipped", "   Datos:/x/\n", "/x/" + base, "/x/", "", "COM1", false, "", 0},
        {"key anywhere in the item", "xDatos:/srv/\n", ":/srv/" + base, ":/srv/", "", "COM1", false,
         "", 0},
        {"utf-8 accents", "Datos:/srv/compañía/\n", "/srv/compañía/" + base, "/srv/compañía/", "",
         "COM1", false, "", 0},
        {"windows-1252 accents",
         "Datos:/srv/compa\xf1"
         "\xed"
         "a/\n",
         "/srv/compañía/" + base, "/srv/compañía/", "", "COM1", false, "", 0},
        {"caja with blanks", "\n\n\n\n\n  Caja: 7 \n", "", "", "", "COM1", false, "", 7},
        {"caja negative", "\n\n\n\n\nCaja:-3\n", "", "", "", "COM1", false, "", -3},
    };
    for (const auto &c : cases) {
        TestDir dir;
        auto r = readConfiguration(dir, c.text);
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(r->ok);
        EXPECT_TRUE(r->window.messages.isEmpty());
        EXPECT_EQ(r->state.RutaBaseDatos, c.rutaBaseDatos);
        EXPECT_EQ(r->state.DirectorioDatos, c.directorioDatos);
        EXPECT_EQ(core::printerTypeName(r->state.TipoImpresora), c.tipo);
        EXPECT_EQ(r->state.Puerto, c.puerto);
        EXPECT_EQ(r->state.Columnas80, c.columnas80);
        EXPECT_EQ(r->state.Serial, c.serial);
        EXPECT_EQ(r->state.Caja, c.caja);
    }
}

TEST(LeerConfiguracion, StopsWithAMessage)
{
    const struct
    {
        const char *name;
        QByteArray text;
        QString message;
    } cases[] = {
        {"lower-case type", "\nImpresora:hka\n", core::texts::kTipoImpresora},
        {"unknown type", "\nImpresora:EPSON\n", core::texts::kTipoImpresora},
        {"caja not a number", "\n\n\n\n\nCaja:abc\n", QString()},
        {"caja with decimals", "\n\n\n\n\nCaja:1.5\n", QString()},
    };
    for (const auto &c : cases) {
        TestDir dir;
        auto r = readConfiguration(dir, c.text);
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(r->ok);
        ASSERT_EQ(r->window.messages.size(), 1);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(r->window.messages.first(), c.message);
        } else {
            EXPECT_TRUE(r->window.messages.first().contains(QStringLiteral("Caja")));
            EXPECT_TRUE(r->window.messages.first().contains(QStringLiteral("Vextora.inf")));
        }
    }
}

TEST(LeerConfiguracion, TypeCheckStopsBeforeLaterItemsAreRead)
{
    TestDir dir;
    auto r = readConfiguration(dir, "Datos:/a/\nImpresora:Hka\nPuerto:COM9\n");
    EXPECT_FALSE(r->ok);
    EXPECT_EQ(r->state.Puerto, QString());
}

TEST(LeerConfiguracion, MissingOrUnreadableFileIsAMessageNotACrash)
{
    for (const bool directory : {false, true}) {
        TestDir dir;
        if (directory)
            QDir(dir.path()).mkdir(QStringLiteral("Vextora.inf"));
        auto c = std::make_unique<Configured>();
        c->state.RutaPrograma = dir.path();
        Startup startup(c->state, c->settings, c->lists, c->window);
        EXPECT_FALSE(startup.LeerConfiguracion());
        ASSERT_EQ(c->window.messages.size(), 1);
        EXPECT_TRUE(c->window.messages.first().contains(QStringLiteral("Vextora.inf")));
    }
}

TEST(ChequeoExistenciaArchivo, OnlyAnOrdinaryVisibleFileCounts)
{
    TestDir dir;
    dir.write(QStringLiteral("marker.inf"), "x");
    dir.write(QStringLiteral(".hidden.inf"), "x");
    QDir(dir.path()).mkdir(QStringLiteral("adirectory"));
    const struct
    {
        QString path;
        bool expected;
    } cases[] = {
        {dir.file(QStringLiteral("marker.inf")), true},
        {dir.path() + QStringLiteral("\\\\marker.inf"), true},
        {dir.path() + QStringLiteral("//marker.inf"), true},
        {dir.path() + QStringLiteral("\\marker.inf"), true},
        {dir.file(QStringLiteral("missing.inf")), false},
        {dir.file(QStringLiteral("adirectory")), false},
        {dir.file(QStringLiteral(".hidden.inf")), false},
        {QString(), false},
        {QStringLiteral("\\KardolenTerminalUpd.inf"), false},
        {QStringLiteral("Z:\\no\\such\\drive\\x.inf"), false},
        {QString(QChar(0)) + QStringLiteral("bad"), false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Startup::ChequeoExistenciaArchivo(c.path), c.expected) << qPrintable(c.path);
}

TEST(Startup, RunsInOrderAndSetsListSources)
{
    TestDir dir;
    dir.writeInstallation(QStringLiteral("HKA"));
    RecordingWindow window;
    core::RobotState state;
    core::Settings settings;
    db::ListSources lists;
    Startup startup(state, settings, lists, window);
    ASSERT_EQ(startup.run(dir.path()), Startup::Running);
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    EXPECT_TRUE(state.PrimeraActivacion);
    EXPECT_EQ(state.RutaBaseLocal, state.RutaPrograma + QStringLiteral("\\Vextora.dba"));
    EXPECT_EQ(lists.Data5.databaseName(), state.RutaBaseDatos);
    EXPECT_EQ(lists.Data7.databaseName(), state.RutaBaseLocal);
    EXPECT_TRUE(lists.Data5.recordSource().contains(QStringLiteral("MáquinaFiscal= 1 order by")));
    EXPECT_TRUE(lists.Data7.recordSource().endsWith(QStringLiteral("Caja= 1 order by Código;")));
    EXPECT_EQ(lists.Data3.recordSource(), QStringLiteral("Select * from [Configuración];"));
    EXPECT_EQ(window.backgroundColor(), (core::Rgb{189, 206, 213}));
    EXPECT_TRUE(window.messages.isEmpty());
}

TEST(Startup, MissingMarkerStopsWithTheMaintenanceMessage)
{
    TestDir dir;
    dir.writeInstallation();
    QFile::remove(dir.file(QStringLiteral("KardolenTerminalUpd.inf")));
    RecordingWindow window;
    core::RobotState state;
    core::Settings settings;
    db::ListSources lists;
    Startup startup(state, settings, lists, window);
    EXPECT_EQ(startup.run(dir.path()), Startup::MaintenanceStop);
    EXPECT_EQ(window.messages, QStringList{core::texts::kMantenimiento});
    EXPECT_FALSE(state.PrimeraActivacion);
}

TEST(Startup, SecondCopyOnTheSameDirectoryEndsSilently)
{
    TestDir dir;
    dir.writeInstallation();
    TestDir other;
    other.writeInstallation();
    auto start = [](const QString &path, RecordingWindow &window,
                    std::unique_ptr<core::InstanceLock> &lock) {
        core::RobotState state;
        core::Settings settings;
        db::ListSources lists;
        Startup startup(state, settings, lists, window);
        const auto status = startup.run(path);
        lock = startup.takeLock();
        return status;
    };
    RecordingWindow first, second, elsewhere;
    std::unique_ptr<core::InstanceLock> lock1, lock2, lock3;
    EXPECT_EQ(start(dir.path(), first, lock1), Startup::Running);
    // QLockFile is per process: a second copy is another process.
    const pid_t child = fork();
    if (child == 0) {
        const auto status = start(dir.path(), second, lock2);
        const bool silent =
            second.messages.isEmpty() && second.title() == QStringLiteral("No ejecutar");
        _exit(status == Startup::AnotherCopyStop && silent ? 0 : 1);
    }
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0);
    EXPECT_EQ(start(other.path(), elsewhere, lock3), Startup::Running);
}

TEST(Startup, LockOfACrashedCopyIsNotStuck)
{
    TestDir dir;
    dir.writeInstallation();
    const pid_t child = fork();
    if (child == 0) {
        core::InstanceLock lock(dir.path());
        lock.tryLock();
        ::raise(SIGKILL);
        _exit(0);
    }
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    ASSERT_TRUE(QFile::exists(dir.file(core::InstanceLock::fileName())));
    core::InstanceLock lock(dir.path());
    EXPECT_TRUE(lock.tryLock());
}

} // namespace
