#pragma once

#include "core/DocumentKind.h"

#include <QString>

// Every text the robot shows an operator, kept together so that they can be
// reviewed at once. Accents, double blanks and trailing blanks are part of them.
namespace core::texts {

inline const QString kAppTitle = QStringLiteral("Robot Fiscal");
inline const QString kInitialTitle =
    QStringLiteral("Norvaldi - Robot de Impresión de Facturas Fiscales - SAMSUNG / DASCOM / HKA");
inline const QString kNoEjecutar = QStringLiteral("No ejecutar");
inline const QString kTrayTip = QStringLiteral("Robot de Facturación FISCAL");

// Start-up stops.
inline const QString kTipoImpresora =
    QStringLiteral("Deberá indicar el tipo SAMSUNG o DASCOM o HKA en el archivo de configuración.");
inline const QString kMantenimiento = QStringLiteral(
    "El servidor parece estar en mantenimiento. Por favor verifique e intente de nuevo más "
    "tarde.");
QString configuracionIlegible(const QString &path);
QString cajaNoNumerica(const QString &value, const QString &path);
QString bibliotecaNoCargada(const QString &library, const QString &reason);
QString bibliotecaSinEntrada(const QString &library, const QString &entry);
// Why a value of robot-fiscal.ini cannot be used (after the key and the value).
QString valorNoValido(const QString &key, const QString &value, const QString &why);
inline const QString kEscalaNoValida =
    QStringLiteral("debe ser un número entre 0.001 y 100 (1 es el tiempo real).");
inline const QString kCodigoPaginaDesconocido =
    QStringLiteral("esa página de códigos no existe en este sistema.");
inline const QString kCodigoPaginaNoOchoBits =
    QStringLiteral("la impresora fiscal recibe sus textos en una página de códigos de 8 bits, como "
                   "windows-1252.");
// Vextora.inf without a usable Caja: the robot prints for fiscal machine 0.
QString sinCaja(const QString &path);
QString maquinaFiscalOcupada(qint32 caja);
QString maquinaFiscalTomada(qint32 caja);

// Printer link.
inline const QString kErrorPuerto =
    QStringLiteral("Ocurrió un error abriendo el puerto. Por favor verifique.");
inline const QString kSinRespuesta = QStringLiteral("Sin respuesta");
inline const QString kEtapaPrefijo =
    QStringLiteral("No se pudo realizar la tarea. Por favor verifique la etapa ");
inline const QString kEtapaCaption = QStringLiteral("Etapa ");

// Polling cycle and lists.
inline const QString kEsperando = QStringLiteral("Esperando...");
inline const QString kRefrescandoTicketNoFiscal = QStringLiteral("Refrescando ticket no fiscal");
inline const QString kListoTicketNoFiscal = QStringLiteral("Listo ticket no fiscal");
inline const QString kRefrescandoTicketVentas = QStringLiteral("Refrescando ticket ventas");
inline const QString kListoTicketVentas = QStringLiteral("Listo ticket ventas");
inline const QString kConstruyendoFactura = QStringLiteral("Construyendo factura");
inline const QString kConstruyendoNota = QStringLiteral("Construyendo nota de crédito");
inline const QString kCaptionFacturas =
    QStringLiteral("Listado de Facturas pendientes por impresión");
inline const QString kCaptionNotas =
    QStringLiteral("Listado de Notas de Crédito pendientes por impresión");
inline const QString kCaptionTickets =
    QStringLiteral("Listado de Documentos No Fiscales pendientes por Impresión");
// Document jobs.
inline const QString kIniciandoFactura = QStringLiteral("Iniciando factura...");
inline const QString kTomandoDatos = QStringLiteral("Tomando datos generales...");
inline const QString kIniciandoComunicacion = QStringLiteral("Iniciando comunicación...");
inline const QString kEnviandoNombre = QStringLiteral("Enviando nombre...");
inline const QString kEnviandoRif = QStringLiteral("Enviando RIF...");
inline const QString kEnviandoDireccion = QStringLiteral("Enviando dirección...");
inline const QString kEnviandoOtros = QStringLiteral("Enviando otros campos...");
inline const QString kBuscandoDetalle = QStringLiteral("Buscando detalle...");
inline const QString kEnviandoItem = QStringLiteral("Enviando item ");
inline const QString kEnviandoFormaPago = QStringLiteral("Enviando forma de pago...");
inline const QString kChequeandoRespuesta = QStringLiteral("Chequeando respuesta...");
inline const QString kRegistrandoRespuesta = QStringLiteral("Registrando respuesta...");
inline const QString kFinalizandoFactura = QStringLiteral("Finalizando factura...");
QString documentoRetenido(DocumentKind kind, qint64 codigo, const QString &columna);
QString documentoRetenidoModoCantidad(DocumentKind kind, qint64 codigo);
QString errorBaseDatos(const QString &detalle);
QString impresoNoRegistrado(DocumentKind kind);
QString impresoSinNumeros(DocumentKind kind, qint64 codigo);
QString noCerrado(DocumentKind kind);
QString cierreNoEnviado(DocumentKind kind);
// Why a failed document waits before it is taken up again.
QString falloEnEtapa(double etapa);

inline const QString kSondeoReanudado = QStringLiteral("sondeo reanudado");
// Operator's printer actions.
inline const QString kErrorCierreDiario =
    QStringLiteral("Ocurrió un error imprimiendo el cierre diario. Por favor verifique.");
inline const QString kFalso = QStringLiteral("Falso");
inline const QString kIndiqueFecha = QStringLiteral("Por favor indique una fecha");
inline const QString kFechaFinalMayor =
    QStringLiteral("Fecha Final debe ser Mayor que Fecha Inicial");
inline const QString kDocumentoEnCurso =
    QStringLiteral("Se está imprimiendo un documento. Espere a que termine e intente de nuevo.");
inline const QString kIniciar = QStringLiteral("Iniciar");
inline const QString kDetener = QStringLiteral("Detener");
inline const QString kAnularTip = QStringLiteral("Haga click aquí anulación de documento trabado");
inline const QString kBaseDisponible = QStringLiteral("La base de datos está disponible de nuevo.");
// Recovery after a crash.
QString recuperadoSinImprimir(DocumentKind kind, qint64 codigo, const QString &numero);
QString anuladoParaReimprimir(DocumentKind kind, qint64 codigo);
QString recuperacionPendiente(DocumentKind kind, qint64 codigo, const QString &motivo);
inline const QString kNumeroIlegible =
    QStringLiteral("no se pudo leer el último número de la impresora");
QString diarioNoDisponible(const QString &detalle);
QString yaImpreso(DocumentKind kind, qint64 codigo, const QString &numero);

// Answers of the control commands (robot-fiscal COMMAND), one line each.
inline const QString kCierreXImpreso = QStringLiteral("Cierre X impreso.");
inline const QString kCierreZImpreso = QStringLiteral("Cierre Z impreso.");
inline const QString kGavetaAbierta = QStringLiteral("Gaveta abierta.");
inline const QString kAnulacionAceptada = QStringLiteral("La impresora aceptó la anulación (7).");
inline const QString kSondeoDetenido = QStringLiteral("Sondeo detenido.");
inline const QString kSondeoYaDetenido = QStringLiteral("El sondeo ya estaba detenido.");
inline const QString kSondeoIniciado = QStringLiteral("Sondeo iniciado.");
inline const QString kSondeoYaIniciado = QStringLiteral("El sondeo ya estaba en marcha.");
inline const QString kNoAutorizado =
    QStringLiteral("No autorizado: solo el usuario del robot, root y el grupo del directorio del "
                   "programa pueden controlarlo.");
inline const QString kControlOcupado =
    QStringLiteral("El robot atiende ya otras órdenes. Intente de nuevo.");
inline const QString kPeticionNoValida = QStringLiteral("Petición no válida.");
inline const QString kSinRespuestaRobot =
    QStringLiteral("El robot cerró la conexión sin responder.");
QString controlNoDisponible(const QString &path, const QString &why);
QString controlSinGrupo(const QString &path);
QString sinPermiso(const QString &path);
// What the printer refused, with its error and status words.
QString rechazo(const QString &que, int error, int estatus);
QString memoriaImpresa(const QString &desde, const QString &hasta);
QString fechaNoValida(const QString &fecha, const QString &formato);
QString reintento(DocumentKind kind, qint64 codigo);
QString noRetenido(DocumentKind kind, qint64 codigo);
QString enRecuperacion(DocumentKind kind, qint64 codigo);
QString directorioNoExiste(const QString &path);
QString sinRobot(const QString &path);

inline const QString kNoHayRegistros = QStringLiteral("No hay registros. Por favor verifique.");
inline const QString kSoloNumeros = QStringLiteral("Inserte solo números en esta casilla.");

// The command line: the synopsis and options of --help, and its refusals.
inline const QString kUsage = QStringLiteral(
    "Uso: robot-fiscal [--dir DIR] [--headless]\n"
    "     robot-fiscal --create-demo DIR [--printer HKA|SAMSUNG|DASCOM] [--database URL]\n"
    "     robot-fiscal [--dir DIR] ORDEN [ARGUMENTOS]\n"
    "     robot-fiscal --help | --version\n"
    "\n"
    "Robot de impresión fiscal: imprime las facturas y notas de crédito pendientes.\n"
    "Sin ORDEN, ejecuta el robot sobre el directorio del programa DIR.\n");
inline const QString kOptionsHeading = QStringLiteral("Opciones:");
inline const QString kDirOption = QStringLiteral("Directorio del programa.");
inline const QString kHeadlessOption = QStringLiteral("Sin ventana (servicio).");
inline const QString kCreateDemoOption =
    QStringLiteral("Crea en DIR una instalación de demostración con la impresora simulada.");
inline const QString kPrinterOption =
    QStringLiteral("Tipo de impresora de la demostración: HKA, SAMSUNG o DASCOM.");
inline const QString kDatabaseOption =
    QStringLiteral("Base de datos principal PostgreSQL de la demostración, vacía: "
                   "postgresql://USUARIO@SERVIDOR:PUERTO/NOMBRE.");
inline const QString kHelpOption = QStringLiteral("Muestra esta ayuda.");
inline const QString kVersionOption = QStringLiteral("Muestra la versión.");
inline const QString kCommandsHeading = QStringLiteral("Órdenes al robot en marcha sobre DIR:");
inline const QString kCommandExitStatuses = QStringLiteral(
    "Estado de salida de una orden: 0 hecha, 1 rechazada o fallida, 2 orden o argumento "
    "erróneo,\n3 no hay un robot en marcha sobre DIR.\n");
inline const QString kDemoOptionsAlone =
    QStringLiteral("--printer y --database solo acompañan a --create-demo.");
inline const QString kHeadlessWithCommand = QStringLiteral("--headless no acompaña a una orden.");
QString demoCreated(const QString &dir);

// The control commands: each one's name, its arguments as its usage shows
// them and its line of --help.
struct CommandText
{
    QString name;
    QString arguments;
    QString help;
};
inline const CommandText kStatusCommand{
    QStringLiteral("estado"), QStringLiteral("[--json]"),
    QStringLiteral("sondeo, documento en curso, pendientes, retenidos y último impreso")};
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
inline const QString kMissingCommand = QStringLiteral("Falta la orden.");
QString unknownCommand(const QString &command);
QString wrongArguments(const QString &command, const QString &usage);

// What the printer refused, for rechazo(), and the words of its answer.
inline const QString kXReportRefused = QStringLiteral("el cierre X");
inline const QString kZReportRefused = QStringLiteral("el cierre Z");
inline const QString kOpenDrawerRefused = QStringLiteral("abrir la gaveta");
inline const QString kCancelRefused = QStringLiteral("la anulación");
inline const QString kFiscalMemoryRefused = QStringLiteral("el reporte de memoria fiscal");
inline const QString kErrorLabel = QStringLiteral("Error: ");
inline const QString kStatusLabel = QStringLiteral("Estatus: ");

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
inline const QString kDesdeLabel = QStringLiteral("Desde:");
inline const QString kHastaLabel = QStringLiteral("Hasta:");
inline const QString kDesdeInitial = QStringLiteral("01/01/2015");
inline const QString kHastaInitial = QStringLiteral("31/01/2015");
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

// Headless output: a document event's words, in the order of
// DocumentEvent::Kind, the kind of document and the fields after the code.
inline const QString kEventWords[] = {QStringLiteral("inicio"),   QStringLiteral("impresa"),
                                      QStringLiteral("fallo"),    QStringLiteral("recuperada"),
                                      QStringLiteral("retenida"), QStringLiteral("anulada")};
inline const QString kInvoiceWord = QStringLiteral("factura");
inline const QString kCreditNoteWord = QStringLiteral("nota");
inline const QString kZField = QStringLiteral(" Z=");
inline const QString kStageField = QStringLiteral(" etapa=");

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

} // namespace core::texts
