#pragma once

#include "core/WindowState.h"

#include <QDateTime>
#include <QTextStream>

namespace headless {

// The window of a robot running as a service: controls are plain state,
// message boxes go to standard error and count as answered at once, and each
// document event is one line on standard output. A stream that is the
// journal's (systemd's JOURNAL_STREAM names it) gets one entry per line or
// message box, with its priority first and no time stamp of its own.
class HeadlessWindow : public core::WindowState
{
public:
    HeadlessWindow();

    void messageBox(const QString &text) override;
    void processEvents() override;
    void documentEvent(const core::DocumentEvent &event) override;
    void notice(const QString &text) override;
    void serviceEvent(const QDateTime &when, const QString &text) override;

    // The journal's priorities, as the prefix of an entry.
    enum class Priority { Error = 3, Warning = 4, Information = 6 };
    // True when the file descriptor is the journal stream JOURNAL_STREAM names.
    static bool isJournal(int fd);

private:
    void write(QTextStream &stream, bool journal, Priority priority, const QDateTime &when,
               const QString &text);

    QTextStream m_out;
    QTextStream m_err;
    bool m_outJournal;
    bool m_errJournal;
};

} // namespace headless
