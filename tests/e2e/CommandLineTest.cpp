#include "support/RobotProcess.h"

#include <gtest/gtest.h>

using testsupport::RobotProcess;

namespace {

// The whole of --help, as an operator reads it.
const char *const kHelp = R"(Uso: robot-fiscal [--dir DIR] [--headless]
     robot-fiscal --create-demo DIR [--printer HKA|SAMSUNG|DASCOM] [--database URL]
     robot-fiscal [--dir DIR] ORDEN [ARGUMENTOS]
     robot-fiscal --help | --version

Robot de impresión fiscal: imprime las facturas y notas de crédito pendientes.
Sin ORDEN, ejecuta el robot sobre el directorio del programa DIR.

Opciones:
  --dir <DIR>          Directorio del programa.
  --headless           Sin ventana (servicio).
  --create-demo <DIR>  Crea en DIR una instalación de demostración con la
                       impresora simulada.
  --printer <TYPE>     Tipo de impresora de la demostración: HKA, SAMSUNG o
                       DASCOM.
  --database <URL>     Base de datos principal PostgreSQL de la demostración,
                       vacía: postgresql://USUARIO@SERVIDOR:PUERTO/NOMBRE.
  -h, --help           Muestra esta ayuda.
  --version            Muestra la versión.

Órdenes al robot en marcha sobre DIR:
  estado [--json | --check]    sondeo, documento en curso, pendientes, retenidos, último impreso y salud
  cierre-x                     imprime el reporte X
  cierre-z                     imprime el cierre diario (reporte Z)
  abrir-gaveta                 abre la gaveta de dinero
  anular                       anula el documento abierto en la impresora
  reporte-memoria DESDE HASTA  reporte de memoria fiscal entre dos fechas (ShortDateFormat)
  detener                      detiene el sondeo
  iniciar                      reanuda el sondeo
  reintentar factura|nota CODIGO
                               vuelve a tomar un documento retenido en el próximo ciclo
  aceptar-numeros              da por emitidos los números de la impresora que nada registra

Estado de salida de una orden: 0 hecha, 1 rechazada o fallida, 2 orden o argumento erróneo,
3 no hay un robot en marcha sobre DIR.
)";

TEST(CommandLine, HelpVersionAndWrongArguments)
{
    const struct
    {
        QStringList args;
        int status;
        QString out;
    } cases[] = {
        // clang-format off
        {{"--version"}, 0, "robot-fiscal "},
        {{"--help"}, 0, kHelp},
        {{"--no-such-option"}, 64, ""},
        {{"--headless", "--printer", "DASCOM"}, 64, ""},
        {{"--headless", "estado"}, 64, ""},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        RobotProcess robot({}, c.args);
        ASSERT_TRUE(robot.waitForExit());
        EXPECT_EQ(robot.exitCode(), c.status);
        EXPECT_EQ(robot.out().left(c.out.size()), c.out);
    }
}

} // namespace
