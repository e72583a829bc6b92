#pragma once

#include "core/DocumentKind.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace core {

struct TrayIcon;

// The window's controls that the robot names.
enum class Control {
    Command1,  // "Anular"
    Command3,  // "Detener" / "Iniciar"
    Command4,  // "Minimizar"
    Command5,  // "Estatus", never shown
    Command6,  // "Cierre Z"
    Command7,  // "Opciones", never shown
    Command9,  // "Continuar"
    Command10, // "Cerrar"
    Command13, // "Reportes"
    Command19, // "Imprimir"
    Command21, // "Cierre X"
    Command22, // "Abrir G"
    Template,  // "Plantilla"
    // "Aceptar números": enabled while printer numbers wait for the operator.
    AcceptNumbers,
};

enum class ListDisplay { DBList1, DBList2, DBList3 };

struct Rgb
{
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// One line of standard output per document event when headless.
struct DocumentEvent
{
    enum class Kind { Started, Printed, Failed, Recovered, Held, Cancelled };
    Kind kind = Kind::Started;
    DocumentKind document = DocumentKind::Invoice;
    qint64 code = 0;
    QString number = {};  // printed, recovered
    QString zNumber = {}; // invoices only: the daily closure it belongs to
    double stage = 0.0;   // failed
    QString reason = {};  // held
    QDateTime time = {};  // when it happened
};

// Everything the robot shows or asks of its window. The core talks only to
// this; the Qt window, the headless window and the tests' recording window
// implement it.
class WindowServices
{
public:
    virtual ~WindowServices() = default;

    // A modal message with an OK button only; lines joined by a carriage return.
    virtual void messageBox(const QString &text) = 0;
    // Let pending events run (timer ticks and clicks included).
    virtual void processEvents() = 0;

    virtual void setTitle(const QString &title) = 0;
    virtual QString title() const = 0;
    virtual void setStatus(const QString &text) = 0; // VerEstatus
    virtual QString status() const = 0;
    virtual void setStage(const QString &text) = 0; // ViendoEstado
    virtual QString stage() const = 0;
    virtual void setProgress(int value) = 0; // Barra
    virtual int progress() const = 0;
    virtual void setLog(const QString &text) = 0; // Log
    virtual QString log() const = 0;

    virtual void setControlEnabled(Control control, bool enabled) = 0;
    virtual bool controlEnabled(Control control) const = 0;
    virtual void setCaption(Control control, const QString &caption) = 0;
    virtual QString caption(Control control) const = 0;
    // The whole window, for the fiscal-memory report.
    virtual void setWindowEnabled(bool enabled) = 0;
    virtual bool windowEnabled() const = 0;

    virtual void setListRows(ListDisplay list, const QStringList &rows) = 0;
    virtual QStringList listRows(ListDisplay list) const = 0;

    virtual void setBackgroundColor(Rgb colour) = 0;
    virtual Rgb backgroundColor() const = 0;
    // PrepararFormulario's colours and the window's place, in twips.
    virtual void prepareForm(Rgb formColour, int topTwips, int leftTwips) = 0;
    // Into the notification area, with the record's tip.
    virtual void minimizeToTray(const TrayIcon &icon) = 0;

    // A document started, printed, failed, recovered or held.
    virtual void documentEvent(const DocumentEvent &event) = 0;
    // A notice for whoever watches an unattended robot (standard error when headless).
    virtual void notice(const QString &text) = 0;
    // A change of the robot's own running state (standard output when headless).
    virtual void serviceEvent(const QDateTime &when, const QString &text) = 0;
};

} // namespace core
