#pragma once

#include "core/Clock.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/WindowServices.h"
#include "db/ListSources.h"

#include <functional>

namespace robot {

// The robot's first activation: tax rates, old tickets purged, into the
// tray, the company's RIF in the title and the company settings. Runs once;
// the company settings and the rates are read again on later ticks until
// they could be read.
class FirstActivation
{
public:
    FirstActivation(core::RobotState &state, const core::Settings &settings,
                    core::WindowServices &window, db::ListSources &lists, const core::Clock &clock);

    // Does its work only while PrimeraActivacion is true, and only once even
    // when it is activated again during its own pause.
    void run();
    // True once the company settings and the tax rates have been read.
    bool settingsRead() const { return m_companySettingsRead && m_ratesRead; }
    // Reads again what a failure left unread; true once both have been read.
    bool retrySettings();

    // The printer's three tax rates from Configuración2, never failing: a
    // missing row, column or value leaves its default. A database out of
    // reach leaves them unread (told), and retrySettings() reads them again.
    void LeerTasas();

    // Where its database errors are told; by default the status, the Log and
    // a notice, each time.
    void setErrorReporter(std::function<void(const QString &)> report)
    {
        m_report = std::move(report);
    }

private:
    void purgeTickets();
    bool readCompanySettings();
    void report(const QString &text);

    core::RobotState &m_state;
    const core::Settings &m_settings;
    core::WindowServices &m_window;
    db::ListSources &m_lists;
    const core::Clock &m_clock;
    bool m_running = false;
    bool m_companySettingsRead = false;
    bool m_ratesRead = false;
    std::function<void(const QString &)> m_report;
};

} // namespace robot
