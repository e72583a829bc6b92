#include "core/Texts.h"
#include "db/MachineLock.h"
#include "support/Installation.h"
#include "support/OtherUser.h"
#include "support/RobotProcess.h"

#include <QDirIterator>
#include <QFile>
#include <QSysInfo>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::Installation;
using testsupport::RobotProcess;
namespace texts = core::texts;

namespace {

QString printed(qint64 sale)
{
    return QStringLiteral("impresa factura %1").arg(sale);
}

qint64 addInvoice(Installation &inst)
{
    const qint64 sale = inst.db().addSale({});
    inst.db().addItem(sale, {});
    return sale;
}

// Started under a umask that lets anyone write anything, the robot still
// makes nothing in its directories that another user could change (the
// control socket alone is its group's). An operator of the directory's group
// who keeps putting a forged answer in place of the driver's (another mode, a
// link to a file with the number of its choice, either the number before, to
// have a closed invoice judged not closed and printed again, or another one)
// never gets a number recorded nor a second invoice printed.
TEST(Files, OnlyTheRobotsUserMayChangeWhatItWritesAndAForgedAnswerIsNoNumber)
{
    Installation inst;
    const mode_t before = ::umask(0);
    RobotProcess robot(inst.path());
    ::umask(before);
    const qint64 first = addInvoice(inst);
    ASSERT_TRUE(robot.waitForOutput({printed(first) + " 00000001"}));
    QDirIterator it(inst.path(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    int seen = 0;
    while (it.hasNext()) {
        const QByteArray path = it.next().toLocal8Bit();
        struct stat info = {};
        ASSERT_EQ(::lstat(path, &info), 0);
        ++seen;
        if (S_ISSOCK(info.st_mode))
            EXPECT_EQ(info.st_mode & 0777, 0770u) << path.constData();
        else
            EXPECT_EQ(info.st_mode & 022, 0u) << path.constData();
    }
    EXPECT_GT(seen, 10);

    if (::geteuid() != 0)
        GTEST_SKIP() << "the forger needs root to become another user";
    constexpr gid_t kOperators = 65534;
    const QByteArray dir = inst.path().toLocal8Bit();
    ASSERT_EQ(::chown(dir, 0, kOperators), 0);
    ASSERT_EQ(::chmod(dir, 0770), 0);
    QFile answer(inst.file("Status.txt"));
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
    const QByteArray real = answer.readAll();
    ASSERT_EQ(real.mid(21, 8), "00000001");
    const QByteArray forgeries[] = {QByteArray(real).replace(21, 8, "00777777"), real};
    const QByteArray status = dir + "/Status.txt", tmp = dir + "/forja.tmp",
                     target = dir + "/forja", link = dir + "/forja.lnk";
    // A slow line: each answer lies on the file a while before it is read.
    inst.writeSimIni("[link]\nBaud=2400\n");
    const qint64 sale = addInvoice(inst);
    const QString code = QString::number(sale);
    ASSERT_TRUE(robot.waitForOutput({"inicio factura " + code}));
    testsupport::OtherUser forger(60010, kOperators);
    forger.start([&] {
        for (unsigned i = 0;; ++i) {
            const QByteArray &forged = forgeries[i % 2];
            const int fd = ::open(tmp, O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (fd < 0 || ::fchmod(fd, 0666) != 0 ||
                ::write(fd, forged.constData(), size_t(forged.size())) < 0)
                return;
            ::close(fd);
            if (i % 4 < 2) {
                ::rename(tmp, status);
            } else {
                ::rename(tmp, target);
                ::unlink(link);
                if (::symlink(target, link) == 0)
                    ::rename(link, status);
            }
        }
    });
    EXPECT_TRUE(
        robot.waitForOutput({printed(sale), "fallo factura " + code, "retenida factura " + code}));
    forger.stop();
    inst.writeSimIni({});
    RobotProcess::ask(inst.path(), {"reintentar", "factura", code});
    EXPECT_TRUE(robot.waitForOutput(
        {printed(sale) + " 00000002", "recuperada factura " + code + " 00000002"}))
        << (robot.out() + robot.err()).toStdString();
    EXPECT_FALSE(robot.out().contains("00777777"));
    EXPECT_EQ(inst.db().sale(sale, "Factura").toString(), "00000002");
    EXPECT_EQ(inst.fiscalMemory().value("lastInvoice").toInt(), 2) << "one invoice for the sale";
}

// A lock file naming no live process, as a power cut or someone else leaves
// it, is taken over and said so: the directory's copy lock and the fiscal
// machine's lock beside a shared SQLite database.
TEST(Files, AStaleLockIsTakenOverAndSaidSo)
{
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const auto naming = [](qint64 pid) {
        return QStringLiteral("%1\n%2\n%3\n")
            .arg(pid)
            .arg(ROBOT_BINARY, QSysInfo::machineHostName())
            .toUtf8();
    };
    enum Lock { Copy, Machine };
    const std::tuple<const char *, Lock, QByteArray> cases[] = {
        {"empty after a power cut", Copy, {}},
        {"a pid that is gone", Copy, naming(gone)},
        {"garbage", Machine, "\x01\x02 no es un bloqueo"},
        {"a live pid of another program", Machine, naming(::getpid())},
    };
    for (const auto &[name, lock, contents] : cases) {
        SCOPED_TRACE(name);
        Installation inst;
        const QString path = lock == Copy ? inst.file("robot-fiscal.lock")
                                          : db::MachineLock::lockFilePath(inst.mainDatabase(), 1);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        // Older than a copy that is still writing its lock could be.
        std::filesystem::last_write_time(path.toStdString(),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::hours(1));
        const qint64 sale = addInvoice(inst);
        RobotProcess robot(inst.path());
        EXPECT_TRUE(robot.waitForOutput({printed(sale)})) << robot.err().toStdString();
        EXPECT_TRUE(robot.err().contains(texts::staleLockTakenOver(path)))
            << robot.err().toStdString();
        EXPECT_EQ(robot.stop(), 0);
    }
}

} // namespace
