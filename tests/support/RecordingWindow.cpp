#include "support/RecordingWindow.h"

#include <QRegularExpression>

namespace testsupport {

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
