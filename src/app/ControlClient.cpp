#include "app/ControlClient.h"

#include "core/Texts.h"
#include "robot/ControlServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <cstdio>

namespace app {

namespace {
using Status = robot::ControlServer::Status;

int say(int status, const QString &text)
{
    std::fprintf(status == Status::Done ? stdout : stderr, "%s\n", text.toUtf8().constData());
    return status;
}
} // namespace

int ControlClient::run(const QString &programDir, const QStringList &words)
{
    if (const QString why = robot::ControlServer::usageError(words); !why.isEmpty())
        return say(Status::WrongCommand, why);
    const QString dir = QFileInfo(programDir).absoluteFilePath();
    if (!QFileInfo(dir).isDir())
        return say(Status::NoRobot, core::texts::directorioNoExiste(QDir::toNativeSeparators(dir)));
    const QString path = QDir(dir).filePath(robot::ControlServer::socketName());

    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(10000)) {
        switch (socket.error()) {
        case QLocalSocket::ServerNotFoundError:
        case QLocalSocket::ConnectionRefusedError:
            return say(Status::NoRobot, core::texts::sinRobot(QDir::toNativeSeparators(dir)));
        case QLocalSocket::SocketAccessError:
            return say(Status::Refused, core::texts::sinPermiso(QDir::toNativeSeparators(path)));
        default:
            return say(Status::Refused, socket.errorString());
        }
    }
    socket.write(QJsonDocument(QJsonArray::fromStringList(words)).toJson(QJsonDocument::Compact) +
                 '\n');
    QByteArray answer;
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    while (!answer.contains('\n')) {
        const bool more = socket.bytesAvailable() > 0 ||
                          socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        answer += socket.readAll();
        if (!more || deadline.hasExpired())
            break;
    }
    const QJsonObject reply = QJsonDocument::fromJson(answer.left(answer.indexOf('\n'))).object();
    if (!answer.contains('\n') || !reply.contains(QStringLiteral("status")))
        return say(Status::Refused, core::texts::kSinRespuestaRobot);
    return say(reply.value(QStringLiteral("status")).toInt(Status::Refused),
               reply.value(QStringLiteral("text")).toString());
}

} // namespace app
