#include "core/Texts.h"

#include "core/Formatting.h"

#include <QDateTime>

namespace core::texts {

QString unreadableConfiguration(const QString &path)
{
    return QStringLiteral("No se pudo leer el archivo de configuración %1.").arg(path);
}

QString machineNotANumber(const QString &value, const QString &path)
{
    return QStringLiteral("El valor \"%1\" de Caja: en el archivo de configuración %2 no es "
                          "un número entero.")
        .arg(value, path);
}

QString libraryNotLoaded(const QString &library, const QString &reason)
{
    return QStringLiteral("No se pudo cargar la biblioteca de la impresora fiscal %1.\r%2")
        .arg(library, reason);
}

QString libraryWithoutEntry(const QString &library, const QString &entry)
{
    return QStringLiteral("La biblioteca de la impresora fiscal %1 no tiene la función %2.")
        .arg(library, entry);
}

QString unusableValue(const QString &key, const QString &value, const QString &why)
{
    return QStringLiteral("El valor de %1 en robot-fiscal.ini no se puede usar: %2\r%3")
        .arg(key, value, why);
}

QString noMachine(const QString &path)
{
    return QStringLiteral("El archivo de configuración %1 no indica Caja: en su sexta línea: el "
                          "robot imprime los documentos de la máquina fiscal 0.")
        .arg(path);
}

QString fiscalMachineBusy(qint32 machine)
{
    return QStringLiteral("Otro robot ya imprime para la máquina fiscal %1 (Caja:%1) en esta base "
                          "de datos. Este robot no se inicia.")
        .arg(machine);
}

QString fiscalMachineTaken(qint32 machine)
{
    return QStringLiteral("Otro robot tomó la máquina fiscal %1 (Caja:%1) mientras la base de "
                          "datos no respondía. Este robot no imprime mientras el otro siga.")
        .arg(machine);
}

QString staleLockTakenOver(const QString &path)
{
    return QStringLiteral("El archivo de bloqueo %1 no nombraba ningún proceso en marcha (lo deja "
                          "así un corte de luz): el robot lo tomó y sigue.")
        .arg(path);
}

namespace {
QString documentWithCode(DocumentKind kind, qint64 code)
{
    return (kind == DocumentKind::CreditNote ? QStringLiteral("La nota de crédito ")
                                             : QStringLiteral("La factura ")) +
           QString::number(code);
}
} // namespace

QString documentHeld(DocumentKind kind, qint64 code, const QString &column)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" no se imprimió: la columna %1 no tiene un valor imprimible. "
                          "Corríjala y la impresión se intentará de nuevo.")
               .arg(column);
}

QString documentHeldForQuantityMode(DocumentKind kind, qint64 code)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" no se imprimió: la configuración de la empresa no indica qué "
                          "cantidad imprimir (VerCantidad y VerCantidadDecimal).");
}

QString databaseError(const QString &detail)
{
    return QStringLiteral("Error de base de datos: ") + detail;
}

QString printedNotRecorded(DocumentKind kind)
{
    return kind == DocumentKind::CreditNote
               ? QStringLiteral("La nota de crédito fue impresa pero no quedó registrada.")
               : QStringLiteral("La factura fue impresa pero no quedó registrada.");
}

QString printedWithoutNumbers(DocumentKind kind, qint64 code)
{
    return documentWithCode(kind, code) +
           (kind == DocumentKind::CreditNote
                ? QStringLiteral(" fue impresa sin leer su número fiscal: "
                                 "complételo a mano.")
                : QStringLiteral(" fue impresa sin leer sus números fiscales: "
                                 "complételos a mano."));
}

QString notClosed(DocumentKind kind)
{
    return kind == DocumentKind::CreditNote
               ? QStringLiteral("La impresora no cerró la nota de crédito.")
               : QStringLiteral("La impresora no cerró la factura.");
}

QString closingNotSent(DocumentKind kind)
{
    return QStringLiteral("No se pudo leer el último número de la impresora: no se envió el cierre "
                          "de la ") +
           (kind == DocumentKind::CreditNote ? QStringLiteral("nota de crédito.")
                                             : QStringLiteral("factura."));
}

QString failedAtStage(double stage)
{
    return QStringLiteral("falló en la etapa") + Formatting::TextoNumero(stage);
}

QString recoveredWithoutPrinting(DocumentKind kind, qint64 code, const QString &number)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" ya estaba impresa (número %1): se registró sin imprimirla de nuevo.")
               .arg(number.isEmpty() ? QStringLiteral("desconocido") : number);
}

