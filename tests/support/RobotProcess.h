#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

// The real robot-fiscal binary, run headless on a program directory.
class RobotProcess
{
public:
    explicit RobotProcess(const QString &programDir, QStringList extraArgs = {});
    ~RobotProcess();

    void start();
    // Waits for the process to end; false on time-out.
    bool waitForExit(int timeoutMs = 30000);
    // Waits until standard output holds `text`; false on time-out or exit.
    bool waitForOutput(const QString &text, int timeoutMs = 30000);
    // Waits until standard output holds any of the texts.
    bool waitForAnyOutput(const QStringList &texts, int timeoutMs = 30000);
    // The same on standard error.
    bool waitForError(const QString &text, int timeoutMs = 30000);
    void terminate();

    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    QString standardOutput();
    QString standardError();

    // Runs to the end and returns the exit code.
    static int run(const QString &programDir, QString *err = nullptr, QString *out = nullptr,
                   QStringList extraArgs = {});

private:
    void drain();
    bool waitFor(const QString &text, bool error, int timeoutMs);
    QProcess m_process;
    QString m_dir;
    QStringList m_args;
    QString m_out;
    QString m_err;
};

} // namespace testsupport
