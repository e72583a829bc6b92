#include "support/RobotProcess.h"

#include <QDeadlineTimer>

namespace testsupport {

RobotProcess::RobotProcess(const QString &programDir, const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    m_process.setProcessEnvironment(env);
    const QStringList dir{QStringLiteral("--dir"), programDir};
    m_process.start(QStringLiteral(ROBOT_BINARY), (programDir.isEmpty() ? args : dir + args));
    m_process.waitForStarted(10000);
}

RobotProcess::Answer RobotProcess::ask(const QString &programDir, const QStringList &words)
{
    RobotProcess client(programDir, words);
    client.waitForExit();
    return {client.exitCode(), client.out(), client.err()};
}

bool RobotProcess::waitFor(const QStringList &texts, int timeoutMs, bool error)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QString stream = error ? err() : out();
        for (const QString &t : texts)
            if (stream.contains(t))
                return true;
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return false;
        m_process.waitForReadyRead(int(qBound(qint64(1), deadline.remainingTime(), qint64(200))));
    }
}

} // namespace testsupport
