#include "console/MainWindow.h"
#include "printer/PrinterLink.h"
#include "robot/Robot.h"
#include "robot/Texts.h"
#include "support/Installation.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using robot::Control;
using testsupport::Installation;
namespace texts = robot::texts;

namespace {

// The real window on a real robot, started on an installation whose printer
// is the simulator. Message boxes are answered as soon as they show, and
// their texts kept.
struct Console
{
    Installation inst;
    QString previousDir = QDir::currentPath();
    std::unique_ptr<console::MainWindow> window = std::make_unique<console::MainWindow>();
    std::unique_ptr<robot::Robot> robot = std::make_unique<robot::Robot>(*window);
    QStringList messages;
    QTimer boxWatcher;

    explicit Console(const QByteArray &simIni = QByteArray())
        : inst(QStringLiteral("HKA"), simIni)
    {
        EXPECT_EQ(robot->startUp(inst.path()), 0);
        window->attach(*robot);
        window->show();
        boxWatcher.setInterval(5);
        QObject::connect(&boxWatcher, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->accept();
            }
        });
        boxWatcher.start();
    }
    ~Console()
    {
        robot.reset();
        window.reset();
        QDir::setCurrent(previousDir);
    }
    void click(Control c) { QTest::mouseClick(window->button(c), Qt::LeftButton); }
    QStringList sent() const { return inst.sentCommands(); }
    QString lastCall() const { return inst.journalEntries().value(inst.journalEntries().size() - 1); }
    bool timerOn() { return robot->Timer1().isEnabled(); }
};

TEST(ConsoleWindow, ButtonsLeftToRightAndTheirInitialState)
{
    Console c;
    const Control row[] = {Control::Command6,  Control::Command21, Control::Command22,
                           Control::Command1,  Control::Command13, Control::Command4,
                           Control::Command3,  Control::Command10};
    const QStringList captions{"Cierre Z", "Cierre X", "Abrir G", "Anular", "Reportes",
                               "Minimizar", "Detener", "Cerrar"};
    int x = -1;
    for (int i = 0; i < 8; ++i) {
        QPushButton *b = c.window->button(row[i]);
        EXPECT_EQ(b->text(), captions[i]);
        EXPECT_TRUE(b->isVisible());
        EXPECT_GT(b->x(), x) << captions[i].toStdString();
        x = b->x();
        EXPECT_EQ(b->isEnabled(), row[i] != Control::Command10);
    }
    EXPECT_FALSE(c.window->button(Control::Command5)->isVisible());
    EXPECT_FALSE(c.window->button(Control::Command7)->isVisible());
    EXPECT_FALSE(c.window->optionsPanel()->isVisible());
    EXPECT_EQ(c.window->desde()->text(), QStringLiteral("01/01/2015"));
    EXPECT_EQ(c.window->hasta()->text(), QStringLiteral("31/01/2015"));
    EXPECT_EQ(c.window->windowTitle(), texts::kInitialTitle);
    EXPECT_EQ(c.window->palette().color(QPalette::Window), QColor(189, 206, 213));
}

TEST(ConsoleActions, ReportsAndDrawerSendTheirCommandsAndCloseThePort)
{
    const struct
    {
        Control button;
        QStringList commands;
    } cases[] = {
        {Control::Command21, {"I0X"}},
        {Control::Command6, {"I0Z"}},
        {Control::Command22, {"0", "w"}},
    };
    for (const auto &t : cases) {
        Console c;
        c.click(t.button);
        EXPECT_EQ(c.sent(), t.commands);
        EXPECT_EQ(c.lastCall(), QStringLiteral("CloseFpctrl"));
        EXPECT_TRUE(c.messages.isEmpty()) << qPrintable(c.messages.join('|'));
        EXPECT_TRUE(c.timerOn());
        EXPECT_TRUE(c.window->button(Control::Command3)->isEnabled());
    }
}

TEST(ConsoleActions, RefusedXReportLeavesThePortOpenForAnular)
{
    Console c("[faults]\nRefuse=I0X\n");
    c.click(Control::Command21);
    ASSERT_EQ(c.messages.size(), 1);
    EXPECT_TRUE(c.messages[0].startsWith(texts::kErrorCierreDiario + QStringLiteral("\nError: ")))
        << qPrintable(c.messages[0]);
    EXPECT_TRUE(c.messages[0].contains(QStringLiteral("\nEstatus: ")));
    EXPECT_TRUE(c.window->button(Control::Command10)->isEnabled());
    EXPECT_TRUE(c.timerOn());
    EXPECT_NE(c.lastCall(), QStringLiteral("CloseFpctrl"));
    c.click(Control::Command1);
    EXPECT_EQ(c.lastCall(), QStringLiteral("SendCmd\t7\t1"));
}

TEST(ConsoleActions, RefusedZReportSaysFalsoAndClosesThePort)
{
    Console c("[faults]\nRefuse=I0Z\n");
    c.click(Control::Command6);
    EXPECT_EQ(c.messages, QStringList{texts::kErrorCierreDiario + QStringLiteral(" Falso")});
    EXPECT_EQ(c.lastCall(), QStringLiteral("CloseFpctrl"));
    EXPECT_FALSE(c.window->button(Control::Command10)->isEnabled());
    EXPECT_TRUE(c.timerOn());
}

