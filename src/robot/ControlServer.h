#pragma once

#include "core/ExitStatus.h"
#include "robot/PrinterActions.h"

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <chrono>
#include <sys/types.h>

class QLocalSocket;

namespace robot {

class Robot;

// The running robot's control socket, robot-fiscal.sock in the program
// directory: one request a connection, the command line's words; one answer,
// an exit status and a line. Only the robot's user, root and the program
// directory's group get in: the socket's mode says so, and the peer's
// credentials are checked too, so a loosened mode lets nobody else in.
// Requests are read without blocking, limited in size, and a client that
// says nothing is dropped; the robot never waits for a client. Connections
// are limited per user, and the group's users together have a limit of their
// own, so that no operator holding connections locks out the robot's own
// user and root (the daily Z's timer among them).
class ControlServer : public QObject
{
    Q_OBJECT
public:
    explicit ControlServer(Robot &robot, QObject *parent = nullptr);
    ~ControlServer() override;

    static QString socketName() { return QStringLiteral("robot-fiscal.sock"); }
    static constexpr qsizetype kMaxRequest = 4096;
    // Open connections of the group's users together, and of any one user.
    static constexpr int kMaxClients = 8;
    static constexpr int kMaxPerUser = 4;
    static constexpr std::chrono::milliseconds kSilence{5000};

    // Listens, replacing a socket file a killed robot left (the instance lock
    // says no other robot runs here). False, told as a notice, when it
    // cannot: the robot then runs on without it.
    bool listen();

private:
    struct Reply
    {
        core::ExitStatus status = core::ExitStatus::Done;
        QString text;
        bool retry = false; // the runner was taken by a tick: answered once it is free
    };
    Reply handle(const QStringList &words);
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket);
    void answer(QLocalSocket *socket, const Reply &reply);
    void retryWaiting();
    // Whether the peer may use the socket, and its user.
    bool allowed(QLocalSocket *socket, uid_t *uid) const;
    // The robot's own user and root, whose room other users cannot take.
    static bool privileged(uid_t uid);
    // The refusal for one connection more of `uid`; empty when it has room.
    QString roomFor(uid_t uid, const QLocalSocket *socket) const;

    Robot &m_robot;
    PrinterActions m_actions;
    QLocalServer m_server;
    gid_t m_group = gid_t(-1);
    struct Waiting
    {
        QPointer<QLocalSocket> socket;
        QStringList words;
    };
    QList<Waiting> m_waiting;
};

} // namespace robot
