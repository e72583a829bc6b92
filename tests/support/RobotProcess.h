#pragma once

#include "support/QtPrinters.h"

#include <QProcess>

namespace testsupport {

// The real robot-fiscal binary, started at once with `args` after
// "--dir programDir" (left out when programDir is empty), with no display.
class RobotProcess
{
public:
    explicit RobotProcess(const QString &programDir,
                          const QStringList &args = {QStringLiteral("--headless")});
    ~RobotProcess() { m_process.kill(), m_process.waitForFinished(10000); }

    // Until standard output holds one of the texts (standard error the text);
    // false on time-out or exit.
    bool waitForOutput(const QStringList &texts, int timeoutMs = 60000)
    {
        return waitFor(texts, timeoutMs, false);
    }
    bool waitForError(const QString &text) { return waitFor({text}, 60000, true); }
    bool waitForExit(int timeoutMs = 60000) { return m_process.waitForFinished(timeoutMs); }
    // SIGTERM, then the exit status once it ended.
    int stop() { return m_process.terminate(), waitForExit(), exitCode(); }

    // The exit status; -1 for a crash.
    int exitCode() const
    {
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    QString out() { return m_out += QString::fromUtf8(m_process.readAllStandardOutput()); }
    QString err() { return m_err += QString::fromUtf8(m_process.readAllStandardError()); }

    // The same executable as a client of the robot running on `programDir`:
    // what it answered once it ended.
    struct Answer
    {
        int status = -1;
        QString out, err;
    };
    static Answer ask(const QString &programDir, const QStringList &words);

private:
    bool waitFor(const QStringList &texts, int timeoutMs, bool error);

    QProcess m_process;
    QString m_out;
    QString m_err;
};

} // namespace testsupport
