#include "headless/HeadlessWindow.h"

#include "core/Formatting.h"
#include "core/Texts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

namespace headless {

namespace {
QString timeText(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}
} // namespace

HeadlessWindow::HeadlessWindow() : m_out(stdout), m_err(stderr)
{
    m_out.setEncoding(QStringConverter::Utf8);
    m_err.setEncoding(QStringConverter::Utf8);
}

void HeadlessWindow::messageBox(const QString &text)
{
    m_err << core::texts::kAppTitle << '\n';
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    for (const QString &line : lines.split(QLatin1Char('\r')))
        m_err << line << '\n';
    m_err << '\n';
    m_err.flush();
}

void HeadlessWindow::processEvents()
{
    QCoreApplication::processEvents();
}

QString HeadlessWindow::eventLine(const core::DocumentEvent &event)
{
    using Kind = core::DocumentEvent::Kind;
    namespace texts = core::texts;
    const QString &name = texts::kEventWords[static_cast<int>(event.kind)];
    QString line = timeText(event.time) + QLatin1Char(' ') + name + QLatin1Char(' ') +
                   texts::documentWord(event.document) + QLatin1Char(' ') +
                   QString::number(event.code);
    if (event.kind == Kind::Printed || event.kind == Kind::Recovered) {
        line += QLatin1Char(' ') + event.number;
        if (event.document == core::DocumentKind::Invoice)
            line += texts::kZField + event.zNumber;
    } else if (event.kind == Kind::Failed) {
        line += texts::kStageField + core::Formatting::TextoNumero(event.stage).trimmed();
    } else if (event.kind == Kind::Held) {
        line += QLatin1Char(' ') + event.reason;
    }
    return line;
}

void HeadlessWindow::documentEvent(const core::DocumentEvent &event)
{
    m_out << eventLine(event) << '\n';
    m_out.flush();
}

void HeadlessWindow::notice(const QString &text)
{
    m_err << text << '\n';
    m_err.flush();
}

void HeadlessWindow::serviceEvent(const QDateTime &when, const QString &text)
{
    m_out << timeText(when) << ' ' << text << '\n';
    m_out.flush();
}

} // namespace headless
