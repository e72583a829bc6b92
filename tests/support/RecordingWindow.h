#pragma once

#include "robot/WindowState.h"

#include <QStringList>
#include <functional>

namespace testsupport {

// A window that keeps a transcript of what the robot showed it, one entry per
// call, so that a test reads like the step list it checks:
//   "status Enviando nombre...", "progress 24", "message ...".
class RecordingWindow : public robot::WindowState
{
public:
    void messageBox(const QString &text) override;
    void processEvents() override;
    void setStatus(const QString &text) override;
    void setStage(const QString &text) override;
    void setProgress(int value) override;
    void setLog(const QString &text) override;
    void setTitle(const QString &title) override;
    void setControlEnabled(robot::Control control, bool enabled) override;
    void setCaption(robot::Control control, const QString &caption) override;
    void setBackgroundColor(robot::Rgb colour) override;
    void minimizeToTray(const robot::DatosIcono &icon) override;
    void documentEvent(const robot::DocumentEvent &event) override;
    void notice(const QString &text) override;

    QStringList transcript;
    QStringList messages;
    QList<robot::DocumentEvent> events;
    int eventPumps = 0;
    // Runs at every processEvents, to stand for a click or a tick arriving there.
    std::function<void()> onProcessEvents;

    // The transcript entries that start with `prefix`.
    QStringList entries(const QString &prefix) const;
};

} // namespace testsupport
