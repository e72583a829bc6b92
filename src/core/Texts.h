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

} // namespace core::texts
