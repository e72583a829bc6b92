#pragma once

#include "documents/JobContext.h"
#include "robot/Clock.h"
#include "robot/ListSources.h"
#include "robot/RobotState.h"
#include "robot/Settings.h"
#include "robot/WindowServices.h"

#include <functional>

namespace robot {

class FirstActivation;

// Timer1's tick: refresh the pending lists, print the first pending invoice,
// and on the fifth idle tick give the credit notes their turn.
class PollingCycle
{
public:
    PollingCycle(RobotState &state, const Settings &settings, WindowServices &window,
                 ListSources &lists, const Clock &clock, FirstActivation &activation,
                 documents::JobContext *jobs);

    void tick();
    // The credit-note turn of the fifth idle tick.
    void creditNoteTurn();

    // Run the jobs on `jobs`; tests may stand in for them.
    std::function<void()> ImprimirFactura;
    std::function<void()> ImprimirNotaCredito;
    // Settles what a crash left unfinished; no job starts until it returns true.
    std::function<bool()> Recuperar;

private:
    void refresh(ListSource &source, ListDisplay display);
    void reportError(const QString &text);

    RobotState &m_state;
    const Settings &m_settings;
    WindowServices &m_window;
    ListSources &m_lists;
    const Clock &m_clock;
    FirstActivation &m_activation;
    QString m_lastError;
};

} // namespace robot
