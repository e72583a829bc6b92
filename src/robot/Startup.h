#pragma once

#include "core/ExitStatus.h"
#include "core/InstanceLock.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/WindowServices.h"
#include "db/ListSources.h"

#include <memory>

namespace robot {

// The start-up sequence, from the program directory to the list sources and
// the check for another running copy.
class Startup
{
public:
    Startup(core::RobotState &state, core::Settings &settings, db::ListSources &lists,
            core::WindowServices &window);
    ~Startup();

    // Runs the sequence; Running when the robot may go on, the stop otherwise.
    core::ExitStatus run(const QString &programDir);

    // Reads Vextora.inf into the state. False when the program must end; the
    // message has been shown.
    bool LeerConfiguracion();
    // True when an ordinary, visible file exists at the path; never an error.
    static bool ChequeoExistenciaArchivo(const QString &fileName);
    void PrepararFormulario();

    // Hands the lock over to whoever keeps the robot running.
    std::unique_ptr<core::InstanceLock> takeLock();

    static QString configurationPath(const QString &programDir);

private:
    bool handleItem(int position, const QString &item);

    core::RobotState &m_state;
    core::Settings &m_settings;
    db::ListSources &m_lists;
    core::WindowServices &m_window;
    std::unique_ptr<core::InstanceLock> m_lock;
    bool m_machineRead = false;
};

} // namespace robot
