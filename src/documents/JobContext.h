#pragma once

namespace printer {
class PrinterLink;
}

#include "core/WindowServices.h"

#include <optional>

namespace core {
class Clock;
class PollingTimer;
struct RobotState;
struct Settings;
} // namespace core

namespace db {
class DocumentClaims;
class ListSource;
class PrintJournal;
} // namespace db

namespace documents {

class HeldDocuments;
class NumberCheck;
class Recovery;

// What a document job works with, all owned by the robot.
struct JobContext
{
    core::RobotState &state;
    const core::Settings &settings;
    core::WindowServices &window;
    printer::PrinterLink &link;
    core::PollingTimer &Timer1;
    const core::Clock &clock;
    db::ListSource &Data5; // pending invoices
    db::ListSource &Data6; // pending credit notes
    // The print journal; without one a job keeps no record across a crash.
    db::PrintJournal *journal = nullptr;
    // The documents held back or failed, each waiting before it is taken up again.
    HeldDocuments *held = nullptr;
    // Settles what the journal left unfinished; a job hands it a closing
    // whose outcome it could not tell.
    Recovery *recovery = nullptr;
    // Compares the printer's numbers with what the robot can account for.
    NumberCheck *numbers = nullptr;
    // The robots' claims on documents (a PostgreSQL main database only).
    db::DocumentClaims *claims = nullptr;
    // The printer's number could not be read before a document's first
    // command, and the operator has been told: not again until it can be.
    bool numberUnreadableTold = false;

    // The document a job has taken up, while the job runs, and the stage it
    // has reached: what an operator asking for the robot's state is told.
    struct InProgress
    {
        core::DocumentKind kind = core::DocumentKind::Invoice;
        qint64 code = 0;
        const double *stage = nullptr;
    };
    std::optional<InProgress> inProgress = {};
    // Set by the operator's "Anular" that the printer took while a job
    // prints; the job ends at its next command. Jobs and operator actions
    // share one thread: the action runs while the job lets events run
    // between its commands.
    bool cancelledByOperator = false;
    // The last document the printer printed (or recovery found printed).
    std::optional<core::DocumentEvent> lastPrinted = {};

    // Tells the window of a document's event, at the clock's time.
    void publish(core::DocumentEvent event);
};

} // namespace documents
