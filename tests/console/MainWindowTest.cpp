#include "console/MainWindow.h"
#include "core/Texts.h"
#include "support/RobotHarness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using core::Control;
namespace texts = core::texts;

namespace {

// The real window on the real robot. Message boxes are answered as soon as
// they show; their texts are kept.
struct Console
{
    console::MainWindow window;
    testsupport::RobotHarness h;
    QStringList messages;
    std::function<void()> onBox; // a look from inside the action that shows the box
    QTimer boxes;

    explicit Console(const QByteArray &simIni = {}) : h({.simIni = simIni}, &window)
    {
        window.attach(h.robot());
        window.show();
        boxes.setInterval(5);
        QObject::connect(&boxes, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                messages << box->text();
                if (onBox)
                    onBox();
                box->accept();
            }
        });
        boxes.start();
    }
    void click(Control c) { QTest::mouseClick(window.button(c), Qt::LeftButton); }
    // The row of buttons, left to right, as the operator reads it.
    QStringList buttons()
    {
        QStringList captions;
        for (Control b :
             {Control::Command6, Control::Command21, Control::Command22, Control::Command1,
              Control::Command13, Control::Command4, Control::Command3, Control::Command10})
            captions << window.button(b)->text() + (window.button(b)->isEnabled() ? "" : " (off)");
        return captions;
    }
    QStringList lastCall() const { return h.simLog().value(h.simLog().size() - 1); }
    // Pending credit notes on printed sales, listed; polling stays off.
    QList<qint64> startWithCreditNotes(int n)
    {
        QList<qint64> notes;
        for (int i = 0; i < n; ++i)
            notes << h.db().addCreditNote({.sale = h.db().addSale({.invoiceNumber = "00000100"})});
        h.robot().start();
        h.robot().Timer1().setEnabled(false);
        return notes;
    }
};

TEST(MainWindow, ShowsTheButtonsListsAndLogAsTheRobotGivesThem)
{
    Console c;
    c.startWithCreditNotes(2);
    EXPECT_EQ(c.buttons(), (QStringList{"Cierre Z", "Cierre X", "Abrir G", "Anular", "Reportes",
                                        "Minimizar", "Detener", "Cerrar (off)"}));
    QListWidget *notes = c.window.list(core::ListDisplay::DBList1);
    ASSERT_EQ(notes->count(), 2);
    EXPECT_TRUE(notes->item(0)->text().contains(" de Cliente de Prueba J123456789"));
    c.window.setLog("Etapa 2.1\rNo se pudo");
    EXPECT_EQ(c.window.findChild<QPlainTextEdit *>("Log")->toPlainText(), "Etapa 2.1\nNo se pudo");
}

TEST(MainWindow, ReportsAndTheDrawerSendTheirCommands)
{
    // The button, the faults, what reached the printer, the start of the one box shown if any,
    // and whether the port was closed after.
    const std::tuple<Control, QByteArray, QStringList, QString, bool> cases[] = {
        // clang-format off
        {Control::Command21, "", {"I0X"}, "", true},
        {Control::Command22, "", {"0", "w"}, "", true},
        // The port stays open for "Anular" after a refused X report.
        {Control::Command21, "Refuse=I0X", {"I0X [refused]"}, texts::kDailyReportError + "\nError: ", false},
        {Control::Command6, "Refuse=I0Z", {"I0Z [refused]"}, texts::kDailyReportError + " Falso", true},
        // clang-format on
    };
    for (const auto &[button, faults, sent, message, portClosed] : cases) {
        SCOPED_TRACE(sent.join(' ').toStdString());
        Console c("[faults]\n" + faults + "\n");
        c.click(button);
        EXPECT_EQ(c.h.sentCommands(), sent);
        EXPECT_EQ(c.messages.size(), message.isEmpty() ? 0 : 1);
        EXPECT_EQ(c.messages.value(0).left(message.size()), message);
        EXPECT_EQ(c.lastCall() == QStringList{"CloseFpctrl"}, portClosed);
        EXPECT_EQ(c.window.button(Control::Command10)->isEnabled(), !portClosed);
        EXPECT_TRUE(c.window.button(Control::Command3)->isEnabled());
        EXPECT_TRUE(c.h.robot().Timer1().isEnabled());
        if (!portClosed) {
            c.click(Control::Command1);
            EXPECT_EQ(c.lastCall(), (QStringList{"SendCmd", "7", "1"}));
        }
    }
}

