#pragma once

#include "printer/DriverLibrary.h"
#include "support/TestDir.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace simtest {

struct Reply
{
    int result = -1;
    int status = -1;
    int error = -1;
};

// The error words and status bits the simulator documents.
enum Error {
    None = 0,
    PortClosed = 1,
    Syntax = 2,
    NotNow = 3,
    BadValue = 4,
    Fault = 5,
    NoAnswer = 6
};
enum Status { PortOpen = 0x01, InvoiceOpen = 0x02, CreditNoteOpen = 0x04 };

// A fresh program directory made current, with the built simulator loaded
// by path as the robot loads its driver.
class SimulatorTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The library of this process, loaded once.
    static printer::Driver &driver();

    void writeIni(const QString &text) const;
    Reply open();
    Reply send(const QByteArray &command);
    // Sends each command and expects the printer to take it.
    void sendAll(const QList<QByteArray> &commands);
    Reply uploadStatus(const QByteArray &command = "S1");
    Reply uploadReport(const QByteArray &command = "U0X");
    // The answer file as the robot's reader rebuilds it: every line
    // followed by CR LF.
    QString answerText(const QString &name) const;

    QStringList log() const;
    QString paper() const;
    QJsonObject state() const;
    QString lastInvoiceFromStatus();
    QString lastZFromStatus();

    // Runs `body` in a forked child that loads a copy of the library of its
    // own, so that its counts "since the library was loaded" start at zero.
    // Returns the child's wait status.
    int inFreshProcess(const std::function<void(printer::Driver &)> &body) const;

    testsupport::TestDir m_dir;

private:
    QString m_previousDir;
};

} // namespace simtest
