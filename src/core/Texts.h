#pragma once

#include "core/DocumentKind.h"

#include <QString>
#include <QStringList>
#include <optional>

class QDateTime;

// Every text the robot shows an operator, kept together so that they can be
// reviewed at once. Accents, double blanks and trailing blanks are part of them.
namespace core::texts {

inline const QString kAppTitle = QStringLiteral("Robot Fiscal");
inline const QString kInitialTitle =
    QStringLiteral("Norvaldi - Robot de Impresión de Facturas Fiscales - SAMSUNG / DASCOM / HKA");
inline const QString kDoNotRun = QStringLiteral("No ejecutar");
inline const QString kTrayTip = QStringLiteral("Robot de Facturación FISCAL");

// Start-up stops.
inline const QString kPrinterTypeMissing =
    QStringLiteral("Deberá indicar el tipo SAMSUNG o DASCOM o HKA en el archivo de configuración.");
inline const QString kMaintenance = QStringLiteral(
    "El servidor parece estar en mantenimiento. Por favor verifique e intente de nuevo más "
    "tarde.");
QString unreadableConfiguration(const QString &path);
QString machineNotANumber(const QString &value, const QString &path);
QString libraryNotLoaded(const QString &library, const QString &reason);
QString libraryWithoutEntry(const QString &library, const QString &entry);
// Why a value of robot-fiscal.ini cannot be used (after the key and the value).
QString unusableValue(const QString &key, const QString &value, const QString &why);
inline const QString kUnusableScale =
    QStringLiteral("debe ser un número entre 0.001 y 100 (1 es el tiempo real).");
inline const QString kUnusableProbe =
    QStringLiteral("debe ser un número de minutos entre 0 y 1440 (0: sin lecturas en reposo).");
inline const QString kUnknownCodePage =
    QStringLiteral("esa página de códigos no existe en este sistema.");
inline const QString kCodePageNotEightBit =
    QStringLiteral("la impresora fiscal recibe sus textos en una página de códigos de 8 bits, como "
                   "windows-1252.");
// Vextora.inf without a usable Caja: the robot prints for fiscal machine 0.
QString noMachine(const QString &path);
QString fiscalMachineBusy(qint32 machine);
QString fiscalMachineTaken(qint32 machine);
// A lock file that named no live process (a power cut, garbage) was taken over.
QString staleLockTakenOver(const QString &path);

// Printer link.
inline const QString kPortError =
    QStringLiteral("Ocurrió un error abriendo el puerto. Por favor verifique.");
inline const QString kNoAnswer = QStringLiteral("Sin respuesta");
inline const QString kStagePrefix =
    QStringLiteral("No se pudo realizar la tarea. Por favor verifique la etapa ");
inline const QString kStageCaption = QStringLiteral("Etapa ");

// Polling cycle and lists.
inline const QString kWaiting = QStringLiteral("Esperando...");
inline const QString kRefreshingTickets = QStringLiteral("Refrescando ticket no fiscal");
inline const QString kTicketsReady = QStringLiteral("Listo ticket no fiscal");
inline const QString kRefreshingSales = QStringLiteral("Refrescando ticket ventas");
inline const QString kSalesReady = QStringLiteral("Listo ticket ventas");
inline const QString kBuildingInvoice = QStringLiteral("Construyendo factura");
inline const QString kBuildingCreditNote = QStringLiteral("Construyendo nota de crédito");
inline const QString kInvoicesCaption =
    QStringLiteral("Listado de Facturas pendientes por impresión");
inline const QString kCreditNotesCaption =
    QStringLiteral("Listado de Notas de Crédito pendientes por impresión");
inline const QString kTicketsCaption =
    QStringLiteral("Listado de Documentos No Fiscales pendientes por Impresión");
// Document jobs.
inline const QString kStartingInvoice = QStringLiteral("Iniciando factura...");
inline const QString kReadingData = QStringLiteral("Tomando datos generales...");
inline const QString kStartingCommunication = QStringLiteral("Iniciando comunicación...");
inline const QString kSendingName = QStringLiteral("Enviando nombre...");
inline const QString kSendingRif = QStringLiteral("Enviando RIF...");
inline const QString kSendingAddress = QStringLiteral("Enviando dirección...");
inline const QString kSendingOtherFields = QStringLiteral("Enviando otros campos...");
inline const QString kReadingItems = QStringLiteral("Buscando detalle...");
inline const QString kSendingItem = QStringLiteral("Enviando item ");
inline const QString kSendingPayment = QStringLiteral("Enviando forma de pago...");
inline const QString kCheckingAnswer = QStringLiteral("Chequeando respuesta...");
inline const QString kRecordingAnswer = QStringLiteral("Registrando respuesta...");
inline const QString kFinishingInvoice = QStringLiteral("Finalizando factura...");
QString documentHeld(DocumentKind kind, qint64 code, const QString &column);
QString documentHeldForQuantityMode(DocumentKind kind, qint64 code);
QString databaseError(const QString &detail);
QString printedNotRecorded(DocumentKind kind);
QString printedWithoutNumbers(DocumentKind kind, qint64 code);
QString notClosed(DocumentKind kind);
QString closingNotSent(DocumentKind kind);
// Why a failed document waits before it is taken up again.
QString failedAtStage(double stage);
// Printed on the fiscal document: the labels of the invoice's header lines,
// the invoice a credit note corrects and the line of a note without detail.
inline const QString kPhoneLabel = QStringLiteral("Telefono: ");
inline const QString kOperatorLabel = QStringLiteral("Operador: ");
inline const QString kPaymentFormLabel = QStringLiteral("Forma de Pago: ");
inline const QString kPurchaseOrderLabel = QStringLiteral("Orden de Compra: ");
inline const QString kCorrectedInvoiceLabel = QStringLiteral("Factura afectada: ");
inline const QString kInvoiceDiscountLine = QStringLiteral("Descuento a factura");

inline const QString kPollingResumed = QStringLiteral("sondeo reanudado");
// Operator's printer actions.
inline const QString kDailyReportError =
    QStringLiteral("Ocurrió un error imprimiendo el cierre diario. Por favor verifique.");
inline const QString kFalse = QStringLiteral("Falso");
inline const QString kGiveADate = QStringLiteral("Por favor indique una fecha");
inline const QString kEndDateMustBeLater =
    QStringLiteral("Fecha Final debe ser Mayor que Fecha Inicial");
inline const QString kDocumentPrinting =
    QStringLiteral("Se está imprimiendo un documento. Espere a que termine e intente de nuevo.");
inline const QString kStartCaption = QStringLiteral("Iniciar");
inline const QString kStopCaption = QStringLiteral("Detener");
inline const QString kCancelTip = QStringLiteral("Haga click aquí anulación de documento trabado");
inline const QString kDatabaseBack = QStringLiteral("La base de datos está disponible de nuevo.");
// Recovery after a crash.
QString recoveredWithoutPrinting(DocumentKind kind, qint64 code, const QString &number);
QString cancelledToPrintAgain(DocumentKind kind, qint64 code);
QString recoveryPending(DocumentKind kind, qint64 code, const QString &reason);
inline const QString kNumberUnreadable =
    QStringLiteral("no se pudo leer el último número de la impresora");
QString journalUnavailable(const QString &detail);
QString alreadyPrinted(DocumentKind kind, qint64 code, const QString &number);

// Answers of the control commands (robot-fiscal COMMAND), one line each.
inline const QString kXReportPrinted = QStringLiteral("Cierre X impreso.");
inline const QString kZReportPrinted = QStringLiteral("Cierre Z impreso.");
inline const QString kDrawerOpened = QStringLiteral("Gaveta abierta.");
inline const QString kCancelAccepted = QStringLiteral("La impresora aceptó la anulación (7).");
inline const QString kPollingStoppedNow = QStringLiteral("Sondeo detenido.");
inline const QString kPollingAlreadyStopped = QStringLiteral("El sondeo ya estaba detenido.");
inline const QString kPollingStartedNow = QStringLiteral("Sondeo iniciado.");
inline const QString kPollingAlreadyRunning = QStringLiteral("El sondeo ya estaba en marcha.");
inline const QString kNotAuthorised =
    QStringLiteral("No autorizado: solo el usuario del robot, root y el grupo del directorio del "
                   "programa pueden controlarlo.");
inline const QString kControlBusy =
    QStringLiteral("El robot atiende ya otras órdenes. Intente de nuevo.");
inline const QString kControlBusyForUser =
    QStringLiteral("Este usuario tiene ya demasiadas órdenes abiertas con el robot. Espere a que "
                   "terminen e intente de nuevo.");
inline const QString kInvalidRequest = QStringLiteral("Petición no válida.");
inline const QString kRobotClosedWithoutAnswer =
    QStringLiteral("El robot cerró la conexión sin responder.");
QString controlUnavailable(const QString &path, const QString &why);
QString controlWithoutGroup(const QString &path);
QString noPermission(const QString &path);
// What the printer refused, with its error and status words.
QString printerRefused(const QString &what, int error, int status);
QString fiscalMemoryPrinted(const QString &from, const QString &to);
QString invalidDate(const QString &date, const QString &format);
QString retryAccepted(DocumentKind kind, qint64 code);
QString notHeld(DocumentKind kind, qint64 code);
QString inRecovery(DocumentKind kind, qint64 code);
// reintentar on a document the printer already closed: it stays held.
QString staysHeldAlreadyPrinted(DocumentKind kind, qint64 code, const QString &number);
// A fiscal-memory date whose year the printer's two-digit year cannot carry.
QString yearOutOfPrinterRange(const QString &date, int firstYear, int lastYear);
QString directoryMissing(const QString &path);
QString noRobot(const QString &path);

inline const QString kNoRecords = QStringLiteral("No hay registros. Por favor verifique.");
inline const QString kDigitsOnly = QStringLiteral("Inserte solo números en esta casilla.");

// The command line: the synopsis and options of --help, and its refusals.
inline const QString kUsage = QStringLiteral(
    "Uso: robot-fiscal [--dir DIR] [--headless]\n"
    "     robot-fiscal --create-demo DIR [--printer HKA|SAMSUNG|DASCOM] [--database URL]\n"
    "     robot-fiscal --init DIR [--printer HKA|SAMSUNG|DASCOM] [--database URL]\n"
    "     robot-fiscal [--dir DIR | --instancia NOMBRE] ORDEN [ARGUMENTOS]\n"
    "     robot-fiscal --help | --version\n"
    "\n"
    "Robot de impresión fiscal: imprime las facturas y notas de crédito pendientes.\n"
    "Sin ORDEN, ejecuta el robot sobre el directorio del programa DIR.\n"
    "--instancia NOMBRE (o ROBOT_FISCAL_INSTANCIA=NOMBRE) es --dir "
    "/var/lib/robot-fiscal/NOMBRE.\n");
inline const QString kOptionsHeading = QStringLiteral("Opciones:");
inline const QString kDirOption = QStringLiteral("Directorio del programa.");
inline const QString kHeadlessOption = QStringLiteral("Sin ventana (servicio).");
inline const QString kCreateDemoOption =
    QStringLiteral("Crea en DIR una instalación de demostración con la impresora simulada.");
inline const QString kPrinterOption =
    QStringLiteral("Tipo de impresora de --create-demo o --init: HKA, SAMSUNG o DASCOM.");
inline const QString kDatabaseOption =
    QStringLiteral("Base de datos principal PostgreSQL de --create-demo (vacía) o --init: "
                   "postgresql://USUARIO@SERVIDOR:PUERTO/NOMBRE.");
inline const QString kHelpOption = QStringLiteral("Muestra esta ayuda.");
inline const QString kVersionOption = QStringLiteral("Muestra la versión.");
inline const QString kCommandsHeading = QStringLiteral("Órdenes al robot en marcha sobre DIR:");
inline const QString kCommandExitStatuses = QStringLiteral(
    "Estado de salida de una orden: 0 hecha, 1 rechazada o fallida, 2 orden o argumento "
    "erróneo,\n3 no hay un robot en marcha sobre DIR.\n");
inline const QString kDemoOptionsAlone =
    QStringLiteral("--printer y --database solo acompañan a --create-demo o a --init.");
inline const QString kDemoOrInit = QStringLiteral("--create-demo o --init, no ambas.");
inline const QString kInstanceOption =
    QStringLiteral("Instancia instalada: el directorio del programa /var/lib/robot-fiscal/NOMBRE.");
inline const QString kDirOrInstance = QStringLiteral("--dir o --instancia, no ambas.");
QString instanceNotAName(const QString &name);
inline const QString kHeadlessWithCommand = QStringLiteral("--headless no acompaña a una orden.");
QString demoCreated(const QString &dir);
// --init: the empty installation's files, its line, and its option.
inline const QString kInitOption = QStringLiteral(
    "Crea en DIR una instalación vacía, con cada clave explicada, para completarla.");
QString installationCreated(const QString &dir);
// Vextora.inf: the six items, then what each one is for.
QString emptyConfiguration(const QString &dataDir, const QString &printerType);
// robot-fiscal.ini with every key, each explained; `urlValue` as it stands after "Url=".
QString emptySettings(const QString &urlValue);

// The control commands: each one's name, its arguments as its usage shows
// them and its line of --help.
struct CommandText
{
    QString name;
    QString arguments;
    QString help;
};
inline const CommandText kStatusCommand{
    QStringLiteral("estado"), QStringLiteral("[--json | --check]"),
    QStringLiteral("sondeo, documento en curso, pendientes, retenidos, último impreso y salud")};
inline const CommandText kXReportCommand{
    QStringLiteral("cierre-x"), {}, QStringLiteral("imprime el reporte X")};
inline const CommandText kZReportCommand{
    QStringLiteral("cierre-z"), {}, QStringLiteral("imprime el cierre diario (reporte Z)")};
inline const CommandText kOpenDrawerCommand{
    QStringLiteral("abrir-gaveta"), {}, QStringLiteral("abre la gaveta de dinero")};
inline const CommandText kCancelCommand{
    QStringLiteral("anular"), {}, QStringLiteral("anula el documento abierto en la impresora")};
inline const CommandText kFiscalMemoryCommand{
    QStringLiteral("reporte-memoria"), QStringLiteral("DESDE HASTA"),
    QStringLiteral("reporte de memoria fiscal entre dos fechas (ShortDateFormat)")};
inline const CommandText kStopCommand{
    QStringLiteral("detener"), {}, QStringLiteral("detiene el sondeo")};
inline const CommandText kStartCommand{
    QStringLiteral("iniciar"), {}, QStringLiteral("reanuda el sondeo")};
inline const CommandText kRetryCommand{
    QStringLiteral("reintentar"), QStringLiteral("factura|nota CODIGO"),
    QStringLiteral("vuelve a tomar un documento retenido en el próximo ciclo")};
// Not an order to the robot: answered by the program itself.
inline const CommandText kVerifyCommand{
    QStringLiteral("verificar"),
    {},
    QStringLiteral("revisa la instalación, con el robot en marcha o sin él")};
inline const QString kMissingCommand = QStringLiteral("Falta la orden.");
QString unknownCommand(const QString &command);
QString wrongArguments(const QString &command, const QString &usage);

// What the printer refused, for printerRefused(), and the words of its answer.
inline const QString kXReportRefused = QStringLiteral("el cierre X");
inline const QString kZReportRefused = QStringLiteral("el cierre Z");
inline const QString kOpenDrawerRefused = QStringLiteral("abrir la gaveta");
inline const QString kCancelRefused = QStringLiteral("la anulación");
inline const QString kFiscalMemoryRefused = QStringLiteral("el reporte de memoria fiscal");
inline const QString kErrorLabel = QStringLiteral("Error: ");
inline const QString kStatusLabel = QStringLiteral("Estatus: ");

// verificar: one line per check, its result word first.
inline const QString kCheckPassed = QStringLiteral("OK");
inline const QString kCheckFailed = QStringLiteral("FALLA");
inline const QString kCheckSkipped = QStringLiteral("OMITIDA");
inline const QString kCheckProgramDirectory = QStringLiteral("directorio del programa");
inline const QString kCheckSettingsRead = QStringLiteral("valores válidos");
inline const QString kCheckSettingsAbsent = QStringLiteral("no existe: valores por omisión");
inline const QString kConfigurationKeys[6] = {
    QStringLiteral("Datos:"),      QStringLiteral("Impresora:"), QStringLiteral("Puerto:"),
    QStringLiteral("80Columnas:"), QStringLiteral("Serial:"),    QStringLiteral("Caja:")};
QString keyMissing(const QString &key, int position);
QString configurationRead(qint32 machine, const QString &port);
inline const QString kCheckDataDirectory = QStringLiteral("directorio de datos");
inline const QString kCheckMarker = QStringLiteral("marca de mantenimiento");
QString markerMissing(const QString &path);
inline const QString kCheckDriver = QStringLiteral("biblioteca del controlador");
QString driverLoaded(const QString &path);
inline const QString kCheckPort = QStringLiteral("puerto");
inline const QString kCheckPortInUse =
    QStringLiteral("el robot en marcha lo usa; vea «robot-fiscal estado»");
inline const QString kCheckPortNoDriver =
    QStringLiteral("no se prueba sin la biblioteca del controlador y Vextora.inf");
QString portNotOpened(const QString &port);
QString statusRead(const QString &port, bool read, int status, int error);
inline const QString kCheckMainDatabase = QStringLiteral("base de datos principal");
QString missingPrivilege(const QString &privilege, const QString &object,
                         const QStringList &columns);
QString notWritable(const QString &path);
inline const QString kCheckLocalDatabase = QStringLiteral("base de datos local");
inline const QString kCheckJournal = QStringLiteral("diario de impresión");
inline const QString kCheckJournalNew =
    QStringLiteral("no existe aún: el robot lo crea al arrancar");

// The service's status line under systemd, and the wait before a restart.
QString serviceStatus(bool polling, int invoices, int creditNotes);
QString restartPause(qint64 seconds);

// The demo installation's refusals.
QString unknownPrinterType(const QString &type);
QString demoUrlUnusable(const QString &url, const QString &why);
QString notADirectory(const QString &path);
QString directoryNotEmpty(const QString &path);
QString directoryNotCreated(const QString &path);
QString fileNotWritten(const QString &path);

// The shipped schema and the databases it creates.
inline const QString kSqlScriptMissing =
    QStringLiteral("Falta el guion SQL incorporado al programa.");
inline const QString kFileExists = QStringLiteral("El archivo ya existe.");
inline const QString kDatabaseNotEmpty = QStringLiteral(
    "La base de datos no está vacía: ya tiene tablas o vistas. No se sobrescribe nada.");
QString invalidUrl(const QString &why);

// The window's captions and labels.
inline const QString kCancelCaption = QStringLiteral("Anular");
inline const QString kMinimizeCaption = QStringLiteral("Minimizar");
inline const QString kStatusCaption = QStringLiteral("Estatus");
inline const QString kZReportCaption = QStringLiteral("Cierre Z");
inline const QString kOptionsCaption = QStringLiteral("Opciones");
inline const QString kContinueCaption = QStringLiteral("Continuar");
inline const QString kCloseCaption = QStringLiteral("Cerrar");
inline const QString kReportsCaption = QStringLiteral("Reportes");
inline const QString kPrintCaption = QStringLiteral("Imprimir");
inline const QString kXReportCaption = QStringLiteral("Cierre X");
inline const QString kOpenDrawerCaption = QStringLiteral("Abrir G");
inline const QString kTemplateCaption = QStringLiteral("Plantilla");
inline const QString kApplyCaption = QStringLiteral("Aplicar");
inline const QString kFiscalMemoryFrame = QStringLiteral("Memoria Fiscal y Memoria de Auditoria");
inline const QString kDateRangeFrame = QStringLiteral("Por Rango de Fecha");
inline const QString kFiscalMemoryGroup = QStringLiteral("Memoria Fiscal");
inline const QString kFromLabel = QStringLiteral("Desde:");
inline const QString kToLabel = QStringLiteral("Hasta:");
inline const QString kFromInitial = QStringLiteral("01/01/2015");
inline const QString kToInitial = QStringLiteral("31/01/2015");
inline const QString kLogLabel = QStringLiteral("Log");
QString titleWithRif(const QString &title, const QString &rif);

// `estado`: one line each for polling, the document printing, the pending,
// held and last printed documents.
inline const QString kPollingLine = QStringLiteral("Sondeo: ");
inline const QString kPollingRuns = QStringLiteral("en marcha");
inline const QString kPollingStopped = QStringLiteral("detenido");
inline const QString kPrintingLine = QStringLiteral("Imprimiendo: ");
inline const QString kNothing = QStringLiteral("nada");
inline const QString kHeldLine = QStringLiteral("Retenidos: ");
inline const QString kNone = QStringLiteral("ninguno");
inline const QString kLastPrintedLine = QStringLiteral("Último impreso: ");
QString atStage(double stage);
QString pendingLine(int invoices, int creditNotes);
QString numberAt(const QString &number, const QString &time);
// `estado --json`: the keys of its object and of each document in it.
inline const QString kJsonPolling = QStringLiteral("sondeo");
inline const QString kJsonPrinting = QStringLiteral("imprimiendo");
inline const QString kJsonPending = QStringLiteral("pendientes");
inline const QString kJsonInvoices = QStringLiteral("facturas");
inline const QString kJsonCreditNotes = QStringLiteral("notas");
inline const QString kJsonHeld = QStringLiteral("retenidos");
inline const QString kJsonLastPrinted = QStringLiteral("ultimo");
inline const QString kJsonDocument = QStringLiteral("documento");
inline const QString kJsonCode = QStringLiteral("codigo");
inline const QString kJsonStage = QStringLiteral("etapa");
inline const QString kJsonReason = QStringLiteral("motivo");
inline const QString kJsonNumber = QStringLiteral("numero");
inline const QString kJsonTime = QStringLiteral("hora");

// Headless output: a document event's words, in the order of
// DocumentEvent::Kind, the kind of document and the fields after the code.
inline const QString kEventWords[] = {QStringLiteral("inicio"),   QStringLiteral("impresa"),
                                      QStringLiteral("fallo"),    QStringLiteral("recuperada"),
                                      QStringLiteral("retenida"), QStringLiteral("anulada")};
// The kind of document is written the same in `reintentar` and `estado`.
inline const QString kInvoiceWord = QStringLiteral("factura");
inline const QString kCreditNoteWord = QStringLiteral("nota");
const QString &documentWord(DocumentKind kind);
inline const QString kZField = QStringLiteral(" Z=");
inline const QString kStageField = QStringLiteral(" etapa=");

// The printer's last number before a document's first command, the
// printer's numbers against what the robot can account for, and the claims
// of the robots of one fiscal machine.
QString numberUnreadableBeforeStart(DocumentKind kind, qint64 code);
// "la factura 00000041", "las notas de crédito 00000008 a 00000010".
QString unaccountedNumbers(DocumentKind kind, const QString &first, const QString &last);
QString numbersNotAccounted(const QStringList &unaccounted);
inline const QString kNumbersAccepted =
    QStringLiteral("Números de la impresora aceptados: el robot sigue imprimiendo.");
inline const QString kNoNumbersToAccept =
    QStringLiteral("No hay números de la impresora por aceptar.");
inline const QString kAcceptNumbersCaption = QStringLiteral("Aceptar números");
inline const CommandText kAcceptNumbersCommand{
    QStringLiteral("aceptar-numeros"),
    {},
    QStringLiteral("da por emitidos los números de la impresora que nada registra")};
inline const QString kUnaccountedLine = QStringLiteral("Números sin registrar: ");
inline const QString kJsonUnaccounted = QStringLiteral("sin_registrar");
// How changes of the main database reach the robot: its ticks alone, the
// file's changes, or the server's notifications.
inline const QString kJsonWake = QStringLiteral("despertar");
inline const QString kWakeTicks = QStringLiteral("ticks");
inline const QString kWakeChanges = QStringLiteral("cambios");
inline const QString kWakeNotifications = QStringLiteral("notificaciones");
inline const QString kJsonFrom = QStringLiteral("desde");
inline const QString kJsonTo = QStringLiteral("hasta");
// "factura 00000041" or "factura 00000041 a 00000043", for estado.
QString numberRange(const QString &document, const QString &first, const QString &last);
QString claimedByAnother(DocumentKind kind, qint64 code, const QString &robot);
QString claimsTableMissing(const QString &table, const QString &why);

// The README's picture of the window.
inline const QString kScreenshotUsage = QStringLiteral("uso: console-screenshot DIR PNG");
QString pictureNotWritten(const QString &path);

// Reading the company's settings row.
inline const QString kNoConfigurationRow =
    QStringLiteral("La tabla Configuración no tiene ninguna fila");

// The databases: why one cannot be opened or read.
inline const QString kDatabaseClosed = QStringLiteral("La base de datos está cerrada.");
inline const QString kNoDatabaseFile = QStringLiteral("No existe el archivo de base de datos.");
inline const QString kNotADatabaseFile = QStringLiteral("No es un archivo de base de datos.");
inline const QString kNoSqliteDriver =
    QStringLiteral("Falta el controlador SQLite de Qt (QSQLITE).");
inline const QString kNoPostgresDriver =
    QStringLiteral("Falta el controlador PostgreSQL de Qt (QPSQL, paquete libqt6sql6-psql).");
inline const QString kNoServerConnection =
    QStringLiteral("No hay conexión con el servidor de la base de datos.");
inline const QString kLockFileNotCreated =
    QStringLiteral("No se pudo crear el archivo de bloqueo.");
inline const QString kZCounterNotANumber =
    QStringLiteral("El contador Z de la respuesta no es un número.");
QString fieldNotFound(const QString &field);
QString noCurrentRecord(const QString &field);
QString fieldNotANumber(const QString &field, const QString &value);
QString fieldNotADate(const QString &field, const QString &value);
// Why a PostgreSQL URL cannot be used (after the URL).
inline const QString kNotAPostgresUrl = QStringLiteral("no empieza por postgresql://");
inline const QString kNoLibpq =
    QStringLiteral("falta la biblioteca libpq de PostgreSQL (paquete libqt6sql6-psql)");
inline const QString kOutOfMemory = QStringLiteral("sin memoria");
inline const QString kPasswordInUrl =
    QStringLiteral("lleva una contraseña; va en ~/.pgpass, PGPASSFILE o PGSERVICE");
QString portNotANumber(const QString &port);
QString semicolonInValue(const QString &keyword);
// Why a statement's Jet SQL cannot be translated, and a SQLite connection
// the robot could not set up as the dialect needs it.
inline const QString kUnclosedText = QStringLiteral("Texto sin comilla de cierre.");
inline const QString kUnclosedBracket = QStringLiteral("Nombre entre corchetes sin cierre.");
inline const QString kUnclosedParenthesis = QStringLiteral("Paréntesis sin cierre.");
inline const QString kUnopenedParenthesis = QStringLiteral("Paréntesis de cierre sin apertura.");
QString invalidDatevalue(const QString &text);
inline const QString kSqliteNotPrepared = QStringLiteral("No se pudo preparar la conexión SQLite.");

// The job in the shop: a document the operator cancelled while it printed,
// and a "7" the printer refused.
QString cancelledByOperator(DocumentKind kind, qint64 code);
// Refused with nothing open: the document may be printed again.
QString nothingLeftOpen(DocumentKind kind, qint64 code, int error, int status);
// Refused with a document open, or the printer's state unknown (a reason
// for recoveryPending()).
QString cancelRefused(int error, int status);

// A document that fails again waits longer each time; `estado` tells how
// often it was tried and when it is tried next.
inline const QString kJsonAttempts = QStringLiteral("intentos");
inline const QString kJsonNextTry = QStringLiteral("proximo_intento");
QString attemptsAndNextTry(int attempts, const QString &time);

// `estado`'s health: the robot, the main database, the fiscal machine's lock
// and the printer, each with since when it is as it is.
inline const QString kJsonVersion = QStringLiteral("version");
inline const QString kJsonLastTick = QStringLiteral("ultimo_tick");
inline const QString kJsonDatabase = QStringLiteral("base_de_datos");
inline const QString kJsonAvailable = QStringLiteral("disponible");
inline const QString kJsonMachine = QStringLiteral("maquina");
inline const QString kJsonLock = QStringLiteral("bloqueo");
inline const QString kLockHeld = QStringLiteral("tomado");
inline const QString kLockLost = QStringLiteral("perdido");
inline const QString kLockAwaited = QStringLiteral("esperando");
inline const QString kJsonPrinter = QStringLiteral("impresora");
inline const QString kJsonAnswers = QStringLiteral("responde");
inline const QString kJsonLastAnswer = QStringLiteral("ultima_respuesta");
inline const QString kJsonStatusWord = QStringLiteral("estatus");
inline const QString kJsonErrorWord = QStringLiteral("error");
// "Robot: versión 1.4.0, en marcha desde T, último tick T"
QString robotLine(const QString &version, const QString &started, const QString &lastTick);
// "Base de datos: disponible desde T" or "Base de datos: no disponible desde T"
QString databaseLine(bool available, const QString &since);
// "Máquina fiscal 1: bloqueo tomado"
QString machineLine(qint32 machine, const QString &lock);
// "Impresora: responde, última respuesta T", "Impresora: no responde desde T
// (estatus N, error N)", or not read yet.
QString printerLine(std::optional<bool> answers, const QString &since, const QString &lastAnswer,
                    int status, int error);
// The idle probe's messages.
QString printerSilent(const QDateTime &since, int status, int error);
inline const QString kPrinterAnswersAgain = QStringLiteral("La impresora responde de nuevo.");
// `estado --check`: one line, its first word the state (OK, AVISO, CRÍTICO,
// DESCONOCIDO, as a monitoring plugin's), then what makes it so.
inline const QString kCheckOk = QStringLiteral("OK");
inline const QString kCheckWarning = QStringLiteral("AVISO");
inline const QString kCheckCritical = QStringLiteral("CRÍTICO");
inline const QString kCheckUnknown = QStringLiteral("DESCONOCIDO");
inline const QString kCheckOption = QStringLiteral("--check");
QString checkLine(const QString &state, const QStringList &reasons);
QString checkAllWell(int invoices, int creditNotes);
QString checkDatabaseAway(const QString &since);
QString checkMachineLock(qint32 machine, const QString &lock);
inline const QString kCheckStoppedByFault =
    QStringLiteral("sondeo detenido por una falla (puerto o impresora)");
inline const QString kCheckStoppedByOperator = QStringLiteral("sondeo detenido por el operador");
QString checkUnaccounted(const QStringList &ranges);
QString checkHeld(const QStringList &documents);
QString checkRecoveryHeld(const QString &document);
QString checkPrinterSilent(const QString &since);

// A Z report judged by the printer's Z counter, read before and after it.
inline const QString kZCounterUnreadable =
    QStringLiteral("No se pudo leer el contador Z de la impresora: el cierre Z no se envió.");
inline const QString kZReportUnknown = QStringLiteral(
    "La respuesta de la impresora al cierre Z se perdió y no se pudo leer su contador Z: no se "
    "sabe si lo imprimió. Pídalo de nuevo: antes de enviar otro, el robot lee el contador y no "
    "lo repite si ya se imprimió.");

} // namespace core::texts
