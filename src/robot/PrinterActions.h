#pragma once

#include <QString>

namespace robot {

class Robot;

// The operator's printer reports and actions behind the window's buttons.
// Each is held back (with a message) while a document is being printed,
// except Anular, which is for a document left open.
class PrinterActions
{
public:
    explicit PrinterActions(robot::Robot &robot);

    void cierreX();     // Command21
    void cierreZ();     // Command6
    void abrirGaveta(); // Command22
    void anular();      // Command1

    // The fiscal-memory report between two dates in the short date form.
    enum class MemoryResult { Printed, BadDesde, BadHasta, Reversed, HeldBack };
    MemoryResult memoriaFiscal(const QString &desde, const QString &hasta);

    // The command for a range, "I2A" followed by ddMMyy twice; empty when a date is not valid.
    static QString comandoMemoriaFiscal(const QString &desde, const QString &hasta,
                                        const QString &shortDateFormat);

private:
    bool heldBack();
    void report(const QString &command, bool x);

    robot::Robot &m_robot;
};

} // namespace robot
