#include "PanelDisplay.h"

#include "core/Settings.h"

#include "display/PanelPainter.h"

#include <QWidget>

namespace sarvendo {

void PanelDisplay::LoadDrawingObjects()
{
    // The painter loads the layout and lamp pictures when it first paints them.
}

void PanelDisplay::CreateDisplayFont()
{
    m_painter.CreateDisplayFont();
}

void PanelDisplay::FormPaint()
{
    m_painter.FormPaint();
}

QSize PanelDisplay::ClientSizeOfWindow(int outerWidth, int outerHeight) const
{
    return PanelPainter::ClientSizeOfWindow(outerWidth, outerHeight, m_settings.NoTitleBar != 1);
}

void PanelDisplay::RedrawForegroundCaption()
{
    // Unwired: the caption strip over other windows comes with the title-bar lamps.
}

void PanelDisplay::FreeDrawingObjects()
{
    // The painter's pictures and font are freed with the painter.
}

void PanelDisplay::ToggleTitlebar()
{
    // Unwired: showing and hiding the caption comes with the window behaviour code.
}

void PanelDisplay::Minimize()
{
    m_window.showMinimized();
}

void PanelDisplay::InstallMinimizeHandlers()
{
    // Unwired: the minimise and restore handlers come with the window behaviour code.
}

void PanelDisplay::ActivateTrayIcon()
{
    // Unwired: the notification-area icon comes with the tray component.
}

void PanelDisplay::RestoreFromTray()
{
    m_window.raise();
    m_window.activateWindow();
}

} // namespace sarvendo
