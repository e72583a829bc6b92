#include "Printer.h"

#include "Answers.h"
#include "Codes.h"
#include "Interpreter.h"
#include "Journal.h"
#include "PaperRoll.h"
#include "StateFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <chrono>
#include <cstdlib>
#include <thread>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#endif

namespace sim {

namespace {

// STX, ETX and the check byte around a frame, and the printer's ACK.
constexpr qsizetype kFraming = 4;

QByteArray bytesOf(const char *text)
{
    return text ? QByteArray(text) : QByteArray();
}

} // namespace

Printer &Printer::instance()
{
    static Printer printer;
    return printer;
}

QPair<qint64, qint64> Printer::iniStamp() const
{
    const QFileInfo ini(QDir(m_dir).filePath(QStringLiteral("fiscalsim.ini")));
    if (!ini.exists())
        return {-1, -1};
    return {ini.lastModified().toMSecsSinceEpoch(), ini.size()};
}

void Printer::follow(bool reread)
{
    const QString dir = QDir::currentPath();
    const bool moved = dir != m_dir;
    if (moved) {
        m_dir = dir;
        m_portOpen = false;
        reread = true;
    }
    // A changed file, or another directory (another printer): its faults
    // count from here.
    const QPair<qint64, qint64> stamp = iniStamp();
    if (moved || stamp != m_iniStamp) {
        m_iniStamp = stamp;
        m_sends = m_uploads = 0;
        reread = true;
    }
    if (!reread)
        return;
    m_settings = Settings::read(m_dir);
    const StateFile state(m_dir);
    FiscalMemory memory;
    // The [counters] seed a printer that has no fiscal memory yet; one that
    // cannot be read starts from them as well and is replaced at the next save.
    if (!state.exists() || !state.load(&memory)) {
        memory = FiscalMemory();
        memory.lastInvoice = m_settings.initialInvoice;
        memory.lastCreditNote = m_settings.initialCreditNote;
        memory.lastZ = m_settings.initialZ;
    }
    m_memory = memory;
}

QString Printer::decode(const QByteArray &bytes) const
{
    QStringDecoder decoder(m_settings.codePage.toLatin1().constData());
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

struct Printer::CallTime
{
    explicit CallTime(Printer &p) : printer(p) { printer.startCall(); }
    ~CallTime() { printer.finishCall(); }
    Printer &printer;
};

void Printer::startCall()
{
    m_callStart = std::chrono::steady_clock::now();
    m_lineUntil = m_callStart;
}

void Printer::wire(qsizetype bytes)
{
    if (m_settings.baud <= 0)
        return;
    // 8N1: a start bit, eight data bits and a stop bit per byte.
    const qint64 micros = qint64(bytes) * 10 * 1000000 / m_settings.baud;
    m_lineUntil = m_callStart + std::chrono::microseconds(micros);
}

void Printer::finishCall()
{
    if (m_lineUntil > std::chrono::steady_clock::now())
        std::this_thread::sleep_until(m_lineUntil);
}

void Printer::log(QStringList fields) const
{
    // One call, one line, whatever the command holds.
    for (QString &f : fields)
        for (QChar c : {QLatin1Char('\t'), QLatin1Char('\r'), QLatin1Char('\n')})
            f.replace(c, QLatin1Char(' '));
    Journal(QDir(m_dir).filePath(QStringLiteral("fiscalsim.log")))
        .append(fields.join(QLatin1Char('\t')) + QLatin1Char('\n'));
}

void Printer::report(int *status, int *error, int code) const
{
    if (status)
        *status = (m_portOpen ? PortOpen : 0) | Interpreter::documentStatus(m_memory);
    if (error)
        *error = code;
}

bool Printer::refusedByFault(const QString &command) const
{
    if (m_settings.refuseNth > 0 && m_sends == m_settings.refuseNth)
        return true;
    for (const QString &prefix : m_settings.refusedPrefixes)
        if (command.startsWith(prefix))
            return true;
    return false;
}

void Printer::powerCut()
{
#ifdef Q_OS_WIN
    TerminateProcess(GetCurrentProcess(), 1);
#else
    std::raise(SIGKILL);
#endif
    std::abort();
}

int Printer::open(const char *port)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const CallTime callTime(*this);
    follow(true);
    const QByteArray bytes = bytesOf(port);
    wire(bytes.size() + kFraming);
    m_portOpen = !m_settings.openFails;
    const int r = m_portOpen ? 1 : 0;
    log({QStringLiteral("OpenFpctrl"), decode(bytes), QString::number(r)});
    return r;
}

int Printer::close()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const CallTime callTime(*this);
    follow(false);
    wire(kFraming);
    m_portOpen = false;
    log({QStringLiteral("CloseFpctrl")});
    return 1;
}

