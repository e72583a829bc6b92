#include "db/Database.h"
#include "db/SqlTexts.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <gtest/gtest.h>

using testsupport::TestDir;

namespace {

struct Outcome
{
    int code = -1;
    QString out, err;
};

Outcome robotFiscal(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No window system may be needed to make a demo.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ROBOT_BINARY), args);
    Outcome r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(CreateDemo, MakesAnInstallationTheDatabaseLayerReadsAndRefusesToOverwriteIt)
{
    TestDir dir;
    const QString demo = dir.file(QStringLiteral("demo"));
    const Outcome made = robotFiscal({QStringLiteral("--create-demo"), demo,
                                      QStringLiteral("--printer"), QStringLiteral("SAMSUNG")});
    ASSERT_EQ(made.code, 0) << qPrintable(made.err);

    for (const char *name : {"Vextora.inf", "robot-fiscal.ini", "fiscalsim.ini",
                             "KardolenTerminalUpd.inf", "Base de Datos.dba", "Vextora.dba"})
        EXPECT_TRUE(QFileInfo(QDir(demo).filePath(QString::fromUtf8(name))).isFile()) << name;
    const QSettings ini(QDir(demo).filePath(QStringLiteral("robot-fiscal.ini")),
                        QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("driver/Library")).toString(),
              QFileInfo(QStringLiteral(ROBOT_BINARY)).absolutePath() +
                  QStringLiteral("/libfiscalsim.so"));
    const QSettings sim(QDir(demo).filePath(QStringLiteral("fiscalsim.ini")), QSettings::IniFormat);
    EXPECT_EQ(sim.value(QStringLiteral("printer/Type")).toString(), QStringLiteral("SAMSUNG"));

    auto db = db::Database::open(QDir(demo).filePath(QStringLiteral("Base de Datos.dba")));
    EXPECT_EQ(db->openRecordset(db::SqlTexts::facturasPendientes(1)).recordCount(), 10);
    EXPECT_EQ(db->openRecordset(db::SqlTexts::notasCreditoPendientes(1)).recordCount(), 3);
    auto local = db::Database::open(QDir(demo).filePath(QStringLiteral("Vextora.dba")));
    EXPECT_EQ(local->openRecordset(db::SqlTexts::ticketsPendientes(1)).recordCount(), 2);

    const QByteArray before = [&] {
        QFile f(QDir(demo).filePath(QStringLiteral("Vextora.inf")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    const Outcome again = robotFiscal({QStringLiteral("--create-demo"), demo});
    EXPECT_NE(again.code, 0);
    EXPECT_TRUE(again.err.contains(demo)) << qPrintable(again.err);
    QFile f(QDir(demo).filePath(QStringLiteral("Vextora.inf")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(db->openRecordset(db::SqlTexts::facturasPendientes(1)).recordCount(), 10);
}

} // namespace