QString cancelledToPrintAgain(DocumentKind kind, qint64 code)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" quedó a medias en la impresora: se anuló y se imprimirá de nuevo.");
}

QString recoveryPending(DocumentKind kind, qint64 code, const QString &reason)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" quedó sin confirmar (%1). No se imprime ningún documento nuevo "
                          "hasta aclararlo.")
               .arg(reason);
}

QString alreadyPrinted(DocumentKind kind, qint64 code, const QString &number)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" ya fue impresa por la impresora fiscal (número %1) y sigue pendiente "
                          "en la base de datos: no se imprime de nuevo. Regístrela a mano.")
               .arg(number);
}

QString journalUnavailable(const QString &detail)
{
    return QStringLiteral("No se pudo abrir el diario de impresión robot-fiscal-journal.db: ") +
           detail;
}

QString printerRefused(const QString &what, int error, int status)
{
    return QStringLiteral("La impresora rechazó %1 (Error: %2, Estatus: %3).")
        .arg(what)
        .arg(error)
        .arg(status);
}

QString controlUnavailable(const QString &path, const QString &why)
{
    return QStringLiteral("No se pudo abrir el control %1: %2. El robot sigue sin él.")
        .arg(path, why);
}

QString controlWithoutGroup(const QString &path)
{
    return QStringLiteral("El control %1 no pudo tomar el grupo del directorio del programa: "
                          "solo el usuario del robot y root pueden usarlo.")
        .arg(path);
}

QString noPermission(const QString &path)
{
    return QStringLiteral("Sin permiso para hablar con el robot por %1.").arg(path);
}

QString fiscalMemoryPrinted(const QString &from, const QString &to)
{
    return QStringLiteral("Reporte de memoria fiscal del %1 al %2 impreso.").arg(from, to);
}

QString invalidDate(const QString &date, const QString &format)
{
    return QStringLiteral("La fecha \"%1\" no es válida (formato %2).").arg(date, format);
}

QString retryAccepted(DocumentKind kind, qint64 code)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" se intentará de nuevo en el próximo ciclo.");
}

QString notHeld(DocumentKind kind, qint64 code)
{
    return documentWithCode(kind, code) + QStringLiteral(" no está retenida.");
}

QString inRecovery(DocumentKind kind, qint64 code)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" espera a que la impresora diga si la cerró: se intenta en cada ciclo.");
}

QString staysHeldAlreadyPrinted(DocumentKind kind, qint64 code, const QString &number)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" sigue retenida: la impresora fiscal ya la imprimió (número %1) y no se "
                          "imprime de nuevo. Registre ese número en la base de datos.")
               .arg(number);
}

QString yearOutOfPrinterRange(const QString &date, int firstYear, int lastYear)
{
    return QStringLiteral("La fecha %1 no cabe en la impresora fiscal, que guarda el año con dos "
                          "cifras: indique una fecha entre %2 y %3.")
        .arg(date)
        .arg(firstYear)
        .arg(lastYear);
}

QString directoryMissing(const QString &path)
{
    return QStringLiteral("El directorio del programa %1 no existe.").arg(path);
}

QString noRobot(const QString &path)
{
    return QStringLiteral("No hay ningún robot en marcha en %1.").arg(path);
}

QString instanceNotAName(const QString &name)
{
    return QStringLiteral("«%1» no es un nombre de instancia.").arg(name);
}

QString installationCreated(const QString &dir)
{
    return QStringLiteral(
               "Instalación vacía creada en %1: complete Vextora.inf y robot-fiscal.ini, "
               "luego «robot-fiscal --dir %1 verificar».")
        .arg(dir);
}

QString emptyConfiguration(const QString &dataDir, const QString &printerType)
{
    // Only the first six items are read: the explanation after them is never
    // an item the robot uses. No line of it may start with a double quote.
    return QStringLiteral(
               "%1\r\nImpresora:%2\r\nPuerto:COM1\r\n80Columnas:-1\r\nSerial:\r\nCaja:1\r\n\r\n"
               "; Vextora.inf: el robot lee solo las seis primeras líneas, en este orden; lo "
               "que sigue las explica.\r\n"
               "; Datos:      directorio de datos compartido con el sistema administrativo, "
               "terminado en / o \\. Ahí están la base principal SQLite «Base de Datos.dba» "
               "y la marca KardolenTerminalUpd.inf, sin la cual el robot no arranca (el "
               "servidor en mantenimiento).\r\n"
               "; Impresora:  tipo de impresora fiscal: HKA, SAMSUNG o DASCOM.\r\n"
               "; Puerto:     puerto de la impresora tal como lo recibe la biblioteca del "
               "controlador (COM1 si se deja vacío).\r\n"
               "; 80Columnas: -1 en las instalaciones habituales; no cambia lo que se imprime.\r\n"
               "; Serial:     serial de la impresora fiscal, por ejemplo Z1B1234567.\r\n"
               "; Caja:       número de la caja (máquina fiscal) cuyas ventas imprime este "
               "robot.\r\n")
        .arg(dataDir, printerType);
}

