#pragma once
// The main window on the fake platform, with the real line session, poll cycle and panel
// painter: the one place that lists the window's services, for every whole-window test.

#include "core/IniFile.h"
#include "core/Settings.h"

#include "app/TMainWindow.h"
#include "fakes/FakeCaptionOverlay.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeColourChooser.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakeForegroundWindow.h"
#include "fakes/FakeLinePlatform.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeNotificationArea.h"
#include "fakes/FakePlatformInfo.h"
#include "fakes/FakeProgramStarter.h"
#include "fakes/FakeScreen.h"
#include "fakes/FakeTimerSource.h"
#include "fakes/FakeTrayOwnerWindow.h"
#include "fakes/FakeUrlOpener.h"
#include "fakes/TempDir.h"
#include "line/LineSession.h"
#include "platform/Sound.h"
#include "platform/linux/PosixLogFileActions.h"
#include "platform/linux/PosixTextFiles.h"
#include "platform/linux/QtMessageBoxes.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace sarvendo {

// What the window did, in order: the line's opens and the driver's open and close as the
// fakes note them, the sounds played and the boxes shown.
using StepLog = std::vector<std::string>;

// Plays nothing; notes each sound in the step log.
class RecordingSound final : public Sound
{
public:
    explicit RecordingSound(StepLog& log) : m_log(log) {}
    void PlayWave(const std::string& path) override;
    void Beep() override;
    std::function<void()> whilePlaying;

private:
    StepLog& m_log;
};

// Whatever the program writes to standard error while the test runs.
class CapturedErrors
{
public:
    CapturedErrors();
    ~CapturedErrors();
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;
    std::string Text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

// COM1 to COM4 can be opened, the status driver opens on any path, and the settings file
// lies in a directory of the test's own. The window is built at its first use, so that a
// test can choose its boxes and its tray's window operations first.
class MainWindowFixture : public ::testing::Test
{
protected:
    MainWindowFixture();
    ~MainWindowFixture() override;
    MainWindowFixture(const MainWindowFixture&) = delete;
    MainWindowFixture& operator=(const MainWindowFixture&) = delete;

    TMainWindow& Window();
    TMainWindow::StartOutcome Start(const std::vector<std::string>& arguments = {});

    // The ports whose devices exist and can be opened; all others are missing.
    void SetOpenable(const std::set<int>& ports);

    std::string IniPath() const { return dir.File("SARVENDO.INI"); }
    void WriteIni(const std::string& text) const { fakes::TempDir::Write(IniPath(), text); }
    std::string ReadIni() const { return fakes::TempDir::Read(IniPath()); }
    IniFile Ini() const { return IniFile::Load(files, IniPath()); }

    // Ticks are seen by the driver requests they make: each reads the line status once.
    int Ticks() const;
    int Count(const std::string& step) const;
    bool Logged(const std::string& step) const { return Count(step) > 0; }

    const PosixTextFiles files;
    fakes::TempDir dir;
    Settings settings;
    StepLog log;
    fakes::FakeClock clock;
    DateTimeFormats formats;
    fakes::FakeDirectories directories;
    fakes::FakeScreen screen;
    fakes::FakePlatformInfo platform;
    fakes::FakeMessageBoxes boxes;
    // The window's boxes: the fake, or real ones for what only a real box's loop shows.
    QtMessageBoxes realBoxes;
    MessageBoxes* windowBoxes = &boxes;
    RecordingSound sound{log};
    fakes::FakeProgramStarter programs;
    fakes::FakeLogFiles logFiles;
    fakes::FakeLinePlatform line;
    LineSession session{settings, line.View(), clock, directories, boxes};
    fakes::FakeNotificationArea notificationArea;
    fakes::FakeTimerSource trayTimer{clock};
    fakes::FakeForegroundWindow foregroundWindow;
    fakes::FakeCaptionOverlay captionOverlay;
    // The window operations of the tray: the fake's, whose pointer the test keeps, unless a
    // test gives real ones before the window is built.
    fakes::FakeTrayOwnerWindow* trayWindow = nullptr;
    std::function<std::unique_ptr<TrayOwnerWindow>(QWidget&)> trayOwner = [this](QWidget&) {
        auto made = std::make_unique<fakes::FakeTrayOwnerWindow>();
        trayWindow = made.get();
        return made;
    };
    fakes::FakeColourChooser colours;
    fakes::FakeFileChooser fileChooser;
    fakes::FakeUrlOpener urls;
    fakes::FakeClipboard clipboard;
    PosixLogFileActions logActions;
    std::unique_ptr<TMainWindow> window;
};

// The window's own suites: the driver reports the port open and pppd is installed, so
// that start-up takes every one of its steps.
class FullStartFixture : public MainWindowFixture
{
protected:
    FullStartFixture();
};

} // namespace sarvendo