int Printer::send(int *status, int *error, const char *command)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const CallTime callTime(*this);
    follow(false);
    ++m_sends;
    const QByteArray bytes = bytesOf(command);
    const QString text = decode(bytes);
    wire(bytes.size() + kFraming);

    int code = NoError;
    if (!m_portOpen) {
        code = PortClosed;
    } else if (refusedByFault(text)) {
        code = FaultRefused;
    } else if (m_settings.refuse7WhenIdle && text == QLatin1String("7") &&
               !m_memory.document.isOpen()) {
        code = NotAllowedNow;
    } else {
        const FiscalMemory before = m_memory;
        const PaperRoll paper(m_settings.serial, m_settings.rates);
        Interpreter interpreter(m_memory, paper, m_settings.rates);
        const Interpreter::Outcome outcome =
            interpreter.execute(text, QDateTime::currentDateTime());
        code = outcome.error;
        if (outcome.changed && !StateFile(m_dir).save(m_memory)) {
            // What the fiscal memory did not keep did not happen.
            m_memory = before;
            code = MemoryNotWritten;
        } else if (!outcome.printed.isEmpty()) {
            Journal(QDir(m_dir).filePath(QStringLiteral("fiscalsim-paper.txt")))
                .append(outcome.printed);
        }
    }
    // The printer did it; the caller never hears so.
    if (code == NoError && m_settings.loseReplyNth > 0 && m_sends == m_settings.loseReplyNth)
        code = ReplyLost;
    report(status, error, code);
    const int r = code == NoError ? 1 : 0;
    log({QStringLiteral("SendCmd"), text, QString::number(r)});
    if (m_settings.killAfter > 0 && m_sends == m_settings.killAfter)
        powerCut();
    return r;
}

int Printer::uploadStatus(int *status, int *error, const char *command, const char *file)
{
    return upload(Upload::Status, status, error, command, file);
}

int Printer::uploadReport(int *status, int *error, const char *command, const char *file)
{
    return upload(Upload::Report, status, error, command, file);
}

bool Printer::writeAnswer(const QString &file, const QString &answer) const
{
    QSaveFile out(QDir(m_dir).absoluteFilePath(file));
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = answer.toLatin1();
    return out.write(bytes) == bytes.size() && out.commit();
}

int Printer::upload(Upload kind, int *status, int *error, const char *command, const char *file)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const CallTime callTime(*this);
    follow(false);
    ++m_uploads;
    const QByteArray bytes = bytesOf(command);
    const QString text = decode(bytes);
    const QString path = decode(bytesOf(file));

    int code = NoError;
    QString answer;
    if (!m_portOpen)
        code = PortClosed;
    else if (m_settings.uploadFails ||
             (m_settings.uploadFailNth > 0 && m_uploads == m_settings.uploadFailNth) ||
             (m_settings.uploadFailFrom > 0 && m_uploads >= m_settings.uploadFailFrom))
        code = AnswerNotWritten;
    else if (kind == Upload::Status && text == QLatin1String("S1"))
        answer = Answers::status(m_memory, m_settings, QDateTime::currentDateTime());
    else if (kind == Upload::Report && text == QLatin1String("U0X"))
        answer = Answers::xReport(m_memory, m_settings, QDateTime::currentDateTime());
    else
        code = Syntax;
    if (code == NoError && (path.isEmpty() || !writeAnswer(path, answer)))
        code = AnswerNotWritten;
    wire(bytes.size() + kFraming + answer.size());

    report(status, error, code);
    const int r = code == NoError ? 1 : 0;
    log({kind == Upload::Status ? QStringLiteral("UploadStatusCmd")
                                : QStringLiteral("UploadReportCmd"),
         text, path, QString::number(r)});
    return r;
}

} // namespace sim
