// Faults brought on while the simulator is loaded, as a running robot has it:
// what the shop days rely on to put a fault at a moment of their choosing.
#include "printer/DriverLibrary.h"
#include "support/TestDir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(SimulatorFaultsWhileLoaded, AChangedIniCountsFromItsReadingAndRefuses7OnlyWithNothingOpen)
{
    const testsupport::TestDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const auto driver =
        printer::DriverLibrary::load(QStringLiteral(FISCALSIM_LIBRARY), QString(), nullptr);
    const auto error = [&](const char *command) {
        int status = 0, error = -1;
        driver->SendCmd(&status, &error, command);
        return error;
    };
    dir.write(QStringLiteral("fiscalsim.ini"), "");
    ASSERT_EQ(driver->OpenFpctrl("COM1"), 1);
    for (const char *command : {"I0X", "I0X", "7"})
        EXPECT_EQ(error(command), 0) << command;
    dir.write(QStringLiteral("fiscalsim.ini"), "[faults]\nRefuseNth=2\nRefuse7WhenIdle=yes\n");
    // Error words: 3 not now, 5 refused by a fault.
    const std::pair<const char *, int> cases[] = {
        {"I0X", 0}, {"I0X", 5}, {"7", 3}, {"!000000100000001000PAN", 0}, {"7", 0}, {"7", 3}};
    for (const auto &[command, expected] : cases)
        EXPECT_EQ(error(command), expected) << command;
    dir.write(QStringLiteral("fiscalsim.ini"), "");
    EXPECT_EQ(error("7"), 0) << "taken again once the file says nothing";
    driver->CloseFpctrl();
    QDir::setCurrent(previous);
}

} // namespace
