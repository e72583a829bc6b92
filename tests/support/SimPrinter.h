#pragma once

#include "core/Clock.h"
#include "core/CodePage.h"
#include "core/PollingTimer.h"
#include "printer/DriverLibrary.h"
#include "printer/PrinterLink.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QStringList>
#include <memory>

namespace testsupport {

// The built simulator, loaded by path through the robot's loader, working in
// a fresh program directory that becomes the current directory.
class SimPrinter
{
public:
    explicit SimPrinter(const QByteArray &fiscalsimIni = QByteArray("[printer]\nType=HKA\n"));
    ~SimPrinter();

    const TestDir &dir() const { return m_dir; }
    printer::Driver &driver() { return *m_driver; }
    RecordingWindow &window() { return m_window; }
    core::PollingTimer &timer() { return m_timer; }
    const core::Clock &clock() const { return m_clock; }
    printer::PrinterLink &link() { return *m_link; }

    // fiscalsim.log as lines of fields (tab-separated).
    QList<QStringList> journal() const;
    // The commands sent with SendCmd, in order, and whether each was taken.
    QStringList sentCommands() const;
    QString paper() const;

private:
    TestDir m_dir;
    QString m_previousDir;
    RecordingWindow m_window;
    core::Clock m_clock{0.0};
    core::PollingTimer m_timer{m_clock};
    core::CodePage m_codePage;
    std::unique_ptr<printer::DriverLibrary> m_driver;
    std::unique_ptr<printer::PrinterLink> m_link;
};

} // namespace testsupport
