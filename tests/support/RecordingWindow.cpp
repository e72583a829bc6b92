#include "support/RecordingWindow.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace testsupport {

void RecordingWindow::processEvents()
{
    ++eventPumps;
    QCoreApplication::processEvents();
    if (onProcessEvents)
        onProcessEvents();
}

QString RecordingWindow::said(const char *kind, const QString &text)
{
    transcript << QLatin1String(kind) + text;
    return text;
}

QStringList RecordingWindow::entries(const QString &prefix) const
{
    return transcript.filter(QRegularExpression(u'^' + QRegularExpression::escape(prefix)));
}

} // namespace testsupport
