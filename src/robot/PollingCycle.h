#pragma once

#include "core/Clock.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/WindowServices.h"
#include "db/ListSources.h"
#include "documents/JobContext.h"

#include <functional>

namespace robot {

class FirstActivation;

// Timer1's tick: refresh the pending lists, print the first pending invoice,
// and on the fifth idle tick give the credit notes their turn.
class PollingCycle
{
public:
    PollingCycle(core::RobotState &state, const core::Settings &settings,
                 core::WindowServices &window, db::ListSources &lists, const core::Clock &clock,
                 FirstActivation &activation, documents::JobContext *jobs);

    // `woken`: run by a change of the main database rather than the timer.
    void tick(bool woken = false);
    // Changes of the main database wake the robot: no pause after a refresh.
    void setWatched(bool watched) { m_watched = watched; }
    // The credit-note turn of the fifth idle tick.
    void creditNoteTurn();

    // Run the jobs on `jobs`; tests may stand in for them. True when the job
    // took a document up (printed or failed).
    std::function<bool()> ImprimirFactura;
    std::function<bool()> ImprimirNotaCredito;
    // Settles what a crash left unfinished and tells whether a new document
    // may start (the machine's lock, the printer's numbers); no job starts
    // until it returns true.
    std::function<bool()> recover;

    // A database error, told once while it lasts (whoever meets it: the list
    // sources at start, the company settings, a tick), and its end once.
    void reportError(const QString &text);
    // Whether the main database answered the last time it was asked, and
    // since when it does or does not.
    bool databaseAvailable() const { return m_lastError.isEmpty(); }
    const QDateTime &databaseSince() const { return m_databaseSince; }

private:
    void refresh(db::ListSource &source, core::ListDisplay display);

    core::RobotState &m_state;
    const core::Settings &m_settings;
    core::WindowServices &m_window;
    db::ListSources &m_lists;
    const core::Clock &m_clock;
    FirstActivation &m_activation;
    QString m_lastError;
    QDateTime m_databaseSince;
    bool m_watched = false;
};

} // namespace robot
