#pragma once

#include "core/Clock.h"
#include "core/ExitStatus.h"
#include "core/PollingTimer.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/WindowServices.h"
#include "db/ListSources.h"
#include "printer/PrinterHealth.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace core {
class CodePage;
class InstanceLock;
} // namespace core

namespace db {
class ChangeWatch;
class DocumentClaims;
class MachineLock;
class PrintJournal;
} // namespace db

namespace printer {
class Driver;
class PrinterLink;
} // namespace printer

namespace documents {
class HeldDocuments;
class NumberCheck;
class Recovery;
struct JobContext;
} // namespace documents

namespace robot {

class FirstActivation;
class PollingCycle;
class PrinterProbe;

// The robot: its state, settings, list sources, timer and printer link, and
// the window it talks to. One per process.
class Robot : public QObject
{
    Q_OBJECT
public:
    explicit Robot(core::WindowServices &window, QObject *parent = nullptr);
    ~Robot() override;

    // The start-up sequence, ending with loading the driver library; Running
    // when the robot runs, the exit status of the start-up stop otherwise.
    core::ExitStatus startUp(const QString &programDir);
    // After a successful start-up: the list sources run their queries once
    // and Timer1 starts counting.
    void start();
    // The first activation; the window calls it once it has been shown.
    void activate();
    // After start(): a change of the main database runs the tick at once (the
    // timer counts again from there) instead of at the next one; a change
    // while something runs is served when it ends. Timer1 stays the
    // fallback.
    void watchForChanges();
    // How changes reach the robot; none before watchForChanges().
    const db::ChangeWatch *changeWatch() const { return m_watch.get(); }
    // Runs a document job or an operator's printer action unless another one
    // runs; false when it was held back.
    bool runExclusive(const std::function<void()> &work);
    bool busy() const { return m_busy; }
    // A job has taken a document up and is printing it.
    bool printing() const;
    // Whether polling runs: a job switches Timer1 off while it works, so
    // while something runs, as it was when that began (unless the operator
    // stopped it meanwhile).
    bool polling() const
    {
        return !m_timer.stoppedByOperator() && (m_busy ? m_pollingAtStart : m_timer.isEnabled());
    }
    // SIGTERM, SIGINT or the window closing: a running job ends first, then
    // stopped() is emitted.
    void requestStop();
    bool stopping() const { return m_stopRequested; }
    // Closes the port once more; called when the robot ends.
    void shutdown();
    // When no operator can press "Iniciar", polling switched off by a failed
    // port opening comes back by itself after this pause (scaled).
    void setAutoResume(bool enabled);
    static constexpr std::chrono::milliseconds kAutoResume{60000};

    // Health, for `estado`: when the robot started and last ticked, whether
    // it holds its fiscal machine, and whether the printer answers.
    const QDateTime &startedAt() const { return m_startedAt; }
    const QDateTime &lastTick() const { return m_lastTick; }
    enum class MachineLockState { Held, Lost, Awaited };
    MachineLockState machineLock() const { return m_machineLockState; }
    const printer::PrinterHealth &printerHealth() const { return m_health; }
    // Polling off, and neither the operator nor a running job switched it
    // off: a port that did not open, a printer number unreadable.
    bool stoppedByFault() const { return !polling() && !m_timer.stoppedByOperator(); }

    FirstActivation &firstActivation() { return *m_activation; }
    PollingCycle &pollingCycle() { return *m_cycle; }
    documents::JobContext &jobContext() { return *m_jobs; }

    core::RobotState &state() { return m_state; }
    const core::Settings &settings() const { return m_settings; }
    db::ListSources &lists() { return m_lists; }
    const core::Clock &clock() const { return m_clock; }
    core::WindowServices &window() { return m_window; }
    core::PollingTimer &Timer1() { return m_timer; }
    // Valid once start-up has succeeded.
    printer::PrinterLink &link() { return *m_link; }
    const core::CodePage &codePage() const { return *m_codePage; }

Q_SIGNALS:
    void stopped();
    // The exclusive runner has become free.
    void runnerFree();
    // A tick of Timer1 (or a change) has run to its end: the robot is alive.
    void ticked();

private:
    core::WindowServices &m_window;
    core::RobotState m_state;
    core::Settings m_settings;
    db::ListSources m_lists;
    core::Clock m_clock;
    core::PollingTimer m_timer;
    printer::PrinterHealth m_health{m_clock};
    QDateTime m_startedAt;
    QDateTime m_lastTick;
    MachineLockState m_machineLockState = MachineLockState::Awaited;
    std::unique_ptr<core::InstanceLock> m_lock;
    std::unique_ptr<db::MachineLock> m_machineLock;
    bool m_machineTakenTold = false;
    std::unique_ptr<db::DocumentClaims> m_claims;
    std::unique_ptr<core::CodePage> m_codePage;
    std::unique_ptr<printer::Driver> m_driver;
    std::unique_ptr<printer::PrinterLink> m_link;
    std::unique_ptr<db::PrintJournal> m_journal;
    std::unique_ptr<documents::JobContext> m_jobs;
    std::unique_ptr<documents::Recovery> m_recovery;
    std::unique_ptr<documents::HeldDocuments> m_held;
    std::unique_ptr<documents::NumberCheck> m_numbers;
    std::unique_ptr<FirstActivation> m_activation;
    std::unique_ptr<PollingCycle> m_cycle;
    QTimer m_autoResume;
    std::unique_ptr<db::ChangeWatch> m_watch;
    std::unique_ptr<PrinterProbe> m_probe;
    bool m_changeWaiting = false;
    bool m_busy = false;
    bool m_stopRequested = false;
    bool m_stopEmitted = false;
    bool m_autoResumeEnabled = false;
    bool m_pollingAtStart = false;

    void onTick(bool woken);
    void onChange();
    void finishStopIfRequested();
    bool keepMachine();
    // Tells the operator once that the machine's lock file named no live process.
    void tellStaleMachineLock();
    // What must hold before a new document: the machine's lock, the journal
    // and this robot's claims settled, no printer numbers waiting.
    bool readyToPrint();
};

} // namespace robot
