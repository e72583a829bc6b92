#include "console/MainWindow.h"

#include "core/Texts.h"
#include "db/ListSource.h"
#include "printer/PrinterLink.h"
#include "robot/PrinterActions.h"
#include "robot/Robot.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

namespace console {

using core::Control;
using core::ListDisplay;
namespace texts = core::texts;

namespace {
QColor toColor(core::Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

void paint(QWidget *w, const QColor &colour, QPalette::ColorRole role = QPalette::Window)
{
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmImprimirFacturaROBOT"));
    build();
    QWidget::setWindowTitle(title());
    setWindowIcon(robotIcon());
    // Ready from the start, so that any minimising, even before the first
    // activation fills DatosIcono, has an icon to come back through.
    m_tray = new QSystemTrayIcon(robotIcon(), this);
    m_tray->setToolTip(texts::kTrayTip);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this] { restoreFromTray(); });
}

MainWindow::~MainWindow() = default;

QIcon MainWindow::robotIcon()
{
    return QIcon(QStringLiteral(":/console/robot-fiscal.xpm"));
}

QListWidget *MainWindow::list(core::ListDisplay display) const
{
    return m_lists[static_cast<int>(display)];
}

void MainWindow::build()
{
    auto *outer = new QVBoxLayout(this);
    m_main = new QStackedWidget(this);
    outer->addWidget(m_main, 1);
    m_main->addWidget(buildLists());
    QLayout *printSlot = nullptr, *continueSlot = nullptr;
    m_main->addWidget(buildOptions(&printSlot, &continueSlot));
    outer->addLayout(buildStatusRow());
    buildLog(outer);
    outer->addLayout(buildButtons(printSlot, continueSlot));
    buildHiddenControls();
    resize(1000, 540);
}

QWidget *MainWindow::buildLists()
{
    // The three pending lists under their captions.
    auto *page = new QWidget(m_main);
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    const struct
    {
        ListDisplay display;
        const char *name;
        QString caption;
    } lists[] = {{ListDisplay::DBList2, "DBList2", texts::kInvoicesCaption},
                 {ListDisplay::DBList1, "DBList1", texts::kCreditNotesCaption},
                 {ListDisplay::DBList3, "DBList3", texts::kTicketsCaption}};
    int column = 0;
    for (const auto &l : lists) {
        auto *caption = new QLabel(l.caption, page);
        caption->setWordWrap(true);
        // Right above its list, whether the caption takes one line or two.
        caption->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        auto *view = new QListWidget(page);
        view->setObjectName(QLatin1String(l.name));
        m_lists[static_cast<int>(l.display)] = view;
        grid->addWidget(caption, 0, column);
        grid->addWidget(view, 1, column);
        ++column;
    }
    connectCreditNotes();
    return page;
}

void MainWindow::connectCreditNotes()
{
    QListWidget *notes = list(ListDisplay::DBList1);
    connect(notes, &QListWidget::itemClicked, this,
            [this, notes](QListWidgetItem *item) { selectCreditNote(notes->row(item), false); });
    connect(notes, &QListWidget::itemDoubleClicked, this,
            [this, notes](QListWidgetItem *item) { selectCreditNote(notes->row(item), true); });
}

QWidget *MainWindow::buildOptions(QLayout **printSlot, QLayout **continueSlot)
{
    // Frame1, "Opciones": the fiscal-memory report by dates.
    m_Frame1 = new QGroupBox(texts::kOptionsCaption, m_main);
    m_Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *options = new QVBoxLayout(m_Frame1);
    auto *memoryRow = new QHBoxLayout;
    memoryRow->addWidget(buildFiscalMemory(printSlot));
    memoryRow->addStretch(1);
    options->addLayout(memoryRow);
    options->addStretch(1);
    auto *continueRow = new QHBoxLayout;
    continueRow->addStretch(1);
    options->addLayout(continueRow);
    *continueSlot = continueRow;
    return m_Frame1;
}

QWidget *MainWindow::buildFiscalMemory(QLayout **printSlot)
{
    auto *memory = new QGroupBox(texts::kFiscalMemoryFrame, m_Frame1);
    auto *memoryLayout = new QVBoxLayout(memory);
    auto *range = new QGroupBox(texts::kDateRangeFrame, memory);
    auto *rangeLayout = new QGridLayout(range);
    m_Desde = new QLineEdit(texts::kFromInitial, range);
    m_Desde->setObjectName(QStringLiteral("Desde"));
    m_Hasta = new QLineEdit(texts::kToInitial, range);
    m_Hasta->setObjectName(QStringLiteral("Hasta"));
    rangeLayout->addWidget(new QLabel(texts::kFromLabel, range), 0, 0);
    rangeLayout->addWidget(m_Desde, 0, 1);
    rangeLayout->addWidget(new QLabel(texts::kToLabel, range), 1, 0);
    rangeLayout->addWidget(m_Hasta, 1, 1);
    auto *printGroup = new QGroupBox(texts::kFiscalMemoryGroup, range);
    *printSlot = new QHBoxLayout(printGroup);
    rangeLayout->addWidget(printGroup, 2, 0, 1, 2);
    memoryLayout->addWidget(range);
    // A date is short: the report's frames keep their natural width.
    for (QLineEdit *date : {m_Desde, m_Hasta})
        date->setMaximumWidth(date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) +
                              16);
    return memory;
}

