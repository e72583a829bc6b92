#include "robot/Robot.h"

#include "printer/CodePage.h"
#include "printer/DriverLibrary.h"
#include "printer/PrinterLink.h"
#include "robot/InstanceLock.h"
#include "robot/Startup.h"
#include "robot/Texts.h"

namespace robot {

Robot::Robot(WindowServices &window, QObject *parent)
    : QObject(parent), m_window(window), m_timer(m_clock)
{
}

Robot::~Robot() = default;

int Robot::startUp(const QString &programDir)
{
    Startup startup(m_state, m_settings, m_lists, m_window);
    const Startup::ExitStatus status = startup.run(programDir);
    if (status != Startup::Running)
        return status;
    m_lock = startup.takeLock();
    m_clock.setScale(m_settings.timingScale);

    m_codePage = std::make_unique<printer::CodePage>(m_settings.codePage);
    if (!m_codePage->isValid()) {
        m_window.messageBox(texts::codigoPaginaDesconocido(m_settings.codePage));
        return Startup::ConfigurationStop;
    }
    // Last, after the check for another copy, so that a second copy still ends silently.
    QString error;
    auto driver = printer::DriverLibrary::load(m_settings.driverLibrary, m_state.RutaPrograma, &error);
    if (!driver) {
        m_window.messageBox(error);
        return Startup::DriverStop;
    }
    m_driver = std::move(driver);
    m_link = std::make_unique<printer::PrinterLink>(*m_driver, m_window, m_timer, *m_codePage,
                                                    m_state.Puerto);
    return 0;
}

} // namespace robot
