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
    QStringList lastCall() const { return h.inst.simLog().value(h.inst.simLog().size() - 1); }
    // Pending credit notes on printed sales, listed; polling stays off.
    QList<qint64> startWithCreditNotes(int n)
    {
        QList<qint64> notes;
        for (int i = 0; i < n; ++i)
            notes << h.db().addCreditNote({.venta = h.db().addSale({.factura = "00000100"})});
        h.robot().start();
        h.timer().setEnabled(false);
        return notes;
    }
};

TEST(ConsoleWindow, ShowsTheButtonsListsAndLogAsTheRobotGivesThem)
{
    Console c;
    c.startWithCreditNotes(2);
    QStringList captions;
    int x = -1;
    for (Control b :
         {Control::Command6, Control::Command21, Control::Command22, Control::Command1,
          Control::Command13, Control::Command4, Control::Command3, Control::Command10}) {
        QPushButton *button = c.window.button(b);
        captions << button->text() + (button->isEnabled() ? "" : " (off)");
        EXPECT_GT(button->x(), x) << button->text().toStdString();
        x = button->x();
    }
    EXPECT_EQ(captions, (QStringList{"Cierre Z", "Cierre X", "Abrir G", "Anular", "Reportes",
                                     "Minimizar", "Detener", "Cerrar (off)"}));
    EXPECT_FALSE(c.window.button(Control::Command5)->isVisible());
    EXPECT_FALSE(c.window.button(Control::Command7)->isVisible());
    EXPECT_EQ(c.window.windowTitle(), texts::kInitialTitle);
    EXPECT_EQ(c.window.palette().color(QPalette::Window), QColor(189, 206, 213));
    QStringList labels;
    for (QLabel *l : c.window.findChildren<QLabel *>())
        labels << l->text();
    for (const QString &caption :
         {texts::kCaptionFacturas, texts::kCaptionNotas, texts::kCaptionTickets})
        EXPECT_TRUE(labels.contains(caption)) << caption.toStdString();
    QListWidget *notes = c.window.list(core::ListDisplay::DBList1);
    ASSERT_EQ(notes->count(), 2);
    EXPECT_EQ(notes->item(0)->text(), c.h.robot().lists().Data6.vistaEspecial().value(0));
    EXPECT_TRUE(notes->item(0)->text().contains(" de Cliente de Prueba J123456789"));
    c.window.setLog("Etapa 2.1\rNo se pudo");
    EXPECT_EQ(c.window.findChild<QPlainTextEdit *>("Log")->toPlainText(), "Etapa 2.1\nNo se pudo");
    // "Reportes" puts the options over the lists.
    c.click(Control::Command13);
    EXPECT_FALSE(notes->isVisible());
    EXPECT_EQ(QStringList({c.window.desde()->text(), c.window.hasta()->text(),
                           c.window.button(Control::Command19)->text(),
                           c.window.button(Control::Command9)->text()}),
              (QStringList{"01/01/2015", "31/01/2015", "Imprimir", "Continuar"}));
}

TEST(ConsoleActions, ReportsAndTheDrawerSendTheirCommands)
{
    const struct
    {
        Control button;
        QByteArray faults;
        QStringList sent;
        QString message; // the start of the one box shown, if any
        bool portClosed;
    } cases[] = {
        // clang-format off
        {Control::Command21, "", {"I0X"}, "", true},
        {Control::Command6, "", {"I0Z"}, "", true},
        {Control::Command22, "", {"0", "w"}, "", true},
        // The port stays open for "Anular" after a refused X report.
        {Control::Command21, "Refuse=I0X", {"I0X [refused]"}, texts::kErrorCierreDiario + "\nError: ", false},
        {Control::Command6, "Refuse=I0Z", {"I0Z [refused]"}, texts::kErrorCierreDiario + " Falso", true},
        // clang-format on
    };
    for (const auto &t : cases) {
        SCOPED_TRACE(t.sent.join(' ').toStdString());
        Console c("[faults]\n" + t.faults + "\n");
        c.click(t.button);
        EXPECT_EQ(c.h.commands(), t.sent);
        EXPECT_EQ(c.messages.size(), t.message.isEmpty() ? 0 : 1);
        EXPECT_EQ(c.messages.value(0).left(t.message.size()), t.message);
        EXPECT_EQ(c.lastCall() == QStringList{"CloseFpctrl"}, t.portClosed);
        EXPECT_EQ(c.window.button(Control::Command10)->isEnabled(), !t.portClosed);
        EXPECT_TRUE(c.window.button(Control::Command3)->isEnabled());
        EXPECT_TRUE(c.h.timer().isEnabled());
        if (!t.portClosed) {
            c.click(Control::Command1);
            EXPECT_EQ(c.lastCall(), (QStringList{"SendCmd", "7", "1"}));
        }
    }
}

