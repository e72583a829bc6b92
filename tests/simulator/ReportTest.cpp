#include "SimulatorFixture.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>

using namespace simtest;

class ReportTest : public SimulatorTest
{
};

TEST_F(ReportTest, ZReportCountsUpAndTheMemoryReportFindsItByDate)
{
    writeIni(QStringLiteral("[counters]\nZ=11\n"));
    ASSERT_EQ(open().result, 1);
    sendAll({"!000000500000001000PAN", "101", "I0X"});
    EXPECT_EQ(lastZFromStatus(), QStringLiteral("0011")) << "an X report closes nothing";
    EXPECT_TRUE(paper().contains(QLatin1String("REPORTE X")));

    sendAll({"I0Z"});
    EXPECT_EQ(lastZFromStatus(), QStringLiteral("0012"));
    EXPECT_TRUE(
        paper().contains(QRegularExpression(QStringLiteral("REPORTE Z\n[^=]*Z N\\. +0012"))));

    const QString today = QDate::currentDate().toString(QStringLiteral("ddMMyy"));
    const struct
    {
        const char *name;
        QByteArray command;
        bool listsTheZ;
    } cases[] = {
        {"a range around today", "I2A010100" + today.toLatin1(), true},
        {"today alone", "I2A" + today.toLatin1() + today.toLatin1(), true},
        {"a range before today", "I2A010115310115", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(send(c.command).result, 1);
        const QString roll = paper();
        const QString report = roll.mid(roll.lastIndexOf(QLatin1String("REPORTE DE MEMORIA")));
        EXPECT_EQ(report.contains(QLatin1String("Z 0012")), c.listsTheZ) << report.toStdString();
        EXPECT_EQ(report.contains(QLatin1String("SIN CIERRES")), !c.listsTheZ);
    }
}

TEST_F(ReportTest, CashDrawerOpensAtAnyTime)
{
    ASSERT_EQ(open().result, 1);
    sendAll({"0", "w", "!000000500000001000PAN", "0", "w"});
}

TEST_F(ReportTest, UnknownUploadsAreRefusedAndWriteNoFile)
{
    ASSERT_EQ(open().result, 1);
    const struct
    {
        const char *name;
        bool status;
        QByteArray command;
    } cases[] = {
        {"report through the status call", true, "U0X"},
        {"status through the report call", false, "S1"},
        {"unknown status", true, "S9"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Reply r = c.status ? uploadStatus(c.command) : uploadReport(c.command);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.error, Syntax);
    }
    EXPECT_FALSE(QFile::exists(m_dir.file(QStringLiteral("Status.txt"))));
    EXPECT_FALSE(QFile::exists(m_dir.file(QStringLiteral("Status2.txt"))));
}

TEST_F(ReportTest, UploadsAnswerWithADocumentOpenAndReplaceTheFile)
{
    writeIni(QStringLiteral("[counters]\nInvoice=9\n"));
    m_dir.write(QStringLiteral("Status.txt"), QByteArray(500, 'x'));
    ASSERT_EQ(open().result, 1);
    sendAll({"!000000500000001000PAN"});
    const Reply r = uploadStatus();
    EXPECT_EQ(r.result, 1);
    EXPECT_NE(r.status & InvoiceOpen, 0);
    const QString answer = answerText(QStringLiteral("Status.txt"));
    EXPECT_EQ(answer.mid(21, 8), QStringLiteral("00000009"));
    EXPECT_FALSE(answer.contains(QLatin1Char('x')));
}
