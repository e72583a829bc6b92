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
    ~RobotProcess();

    // Until standard output (or error) holds one of the texts; false on time-out or exit.
    bool waitForOutput(const QStringList &texts, int timeoutMs = 60000, bool error = false);
    bool waitForError(const QString &text) { return waitForOutput({text}, 60000, true); }
    bool waitForExit(int timeoutMs = 60000);
    void terminate() { m_process.terminate(); }

    // The exit status; -1 for a crash.
    int exitCode() const;
    QString out();
    QString err();

private:
    QProcess m_process;
    QString m_out;
    QString m_err;
};

} // namespace testsupport