// An invoice issued outside the robot (from the keypad): nothing new is
// printed until the operator accepts the printer's numbers with the button
// that shows for it.
TEST(MainWindow, AcceptNumbersShowsWhilePrinterNumbersWaitAndLetsPrintingGoOn)
{
    Console c;
    c.h.writeSimIni("[counters]\nInvoice=1\n");
    const qint64 sale = c.h.db().addSale({});
    c.h.db().addItem(sale, {});
    QPushButton *accept = c.window.button(Control::AcceptNumbers);
    EXPECT_FALSE(accept->isVisibleTo(&c.window));
    c.h.tick();
    c.h.tick();
    EXPECT_EQ(c.messages, QStringList{texts::numbersNotAccounted({texts::unaccountedNumbers(
                              core::DocumentKind::Invoice, "00000001", "00000001")})});
    EXPECT_TRUE(accept->isVisibleTo(&c.window) && accept->isEnabled());
    EXPECT_EQ(c.h.db().sale(sale, "Impresa").toInt(), 0);
    accept->click();
    EXPECT_FALSE(accept->isVisibleTo(&c.window));
    c.h.tick();
    EXPECT_EQ(c.h.db().sale(sale, "Factura").toString(), "00000002");
}

TEST(MainWindow, FiscalMemoryReportChecksItsDatesAndHoldsTheWindowWhileItPrints)
{
    // Desde, Hasta, the faults, the box shown, what reached the printer, where the focus goes.
    const std::tuple<QString, QString, QByteArray, QString, QString, QString> cases[] = {
        // clang-format off
        {"", "31/01/2015", "", texts::kGiveADate, "", "Desde"},
        {"01/01/2015", "32/01/2015", "", texts::kGiveADate, "", "Hasta"},
        {"31/12/2015", "01/01/2015", "", texts::kEndDateMustBeLater, "", ""},
        // Its two-digit year would carry 1999 to the printer as 2099.
        {"31/12/2015", "31/12/1999", "", texts::yearOutOfPrinterRange("31/12/1999", 2000, 2099), "", "Hasta"},
        {"05/03/2016", "05/03/2016", "", "", "I2A050316050316", ""},
        // A port that does not open shows its box from inside the print.
        {"01/01/2015", "31/01/2015", "Open=fail", texts::kPortError, "I2A010115310115 [refused]", ""},
        // clang-format on
    };
    for (const auto &[from, to, faults, message, sent, focus] : cases) {
        SCOPED_TRACE((from + " " + to + " " + faults).toStdString());
        Console c("[faults]\n" + faults + "\n");
        bool enabledAtBox = true;
        c.onBox = [&] { enabledAtBox = c.window.isEnabled(); };
        c.click(Control::Command13);
        c.window.Desde()->setText(from);
        c.window.Hasta()->setText(to);
        c.click(Control::Command19);
        EXPECT_EQ(c.messages, message.isEmpty() ? QStringList() : QStringList{message});
        EXPECT_EQ(c.h.sentCommands(), sent.isEmpty() ? QStringList() : QStringList{sent});
        if (!focus.isEmpty()) {
            EXPECT_EQ(c.window.focusWidget()->objectName(), focus);
        }
        EXPECT_EQ(enabledAtBox, faults.isEmpty()) << "the window is off while the report prints";
        EXPECT_TRUE(c.window.isEnabled());
        EXPECT_TRUE(c.window.Frame1()->isVisible());
    }
}

