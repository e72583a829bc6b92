#pragma once

#include "core/DocumentKind.h"
#include "robot/Outcome.h"

#include <QString>
#include <functional>

namespace robot {

class Robot;

// What the operator asks of the robot by hand: the printer reports and
// actions behind the window's buttons, stopping and starting polling, and
// letting a held document go. The window and the control server both call
// these; each returns its outcome. The reports and the drawer are held back
// while a document is being printed; Anular never is, as it is for a
// document left open.
class PrinterActions
{
public:
    // Shows a message box where the action shows one (the window); empty:
    // nobody is shown them and the outcome alone tells.
    using Teller = std::function<void(const QString &)>;
    explicit PrinterActions(robot::Robot &robot, Teller tell = {});

    Outcome cierreX();     // Command21
    Outcome cierreZ();     // Command6
    Outcome abrirGaveta(); // Command22
    Outcome anular();      // Command1

    // The fiscal-memory report between two dates in the short date form;
    // `mala`, when given, is set to the date that is not one.
    enum class Fecha { Ninguna, Desde, Hasta };
    Outcome memoriaFiscal(const QString &desde, const QString &hasta, Fecha *mala = nullptr);

    // Command3 follows the timer, not its caption: stops polling when it runs.
    Outcome detenerIniciar();
    Outcome detener();
    Outcome iniciar();

    // A document held back or failed is taken up again at the next tick.
    Outcome reintentar(core::DocumentKind kind, qint64 codigo);

    // The command for a range, "I2A" followed by ddMMyy twice; empty when a date is not valid.
    static QString comandoMemoriaFiscal(const QString &desde, const QString &hasta,
                                        const QString &shortDateFormat);

private:
    // Set when the action may not run now; the operator has been told.
    bool heldBack(Outcome *outcome);
    Outcome report(const QString &command, bool x);
    Outcome tell(Outcome::Result result, const QString &text);

    robot::Robot &m_robot;
    Teller m_tell;
};

} // namespace robot