QString emptySettings(const QString &urlValue)
{
    return QStringLiteral(
               "; robot-fiscal.ini: lo que Vextora.inf no tiene. Una clave vacía toma el valor "
               "que se indica.\n\n"
               "[driver]\n"
               "; Biblioteca del controlador de la impresora fiscal: un nombre (se busca junto "
               "al programa, luego donde el sistema busca bibliotecas) o una ruta, relativa al "
               "directorio del programa. Vacía: TFHKAIF.\n"
               "Library=TFHKAIF\n\n"
               "[installation]\n"
               "; RIF de la compañía cuyo robot también renueva la lista de tiquetes.\n"
               "RifInstalacionTickets=\n"
               "; Seriales de impresora, separados por comas, que imprimen el operador en la "
               "línea i06.\n"
               "SerialesOperador=\n"
               "; Serial de la impresora que imprime la orden de compra en la línea i07.\n"
               "SerialOrdenCompra=\n\n"
               "[regional]\n"
               "; Forma corta de las fechas (formato de fecha de Qt), como la del sistema "
               "administrativo.\n"
               "ShortDateFormat=dd/MM/yyyy\n"
               "; Página de códigos de 8 bits de los textos que recibe el controlador.\n"
               "CodePage=windows-1252\n\n"
               "[timing]\n"
               "; Multiplica cada intervalo y pausa del robot: 1 es el tiempo real.\n"
               "Scale=1.0\n"
               "; yes: un cambio de la base principal despierta al robot enseguida; no: solo "
               "su ciclo de 2,5 segundos.\n"
               "WakeOnChange=yes\n"
               "; Minutos entre dos lecturas del estado de la impresora mientras nada se "
               "imprime (nunca imprimen); 0: solo las de los documentos y reportes.\n"
               "PrinterProbe=5\n\n"
               "[database]\n"
               "; Vacía: la base principal es el archivo SQLite «Base de Datos.dba» del "
               "directorio Datos:. Con postgresql://USUARIO@SERVIDOR:PUERTO/NOMBRE, esa base "
               "PostgreSQL; la contraseña nunca va aquí: la dan PGPASSFILE, ~/.pgpass o "
               "PGSERVICE.\n"
               "Url=%1\n")
        .arg(urlValue);
}

QString demoCreated(const QString &dir)
{
    return QStringLiteral("Instalación de demostración creada en %1").arg(dir);
}

QString unknownCommand(const QString &command)
{
    return QStringLiteral("Orden desconocida: %1").arg(command);
}

QString wrongArguments(const QString &command, const QString &usage)
{
    return QStringLiteral("Argumentos no válidos para %1. Uso: %2").arg(command, usage);
}

QString keyMissing(const QString &key, int position)
{
    return QStringLiteral("falta «%1» en el elemento %2").arg(key).arg(position);
}

QString configurationRead(qint32 machine, const QString &port)
{
    return QStringLiteral("caja %1, puerto %2").arg(machine).arg(port);
}

QString markerMissing(const QString &path)
{
    return QStringLiteral("falta %1: el robot no arranca (servidor en mantenimiento)").arg(path);
}

QString driverLoaded(const QString &path)
{
    return QStringLiteral("%1, con sus cinco entradas").arg(path);
}

QString portNotOpened(const QString &port)
{
    return QStringLiteral("%1 no abre (OpenFpctrl)").arg(port);
}

QString statusRead(const QString &port, bool read, int status, int error)
{
    return (read ? QStringLiteral("%1 abierto, estatus %2, error %3")
                 : QStringLiteral("%1 abierto, pero la lectura de estatus falló (estatus %2, "
                                  "error %3)"))
        .arg(port)
        .arg(status)
        .arg(error);
}

QString missingPrivilege(const QString &privilege, const QString &object,
                         const QStringList &columns)
{
    return QStringLiteral("falta %1%2 sobre «%3»")
        .arg(privilege,
             columns.isEmpty()
                 ? QString()
                 : QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')'),
             object);
}

QString notWritable(const QString &path)
{
    return QStringLiteral("%1 no se puede escribir").arg(path);
}

