#pragma once
// The main window on the fake platform, with the real line session, poll cycle and panel
// painter: the one place that lists the window's services, for every whole-window test.

#include "core/IniFile.h"
#include "core/Settings.h"

#include "app/TMainWindow.h"
#include "app/TSplashForm.h"
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
#include "platform/StatusDriverDevice.h"
#include "platform/linux/PosixLogFileActions.h"
#include "platform/linux/PosixTextFiles.h"
#include "platform/linux/QtMessageBoxes.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
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
    void PlayWave(const std::string& path) override
    {
        m_log.push_back("PlayWave " + path);
        if (whilePlaying) {
            whilePlaying();
        }
    }
    std::function<void()> whilePlaying;
    void Beep() override { m_log.emplace_back("Beep"); }

private:
    StepLog& m_log;
};

// Whatever the program writes to standard error while the test runs, taken at the file
// descriptor, since the program writes its notes through C stdio.
class CapturedErrors
{
public:
    CapturedErrors() : m_file(std::tmpfile()), m_saved(::dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~CapturedErrors()
    {
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        std::fclose(m_file);
    }
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;
    std::string Text() const
    {
        std::fflush(stderr);
        std::string text;
        char block[4096];
        for (off_t at = 0;;) {
            const ssize_t got = ::pread(::fileno(m_file), block, sizeof block, at);
            if (got <= 0) {
                return text;
            }
            text.append(block, static_cast<std::size_t>(got));
            at += got;
        }
    }

private:
    std::FILE* m_file;
    int m_saved;
};

// COM1 to COM4 can be opened, the status driver opens on any path, and the settings file
// lies in a directory of the test's own. The window is built at its first use, so that a
// test can choose its boxes and its tray's window operations first.
class MainWindowFixture : public ::testing::Test
{
protected:
    MainWindowFixture()
    {
        directories.windows = dir.Path();
        directories.programFile = dir.File("bin/sarvendo");
        directories.system = dir.File("sbin");
        boxes.whileOpen = [this](const fakes::FakeMessageBoxes::Shown& shown) {
            log.push_back("Box " + shown.text.substr(0, 20));
        };
        line.statusDriver.openAnyPath = true;
        line.statusDriver.Answer(kHookComm, 0);
        line.serialDevices.journal = &log;
        line.statusDriver.journal = &log;
        line.dialUp.journal = &log;
        // A modem that never answers must not hold the exchange up for ever.
        line.eventPump.onEvents = [this] { clock.Advance(10); };
        SetOpenable({1, 2, 3, 4});
    }
    // Closes every splash form a test left open, so tests do not see each other's.
    ~MainWindowFixture() override
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* splash = qobject_cast<TSplashForm*>(widget)) {
                splash->TimerSplashTimer();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TMainWindow& Window()
    {
        if (!window) {
            window = std::make_unique<TMainWindow>(
                MainWindowServices{settings,         directories,  files,     screen,           platform,       clock,
                                   formats,          *windowBoxes, sound,     programs,         logFiles,       session,
                                   notificationArea, trayTimer,    trayOwner, foregroundWindow, captionOverlay, colours,
                                   fileChooser,      urls,         clipboard, logActions});
        }
        return *window;
    }
    TMainWindow::StartOutcome Start(const std::vector<std::string>& arguments = {})
    {
        return Window().FormCreate(Ini(), arguments);
    }

    // The ports whose devices exist and can be opened; all others are missing.
    void SetOpenable(const std::set<int>& ports)
    {
        line.serialDevices.ports.clear();
        for (const int port : ports) {
            line.serialDevices.Add(port);
        }
    }

    std::string IniPath() const { return dir.File("SARVENDO.INI"); }
    void WriteIni(const std::string& text) const { fakes::TempDir::Write(IniPath(), text); }
    std::string ReadIni() const { return fakes::TempDir::Read(IniPath()); }
    IniFile Ini() const { return IniFile::Load(files, IniPath()); }

    // Ticks are seen by the driver requests they make: each reads the line status once.
    int Ticks() const { return line.statusDriver.Count(kReadLineStatus); }
    int Count(const std::string& step) const { return static_cast<int>(std::ranges::count(log, step)); }
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
    FullStartFixture()
    {
        line.statusDriver.SetPortOpen(true);
        line.dialUp.installedAt = directories.SystemDirectory() + "/pppd";
    }
};

} // namespace sarvendo