TEST(ConsoleActions, FiscalMemoryReportChecksItsDatesAndHoldsTheWindowWhileItPrints)
{
    const struct
    {
        QString desde, hasta, message, sent, focus;
        QByteArray faults = {};
    } cases[] = {
        // clang-format off
        {"", "31/01/2015", texts::kIndiqueFecha, "", "Desde"},
        {"01/01/2015", "32/01/2015", texts::kIndiqueFecha, "", "Hasta"},
        {"31/12/2015", "01/01/2015", texts::kFechaFinalMayor, "", ""},
        {"01/01/2015", "31/01/2015", "", "I2A010115310115", ""},
        {"05/03/2016", "05/03/2016", "", "I2A050316050316", ""},
        // A port that does not open shows its box from inside the print.
        {"01/01/2015", "31/01/2015", texts::kErrorPuerto, "I2A010115310115 [refused]", "", "Open=fail"},
        // clang-format on
    };
    for (const auto &t : cases) {
        SCOPED_TRACE((t.desde + " " + t.hasta + " " + t.faults).toStdString());
        Console c("[faults]\n" + t.faults + "\n");
        bool enabledAtBox = true;
        c.onBox = [&] { enabledAtBox = c.window.isEnabled(); };
        c.click(Control::Command13);
        c.window.desde()->setText(t.desde);
        c.window.hasta()->setText(t.hasta);
        c.click(Control::Command19);
        EXPECT_EQ(c.messages, t.message.isEmpty() ? QStringList() : QStringList{t.message});
        EXPECT_EQ(c.h.commands(), t.sent.isEmpty() ? QStringList() : QStringList{t.sent});
        if (!t.focus.isEmpty()) {
            EXPECT_EQ(c.window.focusWidget()->objectName(), t.focus);
        }
        EXPECT_EQ(enabledAtBox, t.faults.isEmpty()) << "the window is off while the report prints";
        EXPECT_TRUE(c.window.isEnabled());
        EXPECT_TRUE(c.window.optionsPanel()->isVisible());
    }
}

TEST(ConsoleControls, DetenerIniciarAndContinuarSwitchPolling)
{
    Console c;
    c.h.timer().setEnabled(true);
    QStringList seen;
    const auto look = [&] {
        seen << QStringLiteral("%1 %2 %3")
                    .arg(c.h.timer().isEnabled() ? "polling" : "stopped",
                         c.window.button(Control::Command3)->text(),
                         c.window.button(Control::Command10)->isEnabled() ? "Cerrar" : "-");
    };
    c.click(Control::Command3);
    look();
    c.click(Control::Command3);
    look();
    // "Continuar" closes the options and polls again, the caption left as it was.
    c.click(Control::Command3);
    c.click(Control::Command13);
    c.click(Control::Command9);
    EXPECT_EQ(seen, (QStringList{"stopped Iniciar Cerrar", "polling Detener -"}));
    EXPECT_FALSE(c.window.optionsPanel()->isVisible());
    EXPECT_TRUE(c.h.timer().isEnabled());
    EXPECT_EQ(c.window.button(Control::Command3)->text(), texts::kIniciar);
}

TEST(ConsoleControls, ClosingWaitsForTheRunningDocumentAndClosesThePortOnce)
{
    const QPair<const char *, std::function<void(Console &)>> ways[] = {
        {"Cerrar", [](Console &c) { c.click(Control::Command10); }},
        {"cmdCerrar", [](Console &c) { c.window.cmdCerrar()->click(); }},
        {"the window's own control", [](Console &c) { c.window.close(); }},
    };
    for (const auto &[how, close] : ways) {
        SCOPED_TRACE(how);
        Console c;
        c.h.timer().setEnabled(true);
        c.click(Control::Command3); // "Detener" enables "Cerrar"
        QSignalSpy closed(&c.window, &console::MainWindow::closed);
        const auto closes = [&] { return c.h.inst.simLog().count({"CloseFpctrl"}); };
        c.h.robot().runExclusive([&] {
            close(c);
            EXPECT_TRUE(c.window.isVisible());
            EXPECT_EQ(closes(), 0);
        });
        EXPECT_FALSE(c.window.isVisible());
        c.window.close();
        EXPECT_EQ(closed.count(), 1);
        EXPECT_EQ(closes(), 1);
    }
}

TEST(ConsoleControls, ClickSelectsTheCreditNoteAndDoubleClickAlsoAnulas)
{
    for (const int row : {2, 0, 1}) {
        SCOPED_TRACE(row);
        const bool doubleClick = row == 1;
        Console c;
        const QList<qint64> notes = c.startWithCreditNotes(3);
        QListWidget *list = c.window.list(core::ListDisplay::DBList1);
        const QPoint at = list->visualItemRect(list->item(row)).center();
        // A double click comes after the press and release of its first click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (doubleClick)
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(c.h.robot().lists().Data6.recordset().field("Código").toLongLong(), notes[row]);
        EXPECT_EQ(c.h.commands(), doubleClick ? QStringList{"7 [refused]"} : QStringList());
        EXPECT_EQ(c.messages, QStringList());
    }
    Console c;
    c.window.setListRows(core::ListDisplay::DBList1, {"Nota 1"});
    QListWidget *list = c.window.list(core::ListDisplay::DBList1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(c.messages, QStringList{texts::kNoHayRegistros}) << "no credit note behind the row";
}

TEST(ConsoleTray, MinimisingWithoutANotificationAreaKeepsTheWindowReachable)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a notification area";
    const QPair<const char *, std::function<void(Console &)>> ways[] = {
        {"first activation", [](Console &c) { c.h.robot().activate(); }},
        {"Minimizar", [](Console &c) { c.click(Control::Command4); }},
        {"the window's own control", [](Console &c) { c.window.showMinimized(); }},
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

TEST(ConsoleTray, AnyActivityOnTheIconBringsTheWindowBackAndRemovesTheIcon)
{
    const QPair<const char *, QSystemTrayIcon::ActivationReason> reasons[] = {
        {"click", QSystemTrayIcon::Trigger},
        {"double click", QSystemTrayIcon::DoubleClick},
        {"middle", QSystemTrayIcon::MiddleClick},
        {"menu", QSystemTrayIcon::Context},
        {"unknown", QSystemTrayIcon::Unknown}};
    for (const auto &[name, reason] : reasons) {
        SCOPED_TRACE(name);
        Console c;
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
