#pragma once

#include <QObject>

class QSocketNotifier;

namespace core {

// Turns SIGTERM and SIGINT into a Qt signal delivered on the event loop, so
// that a stop request is handled between two steps of the robot, never
// inside a driver call.
class StopSignals : public QObject
{
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

Q_SIGNALS:
    void stopRequested();

private:
    void onReadable();
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace core