QLayout *MainWindow::buildStatusRow()
{
    // Status, stage and progress.
    auto *row = new QHBoxLayout;
    m_VerEstatus = new QLabel(status(), this);
    m_VerEstatus->setObjectName(QStringLiteral("VerEstatus"));
    m_ViendoEstado = new QLabel(this);
    m_ViendoEstado->setObjectName(QStringLiteral("ViendoEstado"));
    m_Barra = new QProgressBar(this);
    m_Barra->setObjectName(QStringLiteral("Barra"));
    m_Barra->setRange(0, 100);
    m_Barra->setValue(0);
    row->addWidget(m_VerEstatus, 2);
    row->addWidget(m_ViendoEstado, 1);
    row->addWidget(m_Barra, 1);
    return row;
}

void MainWindow::buildLog(QBoxLayout *outer)
{
    outer->addWidget(new QLabel(texts::kLogLabel, this));
    m_Log = new QPlainTextEdit(this);
    m_Log->setObjectName(QStringLiteral("Log"));
    m_Log->setReadOnly(true);
    m_Log->setMaximumHeight(90);
    outer->addWidget(m_Log);
}

QLayout *MainWindow::buildButtons(QLayout *printSlot, QLayout *continueSlot)
{
    // The button row, left to right; "Imprimir" and "Continuar" go on the options page.
    auto *row = new QHBoxLayout;
    const struct
    {
        Control control;
        const char *name;
        QLayout *layout;
        bool visible;
    } buttons[] = {
        {Control::Command6, "Command6", row, true},
        {Control::Command21, "Command21", row, true},
        {Control::Command22, "Command22", row, true},
        {Control::Command1, "Command1", row, true},
        {Control::Command13, "Command13", row, true},
        {Control::Command4, "Command4", row, true},
        {Control::Command3, "Command3", row, true},
        {Control::Command10, "Command10", row, true},
        {Control::Command5, "Command5", row, false},
        {Control::Command7, "Command7", row, false},
        {Control::Template, "Plantilla", row, false},
        // Shown only while printer numbers wait for the operator.
        {Control::AcceptNumbers, "AceptarNumeros", row, false},
        {Control::Command19, "Command19", printSlot, true},
        {Control::Command9, "Command9", continueSlot, true},
    };
    for (const auto &s : buttons) {
        auto *b = new QPushButton(caption(s.control), this);
        b->setObjectName(QLatin1String(s.name));
        b->setEnabled(controlEnabled(s.control));
        b->setVisible(s.visible);
        s.layout->addWidget(b);
        m_buttons.insert(s.control, b);
    }
    m_buttons.value(Control::Command1)->setToolTip(texts::kCancelTip);
    return row;
}

