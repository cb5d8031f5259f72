#pragma once

#include "app/MainWindowDisplay.h"

class QWidget;

namespace sarvendo {

class PanelPainter;
struct Settings;

// The main window's display side on the panel painter. The painter draws its pictures
// on demand and owns them, so there is nothing to load ahead or free by hand; the
// caption lamps, the caption toggle, the minimise handlers and the notification-area
// icon belong to the title-bar and tray code, which this class reaches through the
// calls marked below once it exists.
class PanelDisplay final : public MainWindowDisplay
{
public:
    PanelDisplay(PanelPainter& painter, Settings& settings, QWidget& window)
        : m_painter(painter), m_settings(settings), m_window(window)
    {
    }

    void LoadDrawingObjects() override;
    void CreateDisplayFont() override;
    void FormPaint() override;
    QSize ClientSizeOfWindow(int outerWidth, int outerHeight) const override;
    void RedrawForegroundCaption() override;
    void FreeDrawingObjects() override;
    void ToggleTitlebar() override;
    void Minimize() override;
    void InstallMinimizeHandlers() override;
    void ActivateTrayIcon() override;
    void RestoreFromTray() override;

private:
    PanelPainter& m_painter;
    Settings& m_settings;
    QWidget& m_window;
};

} // namespace sarvendo
