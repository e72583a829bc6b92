#include "robot/Startup.h"
#include "core/Texts.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QDir>
#include <gtest/gtest.h>

using robot::Startup;
using testsupport::TestDir;

namespace {

TEST(Startup, LeerConfiguracionReadsEachKeyOnlyInItsPosition)
{
    // What was read: the main database, the data directory, the printer type,
    // the port, 80 columns, the serial and the register, separated by "|".
    const struct
    {
        const char *name;
        QByteArray text;
        QString read;
    } cases[] = {
        // clang-format off
        {"empty file", "", "|||COM1|0||0"},
        {"all six keys", "Datos:F:\\Comun\\\r\nImpresora:HKA\r\nPuerto:COM3\r\n80Columnas:0\r\nSerial:Z1B1234567\r\nCaja:12\r\n",
         "F:\\Comun\\Base de Datos.dba|F:\\Comun\\|HKA|COM3|1|Z1B1234567|12"},
        {"keys swapped", "Impresora:HKA\nDatos:F:\\Comun\\\n", "|||COM1|0||0"},
        {"empty first line", "\nDatos:/srv/\nImpresora:DASCOM\n", "|||COM1|0||0"},
        {"-1 leaves 80 columns off", "\n\n\n80Columnas:-1\n", "|||COM1|0||0"},
        {"1 sets 80 columns", "\n\n\n80Columnas:1\n", "|||COM1|1||0"},
        {"no value sets 80 columns", "\n\n\n80Columnas:\n", "|||COM1|1||0"},
        {"Impresora with nothing after it", "\nImpresora:\n", "|||COM1|0||0"},
        {"Puerto only blanks", "\n\nPuerto:    \n", "|||COM1|0||0"},
        {"serial ends at a comma", "\n\n\n\nSerial:ABC,123\nCaja:5\n", "|||COM1|0|ABC|0"},
        {"blank after Datos kept in the path", "Datos: /srv/comun/\n", " /srv/comun/Base de Datos.dba|/srv/comun/||COM1|0||0"},
        {"quoted item keeps its comma", "\"Datos:/a,b/\"\n", "/a,b/Base de Datos.dba|/a,b/||COM1|0||0"},
        {"leading blanks skipped", "   Datos:/x/\n", "/x/Base de Datos.dba|/x/||COM1|0||0"},
        {"key anywhere in the item", "xDatos:/srv/\n", ":/srv/Base de Datos.dba|:/srv/||COM1|0||0"},
        {"utf-8 accents", "Datos:/srv/compañía/\n", "/srv/compañía/Base de Datos.dba|/srv/compañía/||COM1|0||0"},
        {"windows-1252 accents", "Datos:/srv/compa\xf1\xed" "a/\n", "/srv/compañía/Base de Datos.dba|/srv/compañía/||COM1|0||0"},
        {"caja with blanks", "\n\n\n\n\n  Caja: 7 \n", "|||COM1|0||7"},
        {"caja negative", "\n\n\n\n\nCaja:-3\n", "|||COM1|0||-3"},
        {"CR CR LF line ends", "Datos:/srv/\r\r\nImpresora:HKA\r\r\nPuerto:COM3\r\r\n80Columnas:-1\r\r\nSerial:S1\r\r\nCaja:4\r\r\n",
         "/srv/Base de Datos.dba|/srv/|HKA|COM3|0|S1|4"},
        {"CR alone ends a line", "\r\rImpresora:HKA\r", "|||COM1|0||0"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        dir.write(QStringLiteral("Vextora.inf"), c.text);
        testsupport::RecordingWindow window;
        core::RobotState s;
        core::Settings settings;
        db::ListSources lists;
        s.RutaPrograma = dir.path();
        EXPECT_TRUE(Startup(s, settings, lists, window).LeerConfiguracion());
        EXPECT_EQ(window.messages, QStringList());
        EXPECT_EQ(QStringList({s.RutaBaseDatos, s.DirectorioDatos,
                               core::printerTypeName(s.TipoImpresora), s.Puerto,
                               QString::number(s.Columnas80), s.Serial, QString::number(s.Caja)})
                      .join('|'),
                  c.read);
    }
}

TEST(Startup, ConfigurationWithoutCajaRunsAsRegisterZeroAndSaysSo)
{
    TestDir dir;
    dir.write(QStringLiteral("KardolenTerminalUpd.inf"), QByteArray());
    dir.write(QStringLiteral("Vextora.inf"), "Datos:" + dir.path().toUtf8() + "/\nImpresora:HKA\n");
    testsupport::RecordingWindow window;
    core::RobotState s;
    core::Settings settings;
    db::ListSources lists;
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(Startup(s, settings, lists, window).run(dir.path()), core::ExitStatus::Running);
    QDir::setCurrent(cwd);
    EXPECT_EQ(window.entries(QStringLiteral("notice ")),
              QStringList{"notice " +
                          core::texts::noMachine(Startup::configurationPath(s.RutaPrograma))});
}

} // namespace