QString serviceStatus(bool polling, int invoices, int creditNotes)
{
    return QStringLiteral("sondeo %1; pendientes: %2 facturas, %3 notas")
        .arg(polling ? QStringLiteral("en marcha") : QStringLiteral("detenido"))
        .arg(invoices)
        .arg(creditNotes);
}

QString restartPause(qint64 seconds)
{
    return QStringLiteral("arranque detenido; nuevo intento en %1 s").arg(seconds);
}

QString unknownPrinterType(const QString &type)
{
    return QStringLiteral("Tipo de impresora desconocido: %1 (HKA, SAMSUNG o DASCOM).").arg(type);
}

QString demoUrlUnusable(const QString &url, const QString &why)
{
    return QStringLiteral("La URL %1 no se puede usar: %2.").arg(url, why);
}

QString notADirectory(const QString &path)
{
    return QStringLiteral("%1 existe y no es un directorio.").arg(path);
}

QString directoryNotEmpty(const QString &path)
{
    return QStringLiteral("El directorio %1 no está vacío: no se sobrescribe nada.").arg(path);
}

QString directoryNotCreated(const QString &path)
{
    return QStringLiteral("No se pudo crear el directorio %1.").arg(path);
}

QString fileNotWritten(const QString &path)
{
    return QStringLiteral("No se pudo escribir %1.").arg(path);
}

QString invalidUrl(const QString &why)
{
    return QStringLiteral("URL no válida: ") + why;
}

QString titleWithRif(const QString &title, const QString &rif)
{
    return title + QStringLiteral(" ( RIF: ") + rif + QStringLiteral(" )");
}

QString atStage(double stage)
{
    return QStringLiteral(" (etapa %1)").arg(stage);
}

QString pendingLine(int invoices, int creditNotes)
{
    return QStringLiteral("Pendientes: %1 facturas, %2 notas de crédito")
        .arg(invoices)
        .arg(creditNotes);
}

QString numberAt(const QString &number, const QString &time)
{
    return QStringLiteral(", número ") + number + QStringLiteral(", ") + time;
}

QString numberUnreadableBeforeStart(DocumentKind kind, qint64 code)
{
    return QStringLiteral("No se pudo leer el último número de la impresora antes de empezar ") +
           (kind == DocumentKind::CreditNote ? QStringLiteral("la nota de crédito ")
                                             : QStringLiteral("la factura ")) +
           QString::number(code) + QStringLiteral(": no se envió nada y se intentará de nuevo.");
}

QString unaccountedNumbers(DocumentKind kind, const QString &first, const QString &last)
{
    const bool note = kind == DocumentKind::CreditNote;
    if (first == last)
        return (note ? QStringLiteral("la nota de crédito ") : QStringLiteral("la factura ")) +
               first;
    return (note ? QStringLiteral("las notas de crédito %1 a %2")
                 : QStringLiteral("las facturas %1 a %2"))
        .arg(first, last);
}

QString numbersNotAccounted(const QStringList &unaccounted)
{
    return QStringLiteral("La impresora fiscal ya emitió %1, que ni el diario de impresión ni la "
                          "base de datos registran para esta máquina fiscal: documentos emitidos "
                          "fuera del robot, o un diario perdido. No se imprime ningún documento "
                          "nuevo hasta que se revise y se acepten los números de la impresora "
                          "(Aceptar números, aceptar-numeros).")
        .arg(unaccounted.join(QStringLiteral(" y ")));
}

QString numberRange(const QString &document, const QString &first, const QString &last)
{
    return document + QLatin1Char(' ') + first +
           (first == last ? QString() : QStringLiteral(" a ") + last);
}

QString claimedByAnother(DocumentKind kind, qint64 code, const QString &robot)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" la tomó otro robot de esta máquina fiscal (%1) y no la ha resuelto: "
                          "este robot no la imprime.")
               .arg(robot);
}

QString claimsTableMissing(const QString &table, const QString &why)
{
    return QStringLiteral("Falta la tabla %1 en la base de datos y este robot no pudo crearla "
                          "(%2). No imprime hasta que exista: véase docs/installing.md.")
        .arg(table, why);
}

QString pictureNotWritten(const QString &path)
{
    return QStringLiteral("no se pudo escribir %1").arg(path);
}

QString fieldNotFound(const QString &field)
{
    return QStringLiteral("No se encuentra el campo '%1'.").arg(field);
}

QString noCurrentRecord(const QString &field)
{
    return QStringLiteral("No hay registro actual para leer el campo '%1'.").arg(field);
}

