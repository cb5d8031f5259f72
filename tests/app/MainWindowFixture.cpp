#include "MainWindowFixture.h"

#include "app/TSplashForm.h"
#include "platform/StatusDriverDevice.h"

#include <QApplication>

#include <algorithm>
#include <iostream>

namespace sarvendo {
namespace {

// Closes every splash form a test left open, so tests do not see each other's.
void CloseSplashForms()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* splash = qobject_cast<TSplashForm*>(widget)) {
            splash->TimerSplashTimer();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

void RecordingSound::PlayWave(const std::string& path)
{
    m_log.push_back("PlayWave " + path);
    if (whilePlaying) {
        whilePlaying();
    }
}

void RecordingSound::Beep()
{
    m_log.emplace_back("Beep");
}

CapturedErrors::CapturedErrors() : m_previous(std::cerr.rdbuf(m_text.rdbuf())) {}

CapturedErrors::~CapturedErrors()
{
    std::cerr.rdbuf(m_previous);
}

MainWindowFixture::MainWindowFixture()
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

MainWindowFixture::~MainWindowFixture()
{
    CloseSplashForms();
}

TMainWindow& MainWindowFixture::Window()
{
    if (!window) {
        window = std::make_unique<TMainWindow>(MainWindowServices{
            settings,       directories, files,       screen,  platform,         clock,     formats,   *windowBoxes,
            sound,          programs,    logFiles,    session, notificationArea, trayTimer, trayOwner, foregroundWindow,
            captionOverlay, colours,     fileChooser, urls,    clipboard,        logActions});
    }
    return *window;
}

TMainWindow::StartOutcome MainWindowFixture::Start(const std::vector<std::string>& arguments)
{
    return Window().FormCreate(Ini(), arguments);
}

void MainWindowFixture::SetOpenable(const std::set<int>& ports)
{
    line.serialDevices.ports.clear();
    for (const int port : ports) {
        line.serialDevices.Add(port);
    }
}

int MainWindowFixture::Ticks() const
{
    return line.statusDriver.Count(kReadLineStatus);
}

int MainWindowFixture::Count(const std::string& step) const
{
    return static_cast<int>(std::ranges::count(log, step));
}

FullStartFixture::FullStartFixture()
{
    line.statusDriver.SetPortOpen(true);
    line.dialUp.installedAt = directories.SystemDirectory() + "/pppd";
}

} // namespace sarvendo