TEST(ConsoleActions, PortThatDoesNotOpenStopsPollingAndEnablesCerrar)
{
    Console c("[faults]\nOpen=fail\n");
    c.click(Control::Command6);
    ASSERT_EQ(c.messages.size(), 2);
    EXPECT_EQ(c.messages[0], texts::kErrorPuerto);
    EXPECT_FALSE(c.timerOn());
    EXPECT_TRUE(c.window->button(Control::Command10)->isEnabled());
    EXPECT_FALSE(c.window->button(Control::Command3)->isEnabled());
}

TEST(ConsoleActions, FiscalMemoryChecksItsDates)
{
    const struct
    {
        QString desde, hasta;
        QString message;
        QString command;
        const char *focus;
    } cases[] = {
        {"", "31/01/2015", texts::kIndiqueFecha, "", "Desde"},
        {"01/01/2015", "32/01/2015", texts::kIndiqueFecha, "", "Hasta"},
        {"31/12/2015", "01/01/2015", texts::kFechaFinalMayor, "", nullptr},
        {"01/01/2015", "31/01/2015", "", "I2A010115310115", nullptr},
        {"05/03/2016", "05/03/2016", "", "I2A050316050316", nullptr},
    };
    for (const auto &t : cases) {
        Console c;
        c.click(Control::Command13);
        c.window->desde()->setText(t.desde);
        c.window->hasta()->setText(t.hasta);
        c.click(Control::Command19);
        EXPECT_EQ(c.messages, t.message.isEmpty() ? QStringList() : QStringList{t.message});
        EXPECT_EQ(c.sent(), t.command.isEmpty() ? QStringList() : QStringList{t.command});
        if (t.focus) {
            ASSERT_NE(c.window->focusWidget(), nullptr);
            EXPECT_EQ(c.window->focusWidget()->objectName(), QLatin1String(t.focus));
        }
        EXPECT_TRUE(c.window->isEnabled());
        EXPECT_TRUE(c.window->optionsPanel()->isVisible());
    }
}

TEST(ConsoleControls, StartStopFollowsTheTimer)
{
    Console c;
    c.robot->Timer1().setEnabled(true);
    c.click(Control::Command3);
    EXPECT_FALSE(c.timerOn());
    EXPECT_EQ(c.window->button(Control::Command3)->text(), texts::kIniciar);
    EXPECT_TRUE(c.window->button(Control::Command10)->isEnabled());
    c.click(Control::Command3);
    EXPECT_TRUE(c.timerOn());
    EXPECT_EQ(c.window->button(Control::Command3)->text(), texts::kDetener);
    EXPECT_FALSE(c.window->button(Control::Command10)->isEnabled());
}

TEST(ConsoleControls, ContinuarRestartsPollingAfterDetenerWhileTheCaptionStaysIniciar)
{
    Console c;
    c.robot->Timer1().setEnabled(true);
    c.click(Control::Command3);  // Detener
    c.click(Control::Command13); // Reportes
    EXPECT_TRUE(c.window->optionsPanel()->isVisible());
    EXPECT_FALSE(c.timerOn());
    EXPECT_FALSE(c.window->button(Control::Command4)->isEnabled());
    c.click(Control::Command9); // Continuar
    EXPECT_FALSE(c.window->optionsPanel()->isVisible());
    EXPECT_TRUE(c.timerOn());
    EXPECT_EQ(c.window->button(Control::Command3)->text(), texts::kIniciar);
}

TEST(ConsoleControls, ActionsAreHeldBackWhileADocumentPrintsButAnular)
{
    Console c;
    for (Control b : {Control::Command21, Control::Command6, Control::Command22}) {
        c.messages.clear();
        c.robot->runExclusive([&] { c.click(b); });
        EXPECT_EQ(c.messages, QStringList{texts::kDocumentoEnCurso});
    }
    EXPECT_TRUE(c.sent().isEmpty());
    c.robot->runExclusive([&] { c.click(Control::Command1); });
    EXPECT_EQ(c.sent(), QStringList{"7"});
}

TEST(ConsoleControls, CerrarClosesThePortAndTheWindow)
{
    Console c;
    c.robot->Timer1().setEnabled(true);
    c.click(Control::Command3);
    QSignalSpy closed(c.window.get(), &console::MainWindow::closed);
    c.click(Control::Command10);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(c.lastCall(), QStringLiteral("CloseFpctrl"));
    EXPECT_FALSE(c.window->isVisible());
}

TEST(ConsoleControls, CreditNoteListWithoutRowsSaysSo)
{
    Console c;
    c.window->setListRows(robot::ListDisplay::DBList1, {QStringLiteral("Nota 1")});
    QListWidget *list = c.window->list(robot::ListDisplay::DBList1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(c.messages, QStringList{texts::kNoHayRegistros});
}

TEST(ConsoleTray, MinimisingWithoutANotificationAreaKeepsTheWindowReachable)
{
    Console c;
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a notification area";
    c.robot->activate();
    QTest::qWait(20);
    EXPECT_TRUE(c.window->isMinimized());
    EXPECT_TRUE(c.window->isVisible());
    EXPECT_TRUE(c.window->windowTitle().endsWith(QStringLiteral(" ( RIF: J-12345678-9 )")));
}

} // namespace
