#pragma once

#include "core/WindowState.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QStringList>

namespace testsupport {

// A window that keeps a transcript of the texts the robot showed it, one entry
// per call, so that a test reads like the step list it checks:
//   "status Enviando nombre...", "progress 24", "message ...". Controls,
// colours and the tray are kept as state only.
class RecordingWindow : public core::WindowState
{
public:
    void messageBox(const QString &t) override { messages << said("message ", t); }
    void processEvents() override { QCoreApplication::processEvents(); }
    void setStatus(const QString &t) override { WindowState::setStatus(said("status ", t)); }
    void setStage(const QString &t) override { WindowState::setStage(said("stage ", t)); }
    void setProgress(int v) override { WindowState::setProgress(said("progress ", v).toInt()); }
    void setLog(const QString &t) override { WindowState::setLog(said("log ", t)); }
    void setTitle(const QString &t) override { WindowState::setTitle(said("title ", t)); }
    void documentEvent(const core::DocumentEvent &event) override { events << event; }
    void notice(const QString &t) override { said("notice ", t); }

    QStringList transcript;
    QStringList messages;
    QList<core::DocumentEvent> events;

    // The transcript entries that start with `prefix`.
    QStringList entries(const QString &prefix) const;

private:
    // Kept in the transcript after `kind`, and passed on.
    QString said(const char *kind, const QString &text);
    QString said(const char *kind, int value) { return said(kind, QString::number(value)); }
};

} // namespace testsupport
