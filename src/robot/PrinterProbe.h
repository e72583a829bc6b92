#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

namespace robot {

class Robot;

// While nothing prints, a status read every [timing] PrinterProbe minutes
// (scaled), so that a printer that stops answering (switched off, its cable
// out) is told once and shown in `estado` before a sale meets it, and its
// return is told once too. Never while the runner is taken, and not when the
// printer was spoken to more recently than one interval ago.
class PrinterProbe : public QObject
{
    Q_OBJECT
public:
    PrinterProbe(Robot &robot, std::chrono::milliseconds interval);

    // One status read now, as the timer's; false when the runner was taken.
    bool probe();

private:
    // A reading that found the runner taken is made as soon as it is free:
    // ticks that follow each other closely would otherwise always be first.
    void probeIfDue();
    void tell();

    Robot &m_robot;
    QTimer m_timer;
    std::chrono::milliseconds m_interval;
    bool m_silentTold = false;
    bool m_due = false;
};

} // namespace robot
