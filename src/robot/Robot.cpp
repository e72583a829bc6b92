#include "robot/Robot.h"

#include "core/CodePage.h"
#include "core/FileLayer.h"
#include "core/InstanceLock.h"
#include "core/Texts.h"
#include "db/ChangeWatch.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/DocumentClaims.h"
#include "db/MachineLock.h"
#include "db/PrintJournal.h"
#include "documents/HeldDocuments.h"
#include "documents/JobContext.h"
#include "documents/NumberCheck.h"
#include "documents/Recovery.h"
#include "printer/DriverLibrary.h"
#include "printer/PrinterLink.h"
#include "robot/FirstActivation.h"
#include "robot/PollingCycle.h"
#include "robot/PrinterProbe.h"
#include "robot/Startup.h"

#include <QSysInfo>

namespace robot {

Robot::Robot(core::WindowServices &window, QObject *parent)
    : QObject(parent), m_window(window), m_timer(m_clock)
{
    connect(&m_timer, &core::PollingTimer::timeout, this, [this] { onTick(false); });
    connect(&m_timer, &core::PollingTimer::enabledChanged, this, [this](bool on) {
        if (on)
            m_autoResume.stop();
    });
    m_autoResume.setSingleShot(true);
    connect(&m_autoResume, &QTimer::timeout, this, [this] {
        if (m_timer.isEnabled() || m_stopRequested || m_timer.stoppedByOperator())
            return;
        if (m_busy) {
            m_autoResume.start();
            return;
        }
        m_timer.setEnabled(true);
        m_window.serviceEvent(m_clock.now(), core::texts::kPollingResumed);
    });
}

Robot::~Robot() = default;

core::ExitStatus Robot::startUp(const QString &programDir)
{
    Startup startup(m_state, m_settings, m_lists, m_window);
    const core::ExitStatus status = startup.run(programDir);
    if (status != core::ExitStatus::Running)
        return status;
    m_lock = startup.takeLock();
    m_clock.setScale(m_settings.timingScale);

    // The settings reader refused any code page that is not an 8-bit one.
    m_codePage = std::make_unique<core::CodePage>(m_settings.codePage);
    // One robot per fiscal machine on the main database. After the check for
    // another copy on this directory, so that a second copy there still ends
    // silently (AnotherCopyStop) rather than with this stop; before the driver
    // library is loaded and the journal opened, so that a robot that may not
    // print never touches the printer. A database out of reach now stops nothing: the
    // lock is then taken at the first tick that reaches it, before anything
    // is printed.
    m_machineLock = std::make_unique<db::MachineLock>(m_state.RutaBaseDatos, m_state.Caja);
    const db::MachineLock::State lock = m_machineLock->acquire();
    if (lock == db::MachineLock::State::HeldByAnother) {
        m_window.messageBox(core::texts::fiscalMachineBusy(m_state.Caja));
        return core::ExitStatus::MachineStop;
    }
    tellStaleMachineLock();
    if (lock == db::MachineLock::State::Held)
        m_machineLockState = MachineLockState::Held;
    // Last, after the check for another copy, so that a second copy still ends silently.
    QString error;
    auto driver =
        printer::DriverLibrary::load(m_settings.driverLibrary, m_state.RutaPrograma, &error);
    if (!driver) {
        m_window.messageBox(error);
        return core::ExitStatus::DriverStop;
    }
    m_driver = std::move(driver);
    m_link = std::make_unique<printer::PrinterLink>(*m_driver, m_window, m_timer, *m_codePage,
                                                    m_state.Puerto);
    m_link->setHealth(&m_health);
    // Printing without a journal could print a document twice after a crash.
    try {
        m_journal = std::make_unique<db::PrintJournal>(
            m_state.RutaPrograma, m_clock,
            db::PrintJournal::Owner{m_state.RutaBaseDatos, m_state.Caja});
    } catch (const db::DataError &e) {
        m_window.messageBox(core::texts::journalUnavailable(e.describe()));
        return core::ExitStatus::JournalStop;
    }
    m_jobs.reset(new documents::JobContext{m_state, m_settings, m_window, *m_link, m_timer, m_clock,
                                           m_lists.Data5, m_lists.Data6, m_journal.get()});
    m_recovery = std::make_unique<documents::Recovery>(*m_jobs);
    m_held = std::make_unique<documents::HeldDocuments>(m_clock);
    m_numbers = std::make_unique<documents::NumberCheck>(*m_jobs);
    if (db::Database::engineOf(m_state.RutaBaseDatos) == db::Database::Engine::Postgres)
        m_claims = std::make_unique<db::DocumentClaims>(
            m_state.RutaBaseDatos, m_state.Caja, QSysInfo::machineHostName(), m_state.RutaPrograma);
    m_jobs->recovery = m_recovery.get();
    m_jobs->held = m_held.get();
    m_jobs->numbers = m_numbers.get();
    m_jobs->claims = m_claims.get();
    m_activation =
        std::make_unique<FirstActivation>(m_state, m_settings, m_window, m_lists, m_clock);
    m_cycle = std::make_unique<PollingCycle>(m_state, m_settings, m_window, m_lists, m_clock,
                                             *m_activation, m_jobs.get());
    m_cycle->recover = [this] { return readyToPrint(); };
    m_activation->setErrorReporter([this](const QString &text) { m_cycle->reportError(text); });
    return core::ExitStatus::Running;
}

bool Robot::keepMachine()
{
    // Throws the database's error when it is out of reach: the tick tells it once.
    if (m_machineLock->keep()) {
        tellStaleMachineLock();
        m_machineTakenTold = false;
        m_machineLockState = MachineLockState::Held;
        return true;
    }
    if (m_machineLockState == MachineLockState::Held)
        m_machineLockState = MachineLockState::Lost;
    if (!m_machineTakenTold) {
        m_machineTakenTold = true;
        const QString text = core::texts::fiscalMachineTaken(m_state.Caja);
        m_window.setLog(text);
        m_window.notice(text);
    }
    return false;
}

void Robot::tellStaleMachineLock()
{
    if (m_machineLock->takeTookOverStale())
        m_window.notice(core::texts::staleLockTakenOver(core::FileLayer::nativePath(
            db::MachineLock::lockFilePath(m_state.RutaBaseDatos, m_state.Caja))));
}

bool Robot::readyToPrint()
{
    const bool held = keepMachine();
    // Its own documents are settled even while another robot holds the
    // machine: until then that robot holds back what this one claims.
    const bool settled = m_recovery->run() && m_recovery->releaseClaims();
    return held && settled && !m_numbers->waiting();
}

void Robot::start()
{
    // The list sources run their queries once before the window is shown; a
    // database that cannot be reached now is tried again on every tick.
    const struct
    {
        db::ListSource *source;
        bool shown;
        core::ListDisplay display;
    } sources[] = {{&m_lists.Data3, false, core::ListDisplay::DBList2},
                   {&m_lists.Data5, true, core::ListDisplay::DBList2},
                   {&m_lists.Data6, true, core::ListDisplay::DBList1},
                   {&m_lists.Data7, true, core::ListDisplay::DBList3}};
    for (const auto &s : sources) {
        try {
            s.source->refresh();
            if (s.shown)
                m_window.setListRows(s.display, s.source->displayLines());
        } catch (const db::DataError &e) {
            m_cycle->reportError(core::texts::databaseError(e.describe()));
        }
    }
    m_timer.setEnabled(true);
    m_startedAt = m_clock.now();
    if (m_settings.printerProbeMinutes > 0)
        m_probe = std::make_unique<PrinterProbe>(
            *this, m_clock.scaled(
                       std::chrono::milliseconds(qint64(m_settings.printerProbeMinutes * 60000))));
}

void Robot::activate()
{
    if (m_activation)
        m_activation->run();
}

void Robot::watchForChanges()
{
    m_watch = std::make_unique<db::ChangeWatch>(m_state.RutaBaseDatos, m_state.Caja);
    connect(m_watch.get(), &db::ChangeWatch::changed, this, &Robot::onChange);
    m_cycle->setWatched(true);
}

void Robot::onChange()
{
    if (m_busy) {
        m_changeWaiting = true;
        return;
    }
    // Polling stopped (by the operator, or a port that does not open): the
    // change waits for it like the ticks do.
    if (!m_timer.isEnabled())
        return;
    m_timer.restart();
    onTick(true);
}

bool Robot::runExclusive(const std::function<void()> &work)
{
    if (m_busy)
        return false;
    m_pollingAtStart = m_timer.isEnabled();
    m_busy = true;
    work();
    m_busy = false;
    // One tick for whatever changed meanwhile, once this has returned.
    if (std::exchange(m_changeWaiting, false))
        QTimer::singleShot(0, this, &Robot::onChange);
    // Counted from the first stop, not put off by every action after it.
    if (m_autoResumeEnabled && !m_timer.isEnabled() && !m_stopRequested &&
        !m_timer.stoppedByOperator() && !m_autoResume.isActive())
        m_autoResume.start();
    finishStopIfRequested();
    Q_EMIT runnerFree();
    return true;
}

bool Robot::printing() const
{
    return m_jobs && m_jobs->inProgress.has_value();
}

void Robot::onTick(bool woken)
{
    // Ticks never nest: one that arrives while a tick, a job or an operator's
    // action runs does nothing, so no document starts while another is open.
    if (m_stopRequested || !m_cycle)
        return;
    if (runExclusive([this, woken] { m_cycle->tick(woken); })) {
        m_lastTick = m_clock.now();
        Q_EMIT ticked();
    }
}

void Robot::requestStop()
{
    m_stopRequested = true;
    m_autoResume.stop();
    finishStopIfRequested();
}

void Robot::finishStopIfRequested()
{
    if (!m_stopRequested || m_busy || m_stopEmitted)
        return;
    m_stopEmitted = true;
    m_timer.setEnabled(false);
    Q_EMIT stopped();
}

void Robot::shutdown()
{
    if (m_driver)
        m_driver->CloseFpctrl();
    // Whatever settled since the last tick is no obstacle to another robot.
    if (m_claims && m_claims->standing()) {
        try {
            m_recovery->releaseClaims();
        } catch (const db::DataError &) {
        }
    }
}

void Robot::setAutoResume(bool enabled)
{
    m_autoResumeEnabled = enabled;
    m_autoResume.setInterval(m_clock.scaled(kAutoResume));
}

} // namespace robot
