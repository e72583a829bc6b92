#pragma once

#include "core/WindowState.h"
#include "support/QtPrinters.h"

#include <QStringList>
#include <functional>

namespace testsupport {

// A window that keeps a transcript of the texts the robot showed it, one entry
// per call, so that a test reads like the step list it checks:
//   "status Enviando nombre...", "progress 24", "message ...". Controls,
// colours and the tray are kept as state only.
class RecordingWindow : public core::WindowState
{
public:
    void messageBox(const QString &text) override;
    void processEvents() override;
    void setStatus(const QString &text) override;
    void setStage(const QString &text) override;
    void setProgress(int value) override;
    void setLog(const QString &text) override;
    void setTitle(const QString &title) override;
    void documentEvent(const core::DocumentEvent &event) override;
    void notice(const QString &text) override;

    QStringList transcript;
    QStringList messages;
    QList<core::DocumentEvent> events;
    int eventPumps = 0;
    // Runs at every processEvents, to stand for a click or a tick arriving there.
    std::function<void()> onProcessEvents;

    // The transcript entries that start with `prefix`.
    QStringList entries(const QString &prefix) const;
};

} // namespace testsupport
