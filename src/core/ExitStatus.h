#pragma once

namespace core {

// Every status the program ends with. A control command and the robot's
// start-up give some numbers meanings of their own: the two never meet in one
// run, so each name says whose meaning it is.
enum class ExitStatus {
    Done = 0,              // done; the robot ran and ended cleanly
    Running = 0,           // start-up: nothing stopped it, the robot runs on
    Failed = 1,            // a control command refused or failed (the reason on standard error)
    WrongCommand = 2,      // a control command or its arguments are wrong
    ConfigurationStop = 2, // start-up: a configuration item or setting it cannot use
    NoRobot = 3,           // no robot runs on the program directory
    MaintenanceStop = 3,   // start-up: the data directory is under maintenance
    AnotherCopyStop = 4,   // start-up: another copy runs on the program directory, told nothing
    DriverStop = 5,        // start-up: the driver library cannot be loaded or lacks an entry
    DirectoryStop = 6,     // start-up: the program directory does not exist
    DemoNotCreated = 7,    // --create-demo or --init made nothing, or not everything
    JournalStop = 8,       // start-up: the print journal cannot be opened
    MachineStop = 9,       // start-up: another robot prints for the same fiscal machine
    CheckWarning = 1,      // estado --check: a warning (the monitoring plugins' numbers)
    CheckCritical = 2,     // estado --check: critical
    CheckUnknown = 3,      // estado --check: no robot answers
    Usage = 64,            // a command line the program does not take
};

// The number the process ends with.
constexpr int exitCode(ExitStatus status)
{
    return static_cast<int>(status);
}

} // namespace core
