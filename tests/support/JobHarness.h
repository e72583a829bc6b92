#pragma once

#include "core/RobotState.h"
#include "core/Settings.h"
#include "db/ListSources.h"
#include "db/PrintJournal.h"
#include "documents/JobContext.h"
#include "support/MainDatabase.h"
#include "support/SimPrinter.h"

#include <memory>

namespace testsupport {

// Everything a document job needs, real: a main database from the shipped
// schema and the simulator, in one program directory.
// A text of `length` characters made by repeating `pattern`.
QString repeated(const QString &pattern, int length);
// The header lines ("i..." commands) the printer received before the first line.
QStringList headerLines(const QStringList &commands);

class JobHarness
{
public:
    // `printerType` goes to both the robot's state and the simulator.
    explicit JobHarness(const QString &printerType = QStringLiteral("HKA"),
                        const QByteArray &extraSimIni = QByteArray());

    SimPrinter &sim() { return *m_sim; }
    MainDatabase &db() { return *m_db; }
    core::RobotState state;
    core::Settings settings;
    db::ListSources lists;
    RecordingWindow &window() { return m_sim->window(); }
    documents::JobContext &context() { return *m_context; }

    // Refreshes Data5 (or Data6) as the polling tick does, then runs the job.
    void printInvoice();
    void printCreditNote();

    // Gives the jobs a print journal in the program directory.
    db::PrintJournal &enableJournal();

    // The commands the simulator received with SendCmd, in order.
    QStringList commands() const { return m_sim->sentCommands(); }

private:
    std::unique_ptr<SimPrinter> m_sim;
    std::unique_ptr<MainDatabase> m_db;
    std::unique_ptr<documents::JobContext> m_context;
    std::unique_ptr<db::PrintJournal> m_journal;
};

} // namespace testsupport