TEST(MainWindow, DetenerIniciarReportesAndContinuarSwitchPollingAndTheButtons)
{
    Console c;
    c.h.robot().Timer1().setEnabled(true);
    QStringList seen; // polling, and the buttons from "Minimizar" on
    const auto look = [&] {
        seen << (c.h.robot().Timer1().isEnabled() ? "polling " : "stopped ") +
                    c.buttons().mid(5).join(", ");
    };
    c.click(Control::Command3);
    look();
    c.click(Control::Command3);
    look();
    c.click(Control::Command3);
    // "Reportes" holds back what would reach the printer and puts the options over the lists;
    // "Continuar" closes them and polls again, the caption left as it was.
    c.click(Control::Command13);
    look();
    EXPECT_FALSE(c.window.list(core::ListDisplay::DBList1)->isVisible());
    c.click(Control::Command9);
    look();
    EXPECT_FALSE(c.window.Frame1()->isVisible());
    EXPECT_EQ(seen, (QStringList{"stopped Minimizar, Iniciar, Cerrar",
                                 "polling Minimizar, Detener, Cerrar (off)",
                                 "stopped Minimizar (off), Iniciar (off), Cerrar",
                                 "polling Minimizar, Iniciar, Cerrar"}));
}

TEST(MainWindow, ClosingWaitsForTheRunningDocumentAndClosesThePortOnce)
{
    Console c;
    c.h.robot().Timer1().setEnabled(true);
    c.click(Control::Command3); // "Detener" enables "Cerrar"
    QSignalSpy closed(&c.window, &console::MainWindow::closed);
    const auto closes = [&] { return c.h.simLog().count({"CloseFpctrl"}); };
    c.h.robot().runExclusive([&] {
        c.click(Control::Command10);
        EXPECT_TRUE(c.window.isVisible());
        EXPECT_EQ(closes(), 0);
    });
    EXPECT_FALSE(c.window.isVisible());
    c.window.close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(closes(), 1);
}

TEST(MainWindow, ClickSelectsTheCreditNoteAndDoubleClickAlsoCancelsIt)
{
    Console c;
    QListWidget *list = c.window.list(core::ListDisplay::DBList1);
    const auto click = [&](int row, bool twice) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        // A double click comes after the press and release of its first click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    };
    c.window.setListRows(core::ListDisplay::DBList1, {"Nota 1"});
    click(0, false);
    EXPECT_EQ(c.messages, QStringList{texts::kNoRecords}) << "no credit note behind the row";
    c.startWithCreditNotes(3);
    for (const int row : {2, 0, 1}) {
        SCOPED_TRACE(row);
        click(row, row == 1);
        EXPECT_EQ(c.h.sentCommands(), row == 1 ? QStringList{"7 [refused]"} : QStringList());
    }
    EXPECT_EQ(c.messages.size(), 1);
}

TEST(MainWindow, MinimisingWithoutANotificationAreaKeepsTheWindowReachable)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a notification area";
    const QPair<const char *, std::function<void(Console &)>> ways[] = {
        {"first activation", [](Console &c) { c.h.robot().activate(); }},
        {"Minimizar", [](Console &c) { c.click(Control::Command4); }},
    };
    for (const auto &[how, minimise] : ways) {
        SCOPED_TRACE(how);
        Console c;
        minimise(c);
        QCoreApplication::processEvents(); // a hide would be posted
        EXPECT_TRUE(c.window.isMinimized());
        EXPECT_TRUE(c.window.isVisible());
        EXPECT_FALSE(c.window.trayIcon()->isVisible());
    }
}

TEST(MainWindow, AnyActivityOnTheIconBringsTheWindowBackAndRemovesTheIcon)
{
    Console c;
    for (const auto reason :
         {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick,
          QSystemTrayIcon::Context, QSystemTrayIcon::Unknown}) {
        SCOPED_TRACE(reason);
        // As it stands behind the icon.
        c.window.showMinimized();
        c.window.trayIcon()->show();
        c.window.hide();
        Q_EMIT c.window.trayIcon()->activated(reason);
        EXPECT_TRUE(c.window.isVisible());
        EXPECT_FALSE(c.window.isMinimized());
        EXPECT_FALSE(c.window.trayIcon()->isVisible());
    }
}

} // namespace
