#include "core/WindowState.h"

#include "core/Texts.h"

namespace core {

WindowState::WindowState() : m_title(texts::kInitialTitle), m_status(texts::kWaiting)
{
    m_captions = {
        {Control::Command1, texts::kCancelCaption},
        {Control::Command3, texts::kStopCaption},
        {Control::Command4, texts::kMinimizeCaption},
        {Control::Command5, texts::kStatusCaption},
        {Control::Command6, texts::kZReportCaption},
        {Control::Command7, texts::kOptionsCaption},
        {Control::Command9, texts::kContinueCaption},
        {Control::Command10, texts::kCloseCaption},
        {Control::Command13, texts::kReportsCaption},
        {Control::Command19, texts::kPrintCaption},
        {Control::Command21, texts::kXReportCaption},
        {Control::Command22, texts::kOpenDrawerCaption},
        {Control::Template, texts::kTemplateCaption},
        {Control::AcceptNumbers, texts::kAcceptNumbersCaption},
    };
    // Every button starts enabled but "Cerrar" and "Aceptar números".
    m_enabled.insert(Control::Command10, false);
    m_enabled.insert(Control::AcceptNumbers, false);
}

void WindowState::setControlEnabled(Control control, bool enabled)
{
    m_enabled.insert(control, enabled);
}

bool WindowState::controlEnabled(Control control) const
{
    return m_enabled.value(control, true);
}

void WindowState::setCaption(Control control, const QString &caption)
{
    m_captions.insert(control, caption);
}

QString WindowState::caption(Control control) const
{
    return m_captions.value(control);
}

void WindowState::setListRows(ListDisplay list, const QStringList &rows)
{
    m_lists[static_cast<size_t>(list)] = rows;
}

QStringList WindowState::listRows(ListDisplay list) const
{
    return m_lists[static_cast<size_t>(list)];
}

void WindowState::prepareForm(Rgb formColour, int, int)
{
    m_background = formColour;
}

void WindowState::minimizeToTray(const TrayIcon &icon)
{
    m_icon = icon;
    m_minimized = true;
}

} // namespace core
