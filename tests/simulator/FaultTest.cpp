#include "SimulatorFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <csignal>
#include <sys/wait.h>

using namespace simtest;

class FaultTest : public SimulatorTest
{
};

TEST_F(FaultTest, OpenFailKeepsThePortClosed)
{
    writeIni(QStringLiteral("[faults]\nOpen=fail\n"));
    EXPECT_EQ(open().result, 0);
    EXPECT_EQ(send("0").error, PortClosed);
    EXPECT_EQ(log().first(), QStringLiteral("OpenFpctrl\tCOM1\t0"));
}

TEST_F(FaultTest, RefusedPrefixesAreRefusedWhateverTheState)
{
    writeIni(QStringLiteral("[faults]\nRefuse=I0Z,101\n"));
    ASSERT_EQ(open().result, 1);
    const struct
    {
        QByteArray command;
        int error;
    } cases[] = {
        {"I0Z", Fault},
        {"I0X", None},
        {"!000000500000001000PAN", None},
        {"101", Fault},
        {"201000000000580", None},
    };
    for (const auto &c : cases)
        EXPECT_EQ(send(c.command).error, c.error) << c.command.constData();
}

TEST_F(FaultTest, UploadFailReturnsZeroAndWritesNoFile)
{
    writeIni(QStringLiteral("[faults]\nUpload=fail\n"));
    ASSERT_EQ(open().result, 1);
    const Reply status = uploadStatus();
    const Reply report = uploadReport();
    EXPECT_EQ(status.result, 0);
    EXPECT_EQ(report.result, 0);
    EXPECT_NE(status.error, None);
    EXPECT_FALSE(QFile::exists(m_dir.file(QStringLiteral("Status.txt"))));
    EXPECT_FALSE(QFile::exists(m_dir.file(QStringLiteral("Status2.txt"))));
}

TEST_F(FaultTest, RefuseNthCountsEverySendSinceTheLibraryWasLoaded)
{
    writeIni(QStringLiteral("[faults]\nRefuseNth=3\n"));
    const int status = inFreshProcess([](printer::Driver &d) {
        int s = 0;
        int e = 0;
        d.SendCmd(&s, &e, "0"); // port closed: still counted
        d.OpenFpctrl("COM1");
        for (int i = 0; i < 3; ++i)
            d.SendCmd(&s, &e, "0");
    });
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(log(), (QStringList{"SendCmd\t0\t0", "OpenFpctrl\tCOM1\t1", "SendCmd\t0\t1",
                                  "SendCmd\t0\t0", "SendCmd\t0\t1"}));
}

TEST_F(FaultTest, KillAfterEndsTheProcessWithTheCommandKept)
{
    writeIni(QStringLiteral("[faults]\nKillAfter=3\n[counters]\nInvoice=5\n"));
    const int status = inFreshProcess([](printer::Driver &d) {
        int s = 0;
        int e = 0;
        d.OpenFpctrl("COM1");
        d.SendCmd(&s, &e, "i01Cliente Cortado");
        d.SendCmd(&s, &e, "!000000500000001000PAN");
        d.SendCmd(&s, &e, "!000000250000002000LECHE");
        d.SendCmd(&s, &e, "101"); // never reached
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGKILL);

    const QStringList lines = log();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.last(), QStringLiteral("SendCmd\t!000000250000002000LECHE\t1"));
    const QJsonObject document = state().value(QLatin1String("document")).toObject();
    EXPECT_EQ(document.value(QLatin1String("kind")).toString(), QStringLiteral("invoice"));
    EXPECT_EQ(document.value(QLatin1String("items")).toArray().size(), 2);

    // Power back: the invoice is still open and closes with both items.
    writeIni(QString());
    ASSERT_EQ(open().result, 1);
    EXPECT_EQ(send("I0X").error, NotNow);
    sendAll({"101"});
    EXPECT_EQ(lastInvoiceFromStatus(), QStringLiteral("00000006"));
    const QString roll = paper();
    for (const char *expected : {"Cliente Cortado", "PAN", "LECHE", "00000006"})
        EXPECT_TRUE(roll.contains(QLatin1String(expected))) << expected;
}

TEST_F(FaultTest, BaudMakesEachCallLastAsLongAsItsBytes)
{
    writeIni(QStringLiteral("[link]\nBaud=1200\n"));
    ASSERT_EQ(open().result, 1);
    // 15 bytes of 10 bits at 1200 baud: 125 ms at the very least.
    QElapsedTimer timer;
    timer.start();
    send("I2A010115310115");
    EXPECT_GE(timer.elapsed(), 100);

    // An upload also carries its answer back over the line.
    writeIni(QStringLiteral("[link]\nBaud=9600\n"));
    ASSERT_EQ(open().result, 1);
    timer.restart();
    ASSERT_EQ(uploadStatus().result, 1);
    const qint64 answerBytes = QFile(m_dir.file(QStringLiteral("Status.txt"))).size();
    EXPECT_GE(timer.elapsed(), answerBytes * 10 * 1000 / 9600);
}
