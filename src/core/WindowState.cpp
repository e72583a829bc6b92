#include "core/WindowState.h"

#include "core/Texts.h"

namespace core {

WindowState::WindowState() : m_title(texts::kInitialTitle), m_status(texts::kEsperando)
{
    m_captions = {
        {Control::Command1, QStringLiteral("Anular")},
        {Control::Command3, QStringLiteral("Detener")},
        {Control::Command4, QStringLiteral("Minimizar")},
        {Control::Command5, QStringLiteral("Estatus")},
        {Control::Command6, QStringLiteral("Cierre Z")},
        {Control::Command7, QStringLiteral("Opciones")},
        {Control::Command9, QStringLiteral("Continuar")},
        {Control::Command10, QStringLiteral("Cerrar")},
        {Control::Command13, QStringLiteral("Reportes")},
        {Control::Command19, QStringLiteral("Imprimir")},
        {Control::Command21, QStringLiteral("Cierre X")},
        {Control::Command22, QStringLiteral("Abrir G")},
        {Control::Plantilla, QStringLiteral("Plantilla")},
    };
    // Every button starts enabled but "Cerrar".
    m_enabled.insert(Control::Command10, false);
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

void WindowState::minimizeToTray(const DatosIcono &icon)
{
    m_icon = icon;
    m_minimized = true;
}

} // namespace core