void MainWindow::buildHiddenControls()
{
    // Never shown: the second "Cerrar" and the interval box with its "Aplicar".
    m_cmdCerrar = new QPushButton(texts::kCloseCaption, this);
    m_cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    m_Tiempo = new QLineEdit(QStringLiteral("3000"), this);
    m_Tiempo->setObjectName(QStringLiteral("Tiempo"));
    m_Tiempo->installEventFilter(this);
    m_Command12 = new QPushButton(texts::kApplyCaption, this);
    m_Command12->setObjectName(QStringLiteral("Command12"));
    for (QWidget *w : {static_cast<QWidget *>(m_cmdCerrar), static_cast<QWidget *>(m_Tiempo),
                       static_cast<QWidget *>(m_Command12)})
        w->hide();
}

void MainWindow::attach(robot::Robot &robot)
{
    m_robot = &robot;
    m_actions = std::make_unique<robot::PrinterActions>(
        robot, [this](const QString &text) { messageBox(text); });
    auto on = [this](Control c, auto slot) {
        connect(m_buttons.value(c), &QPushButton::clicked, this, slot);
    };
    on(Control::Command21, [this] { m_actions->printXReport(); });
    on(Control::Command6, [this] { m_actions->printZReport(); });
    on(Control::Command22, [this] { m_actions->openDrawer(); });
    on(Control::Command1, [this] { m_actions->cancelDocument(); });
    on(Control::Command13, [this] { showOptions(); });
    on(Control::Command7, [this] { showOptions(); });
    on(Control::Command9, [this] { hideOptions(); });
    on(Control::Command19, [this] { printFiscalMemory(); });
    on(Control::Command4, [this] { setWindowState(windowState() | Qt::WindowMinimized); });
    on(Control::Command3, [this] { m_actions->stopOrStartPolling(); });
    on(Control::AcceptNumbers, [this] { m_actions->acceptNumbers(); });
    on(Control::Command10, [this] { close(); });
    connect(m_cmdCerrar, &QPushButton::clicked, this, [this] { close(); });
    connect(m_Command12, &QPushButton::clicked, this, [this] { applyInterval(); });
    connect(&robot, &robot::Robot::stopped, this, [this] {
        if (m_closing)
            close();
    });
}

void MainWindow::messageBox(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, texts::kAppTitle, shown, QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    box.exec();
}

void MainWindow::processEvents()
{
    QApplication::processEvents();
}

void MainWindow::setTitle(const QString &title)
{
    core::WindowState::setTitle(title);
    QWidget::setWindowTitle(title);
}

void MainWindow::setStatus(const QString &text)
{
    core::WindowState::setStatus(text);
    m_VerEstatus->setText(text);
}

void MainWindow::setStage(const QString &text)
{
    core::WindowState::setStage(text);
    m_ViendoEstado->setText(text);
}

void MainWindow::setProgress(int value)
{
    core::WindowState::setProgress(value);
    m_Barra->setValue(value);
}

void MainWindow::setLog(const QString &text)
{
    core::WindowState::setLog(text);
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_Log->setPlainText(shown);
}

void MainWindow::setControlEnabled(core::Control control, bool enabled)
{
    core::WindowState::setControlEnabled(control, enabled);
    if (auto *b = m_buttons.value(control))
        b->setEnabled(enabled);
    if (control == Control::AcceptNumbers)
        m_buttons.value(control)->setVisible(enabled);
}

void MainWindow::setCaption(core::Control control, const QString &caption)
{
    core::WindowState::setCaption(control, caption);
    if (auto *b = m_buttons.value(control))
        b->setText(caption);
}

void MainWindow::setWindowEnabled(bool enabled)
{
    core::WindowState::setWindowEnabled(enabled);
    QWidget::setEnabled(enabled);
}

void MainWindow::setListRows(core::ListDisplay display, const QStringList &rows)
{
    core::WindowState::setListRows(display, rows);
    QListWidget *view = list(display);
    view->clear();
    view->addItems(rows);
}