QString fieldNotANumber(const QString &field, const QString &value)
{
    return QStringLiteral("El campo '%1' no contiene un número: '%2'.").arg(field, value);
}

QString fieldNotADate(const QString &field, const QString &value)
{
    return QStringLiteral("El campo '%1' no contiene una fecha: '%2'.").arg(field, value);
}

QString portNotANumber(const QString &port)
{
    return QStringLiteral("el puerto %1 no es un número").arg(port);
}

QString semicolonInValue(const QString &keyword)
{
    return QStringLiteral("el valor de %1 lleva ';'").arg(keyword);
}

QString invalidDatevalue(const QString &text)
{
    return QStringLiteral("Fecha no válida en datevalue: '%1'.").arg(text);
}

const QString &documentWord(DocumentKind kind)
{
    return kind == DocumentKind::CreditNote ? kCreditNoteWord : kInvoiceWord;
}

QString cancelledByOperator(DocumentKind kind, qint64 code)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" fue anulada por el operador mientras se imprimía: no se registró y se "
                          "imprimirá de nuevo.");
}

QString nothingLeftOpen(DocumentKind kind, qint64 code, int error, int status)
{
    return documentWithCode(kind, code) +
           QStringLiteral(" no quedó abierta en la impresora, que rechazó la anulación (Error: "
                          "%1, Estatus: %2): se imprimirá de nuevo.")
               .arg(error)
               .arg(status);
}

QString cancelRefused(int error, int status)
{
    return QStringLiteral("la impresora rechazó la anulación: Error: %1, Estatus: %2")
        .arg(error)
        .arg(status);
}

QString attemptsAndNextTry(int attempts, const QString &time)
{
    return QStringLiteral(", intentos: %1, próximo intento: %2").arg(attempts).arg(time);
}

QString robotLine(const QString &version, const QString &started, const QString &lastTick)
{
    return QStringLiteral("Robot: versión %1, en marcha desde %2, último tick %3")
        .arg(version, started, lastTick.isEmpty() ? QStringLiteral("ninguno") : lastTick);
}

QString databaseLine(bool available, const QString &since)
{
    return (available ? QStringLiteral("Base de datos: disponible desde ")
                      : QStringLiteral("Base de datos: no disponible desde ")) +
           since;
}

QString machineLine(qint32 machine, const QString &lock)
{
    return QStringLiteral("Máquina fiscal %1: bloqueo %2").arg(machine).arg(lock);
}

QString printerLine(std::optional<bool> answers, const QString &since, const QString &lastAnswer,
                    int status, int error)
{
    if (!answers)
        return QStringLiteral("Impresora: sin leer todavía");
    if (*answers)
        return QStringLiteral("Impresora: responde, última respuesta ") + lastAnswer;
    return QStringLiteral("Impresora: no responde desde %1 (estatus %2, error %3)")
        .arg(since)
        .arg(status)
        .arg(error);
}

QString printerSilent(const QDateTime &since, int status, int error)
{
    return QStringLiteral("La impresora no responde desde las %1 (estatus %2, error %3): revise "
                          "que esté encendida y conectada.")
        .arg(since.toString(QStringLiteral("HH:mm:ss")))
        .arg(status)
        .arg(error);
}

QString checkLine(const QString &state, const QStringList &reasons)
{
    return state + QStringLiteral(" - robot-fiscal: ") + reasons.join(QStringLiteral("; "));
}

QString checkAllWell(int invoices, int creditNotes)
{
    return QStringLiteral("en marcha, pendientes: %1 facturas, %2 notas de crédito")
        .arg(invoices)
        .arg(creditNotes);
}

QString checkDatabaseAway(const QString &since)
{
    return QStringLiteral("base de datos no disponible desde ") + since;
}

QString checkMachineLock(qint32 machine, const QString &lock)
{
    return QStringLiteral("bloqueo de la máquina fiscal %1 %2").arg(machine).arg(lock);
}

QString checkUnaccounted(const QStringList &ranges)
{
    return QStringLiteral("números sin registrar: ") + ranges.join(QStringLiteral(", "));
}

QString checkHeld(const QStringList &documents)
{
    return QStringLiteral("retenidos: ") + documents.join(QStringLiteral(", "));
}

QString checkRecoveryHeld(const QString &document)
{
    return QStringLiteral("%1 sin resolver: nada nuevo se imprime").arg(document);
}

QString checkPrinterSilent(const QString &since)
{
    return QStringLiteral("la impresora no responde desde ") + since;
}

} // namespace core::texts
