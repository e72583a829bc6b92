#pragma once

#include "core/WindowState.h"

#include <QDateTime>
#include <QTextStream>

namespace headless {

// The window of a robot running as a service: controls are plain state,
// message boxes go to standard error and count as answered at once, and each
// document event is one line on standard output.
class HeadlessWindow : public core::WindowState
{
public:
    HeadlessWindow();

    void messageBox(const QString &text) override;
    void processEvents() override;
    void documentEvent(const core::DocumentEvent &event) override;
    void notice(const QString &text) override;
    void serviceEvent(const QDateTime &when, const QString &text) override;

    // The standard-output line of an event, without its line end.
    static QString eventLine(const core::DocumentEvent &event);

private:
    QTextStream m_out;
    QTextStream m_err;
};

} // namespace headless
