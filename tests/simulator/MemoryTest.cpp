#include "SimulatorFixture.h"

#include <QFile>
#include <sys/wait.h>

using namespace simtest;

class MemoryTest : public SimulatorTest
{
};

TEST_F(MemoryTest, ADocumentLeftOpenStaysOpenAcrossLoads)
{
    const int first = inFreshProcess([](printer::Driver &d) {
        int s = 0;
        int e = 0;
        d.OpenFpctrl("COM1");
        d.SendCmd(&s, &e, "i01Cliente Pendiente");
        d.SendCmd(&s, &e, "d1000000500000001000PAN");
        // Ends without closing the port or the credit note.
    });
    ASSERT_TRUE(WIFEXITED(first) && WEXITSTATUS(first) == 0);

    const int second = inFreshProcess([](printer::Driver &d) {
        int s = 0;
        int e = 0;
        d.OpenFpctrl("COM1");
        d.SendCmd(&s, &e, "!000000500000001000PAN");
        d.SendCmd(&s, &e, "i01Otro Cliente");
        d.SendCmd(&s, &e, "f09000000000000");
    });
    ASSERT_TRUE(WIFEXITED(second) && WEXITSTATUS(second) == 0);

    const QStringList lines = log();
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.mid(4),
              (QStringList{"SendCmd\t!000000500000001000PAN\t0", "SendCmd\ti01Otro Cliente\t0",
                           "SendCmd\tf09000000000000\t1"}));
    EXPECT_TRUE(paper().contains(QLatin1String("Cliente Pendiente")));
}

TEST_F(MemoryTest, CountersOfTheIniAreTakenOnlyWhileThereIsNoMemory)
{
    writeIni(QStringLiteral("[counters]\nInvoice=50\n"));
    ASSERT_EQ(open().result, 1);
    EXPECT_EQ(lastInvoiceFromStatus(), QStringLiteral("00000050"));
    sendAll({"!000000500000001000PAN", "101"});

    writeIni(QStringLiteral("[counters]\nInvoice=500\n"));
    ASSERT_EQ(open().result, 1);
    EXPECT_EQ(lastInvoiceFromStatus(), QStringLiteral("00000051"));
}

TEST_F(MemoryTest, LogDecodesCommandsFromTheCodePage)
{
    const struct
    {
        const char *codePage; // empty: the default
        QByteArray command;
        const char *logged;
    } cases[] = {
        {"",
         "i01Pe\xf1"
         "a \xc1lvarez",
         "i01Peña Álvarez"},
        {"windows-1252", "i01Caf\xe9 \x80", "i01Café €"},
        {"IBM850",
         "i01Pe\xa4"
         "a",
         "i01Peña"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.codePage);
        writeIni(*c.codePage
                     ? QStringLiteral("[printer]\nCodePage=%1\n").arg(QLatin1String(c.codePage))
                     : QString());
        ASSERT_EQ(open().result, 1);
        sendAll({c.command, "!000000500000001000PAN", "101"});
        const QString expected = QString::fromUtf8(c.logged);
        EXPECT_TRUE(log().contains(QStringLiteral("SendCmd\t%1\t1").arg(expected)));
        EXPECT_TRUE(paper().contains(expected.mid(3)));
    }
}

TEST_F(MemoryTest, EveryCallIsLoggedWithItsResult)
{
    ASSERT_EQ(open().result, 1);
    send("0");
    send("XYZ");
    uploadStatus();
    uploadReport("S1");
    driver().CloseFpctrl();
    const QString status = m_dir.file(QStringLiteral("Status.txt"));
    const QString report = m_dir.file(QStringLiteral("Status2.txt"));
    EXPECT_EQ(log(), (QStringList{"OpenFpctrl\tCOM1\t1", "SendCmd\t0\t1", "SendCmd\tXYZ\t0",
                                  "UploadStatusCmd\tS1\t" + status + "\t1",
                                  "UploadReportCmd\tS1\t" + report + "\t0", "CloseFpctrl"}));
}
