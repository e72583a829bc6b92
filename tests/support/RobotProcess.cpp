#include "support/RobotProcess.h"

#include <QDeadlineTimer>

namespace testsupport {

RobotProcess::RobotProcess(const QString &programDir, QStringList extraArgs)
    : m_dir(programDir), m_args(std::move(extraArgs))
{
}

RobotProcess::~RobotProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

void RobotProcess::start()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // Sanitizer reports of the child go to its standard error, not an abort.
    m_process.setProcessEnvironment(env);
    QStringList args{QStringLiteral("--dir"), m_dir, QStringLiteral("--headless")};
    args << m_args;
    m_process.start(QStringLiteral(ROBOT_BINARY), args);
    m_process.waitForStarted(10000);
}

void RobotProcess::drain()
{
    m_out += QString::fromUtf8(m_process.readAllStandardOutput());
    m_err += QString::fromUtf8(m_process.readAllStandardError());
}

bool RobotProcess::waitForExit(int timeoutMs)
{
    const bool done = m_process.waitForFinished(timeoutMs);
    drain();
    return done;
}

bool RobotProcess::waitForOutput(const QString &text, int timeoutMs)
{
    return waitFor(text, false, timeoutMs);
}

bool RobotProcess::waitForAnyOutput(const QStringList &texts, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    auto found = [&] {
        drain();
        for (const QString &t : texts)
            if (m_out.contains(t))
                return true;
        return false;
    };
    while (!deadline.hasExpired()) {
        if (found())
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return found();
        m_process.waitForReadyRead(static_cast<int>(qMin<qint64>(200, deadline.remainingTime())));
    }
    return found();
}

bool RobotProcess::waitForError(const QString &text, int timeoutMs)
{
    return waitFor(text, true, timeoutMs);
}

bool RobotProcess::waitFor(const QString &text, bool error, int timeoutMs)
{
    const QString &stream = error ? m_err : m_out;
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        drain();
        if (stream.contains(text))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        m_process.waitForReadyRead(static_cast<int>(qMin<qint64>(200, deadline.remainingTime())));
    }
    drain();
    return stream.contains(text);
}

void RobotProcess::terminate()
{
    m_process.terminate();
}

QString RobotProcess::standardOutput()
{
    drain();
    return m_out;
}

QString RobotProcess::standardError()
{
    drain();
    return m_err;
}

int RobotProcess::run(const QString &programDir, QString *err, QString *out, QStringList extraArgs)
{
    RobotProcess p(programDir, std::move(extraArgs));
    p.start();
    p.waitForExit();
    if (err)
        *err = p.standardError();
    if (out)
        *out = p.standardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace testsupport
