#pragma once

namespace printer {
class PrinterLink;
}

namespace robot {
class ListSource;
class PrintJournal;
class PollingTimer;
class WindowServices;
struct RobotState;
struct Settings;
} // namespace robot

namespace documents {

// What a document job works with, all owned by the robot.
struct JobContext
{
    robot::RobotState &state;
    const robot::Settings &settings;
    robot::WindowServices &window;
    printer::PrinterLink &link;
    robot::PollingTimer &Timer1;
    robot::ListSource &Data5; // pending invoices
    robot::ListSource &Data6; // pending credit notes
    // The print journal; without one a job keeps no record across a crash.
    robot::PrintJournal *journal = nullptr;
};

} // namespace documents
