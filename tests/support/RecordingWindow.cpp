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
