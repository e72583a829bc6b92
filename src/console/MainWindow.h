#pragma once

#include "core/WindowState.h"

#include <QHash>
#include <QWidget>
#include <memory>

class QBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QSystemTrayIcon;

namespace robot {
class PrinterActions;
class Robot;
} // namespace robot

namespace console {

// frmImprimirFacturaROBOT: the robot's one window, its lists, labels and
// buttons, and its icon in the notification area.
class MainWindow : public QWidget, public core::WindowState
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Connects the buttons to the robot once start-up has succeeded.
    void attach(robot::Robot &robot);

    // WindowServices.
    void messageBox(const QString &text) override;
    void processEvents() override;
    void setTitle(const QString &title) override;
    void setStatus(const QString &text) override;
    void setStage(const QString &text) override;
    void setProgress(int value) override;
    void setLog(const QString &text) override;
    void setControlEnabled(core::Control control, bool enabled) override;
    void setCaption(core::Control control, const QString &caption) override;
    void setWindowEnabled(bool enabled) override;
    void setListRows(core::ListDisplay list, const QStringList &rows) override;
    void setBackgroundColor(core::Rgb colour) override;
    void prepareForm(core::Rgb formColour, int topTwips, int leftTwips) override;
    void minimizeToTray(const core::TrayIcon &icon) override;

    QPushButton *button(core::Control control) const { return m_buttons.value(control); }
    QListWidget *list(core::ListDisplay display) const;
    QLineEdit *Desde() const { return m_Desde; }
    QLineEdit *Hasta() const { return m_Hasta; }
    QWidget *Frame1() const { return m_Frame1; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    // Never shown: the second "Cerrar" and the interval box with its "Aplicar".
    QPushButton *cmdCerrar() const { return m_cmdCerrar; }
    QLineEdit *Tiempo() const { return m_Tiempo; }
    QPushButton *Command12() const { return m_Command12; }
    // Pointer activity on the notification icon: back to the screen.
    void restoreFromTray();

    static QIcon robotIcon();

Q_SIGNALS:
    void closed();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window, one area after the other.
    void build();
    QWidget *buildLists();
    void connectCreditNotes();
    QWidget *buildOptions(QLayout **printSlot, QLayout **continueSlot);
    QWidget *buildFiscalMemory(QLayout **printSlot);
    QLayout *buildStatusRow();
    void buildLog(QBoxLayout *outer);
    QLayout *buildButtons(QLayout *printSlot, QLayout *continueSlot);
    void buildHiddenControls();

    void showOptions();
    void hideOptions();
    void printFiscalMemory();
    void selectCreditNote(int row, bool cancel);
    void toTray();
    void applyInterval();

    robot::Robot *m_robot = nullptr;
    std::unique_ptr<robot::PrinterActions> m_actions;
    QHash<core::Control, QPushButton *> m_buttons;
    QLabel *m_VerEstatus = nullptr;
    QLabel *m_ViendoEstado = nullptr;
    QProgressBar *m_Barra = nullptr;
    QPlainTextEdit *m_Log = nullptr;
    QListWidget *m_lists[3] = {};
    QStackedWidget *m_main = nullptr;
    QWidget *m_Frame1 = nullptr;
    QLineEdit *m_Desde = nullptr;
    QLineEdit *m_Hasta = nullptr;
    QPushButton *m_cmdCerrar = nullptr;
    QLineEdit *m_Tiempo = nullptr;
    QPushButton *m_Command12 = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    bool m_closing = false;
    bool m_closed = false;
};

} // namespace console
