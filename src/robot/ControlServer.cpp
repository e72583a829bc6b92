#include "robot/ControlServer.h"

#include "core/Texts.h"
#include "robot/Robot.h"
#include "robot/StatusReport.h"

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

int statusOf(Outcome::Result result)
{
    switch (result) {
    case Outcome::Result::Done:
        return ControlServer::Done;
    case Outcome::Result::BadArgument:
        return ControlServer::WrongCommand;
    default:
        return ControlServer::Refused;
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

QString ControlServer::usageError(const QStringList &words)
{
    const QString command = words.value(0);
    const QStringList args = words.mid(1);
    const auto wrong = [&](const QString &usage) {
        return QStringLiteral("Argumentos no válidos para %1. Uso: %2").arg(command, usage);
    };
    if (command == QLatin1String("estado"))
        return args.isEmpty() || args == QStringList{QStringLiteral("--json")}
                   ? QString()
                   : wrong(QStringLiteral("estado [--json]"));
    for (const char *plain :
         {"cierre-x", "cierre-z", "abrir-gaveta", "anular", "detener", "iniciar"}) {
        if (command == QLatin1String(plain))
            return args.isEmpty() ? QString() : wrong(command);
    }
    if (command == QLatin1String("reporte-memoria"))
        return args.size() == 2 ? QString() : wrong(QStringLiteral("reporte-memoria DESDE HASTA"));
    if (command == QLatin1String("reintentar")) {
        bool ok = false;
        const qint64 code = args.value(1).toLongLong(&ok);
        const bool kind =
            args.value(0) == QLatin1String("factura") || args.value(0) == QLatin1String("nota");
        return args.size() == 2 && kind && ok && code > 0
                   ? QString()
                   : wrong(QStringLiteral("reintentar factura|nota CODIGO"));
    }
    return command.isEmpty() ? QStringLiteral("Falta la orden.")
                             : QStringLiteral("Orden desconocida: %1").arg(command);
}

bool ControlServer::listen()
{
    const QString dir = m_robot.state().RutaPrograma;
    const QString path = QDir(dir).filePath(socketName());
    QLocalServer::removeServer(path);
    // Owner and group only, set before the socket appears under its name.
    m_server.setSocketOptions(QLocalServer::UserAccessOption | QLocalServer::GroupAccessOption);
    if (!m_server.listen(path)) {
        m_robot.window().notice(
            texts::controlNoDisponible(QDir::toNativeSeparators(path), m_server.errorString()));
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
            m_robot.window().notice(texts::controlSinGrupo(QDir::toNativeSeparators(path)));
    }
    return true;
}

bool ControlServer::allowed(QLocalSocket *socket) const
{
    const int fd = int(socket->socketDescriptor());
    ucred peer = {};
    socklen_t length = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0)
        return false;
    if (peer.uid == 0 || peer.uid == ::geteuid())
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
        if (!allowed(socket)) {
            answer(socket, {Refused, texts::kNoAutorizado});
            continue;
        }
        if (findChildren<QLocalSocket *>(Qt::FindDirectChildrenOnly).size() > kMaxClients) {
            answer(socket, {Refused, texts::kControlOcupado});
            continue;
        }
        socket->setReadBufferSize(kMaxRequest + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    }
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
            answer(socket, {WrongCommand, texts::kPeticionNoValida});
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
        answer(socket, {WrongCommand, texts::kPeticionNoValida});
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
    const QJsonObject o{{QStringLiteral("status"), reply.status},
                        {QStringLiteral("text"), reply.text}};
    socket->write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    // Closed once written; a client that does not read it is dropped.
    if (auto *silence = socket->findChild<QTimer *>(QStringLiteral("silence")))
        silence->start(kSilence);
    socket->disconnectFromServer();
}

ControlServer::Reply ControlServer::handle(const QStringList &words)
{
    if (const QString why = usageError(words); !why.isEmpty())
        return {WrongCommand, why};
    const QString &command = words.first();
    if (command == QLatin1String("estado")) {
        if (words.size() == 1)
            return {Done, StatusReport::text(m_robot)};
        return {Done,
                QString::fromUtf8(
                    QJsonDocument(StatusReport::json(m_robot)).toJson(QJsonDocument::Compact))};
    }
    // A job switches polling its own way as it ends: the operator's switch
    // comes after it.
    if ((command == QLatin1String("detener") || command == QLatin1String("iniciar")) &&
        m_robot.busy())
        return {Done, {}, true};
    Outcome outcome;
    if (command == QLatin1String("cierre-x"))
        outcome = m_actions.cierreX();
    else if (command == QLatin1String("cierre-z"))
        outcome = m_actions.cierreZ();
    else if (command == QLatin1String("abrir-gaveta"))
        outcome = m_actions.abrirGaveta();
    else if (command == QLatin1String("anular"))
        outcome = m_actions.anular();
    else if (command == QLatin1String("reporte-memoria"))
        outcome = m_actions.memoriaFiscal(words[1], words[2]);
    else if (command == QLatin1String("detener"))
        outcome = m_actions.detener();
    else if (command == QLatin1String("iniciar"))
        outcome = m_actions.iniciar();
    else if (command == QLatin1String("reintentar"))
        outcome =
            m_actions.reintentar(words[1] == QLatin1String("nota") ? core::DocumentKind::CreditNote
                                                                   : core::DocumentKind::Invoice,
                                 words[2].toLongLong());
    if (outcome.result == Outcome::Result::Busy)
        return {Done, {}, true};
    return {statusOf(outcome.result), outcome.text};
}

} // namespace robot
