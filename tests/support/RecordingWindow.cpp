#include "support/RecordingWindow.h"

#include <QCoreApplication>

namespace testsupport {

void RecordingWindow::messageBox(const QString &text)
{
    messages << text;
    transcript << QStringLiteral("message ") + text;
}

void RecordingWindow::processEvents()
{
    ++eventPumps;
    QCoreApplication::processEvents();
    if (onProcessEvents)
        onProcessEvents();
}

void RecordingWindow::setStatus(const QString &text)
{
    WindowState::setStatus(text);
    transcript << QStringLiteral("status ") + text;
}

void RecordingWindow::setStage(const QString &text)
{
    WindowState::setStage(text);
    transcript << QStringLiteral("stage ") + text;
}

void RecordingWindow::setProgress(int value)
{
    WindowState::setProgress(value);
    transcript << QStringLiteral("progress ") + QString::number(value);
}

void RecordingWindow::setLog(const QString &text)
{
    WindowState::setLog(text);
    transcript << QStringLiteral("log ") + text;
}

void RecordingWindow::setTitle(const QString &title)
{
    WindowState::setTitle(title);
    transcript << QStringLiteral("title ") + title;
}

void RecordingWindow::setControlEnabled(core::Control control, bool enabled)
{
    WindowState::setControlEnabled(control, enabled);
    transcript << QStringLiteral("enable %1 %2").arg(static_cast<int>(control)).arg(enabled);
}

void RecordingWindow::setCaption(core::Control control, const QString &caption)
{
    WindowState::setCaption(control, caption);
    transcript << QStringLiteral("caption %1 %2").arg(static_cast<int>(control)).arg(caption);
}

void RecordingWindow::setBackgroundColor(core::Rgb colour)
{
    WindowState::setBackgroundColor(colour);
    transcript << QStringLiteral("background %1,%2,%3").arg(colour.r).arg(colour.g).arg(colour.b);
}

void RecordingWindow::minimizeToTray(const core::DatosIcono &icon)
{
    WindowState::minimizeToTray(icon);
    transcript << QStringLiteral("tray ") + icon.tip;
}

void RecordingWindow::documentEvent(const core::DocumentEvent &event)
{
    events << event;
}

void RecordingWindow::notice(const QString &text)
{
    transcript << QStringLiteral("notice ") + text;
}

QStringList RecordingWindow::entries(const QString &prefix) const
{
    QStringList out;
    for (const QString &e : transcript) {
        if (e.startsWith(prefix))
            out << e;
    }
    return out;
}

} // namespace testsupport
