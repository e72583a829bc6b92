#include "headless/HeadlessWindow.h"

#include "core/Formatting.h"
#include "core/Texts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>
#include <sys/stat.h>

namespace headless {

namespace {
QString timeText(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}
// The event's fields after its time.
QString eventFields(const core::DocumentEvent &event)
{
    using Kind = core::DocumentEvent::Kind;
    namespace texts = core::texts;
    const QString &name = texts::kEventWords[static_cast<int>(event.kind)];
    QString line = name + QLatin1Char(' ') + texts::documentWord(event.document) +
                   QLatin1Char(' ') + QString::number(event.code);
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

} // namespace

HeadlessWindow::HeadlessWindow()
    : m_out(stdout), m_err(stderr), m_outJournal(isJournal(fileno(stdout))),
      m_errJournal(isJournal(fileno(stderr)))
{
    m_out.setEncoding(QStringConverter::Utf8);
    m_err.setEncoding(QStringConverter::Utf8);
}

bool HeadlessWindow::isJournal(int fd)
{
    // "DEVICE:INODE" of the stream systemd connected; a program started from
    // a shell inherits the variable but not the stream.
    const QByteArray named = qgetenv("JOURNAL_STREAM");
    struct stat st = {};
    if (named.isEmpty() || fstat(fd, &st) != 0)
        return false;
    return named ==
           QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
}

void HeadlessWindow::write(QTextStream &stream, bool journal, Priority priority,
                           const QDateTime &when, const QString &text)
{
    // The journal keeps its own time: an entry goes without the robot's.
    if (journal) {
        // A line break would end the entry: whatever follows it would stand alone.
        QString entry = text;
        entry.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        entry.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        stream << '<' << int(priority) << '>' << entry << '\n';
    } else {
        stream << (when.isValid() ? timeText(when) + QLatin1Char(' ') : QString()) << text << '\n';
    }
    stream.flush();
}

void HeadlessWindow::messageBox(const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    if (m_errJournal) {
        // One entry, the title first.
        write(m_err, true, Priority::Error, {},
              core::texts::kAppTitle + QStringLiteral(": ") + lines);
        return;
    }
    m_err << core::texts::kAppTitle << '\n';
    for (const QString &line : lines.split(QLatin1Char('\r')))
        m_err << line << '\n';
    m_err << '\n';
    m_err.flush();
}

void HeadlessWindow::processEvents()
{
    QCoreApplication::processEvents();
}

void HeadlessWindow::documentEvent(const core::DocumentEvent &event)
{
    using Kind = core::DocumentEvent::Kind;
    const Priority priority = event.kind == Kind::Failed ? Priority::Error
                              : event.kind == Kind::Held || event.kind == Kind::Cancelled
                                  ? Priority::Warning
                                  : Priority::Information;
    write(m_out, m_outJournal, priority, event.time, eventFields(event));
}

void HeadlessWindow::notice(const QString &text)
{
    write(m_err, m_errJournal, Priority::Warning, {}, text);
}

void HeadlessWindow::serviceEvent(const QDateTime &when, const QString &text)
{
    write(m_out, m_outJournal, Priority::Information, when, text);
}

} // namespace headless
