#pragma once

#include "FiscalMemory.h"
#include "Settings.h"

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QStringList>
#include <chrono>
#include <mutex>

namespace sim {

// The simulated printer behind the five C entries: the port, the faults,
// the line speed, the files.
//
// It works in the current directory and follows it: whenever a call finds
// another current directory than the last one, it reads fiscalsim.ini and
// fiscalsim.state from there afresh and the port counts as closed. Every
// OpenFpctrl reads both again too. A call that finds fiscalsim.ini changed
// (its modification time or size) reads it at once and counts its SendCmd
// and upload calls from there, so that a test can bring a fault on at any
// moment of a running robot. The fiscal memory lives on disk after every
// change; only the port and the counts of SendCmd and upload calls (for the
// RefuseNth, LoseReplyNth, KillAfter, UploadFailNth and UploadFailFrom
// faults), since the library was loaded, fiscalsim.ini last changed or the
// current directory changed, live in the process.
class Printer
{
public:
    static Printer &instance();

    int open(const char *port);
    int close();
    int send(int *status, int *error, const char *command);
    int uploadStatus(int *status, int *error, const char *command, const char *file);
    int uploadReport(int *status, int *error, const char *command, const char *file);

private:
    enum class Upload { Status, Report };

    Printer() = default;

    int upload(Upload kind, int *status, int *error, const char *command, const char *file);
    void follow(bool reread);
    // fiscalsim.ini's modification time and size, to tell that it changed.
    QPair<qint64, qint64> iniStamp() const;
    QString decode(const QByteArray &bytes) const;
    // The call lasts as long as its bytes need on the line, counted from
    // its start: the simulator's own work is hidden in that time.
    void wire(qsizetype bytes);
    void startCall();
    void finishCall();
    struct CallTime;
    void log(QStringList fields) const;
    void report(int *status, int *error, int code) const;
    bool refusedByFault(const QString &command) const;
    bool writeAnswer(const QString &file, const QString &answer) const;
    [[noreturn]] static void powerCut();

    std::mutex m_mutex;
    std::chrono::steady_clock::time_point m_callStart;
    std::chrono::steady_clock::time_point m_lineUntil;
    QString m_dir;
    Settings m_settings;
    FiscalMemory m_memory;
    bool m_portOpen = false;
    qint64 m_sends = 0;
    qint64 m_uploads = 0;
    QPair<qint64, qint64> m_iniStamp;
};

} // namespace sim
