#pragma once

#include "core/DocumentKind.h"
#include "robot/Outcome.h"

#include <QString>
#include <chrono>
#include <functional>

namespace robot {

class Robot;

// What the operator asks of the robot by hand: the printer reports and
// actions behind the window's buttons, stopping and starting polling, and
// letting a held document go. The window and the control server both call
// these; each returns its outcome. The reports and the drawer are held back
// while a document is being printed or its closing is left unsettled;
// cancelling never is, as it is for a document left open.
class PrinterActions
{
public:
    // Shows a message box where the action shows one (the window); empty:
    // nobody is shown them and the outcome alone tells.
    using Teller = std::function<void(const QString &)>;
    explicit PrinterActions(robot::Robot &robot, Teller tell = {});

    Outcome printXReport();   // Command21
    Outcome printZReport();   // Command6
    Outcome openDrawer();     // Command22
    Outcome cancelDocument(); // Command1

    // The fiscal-memory report between two dates in the short date form;
    // `bad`, when given, is set to the date that is not one.
    enum class DateField { None, From, To };
    Outcome printFiscalMemory(const QString &from, const QString &to, DateField *bad = nullptr);

    // Command3 follows the timer, not its caption: stops polling when it runs.
    Outcome stopOrStartPolling();
    Outcome stopPolling();
    Outcome startPolling();

    // A document held back or failed is taken up again at the next tick.
    Outcome retry(core::DocumentKind kind, qint64 code);

    // The printer's numbers that nothing accounts for are taken as issued:
    // printing goes on.
    Outcome acceptNumbers();

    // The years the report's two-digit year carries, as the printer reads it:
    // a date outside them would reach it as another century's.
    static constexpr int kFirstReportYear = 2000;
    static constexpr int kLastReportYear = 2099;

    // The command for a range, "I2A" followed by ddMMyy twice; empty when a date is not valid.
    static QString fiscalMemoryCommand(const QString &from, const QString &to,
                                       const QString &shortDateFormat);

    // A Z request this soon after one whose answer was lost is its retry:
    // the daily timer's retries fall within it.
    static constexpr std::chrono::milliseconds kZRetries{3600000};

private:
    // Set when the action may not run now; the operator has been told.
    bool heldBack(Outcome *outcome);
    // The Z report with the port open, judged by the printer's Z counter.
    Outcome zReport();
    Outcome zReportFailed(const QString &line);
    Outcome tell(Outcome::Result result, const QString &text);

    robot::Robot &m_robot;
    Teller m_tell;
};

} // namespace robot
