#include "robot/ControlServer.h"

#include "core/Texts.h"
#include "robot/ControlCommands.h"
#include "robot/Robot.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef SO_PEERGROUPS
#define SO_PEERGROUPS 59
#endif

namespace robot {

namespace texts = core::texts;

namespace {
const char *const kAnswered = "answered";
const char *const kRequest = "request";
const char *const kUser = "user"; // the peer's uid, once let in

using core::ExitStatus;

ExitStatus statusOf(Outcome::Result result)
{
    switch (result) {
    case Outcome::Result::Done:
        return ExitStatus::Done;
    case Outcome::Result::BadArgument:
        return ExitStatus::WrongCommand;
    case Outcome::Result::Warning:
        return ExitStatus::CheckWarning;
    case Outcome::Result::Critical:
        return ExitStatus::CheckCritical;
    default:
        return ExitStatus::Failed;
    }
}
} // namespace

ControlServer::ControlServer(Robot &robot, QObject *parent)
    : QObject(parent), m_robot(robot), m_actions(robot)
{
    connect(&m_server, &QLocalServer::newConnection, this, &ControlServer::onNewConnection);
    // After the work that freed the runner has returned, never inside it.
    connect(&m_robot, &Robot::runnerFree, this, &ControlServer::retryWaiting, Qt::QueuedConnection);
}

ControlServer::~ControlServer() = default;

bool ControlServer::listen()
{
    const QString dir = m_robot.state().RutaPrograma;
    const QString path = QDir(dir).filePath(socketName());
    QLocalServer::removeServer(path);
    // Owner and group only, set before the socket appears under its name.
    m_server.setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::GroupAccessOption);
    if (!m_server.listen(path)) {
        m_robot.window().notice(
            texts::controlUnavailable(QDir::toNativeSeparators(path), m_server.errorString()));
        return false;
    }
    struct stat dirInfo = {}, socketInfo = {};
    if (::stat(QFile::encodeName(dir).constData(), &dirInfo) == 0) {
        m_group = dirInfo.st_gid;
        const QByteArray name = QFile::encodeName(path);
        if (::stat(name.constData(), &socketInfo) == 0 && socketInfo.st_gid != m_group &&
            ::chown(name.constData(), uid_t(-1), m_group) != 0)
            // The directory's group is not one of the robot's user: only the
            // user and root can reach the socket.
            m_robot.window().notice(texts::controlWithoutGroup(QDir::toNativeSeparators(path)));
    }
    return true;
}

bool ControlServer::privileged(uid_t uid)
{
    return uid == 0 || uid == ::geteuid();
}

bool ControlServer::allowed(QLocalSocket *socket, uid_t *uid) const
{
    const int fd = int(socket->socketDescriptor());
    ucred peer = {};
    socklen_t length = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0)
        return false;
    *uid = peer.uid;
    if (privileged(peer.uid))
        return true;
    if (m_group == gid_t(-1))
        return false;
    if (peer.gid == m_group)
        return true;
    std::vector<gid_t> groups(64);
    length = socklen_t(groups.size() * sizeof(gid_t));
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERGROUPS, groups.data(), &length) != 0) {
        if (errno != ERANGE)
            return false;
        groups.resize(length / sizeof(gid_t));
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERGROUPS, groups.data(), &length) != 0)
            return false;
    }
    groups.resize(length / sizeof(gid_t));
    return std::find(groups.begin(), groups.end(), m_group) != groups.end();
}

void ControlServer::onNewConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Whoever says nothing, or does not take the answer, is dropped.
        auto *silence = new QTimer(socket);
        silence->setObjectName(QStringLiteral("silence"));
        silence->setSingleShot(true);
        connect(silence, &QTimer::timeout, socket, &QLocalSocket::abort);
        silence->start(kSilence);
        uid_t uid = uid_t(-1);
        if (!allowed(socket, &uid)) {
            answer(socket, {ExitStatus::Failed, texts::kNotAuthorised});
            continue;
        }
        if (const QString refusal = roomFor(uid, socket); !refusal.isEmpty()) {
            answer(socket, {ExitStatus::Failed, refusal});
            continue;
        }
        socket->setProperty(kUser, qulonglong(uid));
        socket->setReadBufferSize(kMaxRequest + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    }
}

QString ControlServer::roomFor(uid_t uid, const QLocalSocket *socket) const
{
    int mine = 0, group = 0;
    for (const QLocalSocket *other : findChildren<QLocalSocket *>(Qt::FindDirectChildrenOnly)) {
        const QVariant user = other->property(kUser);
        // Refused ones, and those already gone, hold no room.
        if (other == socket || !user.isValid() || other->state() == QLocalSocket::UnconnectedState)
            continue;
        const uid_t holder = uid_t(user.toULongLong());
        mine += holder == uid;
        group += !privileged(holder);
    }
    if (mine >= kMaxPerUser)
        return texts::kControlBusyForUser;
    if (!privileged(uid) && group >= kMaxClients)
        return texts::kControlBusy;
    return {};
}

void ControlServer::onReadyRead(QLocalSocket *socket)
{
    if (socket->property(kAnswered).toBool()) {
        socket->readAll();
        return;
    }
    QByteArray request = socket->property(kRequest).toByteArray() + socket->readAll();
    const qsizetype end = request.indexOf('\n');
    if (end < 0) {
        if (request.size() > kMaxRequest)
            answer(socket, {ExitStatus::WrongCommand, texts::kInvalidRequest});
        else
            socket->setProperty(kRequest, request);
        return;
    }
    request.truncate(end);
    socket->setProperty(kAnswered, true);
    if (auto *silence = socket->findChild<QTimer *>(QStringLiteral("silence")))
        silence->stop();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request, &error);
    QStringList words;
    for (const QJsonValue &v : document.array())
        words << v.toString();
    if (error.error != QJsonParseError::NoError || !document.isArray() || words.isEmpty()) {
        answer(socket, {ExitStatus::WrongCommand, texts::kInvalidRequest});
        return;
    }
    const Reply reply = handle(words);
    if (reply.retry)
        m_waiting.append({socket, words});
    else
        answer(socket, reply);
}

void ControlServer::retryWaiting()
{
    const QList<Waiting> waiting = std::exchange(m_waiting, {});
    for (const Waiting &w : waiting) {
        if (!w.socket)
            continue;
        const Reply reply = handle(w.words);
        if (reply.retry)
            m_waiting.append(w);
        else
            answer(w.socket, reply);
    }
}

void ControlServer::answer(QLocalSocket *socket, const Reply &reply)
{
    socket->setProperty(kAnswered, true);
    const QJsonObject o{{QStringLiteral("status"), core::exitCode(reply.status)},
                        {QStringLiteral("text"), reply.text}};
    socket->write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    // Closed once written; a client that does not read it is dropped.
    if (auto *silence = socket->findChild<QTimer *>(QStringLiteral("silence")))
        silence->start(kSilence);
    socket->disconnectFromServer();
}

ControlServer::Reply ControlServer::handle(const QStringList &words)
{
    if (const QString why = ControlCommands::usageError(words); !why.isEmpty())
        return {ExitStatus::WrongCommand, why};
    const ControlCommands::Command &command = *ControlCommands::find(words.first());
    if (command.afterJob && m_robot.busy())
        return {ExitStatus::Done, {}, true};
    const Outcome outcome = command.run(m_robot, m_actions, words.mid(1));
    if (outcome.result == Outcome::Result::Busy)
        return {ExitStatus::Done, {}, true};
    return {statusOf(outcome.result), outcome.text};
}

} // namespace robot
