#pragma once

#include "core/RobotState.h"
#include "core/WindowServices.h"

#include <QHash>
#include <array>

namespace core {

// The window's controls and captions held as plain state: the headless window
// and the tests' recording window are built on it.
class WindowState : public WindowServices
{
public:
    WindowState();

    void setTitle(const QString &title) override { m_title = title; }
    QString title() const override { return m_title; }
    void setStatus(const QString &text) override { m_status = text; }
    QString status() const override { return m_status; }
    void setStage(const QString &text) override { m_stage = text; }
    QString stage() const override { return m_stage; }
    void setProgress(int value) override { m_progress = value; }
    int progress() const override { return m_progress; }
    void setLog(const QString &text) override { m_log = text; }
    QString log() const override { return m_log; }

    void setControlEnabled(Control control, bool enabled) override;
    bool controlEnabled(Control control) const override;
    void setCaption(Control control, const QString &caption) override;
    QString caption(Control control) const override;
    void setWindowEnabled(bool enabled) override { m_windowEnabled = enabled; }
    bool windowEnabled() const override { return m_windowEnabled; }

    void setListRows(ListDisplay list, const QStringList &rows) override;
    QStringList listRows(ListDisplay list) const override;

    void setBackgroundColor(Rgb colour) override { m_background = colour; }
    Rgb backgroundColor() const override { return m_background; }
    void prepareForm(Rgb formColour, int topTwips, int leftTwips) override;
    void minimizeToTray(const TrayIcon &icon) override;
    bool minimized() const { return m_minimized; }
    const TrayIcon &trayIcon() const { return m_icon; }

    void documentEvent(const DocumentEvent &) override {}
    void notice(const QString &) override {}
    void serviceEvent(const QDateTime &, const QString &) override {}

private:
    QString m_title;
    QString m_status;
    QString m_stage;
    int m_progress = 0;
    QString m_log;
    QHash<Control, bool> m_enabled;
    QHash<Control, QString> m_captions;
    bool m_windowEnabled = true;
    std::array<QStringList, 3> m_lists;
    Rgb m_background;
    bool m_minimized = false;
    TrayIcon m_icon;
};

} // namespace core
