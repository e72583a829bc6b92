#include "app/ControlClient.h"

#include "core/Texts.h"
#include "robot/ControlCommands.h"
#include "robot/ControlServer.h"

#include <QCoreApplication>
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
using core::ExitStatus;

ExitStatus say(ExitStatus status, const QString &text)
{
    std::fprintf(status == ExitStatus::Done ? stdout : stderr, "%s\n", text.toUtf8().constData());
    return status;
}

// `estado --check` answers a monitoring system: one line on standard output
// whatever the state, and no answer from a robot is its "unknown".
ExitStatus sayChecked(ExitStatus status, const QString &text, bool answered)
{
    const QString line =
        answered ? text : core::texts::checkLine(core::texts::kCheckUnknown, QStringList{text});
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    return answered ? status : ExitStatus::CheckUnknown;
}
} // namespace

ExitStatus ControlClient::run(int &argc, char **argv, const QString &programDir,
                              const QStringList &words)
{
    QCoreApplication app(argc, argv);
    if (const QString why = robot::ControlCommands::usageError(words); !why.isEmpty())
        return say(ExitStatus::WrongCommand, why);
    const bool check = words.value(1) == core::texts::kCheckOption;
    const auto say = [check](ExitStatus status, const QString &text, bool answered = false) {
        return check ? sayChecked(status, text, answered) : app::say(status, text);
    };
    const QString dir =
        QFileInfo(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir)
            .absoluteFilePath();
    if (!QFileInfo(dir).isDir())
        return say(ExitStatus::NoRobot,
                   core::texts::directoryMissing(QDir::toNativeSeparators(dir)));
    const QString path = QDir(dir).filePath(robot::ControlServer::socketName());

    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(10000)) {
        switch (socket.error()) {
        case QLocalSocket::ServerNotFoundError:
        case QLocalSocket::ConnectionRefusedError:
            return say(ExitStatus::NoRobot, core::texts::noRobot(QDir::toNativeSeparators(dir)));
        case QLocalSocket::SocketAccessError:
            return say(ExitStatus::Failed,
                       core::texts::noPermission(QDir::toNativeSeparators(path)));
        default:
            return say(ExitStatus::Failed, socket.errorString());
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
        return say(ExitStatus::Failed, core::texts::kRobotClosedWithoutAnswer);
    // The robot's status is the client's, whatever number it is.
    return say(static_cast<ExitStatus>(
                   reply.value(QStringLiteral("status")).toInt(core::exitCode(ExitStatus::Failed))),
               reply.value(QStringLiteral("text")).toString(), true);
}

} // namespace app
