// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace sarvendo {

class CaptionOverlay;
class Clipboard;
class Clock;
class ColourChooser;
class Directories;
class FileChooser;
class ForegroundWindow;
class HistoryHost;
class LineSession;
class LogFileActions;
class LogFiles;
class MessageBoxes;
class NotificationArea;
class PlatformInfo;
class ProgramStarter;
class Screen;
class Sound;
class TextFiles;
class TimerSource;
class TrayOwnerWindow;
class UrlOpener;
struct DateTimeFormats;
struct Settings;

// Everything the main window works with, made by the program entry (or a test) before
// the window: the record, the platform and the line.
struct MainWindowServices
{
    Settings& settings;
    const Directories& directories;
    const TextFiles& files;
    const Screen& screen;
    const PlatformInfo& platform;
    const Clock& clock;
    const DateTimeFormats& formats;
    MessageBoxes& messageBoxes;
    Sound& sound;
    ProgramStarter& programs;
    LogFiles& logFiles;
    LineSession& line;
    // The notification area and the timer of the tray icon, and the window operations it
    // needs, made for the main window once it exists.
    NotificationArea& notificationArea;
    TimerSource& trayTimer;
    std::function<std::unique_ptr<TrayOwnerWindow>(QWidget& window)> makeTrayOwnerWindow;
    // The active window of the desktop and the strip shown over its caption.
    ForegroundWindow& foregroundWindow;
    CaptionOverlay& captionOverlay;
    // The setup dialog's choosers and desktop services.
    ColourChooser& colourChooser;
    FileChooser& fileChooser;
    UrlOpener& urlOpener;
    Clipboard& clipboard;
    LogFileActions& logFileActions;
    // Where the poll cycle reports to the connection history; none when it is not kept.
    HistoryHost* history = nullptr;
};

} // namespace sarvendo
