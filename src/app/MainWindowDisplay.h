#pragma once

#include <QSize>

namespace sarvendo {

// The display side as the main window drives it: the drawing objects' life, the paint,
// the caption lamps, the window's own caption, minimising and the notification-area
// icon.
class MainWindowDisplay
{
public:
    virtual ~MainWindowDisplay() = default;

    // Clears the drawing objects and loads the eight tray icons.
    virtual void LoadDrawingObjects() = 0;
    virtual void CreateDisplayFont() = 0;
    virtual void FormPaint() = 0;

    // The client area of a main window of this outer size, measured with the frame
    // metrics the layouts were designed for.
    virtual QSize ClientSizeOfWindow(int outerWidth, int outerHeight) const = 0;

    // Makes the active window's top-level window redraw its caption without lamps.
    virtual void RedrawForegroundCaption() = 0;

    // Deletes every drawing object, the display font and the panel.
    virtual void FreeDrawingObjects() = 0;

    // "Toggle Titlebar &On/Off" and "Minimize".
    virtual void ToggleTitlebar() = 0;
    virtual void Minimize() = 0;

    // Installs the application's minimise and restore handlers.
    virtual void InstallMinimizeHandlers() = 0;

    // Shows the notification-area icon.
    virtual void ActivateTrayIcon() = 0;
    // Brings the application back from the notification area to the foreground.
    virtual void RestoreFromTray() = 0;
};

} // namespace sarvendo
