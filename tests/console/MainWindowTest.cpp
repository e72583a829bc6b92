#include "console/MainWindow.h"
#include "core/Texts.h"
#include "printer/PrinterLink.h"
#include "robot/Robot.h"
#include "support/Installation.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using core::Control;
using testsupport::Installation;
namespace texts = core::texts;

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
    // Runs on each box before it is answered: a look from inside the action.
    std::function<void(QMessageBox *)> onBox;
    QTimer boxWatcher;

    explicit Console(const QByteArray &simIni = QByteArray()) : inst(QStringLiteral("HKA"), simIni)
    {
        EXPECT_EQ(robot->startUp(inst.path()), 0);
        window->attach(*robot);
        window->show();
        boxWatcher.setInterval(5);
        QObject::connect(&boxWatcher, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                messages << box->text();
                if (onBox)
                    onBox(box);
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
    QString lastCall() const
    {
        return inst.journalEntries().value(inst.journalEntries().size() - 1);
    }
    bool timerOn() { return robot->Timer1().isEnabled(); }
    int count(const QString &call) const { return inst.journalEntries().count(call); }
    // Pending credit notes on printed sales, shown in DBList1 by start();
    // polling then stays off so that no tick prints them.
    QList<qint64> startWithCreditNotes(int n)
    {
        QList<qint64> notes;
        for (int i = 0; i < n; ++i) {
            testsupport::MainDatabase::Sale printed;
            printed.factura = QStringLiteral("0000010%1").arg(i);
            testsupport::MainDatabase::Note note;
            note.venta = inst.db().addSale(printed);
            notes << inst.db().addCreditNote(note);
        }
        robot->start();
        robot->Timer1().setEnabled(false);
        return notes;
    }
    qint64 currentCreditNote()
    {
        return robot->lists().Data6.recordset().field(QStringLiteral("Código")).toLongLong();
    }
};

QGroupBox *groupBox(QWidget *parent, const QString &title)
{
    for (QGroupBox *g : parent->findChildren<QGroupBox *>())
        if (g->title() == title)
            return g;
    return nullptr;
}

QLabel *label(QWidget *parent, const QString &text)
{
    for (QLabel *l : parent->findChildren<QLabel *>())
        if (l->text() == text)
            return l;
    return nullptr;
}

QColor pixelAtCentre(QWidget *w)
{
    const QImage image = w->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(ConsoleWindow, ButtonsLeftToRightAndTheirInitialState)
{
    Console c;
    const Control row[] = {Control::Command6, Control::Command21, Control::Command22,
                           Control::Command1, Control::Command13, Control::Command4,
                           Control::Command3, Control::Command10};
    const QStringList captions{"Cierre Z", "Cierre X",  "Abrir G", "Anular",
                               "Reportes", "Minimizar", "Detener", "Cerrar"};
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
    const auto &link = c.robot->link();
    EXPECT_NE(link.ErrorImpresora, 0);
    EXPECT_EQ(c.messages,
              QStringList{QStringLiteral("Ocurrió un error imprimiendo el cierre diario. Por favor "
                                         "verifique.\nError: %1\nEstatus: %2")
                              .arg(link.ErrorImpresora)
                              .arg(link.EstatusImpresora)});
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
    EXPECT_EQ(c.messages, QStringList{QStringLiteral(
                              "Ocurrió un error imprimiendo el cierre diario. Por favor verifique. "
                              "Falso")});
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

TEST(ConsoleActions, FiscalMemoryDisablesTheWholeWindowWhileItPrints)
{
    // A port that does not open shows its message from inside the print.
    Console c("[faults]\nOpen=fail\n");
    bool windowEnabled = true;
    c.onBox = [&](QMessageBox *) { windowEnabled = c.window->isEnabled(); };
    c.click(Control::Command13);
    c.click(Control::Command19);
    EXPECT_EQ(c.messages, QStringList{texts::kErrorPuerto});
    EXPECT_FALSE(windowEnabled);
    EXPECT_TRUE(c.window->isEnabled());
    EXPECT_EQ(c.sent(), QStringList{"I2A010115310115"});
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

TEST(ConsoleControls, ClosingWhileADocumentPrintsWaitsForItToEnd)
{
    const struct
    {
        const char *how;
        std::function<void(Console &)> close;
    } cases[] = {
        {"Cerrar", [](Console &c) { c.click(Control::Command10); }},
        {"cmdCerrar", [](Console &c) { c.window->cmdCerrar()->click(); }},
        {"the window's own control", [](Console &c) { c.window->close(); }},
    };
    for (const auto &t : cases) {
        SCOPED_TRACE(t.how);
        Console c;
        c.robot->Timer1().setEnabled(true);
        c.click(Control::Command3); // Detener: polling stops, "Cerrar" is enabled
        ASSERT_TRUE(c.window->button(Control::Command10)->isEnabled());
        QSignalSpy closed(c.window.get(), &console::MainWindow::closed);
        c.robot->runExclusive([&] {
            t.close(c);
            EXPECT_TRUE(c.window->isVisible());
            EXPECT_EQ(c.count(QStringLiteral("CloseFpctrl")), 0);
        });
        EXPECT_EQ(closed.count(), 1);
        EXPECT_FALSE(c.window->isVisible());
        EXPECT_EQ(c.count(QStringLiteral("CloseFpctrl")), 1);
        // Closing again does not close the port again.
        c.window->close();
        EXPECT_EQ(closed.count(), 1);
        EXPECT_EQ(c.count(QStringLiteral("CloseFpctrl")), 1);
    }
}

TEST(ConsoleControls, TiempoTakesDigitsOnlyAndAplicarSetsTheInterval)
{
    const struct
    {
        Qt::Key key;
        char text;
        QString after;
        QStringList messages;
    } cases[] = {
        {Qt::Key_7, '7', "30007", {}},
        {Qt::Key_X, 'x', "3000", {"Inserte solo números en esta casilla."}},
        {Qt::Key_Period, '.', "3000", {"Inserte solo números en esta casilla."}},
        {Qt::Key_Backspace, '\b', "300", {}},
        {Qt::Key_Return, '\r', "3000", {}},
    };
    for (const auto &t : cases) {
        SCOPED_TRACE(t.text);
        Console c;
        QLineEdit *tiempo = c.window->tiempo();
        EXPECT_FALSE(tiempo->isVisible());
        tiempo->setCursorPosition(tiempo->text().size());
        QTest::keyClick(tiempo, t.key, {}, -1);
        EXPECT_EQ(tiempo->text(), t.after);
        EXPECT_EQ(c.messages, t.messages);
    }
    Console c;
    c.window->tiempo()->setText(QStringLiteral("40"));
    c.window->aplicar()->click();
    EXPECT_EQ(c.robot->Timer1().interval(), std::chrono::milliseconds(40));
    c.window->tiempo()->clear();
    c.window->aplicar()->click();
    EXPECT_EQ(c.robot->Timer1().interval(), std::chrono::milliseconds(40));
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

TEST(ConsoleControls, ClickSelectsTheCreditNoteAndDoubleClickAlsoAnulas)
{
    const struct
    {
        int row;
        bool doubleClick;
        QStringList sent;
    } cases[] = {
        {2, false, {}},
        {0, false, {}},
        {1, true, {"7"}},
    };
    for (const auto &t : cases) {
        SCOPED_TRACE(t.row);
        Console c;
        const QList<qint64> notes = c.startWithCreditNotes(3);
        QListWidget *list = c.window->list(core::ListDisplay::DBList1);
        ASSERT_EQ(list->count(), 3);
        const QPoint at = list->visualItemRect(list->item(t.row)).center();
        // A double click comes after the press and release of its first click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (t.doubleClick)
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(c.currentCreditNote(), notes[t.row]);
        EXPECT_EQ(c.sent(), t.sent);
        EXPECT_TRUE(c.messages.isEmpty()) << qPrintable(c.messages.join('|'));
    }
}

TEST(ConsoleWindow, PendingListsShowTheirRowsUnderTheirCaptions)
{
    Console c;
    c.startWithCreditNotes(2);
    const struct
    {
        core::ListDisplay display;
        const char *caption;
    } cases[] = {
        {core::ListDisplay::DBList2, "Listado de Facturas pendientes por impresión"},
        {core::ListDisplay::DBList1, "Listado de Notas de Crédito pendientes por impresión"},
        {core::ListDisplay::DBList3, "Listado de Documentos No Fiscales pendientes por Impresión"},
    };
    for (const auto &t : cases) {
        SCOPED_TRACE(t.caption);
        QListWidget *list = c.window->list(t.display);
        QLabel *caption = label(c.window.get(), QString::fromUtf8(t.caption));
        ASSERT_NE(caption, nullptr);
        EXPECT_TRUE(caption->isVisible());
        EXPECT_TRUE(list->isVisible());
        const QRect above = caption->geometry(), below = list->geometry();
        EXPECT_LE(above.bottom(), below.top());
        EXPECT_TRUE(above.left() < below.right() && below.left() < above.right());
    }
    QListWidget *notes = c.window->list(core::ListDisplay::DBList1);
    ASSERT_EQ(notes->count(), 2);
    EXPECT_EQ(notes->item(0)->text(), c.robot->lists().Data6.vistaEspecial().value(0));
    EXPECT_TRUE(notes->item(0)->text().contains(QStringLiteral(" de Cliente de Prueba J123456789")))
        << qPrintable(notes->item(0)->text());

    // The robot's activity, the stage, the progress and the Log box.
    for (const char *name : {"VerEstatus", "ViendoEstado", "Barra", "Log"}) {
        auto *w = c.window->findChild<QWidget *>(QLatin1String(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_TRUE(w->isVisible()) << name;
    }
    QLabel *logCaption = label(c.window.get(), QStringLiteral("Log"));
    ASSERT_NE(logCaption, nullptr);
    EXPECT_LE(logCaption->geometry().bottom(),
              c.window->findChild<QWidget *>(QStringLiteral("Log"))->geometry().top());
    c.window->setLog(QStringLiteral("Etapa 2.1\rNo se pudo"));
    EXPECT_EQ(c.window->findChild<QPlainTextEdit *>(QStringLiteral("Log"))->toPlainText(),
              QStringLiteral("Etapa 2.1\nNo se pudo"));
}

TEST(ConsoleWindow, OptionsPanelHoldsTheMemoryReportInItsFrames)
{
    Console c;
    c.click(Control::Command13);
    QWidget *panel = c.window->optionsPanel();
    QGroupBox *memoria = groupBox(panel, QStringLiteral("Memoria Fiscal y Memoria de Auditoria"));
    QGroupBox *rango = groupBox(panel, QStringLiteral("Por Rango de Fecha"));
    QGroupBox *grupo = groupBox(panel, QStringLiteral("Memoria Fiscal"));
    ASSERT_TRUE(memoria && rango && grupo);
    EXPECT_TRUE(memoria->isAncestorOf(rango));
    for (QWidget *w : {static_cast<QWidget *>(label(panel, QStringLiteral("Desde:"))),
                       static_cast<QWidget *>(label(panel, QStringLiteral("Hasta:"))),
                       static_cast<QWidget *>(c.window->desde()),
                       static_cast<QWidget *>(c.window->hasta()), static_cast<QWidget *>(grupo)}) {
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(rango->isAncestorOf(w)) << qPrintable(w->objectName());
        EXPECT_TRUE(w->isVisible()) << qPrintable(w->objectName());
    }
    // Each label on the line of its box, before it.
    const struct
    {
        QString label;
        QLineEdit *box;
    } lines[] = {{QStringLiteral("Desde:"), c.window->desde()},
                 {QStringLiteral("Hasta:"), c.window->hasta()}};
    for (const auto &l : lines) {
        const QRect text = label(panel, l.label)->geometry(), box = l.box->geometry();
        EXPECT_LT(text.right(), box.left());
        EXPECT_TRUE(text.top() < box.bottom() && box.top() < text.bottom());
    }
    QPushButton *imprimir = c.window->button(Control::Command19);
    EXPECT_EQ(imprimir->text(), QStringLiteral("Imprimir"));
    EXPECT_TRUE(grupo->isAncestorOf(imprimir));
    QPushButton *continuar = c.window->button(Control::Command9);
    EXPECT_EQ(continuar->text(), QStringLiteral("Continuar"));
    EXPECT_TRUE(panel->isAncestorOf(continuar) && !memoria->isAncestorOf(continuar));
    EXPECT_TRUE(continuar->isVisible());
    // The lists are covered while the panel is shown.
    EXPECT_FALSE(c.window->list(core::ListDisplay::DBList2)->isVisible());
}

TEST(ConsoleWindow, FormColoursAndPlaceOnTheScreen)
{
    Console c;
    const QColor form(189, 206, 213);
    EXPECT_EQ(c.window->grab().toImage().pixelColor(2, 2), form);
    // DBList1 keeps the system's window colour, not the form's.
    const QColor system = QApplication::palette().color(QPalette::Base);
    ASSERT_NE(system, form);
    EXPECT_EQ(pixelAtCentre(c.window->list(core::ListDisplay::DBList1)), system);

    c.click(Control::Command13);
    // Beside the panel's title, where the style draws no frame of its own.
    QWidget *panel = c.window->optionsPanel();
    EXPECT_EQ(panel->grab().toImage().pixelColor(panel->width() - 2, 1), form);

    // 100 twips (1/1440 inch) from the top and the left of the screen.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int px = qRound(100 * screen->logicalDotsPerInch() / 1440.0);
    ASSERT_GT(px, 1);
    EXPECT_EQ(c.window->frameGeometry().topLeft(),
              screen->availableGeometry().topLeft() + QPoint(px, px));
}

TEST(ConsoleControls, CreditNoteListWithoutRowsSaysSo)
{
    Console c;
    c.window->setListRows(core::ListDisplay::DBList1, {QStringLiteral("Nota 1")});
    QListWidget *list = c.window->list(core::ListDisplay::DBList1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(c.messages, QStringList{texts::kNoHayRegistros});
}

TEST(ConsoleTray, MinimisingWithoutANotificationAreaKeepsTheWindowReachable)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a notification area";
    const struct
    {
        const char *how;
        std::function<void(Console &)> minimise;
    } cases[] = {
        {"first activation", [](Console &c) { c.robot->activate(); }},
        {"Minimizar", [](Console &c) { c.click(Control::Command4); }},
        {"the window's own control", [](Console &c) { c.window->showMinimized(); }},
    };
    for (const auto &t : cases) {
        SCOPED_TRACE(t.how);
        Console c;
        t.minimise(c);
        QCoreApplication::processEvents(); // a hide would be posted
        EXPECT_TRUE(c.window->isMinimized());
        EXPECT_TRUE(c.window->isVisible());
        EXPECT_FALSE(c.window->trayIcon()->isVisible());
    }
}

TEST(ConsoleTray, FirstActivationPutsTheRifInTheTitleAndTheTipOnTheIcon)
{
    Console c;
    c.robot->activate();
    EXPECT_EQ(c.window->windowTitle(),
              texts::kInitialTitle + QStringLiteral(" ( RIF: J-12345678-9 )"));
    EXPECT_EQ(c.window->trayIcon()->toolTip(), QStringLiteral("Robot de Facturación FISCAL"));
    EXPECT_FALSE(c.window->trayIcon()->icon().isNull());
}

TEST(ConsoleTray, AnyActivityOnTheIconBringsTheWindowBackAndRemovesTheIcon)
{
    const QSystemTrayIcon::ActivationReason reasons[] = {
        QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick,
        QSystemTrayIcon::Context, QSystemTrayIcon::Unknown};
    for (auto reason : reasons) {
        SCOPED_TRACE(reason);
        Console c;
        // As it stands behind the icon.
        c.window->showMinimized();
        c.window->trayIcon()->show();
        c.window->hide();
        Q_EMIT c.window->trayIcon()->activated(reason);
        EXPECT_TRUE(c.window->isVisible());
        EXPECT_FALSE(c.window->isMinimized());
        EXPECT_FALSE(c.window->trayIcon()->isVisible());
    }
}

} // namespace