void MainWindow::setBackgroundColor(core::Rgb colour)
{
    core::WindowState::setBackgroundColor(colour);
    paint(this, toColor(colour));
}

void MainWindow::prepareForm(core::Rgb formColour, int topTwips, int leftTwips)
{
    core::WindowState::prepareForm(formColour, topTwips, leftTwips);
    const QColor form = toColor(formColour);
    paint(this, form);
    paint(m_Frame1, form);
    paint(list(core::ListDisplay::DBList1), palette().color(QPalette::Base), QPalette::Base);
    // Twips are 1/1440 inch.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    const QPoint origin = screen ? screen->availableGeometry().topLeft() : QPoint();
    move(origin + QPoint(qRound(leftTwips * dpi / 1440.0), qRound(topTwips * dpi / 1440.0)));
}

void MainWindow::minimizeToTray(const core::TrayIcon &icon)
{
    core::WindowState::minimizeToTray(icon);
    m_tray->setToolTip(icon.tip);
    // The state change reaches changeEvent, which moves the window to the tray.
    if (isMinimized())
        toTray();
    else
        setWindowState(windowState() | Qt::WindowMinimized);
}

void MainWindow::toTray()
{
    // Without a notification area a hidden window could never come back:
    // it then stays minimised in the task bar.
    if (m_closed || !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray->show();
    // Hidden once the state change has been handled, not inside it.
    QTimer::singleShot(0, this, [this] {
        if (isMinimized() && m_tray->isVisible())
            hide();
    });
}

void MainWindow::restoreFromTray()
{
    if (!isMinimized() && isVisible())
        return;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    m_tray->hide();
    show();
    raise();
    activateWindow();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        toTray();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    // A port closed in the middle of a document leaves it half printed:
    // a running job ends first, and stopped() closes the window again.
    if (m_robot && m_robot->busy()) {
        m_closing = true;
        m_robot->requestStop();
        event->ignore();
        return;
    }
    m_closed = true;
    if (m_robot)
        m_robot->shutdown();
    m_tray->hide();
    event->accept();
    Q_EMIT closed();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Tiempo takes digits only; Enter and Backspace pass.
    if (watched == m_Tiempo && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool passes = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                            key->key() == Qt::Key_Backspace;
        if (!passes && !key->text().isEmpty() && !key->text().at(0).isDigit()) {
            messageBox(texts::kDigitsOnly);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::applyInterval()
{
    if (m_Tiempo->text().isEmpty())
        return;
    bool ok = false;
    const double ms = QLocale::c().toDouble(m_Tiempo->text(), &ok);
    if (ok && qRound(ms) > 0)
        m_robot->Timer1().setInterval(std::chrono::milliseconds(qRound(ms)));
}

void MainWindow::showOptions()
{
    m_robot->link().HabilitarControles(false);
    m_main->setCurrentWidget(m_Frame1);
}

void MainWindow::hideOptions()
{
    m_main->setCurrentIndex(0);
    // "Continuar" polls again, even after "Detener" (the caption stays).
    m_robot->Timer1().setStoppedByOperator(false);
    m_robot->link().HabilitarControles(true);
}

void MainWindow::printFiscalMemory()
{
    using DateField = robot::PrinterActions::DateField;
    DateField bad = DateField::None;
    m_actions->printFiscalMemory(m_Desde->text(), m_Hasta->text(), &bad);
    if (bad == DateField::From)
        m_Desde->setFocus();
    else if (bad == DateField::To)
        m_Hasta->setFocus();
}

void MainWindow::selectCreditNote(int row, bool cancel)
{
    db::ListSource &notes = m_robot->lists().Data6;
    if (notes.recordCount() < 1) {
        messageBox(texts::kNoRecords);
        return;
    }
    // The selected entry's row becomes the source's current row.
    db::RecordSet &rows = notes.recordset();
    rows.moveFirst();
    for (int i = 0; i < row && !rows.eof(); ++i)
        rows.moveNext();
    if (cancel)
        m_actions->cancelDocument();
}

} // namespace console
