// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/TSetupDlg.h"

#include "core/SettingsStore.h"

#include "fakes/FakeClipboard.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeColourChooser.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakeLinePlatform.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeProgramStarter.h"
#include "fakes/FakeSound.h"
#include "fakes/FakeUrlOpener.h"
#include "fakes/TempDir.h"
#include "line/LineSession.h"
#include "monitor/MonitorHost.h"
#include "monitor/PollCycle.h"
#include "platform/linux/PosixLogFileActions.h"
#include "platform/linux/PosixTextFiles.h"
#include "platform/linux/QtFileChooser.h"
#include "setup/SetupHost.h"
#include "setup/SpinFieldRule.h"
#include "setup/TPageControl.h"
#include "setup/TRadioGroup.h"
#include "setup/TUpDown.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace sarvendo {
namespace {

using fakes::TempDir;

// How many of this process's descriptors are open on the file at path, as the kernel
// lists them.
int DescriptorsOn(const std::string& path)
{
    const std::filesystem::path file = std::filesystem::canonical(path);
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == file) {
            ++count;
        }
    }
    return count;
}

// Notes what the dialog asked of the window; a switch to a refused port changes nothing.
class RecordingHost final : public SetupHost
{
public:
    explicit RecordingHost(Settings& settings) : m_settings(settings) {}

    void ApplyTimerInterval() override { calls.push_back("ApplyTimerInterval"); }
    void SwitchPort(int port) override
    {
        calls.push_back("SwitchPort " + std::to_string(port));
        if (refusedPorts.count(port) == 0) {
            m_settings.DefaultPort = port;
        }
    }
    void SetTrayIconActive(bool active) override { calls.push_back(active ? "TrayOn" : "TrayOff"); }
    void RepaintWindow() override { calls.push_back("RepaintWindow"); }
    void HangUpNow() override { calls.push_back("HangUpNow"); }
    void ShowHelp(int context) override { calls.push_back("Help " + std::to_string(context)); }

    int Count(const std::string& call) const { return static_cast<int>(std::ranges::count(calls, call)); }

    std::vector<std::string> calls;
    std::set<int> refusedPorts;

private:
    Settings& m_settings;
};

class QuietMonitorHost final : public MonitorHost
{
public:
    void InvalidateClientArea() override {}
    bool ClientAreaHidden() const override { return true; }
    void FormPaint() override {}
    void SetHangUpButtonEnabled(bool /*enabled*/) override {}
    void MakeTopmost() override {}
    void StopPollTimer() override {}
    void RunCloseQuery() override {}
    void RequestApplicationEnd() override {}
    void RedrawForegroundCaption() override {}
};

class SetupDlgTest : public ::testing::Test
{
protected:
    SetupDlgTest()
    {
        directories.sound = "/usr/share/sounds";
        for (int port = 1; port <= 4; ++port) {
            line.serialDevices.Add(port);
        }
        settings.DefaultPort = 1;
    }

    TSetupDlg& Dialog()
    {
        if (!dialog) {
            dialog = std::make_unique<TSetupDlg>(SetupDlgParts{settings, session, engine.Time(), engine.Logs(),
                                                               engine.Guard(), programs, sound, boxes, directories,
                                                               colours, *chooser, urls, clipboard, logActions},
                                                 host);
        }
        return *dialog;
    }
    // Shows the dialog, which fills it, on the page of the given name.
    TSetupDlg& Open(const char* page = nullptr)
    {
        Dialog().show();
        if (page != nullptr) {
            ShowPage(page);
        }
        return Dialog();
    }
    void ShowPage(const char* page)
    {
        TPageControl* pages = Dialog().Setup();
        for (int i = 0; i < pages->PageCount(); ++i) {
            if (pages->Page(i)->objectName() == QLatin1String(page)) {
                pages->Tab(i)->click();
                return;
            }
        }
        ADD_FAILURE() << "no page " << page;
    }
    template <typename T> T* Find(const char* name)
    {
        T* found = Dialog().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Types into a field as a user would: clear it, then key by key.
    void Type(const char* field, const char* text)
    {
        QLineEdit* edit = Find<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }
    // Puts a whole text into a field at once, as pasting does.
    void Paste(const char* field, const char* text) { Find<QLineEdit>(field)->setText(QString::fromLatin1(text)); }
    // The record's configuration as the settings file would hold it.
    std::string Saved()
    {
        const std::string path = dir.File("saved.ini");
        std::filesystem::remove(path);
        SaveSettings(files, settings, path);
        return TempDir::Read(path);
    }

    TempDir dir;
    Settings settings;
    fakes::FakeClock clock;
    // The logs' paths are made with the engine, so the folder is set from the start.
    fakes::FakeDirectories directories{dir.Path()};
    fakes::FakeMessageBoxes boxes;
    fakes::FakeSound sound;
    fakes::FakeProgramStarter programs;
    fakes::FakeLogFiles logFiles;
    fakes::FakeLinePlatform line;
    fakes::FakeColourChooser colours;
    fakes::FakeFileChooser fileChooser;
    FileChooser* chooser = &fileChooser;
    fakes::FakeUrlOpener urls;
    fakes::FakeClipboard clipboard;
    PosixLogFileActions logActions;
    PosixTextFiles files;
    DateTimeFormats formats;
    LineSession session{settings, line.View(), clock, directories, boxes};
    QuietMonitorHost monitorHost;
    PollCycle engine{settings, clock, session, sound, boxes, logFiles, directories, formats, monitorHost};
    RecordingHost host{settings};
    std::unique_ptr<TSetupDlg> dialog;
};

// ---- The form ----

TEST_F(SetupDlgTest, FormIsAFixedModalDialogOpeningOnAboutThenOnThePageLastShown)
{
    TSetupDlg& setup = Open();
    EXPECT_EQ(setup.windowTitle(), QStringLiteral("Setup & About / Sarvendo for Windows 95"));
    EXPECT_TRUE(setup.isModal());
    EXPECT_EQ(setup.size(), QSize(437, 361));
    EXPECT_EQ(setup.minimumSize(), setup.maximumSize());
    EXPECT_FALSE(setup.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(setup.font().pixelSize(), 11);

    const QStringList captions{
        QStringLiteral("General Settings"), QStringLiteral("Layout && Colors"), QStringLiteral("Sounds"),
        QStringLiteral("Inactivity"),       QStringLiteral("Loggings"),         QStringLiteral("Display"),
        QStringLiteral("Titlebar Display"), QStringLiteral("Troubleshooting"),  QStringLiteral("About")};
    TPageControl* pages = setup.Setup();
    ASSERT_EQ(pages->PageCount(), captions.size());
    for (int i = 0; i < pages->PageCount(); ++i) {
        EXPECT_EQ(pages->Tab(i)->text(), captions[i]);
    }
    // The tabs wrap onto rows instead of scrolling out of sight.
    EXPECT_GT(pages->TabRows(), 1);
    EXPECT_EQ(pages->ActivePage()->objectName(), QStringLiteral("AboutSheet"));

    ShowPage("SoundsTabSheet");
    setup.accept();
    Open();
    EXPECT_EQ(pages->ActivePage()->objectName(), QStringLiteral("SoundsTabSheet"));

    auto* ok = Find<QPushButton>("Ok");
    EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(Find<QPushButton>("BitBtn2")->text(), QStringLiteral("&Introduction"));
    EXPECT_EQ(Find<QPushButton>("BitBtn3")->text(), QStringLiteral("I&ndex"));
    ok->click();
    EXPECT_EQ(setup.result(), QDialog::Accepted);
}

// Most runs never open the dialog, so its pages are built at the first showing; what
// the window reported before then still reaches them, and later showings keep them.
TEST_F(SetupDlgTest, PagesAreBuiltAtTheFirstShowingAndKeptForTheNext)
{
    TSetupDlg& setup = Dialog();
    EXPECT_EQ(setup.Setup(), nullptr);
    EXPECT_TRUE(setup.findChildren<QWidget*>().isEmpty());
    setup.SetByteLabels(QStringLiteral("Transmitted bytes: 7"), QStringLiteral("   Received bytes: 8"));

    Open();
    ASSERT_NE(setup.Setup(), nullptr);
    EXPECT_EQ(setup.Setup()->ActivePage()->objectName(), QStringLiteral("AboutSheet"));
    EXPECT_EQ(Find<QLabel>("LabelTD")->text(), QStringLiteral("Transmitted bytes: 7"));
    EXPECT_EQ(Find<QLabel>("LabelRD")->text(), QStringLiteral("   Received bytes: 8"));

    ShowPage("TabSheetBasic");
    auto* autoExit = Find<QCheckBox>("CBAutoExit");
    const bool ticked = autoExit->isChecked();
    autoExit->click();
    const qsizetype widgets = setup.findChildren<QWidget*>().size();
    setup.accept();
    Open();
    EXPECT_EQ(Find<QCheckBox>("CBAutoExit"), autoExit);
    EXPECT_EQ(autoExit->isChecked(), !ticked);
    EXPECT_EQ(setup.findChildren<QWidget*>().size(), widgets);
    EXPECT_EQ(setup.Setup()->ActivePage()->objectName(), QStringLiteral("TabSheetBasic"));
}

TEST_F(SetupDlgTest, HelpButtonsOpenTheirContexts)
{
    const std::vector<std::pair<const char*, int>> cases{
        {"BitBtn3", 1}, {"BitBtn2", 2},   {"BitBtn8", 5},   {"BitBtn4", 6},  {"BitBtn6", 8},
        {"BitBtn7", 9}, {"BitBtn11", 10}, {"BitBtn10", 11}, {"BitBtn1", 12}, {"BitBtn9", 14}};
    Open();
    for (const auto& [name, context] : cases) {
        host.calls.clear();
        Find<QPushButton>(name)->click();
        EXPECT_EQ(host.calls, std::vector<std::string>{"Help " + std::to_string(context)}) << name;
    }
}

// The README is found from where the program lies: an installation's documentation
// directory, the source tree of the build tree it was built in, or nothing at all.
TEST_F(SetupDlgTest, AboutPageShowsVersionNameMakersLicenceAndTheReadmeOfThisProgram)
{
    struct Case
    {
        const char* layout;
        const char* program;
        const char* documentation; // empty: none to be found
    };
    const Case cases[] = {
        {"installed", "usr/libexec/sarvendo/sarvendo", "usr/share/doc/sarvendo"},
        {"build tree", "build/bin/sarvendo", "source"},
        {"neither", "elsewhere/sarvendo", ""},
    };
    for (const Case& one : cases) {
        SCOPED_TRACE(one.layout);
        const std::filesystem::path root = dir.Path() + "/" + one.layout;
        std::filesystem::create_directories(root / "usr/share/doc/sarvendo");
        std::filesystem::create_directories(root / "source");
        std::filesystem::create_directories(root / "build/bin");
        TempDir::Write((root / "usr/share/doc/sarvendo/README.md").string(), "# Sarvendo\n");
        TempDir::Write((root / "source/README.md").string(), "# Sarvendo\n");
        TempDir::Write((root / "build/CMakeCache.txt").string(),
                       "CMAKE_BUILD_TYPE:STRING=Debug\nCMAKE_HOME_DIRECTORY:INTERNAL=" + (root / "source").string() +
                           "\n");
        directories.programFile = (root / one.program).string();
        dialog.reset();
        urls.opened.clear();
        Open();
        EXPECT_EQ(Find<QLabel>("Version")->text(), QStringLiteral("Version 2.1, build 980418"));
        auto* name = Find<QLabel>("Label14");
        EXPECT_EQ(name->text(), QStringLiteral("SARVENDO"));
        EXPECT_TRUE(name->font().bold());
        EXPECT_TRUE(Find<QLabel>("Label10")->text().contains(QStringLiteral("The Sarvendo developers")));
        EXPECT_TRUE(Find<QLabel>("LabelLicence")->text().contains(QStringLiteral("GPL 3 or later")));
        EXPECT_FALSE(Find<QLabel>("ProgramIcon")->pixmap().isNull());
        QTest::mouseClick(Find<QLabel>("UrlLabelMail"), Qt::LeftButton);
        if (std::string(one.documentation).empty()) {
            EXPECT_EQ(Find<QLabel>("UrlLabelMail")->text(), QStringLiteral("README.md not found"));
            EXPECT_TRUE(urls.opened.empty());
            continue;
        }
        const std::string documentation = (root / one.documentation).string();
        QTest::mouseClick(Find<QLabel>("UrlLabelHttp"), Qt::LeftButton);
        ASSERT_EQ(urls.opened.size(), 2U);
        EXPECT_EQ(urls.opened[0], "file://" + documentation + "/README.md");
        EXPECT_EQ(urls.opened[1], documentation);
        EXPECT_EQ(Find<QLabel>("UrlLabelHttp")->text().toStdString(), documentation);
    }
}

// ---- The fill ----

TEST_F(SetupDlgTest, FillShowsTheRecordAndChangesNoSetting)
{
    settings.TimerInterval = 7;
    settings.ShowLogoAtStartup = 0;
    settings.WarnWhenExiting = 1;
    settings.NewOrientation = -4;
    settings.OrientationTitle = 5;
    settings.OnTop = 7; // no item stands for it
    settings.DisplayConnectTime = 1;
    settings.DisplayTotalConnectTimeInDisplay = 1;
    settings.CDAutoExitDelay = 250;
    settings.RISound = "/tmp/ring.wav";
    settings.ModemInitString = "ATZ";
    const std::string before = Saved();

    Open("TabSheetBasic");
    EXPECT_EQ(Find<QLineEdit>("Timer")->text(), QStringLiteral("7"));
    EXPECT_TRUE(Find<QCheckBox>("NoLogo")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("WarnExit")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("CBAutoRun")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("ExitDelay")->text(), QStringLiteral("250"));
    EXPECT_EQ(Find<TRadioGroup>("LayoutGroup")->ItemIndex(), 3);
    EXPECT_EQ(Find<TRadioGroup>("TitleLayoutGroup")->ItemIndex(), 2);
    EXPECT_EQ(Find<TRadioGroup>("RadioGroupOnTop")->ItemIndex(), -1);
    EXPECT_EQ(Find<TRadioGroup>("RadioGroupInDisplay")->ItemIndex(), 0);
    EXPECT_EQ(Find<QLabel>("LabelRISound")->text(), QStringLiteral("/tmp/ring.wav"));
    EXPECT_EQ(Find<QLineEdit>("EditModemInitString")->text(), QStringLiteral("ATZ"));
    // Both connect-time settings on is shown as the session time and stays as it was.
    ShowPage("TabSheetShow");
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(host.Count("ApplyTimerInterval"), 0);
}

// ---- General Settings: the poll rate and the spin-field rule ----

TEST_F(SetupDlgTest, TimerArrowsOntoZeroChangeNothingButTypedZeroStops)
{
    settings.TimerInterval = 1;
    Open("TabSheetBasic");
    auto* arrows = Find<TUpDown>("TimerUpDown");
    arrows->DownButton()->click();
    EXPECT_EQ(Find<QLineEdit>("Timer")->text(), QStringLiteral("0"));
    EXPECT_EQ(settings.TimerInterval, 1);
    EXPECT_EQ(host.Count("ApplyTimerInterval"), 0);

    Type("Timer", "00");
    EXPECT_EQ(settings.TimerInterval, 0);
    EXPECT_GE(host.Count("ApplyTimerInterval"), 1);

    // The arrows stop at 18; typed values go beyond, negative ones included.
    struct Case
    {
        const char* typed;
        std::int32_t stored;
    };
    for (const Case& c : {Case{"16", 16}, Case{"25", 25}, Case{"-5", -5}, Case{" $1F", 31}, Case{"abc", 31}}) {
        Type("Timer", c.typed);
        EXPECT_EQ(settings.TimerInterval, c.stored) << c.typed;
    }
    Type("Timer", "17");
    arrows->UpButton()->click();
    arrows->UpButton()->click();
    EXPECT_EQ(Find<QLineEdit>("Timer")->text(), QStringLiteral("18"));
    EXPECT_EQ(settings.TimerInterval, 18);
}

TEST_F(SetupDlgTest, SpinFieldsStoreWholeNonNegativeNumbersAndIgnoreTheRest)
{
    struct Field
    {
        const char* page;
        const char* name;
        std::int32_t Settings::*member;
    };
    const std::vector<Field> fields{
        {"TabSheetBasic", "ExitDelay", &Settings::CDAutoExitDelay},
        {"LayoutTabSheet", "SpinEditAutoDetect", &Settings::AutoDelay},
        {"InactivityWarn", "SpinEditWarnMinutes", &Settings::WarnTimeIfInactive},
        {"InactivityWarn", "SpinEditWarnSeconds", &Settings::WarnTimeIfInactiveSeconds},
        {"InactivityWarn", "SpinEditDisconnectMinutes", &Settings::DisconnectTimeIfInactive},
        {"InactivityWarn", "SpinEditDisconnectSeconds", &Settings::DisconnectTimeIfInactiveSeconds},
        {"TabSheetLoggings", "EditCDUpTime", &Settings::DCDInterval},
        {"TabSheetLoggings", "EditNegDelay", &Settings::NegotiationDelay},
        {"TabSheetShow", "EditTDRDRate", &Settings::RDTDSpeedUpdate},
        {"TitlebarSheet", "EditOffset", &Settings::TitleBarOffset},
    };
    Open();
    for (const Field& field : fields) {
        ShowPage(field.page);
        Type(field.name, "7");
        EXPECT_EQ(settings.*field.member, 7) << field.name;
        Type(field.name, "-5");
        EXPECT_EQ(settings.*field.member, 7) << field.name << ": negative values are ignored";
        // Typed key by key, "12x" stores 12 before the x arrives; pasted, it stores nothing.
        Paste(field.name, "12x");
        EXPECT_EQ(settings.*field.member, 7) << field.name << ": not a whole number";
        Type(field.name, "  $1F4");
        EXPECT_EQ(settings.*field.member, 500) << field.name << ": above the arrows' range";
    }
}

TEST_F(SetupDlgTest, MinuteFieldsIgnoreTheirInitialOneAndOnlyDisconnectTakesZero)
{
    settings.WarnTimeIfInactive = 5;
    settings.DisconnectTimeIfInactive = 5;
    Open("InactivityWarn");
    Type("SpinEditWarnMinutes", "1");
    EXPECT_EQ(settings.WarnTimeIfInactive, 5);
    Type("SpinEditWarnMinutes", "0");
    EXPECT_EQ(settings.WarnTimeIfInactive, 5);
    Type("SpinEditWarnMinutes", "01");
    EXPECT_EQ(settings.WarnTimeIfInactive, 1);

    Type("SpinEditDisconnectMinutes", "1");
    EXPECT_EQ(settings.DisconnectTimeIfInactive, 5);
    Type("SpinEditDisconnectMinutes", "0");
    EXPECT_EQ(settings.DisconnectTimeIfInactive, 0);
    // The seconds fields start from "0", which is therefore ignored.
    settings.WarnTimeIfInactiveSeconds = 30;
    Type("SpinEditWarnSeconds", "0");
    EXPECT_EQ(settings.WarnTimeIfInactiveSeconds, 30);
}

TEST_F(SetupDlgTest, CheckBoxesStoreTheirSettings)
{
    struct Box
    {
        const char* page;
        const char* name;
        std::int32_t Settings::*member;
        std::int32_t whenTicked;
    };
    const std::vector<Box> checks{
        {"TabSheetBasic", "NoLogo", &Settings::ShowLogoAtStartup, 0},
        {"TabSheetBasic", "WarnExit", &Settings::WarnWhenExiting, 1},
        {"TabSheetBasic", "CBAutoExit", &Settings::CDAutoExit, 1},
        {"TabSheetBasic", "CBAutoRun", &Settings::AutoRun, 1},
        {"InactivityWarn", "CBTriggerRD", &Settings::TriggerRD, 1},
        {"TabSheetLoggings", "CheckBoxLogRI", &Settings::LogRI, 1},
        {"TabSheetLoggings", "CheckBoxLogConnect", &Settings::LogDCD, 1},
        {"TabSheetLoggings", "CBLogTotal", &Settings::LogTotalBytes, 1},
        {"TabSheetShow", "CBCommStatusDisplay", &Settings::StatusInDisplay, 1},
        {"TabSheetShow", "CBTDRDDisplay", &Settings::SPYSpeedInDisplay, 1},
        {"GeneralTabSheet", "NDPA", &Settings::NoDirectHardwareAcesss, 1},
        {"GeneralTabSheet", "CBRDAltDetect", &Settings::AlternativeMethodForRD, 1},
        {"GeneralTabSheet", "CBModemInit", &Settings::InitModem, 1},
    };
    Open();
    for (const Box& box : checks) {
        ShowPage(box.page);
        auto* check = Find<QCheckBox>(box.name);
        const bool wasTicked = check->isChecked();
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        ASSERT_NE(check->isChecked(), wasTicked) << box.name;
        EXPECT_EQ(settings.*box.member, check->isChecked() ? box.whenTicked : 1 - box.whenTicked) << box.name;
    }
    // The display boxes make the window's lamps again at once.
    EXPECT_EQ(settings.RebuildWindowLamps, 1);
    EXPECT_EQ(settings.RepaintNeeded, 1);
    EXPECT_EQ(host.Count("RepaintWindow"), 2);
}

TEST_F(SetupDlgTest, ClearingTheTrayBoxBringsTheWindowBackWithAPositiveLayout)
{
    settings.ShowTrayIcon = 1;
    settings.NewOrientation = -3; // minimised into the tray
    Open("TabSheetBasic");
    host.calls.clear();
    Find<QCheckBox>("CBSysTray")->setChecked(false);
    EXPECT_EQ(settings.ShowTrayIcon, 0);
    EXPECT_EQ(settings.NewOrientation, 3);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"TrayOff", "RepaintWindow"}));
    EXPECT_EQ(settings.RebuildWindowLamps, 1);

    Find<QCheckBox>("CBSysTray")->setChecked(true);
    EXPECT_EQ(settings.ShowTrayIcon, 1);
    EXPECT_EQ(settings.NewOrientation, 3);
    EXPECT_EQ(host.Count("TrayOn"), 1);
}

TEST_F(SetupDlgTest, AutoRunProgramIsStoredAsTypedOrBrowsed)
{
    Open("TabSheetBasic");
    Type("editautorunprog", "/usr/bin/dial --now");
    EXPECT_EQ(settings.AutoRunProgram, "/usr/bin/dial --now");

    fileChooser.answer.reset();
    Find<QPushButton>("ButtonBrowseAutoRunProg")->click();
    ASSERT_EQ(fileChooser.openings.size(), 1U);
    EXPECT_EQ(fileChooser.openings[0].initialFile, "/usr/bin/dial --now");
    EXPECT_EQ(settings.AutoRunProgram, "/usr/bin/dial --now");

    fileChooser.answer = "/opt/dialer/run";
    Find<QPushButton>("ButtonBrowseAutoRunProg")->click();
    EXPECT_EQ(settings.AutoRunProgram, "/opt/dialer/run");
    EXPECT_EQ(Find<QLineEdit>("editautorunprog")->text(), QStringLiteral("/opt/dialer/run"));
}

// ---- Layout & Colors ----

TEST_F(SetupDlgTest, LayoutKeepsAMinimisedWindowMinimised)
{
    struct Case
    {
        std::int32_t before;
        int item;
        std::int32_t after;
    };
    Open("LayoutTabSheet");
    for (const Case& c : {Case{-2, 3, -4}, Case{2, 1, 2}, Case{-5, 0, -1}, Case{1, 4, 5}}) {
        settings.NewOrientation = c.before;
        settings.RebuildWindowLamps = settings.RepaintNeeded = settings.RepaintAgain = 0;
        Find<TRadioGroup>("LayoutGroup")->Button(c.item)->click();
        EXPECT_EQ(settings.NewOrientation, c.after) << c.before;
        EXPECT_EQ(settings.RebuildWindowLamps + settings.RepaintNeeded + settings.RepaintAgain, 3) << c.before;
    }
}

TEST_F(SetupDlgTest, ColourButtonsRequestTheirRebuildEvenWhenCancelled)
{
    struct Case
    {
        const char* button;
        ColorRef Settings::*member;
        bool rebuildsLayout;
    };
    Open("LayoutTabSheet");
    for (const Case& c :
         {Case{"LampOn", &Settings::LightColorOn, false}, Case{"LampOff", &Settings::LightColorOff, false},
          Case{"Text", &Settings::TextColor, false}, Case{"Background", &Settings::BackgroundColor, true}}) {
        const ColorRef before = settings.*c.member;
        settings.RebuildWindowLamps = settings.RebuildLayout = 0;
        colours.answer.reset();
        Find<QPushButton>(c.button)->click();
        EXPECT_EQ(colours.presets.back(), before) << c.button;
        EXPECT_EQ(settings.*c.member, before) << c.button;
        EXPECT_EQ(settings.RebuildWindowLamps, 1) << c.button;
        EXPECT_EQ(settings.RebuildLayout, c.rebuildsLayout ? 1 : 0) << c.button;

        colours.answer = Rgb(1, 2, 3);
        Find<QPushButton>(c.button)->click();
        EXPECT_EQ(settings.*c.member, Rgb(1, 2, 3)) << c.button;
    }
}

TEST_F(SetupDlgTest, ListedGroupsStoreTheirValues)
{
    struct Case
    {
        const char* page;
        const char* group;
        std::int32_t Settings::*member;
        std::vector<std::int32_t> values;
    };
    const std::vector<Case> cases{
        {"LayoutTabSheet", "RadioGroupOnTop", &Settings::OnTop, {1, 2, 0}},
        {"LayoutTabSheet", "LampLook", &Settings::LampLook, {0, 1}},
        {"SoundsTabSheet", "RISoundGroup", &Settings::RIPlaySound, {1, 2, 0}},
        {"SoundsTabSheet", "ConnectSoundGroup", &Settings::ConnectPlaySound, {1, 2, 0}},
        {"SoundsTabSheet", "DisconnectSoundGroup", &Settings::DisconnectPlaySound, {1, 2, 0}},
        {"InactivityWarn", "WarnInactiveSoundGroup", &Settings::WarnInactivePlaySound, {1, 2, 0}},
        {"TitlebarSheet", "StatusGroup", &Settings::Title, {1, 2, 0}},
        {"TitlebarSheet", "TitleLayoutGroup", &Settings::OrientationTitle, {3, 4, 5}},
        {"TitlebarSheet", "LampLookGroup", &Settings::LampLookTitle, {0, 1}},
    };
    Open();
    for (const Case& c : cases) {
        ShowPage(c.page);
        auto* group = Find<TRadioGroup>(c.group);
        for (int item = static_cast<int>(c.values.size()) - 1; item >= 0; --item) {
            group->Button(item)->click();
            EXPECT_EQ(settings.*c.member, c.values[static_cast<std::size_t>(item)]) << c.group << " " << item;
        }
    }
}

TEST_F(SetupDlgTest, ConnectTimeGroupsSetTheirTwoSettings)
{
    Open("TabSheetShow");
    const std::vector<std::pair<std::int32_t, std::int32_t>> expected{{1, 0}, {0, 1}, {0, 0}};
    for (int item = 2; item >= 0; --item) {
        Find<TRadioGroup>("RadioGroupInDisplay")->Button(item)->click();
        EXPECT_EQ(std::make_pair(settings.DisplayConnectTime, settings.DisplayTotalConnectTimeInDisplay),
                  expected[static_cast<std::size_t>(item)]);
    }
    ShowPage("TitlebarSheet");
    for (int item = 2; item >= 0; --item) {
        Find<TRadioGroup>("RadioGroupInTitle")->Button(item)->click();
        EXPECT_EQ(std::make_pair(settings.DisplayConnectTimeInTitlebar, settings.DisplayTotalConnectTimeInTitlebar),
                  expected[static_cast<std::size_t>(item)]);
    }
}

// ---- Sounds ----

TEST_F(SetupDlgTest, SoundChooserStartsInTheSoundFolderAndShowsThePath)
{
    Open("SoundsTabSheet");
    fileChooser.answer.reset();
    Find<QPushButton>("SoundRI")->click();
    ASSERT_EQ(fileChooser.openings.size(), 1U);
    EXPECT_EQ(fileChooser.openings[0].initialFile, "/usr/share/sounds/*.wav");
    ASSERT_EQ(fileChooser.openings[0].filters.size(), 2U);
    EXPECT_EQ(fileChooser.openings[0].filters[0].description, "Sound files");
    EXPECT_EQ(fileChooser.openings[0].filters[0].pattern, "*.wav");
    EXPECT_TRUE(settings.RISound.empty());

    fileChooser.answer = "/home/u/ring.wav";
    Find<QPushButton>("SoundRI")->click();
    EXPECT_EQ(settings.RISound, "/home/u/ring.wav");
    EXPECT_EQ(Find<QLabel>("LabelRISound")->text(), QStringLiteral("/home/u/ring.wav"));
    Find<QPushButton>("SoundRI")->click();
    EXPECT_EQ(fileChooser.openings.back().initialFile, "/home/u/ring.wav");
}

TEST_F(SetupDlgTest, TheFileDialogListsEachChoosersFileKinds)
{
    QtFileChooser realChooser;
    chooser = &realChooser;
    struct Case
    {
        const char* page;
        const char* button;
        QStringList listed;
    };
    const Case cases[] = {
        {"SoundsTabSheet", "SoundRI", {QStringLiteral("Sound files (*.wav)"), QStringLiteral("All files (*)")}},
        // A program on Linux has no name ending of its kind: every file is offered.
        {"TabSheetBasic", "ButtonBrowseAutoRunProg", {QStringLiteral("All files (*)")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        QStringList listed;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (auto* dialogShown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                listed = dialogShown->nameFilters();
                dialogShown->reject();
            }
        });
        look.start(5);
        Open(c.page);
        Find<QPushButton>(c.button)->click();
        EXPECT_EQ(listed, c.listed);
    }
}

TEST_F(SetupDlgTest, SoundTestPlaysBeepsOrIsDisabledByTheMode)
{
    settings.ConnectSound = "/s/connect.wav";
    Open("SoundsTabSheet");
    auto* group = Find<TRadioGroup>("ConnectSoundGroup");
    auto* test = Find<QPushButton>("SoundConnectTest");
    group->Button(2)->click();
    EXPECT_FALSE(test->isEnabled());
    group->Button(0)->click();
    ASSERT_TRUE(test->isEnabled());
    test->click();
    group->Button(1)->click();
    test->click();
    EXPECT_EQ(sound.played, (std::vector<std::string>{"/s/connect.wav", "<beep>"}));
}

// ---- Inactivity ----

TEST_F(SetupDlgTest, InactivityBoxesReleaseTheirRuleAndRestartTheIdleTime)
{
    settings.InactivityWarnBusy = 1;
    settings.AutoDisconnectBusy = 1;
    Open("InactivityWarn");
    Find<QCheckBox>("CBWarnInactive")->setChecked(true);
    EXPECT_EQ(settings.WarnIfInactive, 1);
    EXPECT_EQ(settings.InactivityWarnBusy, 0);
    EXPECT_EQ(settings.AutoDisconnectBusy, 1);
    EXPECT_DOUBLE_EQ(settings.LastActivity, clock.Now());
    clock.Advance(5000);
    Find<QCheckBox>("CBDisconnectInactive")->setChecked(true);
    EXPECT_EQ(settings.DisconnectIfInactive, 1);
    EXPECT_EQ(settings.AutoDisconnectBusy, 0);
    EXPECT_DOUBLE_EQ(settings.LastActivity, clock.Now());
}

// ---- Loggings ----

TEST_F(SetupDlgTest, DeletingAMissingLogSaysSo)
{
    Open("TabSheetLoggings");
    Find<QPushButton>("ButtonDeleteLogRI")->click();
    Find<QPushButton>("ButtonDeleteLogCD")->click();
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[0].text, "Can not find the log file SARVENDO.RI");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(boxes.shown[1].text, "Can not find the log file SARVENDO.DCD");
}

TEST_F(SetupDlgTest, CancelledDeleteHoldsNothingOpenAndOkDeletesIt)
{
    const std::string path = engine.Logs().ConnectLogPath();
    TempDir::Write(path, "Connected: 1\r\n");
    Open("TabSheetLoggings");
    boxes.answers = {MessageResult::Cancel};
    int heldWhileAsking = -1;
    boxes.whileOpen = [&](const auto&) { heldWhileAsking = DescriptorsOn(path); };
    Find<QPushButton>("ButtonDeleteLogCD")->click();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Delete Connect Log file?");
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
    // Nothing holds the log while the user decides, nor after the answer, so the poll
    // cycle's appends are never kept from it.
    EXPECT_EQ(heldWhileAsking, 0);
    EXPECT_EQ(DescriptorsOn(path), 0);
    EXPECT_EQ(TempDir::Read(path), "Connected: 1\r\n");
    boxes.whileOpen = nullptr;

    boxes.answers = {MessageResult::Ok};
    Find<QPushButton>("ButtonDeleteLogCD")->click();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SetupDlgTest, ShowLogUsesTheEditorThenTheDesktopThenSaysWhereTheLogIs)
{
    Open("TabSheetLoggings");
    settings.EditorName = "mousepad";
    Find<QPushButton>("ButtonShowLogRI")->click();
    ASSERT_EQ(programs.started.size(), 1U);
    EXPECT_EQ(programs.started[0], (std::vector<std::string>{"mousepad", engine.Logs().RingLogPath()}));
    EXPECT_TRUE(urls.opened.empty());

    settings.EditorName = "";
    Find<QPushButton>("ButtonShowLogCD")->click();
    EXPECT_EQ(urls.opened, std::vector<std::string>{engine.Logs().ConnectLogPath()});

    urls.succeed = false;
    Find<QPushButton>("ButtonShowLogCD")->click();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_NE(boxes.shown[0].text.find(engine.Logs().ConnectLogPath()), std::string::npos);
}

TEST_F(SetupDlgTest, ByteLabelsShowTheConnectionsCountsWhileConnected)
{
    settings.LampCD = 1;
    settings.SessionSent = 1234;
    settings.SessionReceived = 56789;
    Open("TabSheetLoggings");
    EXPECT_EQ(Find<QLabel>("LabelTD")->text(), QStringLiteral("Transmitted bytes: 1234"));
    EXPECT_EQ(Find<QLabel>("LabelRD")->text(), QStringLiteral("   Received bytes: 56789"));
    Dialog().SetByteLabels(QStringLiteral("Transmitted bytes: 2000"), QStringLiteral("   Received bytes: 3"));
    settings.LampCD = 0;
    ShowPage("TabSheetShow");
    // Once disconnected they keep what they last showed.
    EXPECT_EQ(Find<QLabel>("LabelTD")->text(), QStringLiteral("Transmitted bytes: 2000"));
}

// ---- Display and Titlebar Display ----

TEST_F(SetupDlgTest, BothResetButtonsRestartTheTotal)
{
    Open("TabSheetShow");
    for (const char* button : {"Button1", "ButtonResetTotalConnect"}) {
        settings.TotalConnectNew = 2.5;
        settings.SessionStart = 1.0;
        clock.Advance(1000);
        Find<QPushButton>(button)->click();
        EXPECT_EQ(settings.TotalConnectNew, 0.0) << button;
        EXPECT_DOUBLE_EQ(settings.SessionStart, clock.Now()) << button;
    }
}

// ---- Troubleshooting ----

TEST_F(SetupDlgTest, HangUpButtonFollowsTheCarrier)
{
    Open("GeneralTabSheet");
    auto* hangUp = Find<QPushButton>("BtnHangupNOW");
    EXPECT_EQ(hangUp->text(), QStringLiteral("&Hang-up NOW!"));
    EXPECT_FALSE(hangUp->isEnabled());
    settings.LampCD = 1;
    ShowPage("AboutSheet");
    EXPECT_TRUE(hangUp->isEnabled());
    hangUp->click();
    EXPECT_EQ(host.Count("HangUpNow"), 1);
    Dialog().SetHangUpButtonEnabled(false);
    EXPECT_FALSE(hangUp->isEnabled());
}

TEST_F(SetupDlgTest, SendNowWithAnEmptyStringOpensNothing)
{
    Open("GeneralTabSheet");
    Find<QPushButton>("Button4")->click();
    EXPECT_TRUE(line.serialDevices.opens.empty());

    Type("EditModemInitString", "ATZ");
    EXPECT_EQ(settings.ModemInitString, "ATZ");
    line.serialDevices.QueueAnswer(1, "OK\r\n");
    line.eventPump.onEvents = [this] { clock.Advance(100); };
    Find<QPushButton>("Button4")->click();
    ASSERT_FALSE(line.serialDevices.opens.empty());
    EXPECT_EQ(line.serialDevices.ports[1].written.substr(0, 5), "ATZ\r\n");
}

TEST_F(SetupDlgTest, ModemInitStringIsCutTo49Characters)
{
    Open("GeneralTabSheet");
    Type("EditModemInitString", std::string(60, 'A').c_str());
    EXPECT_EQ(settings.ModemInitString.str(), std::string(49, 'A'));
}

TEST_F(SetupDlgTest, ModemSetupStartsTheConnectionEditorOrSaysNoneIsInstalled)
{
    Open("GeneralTabSheet");
    Find<QPushButton>("Button2")->click();
    ASSERT_EQ(programs.started.size(), 1U);
    EXPECT_EQ(programs.started[0], std::vector<std::string>{"nm-connection-editor"});
    EXPECT_TRUE(boxes.shown.empty());
    programs.succeed = false;
    Find<QPushButton>("Button2")->click();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_NE(boxes.shown[0].text.find("No connection editor is installed"), std::string::npos);
}

// ---- Ports ----

TEST_F(SetupDlgTest, PortListOffersAvailablePortsAndNamesTheMonitoredOne)
{
    settings.PortAvailable = {1, 0, 1, 0};
    settings.DefaultPort = 2;
    Open("TabSheetBasic");
    auto* ports = Find<QComboBox>("Ports");
    ASSERT_EQ(ports->count(), 2);
    EXPECT_EQ(ports->itemText(0), QStringLiteral("COM1"));
    EXPECT_EQ(ports->itemText(1), QStringLiteral("COM3"));
    EXPECT_EQ(ports->currentText(), QStringLiteral("COM2"));
    EXPECT_EQ(Find<QLabel>("LabelPortDevice")->text(), QStringLiteral("/dev/fake2"));
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(SetupDlgTest, DetectLeavesOutPortsThatCannotBeOpenedAndSaysWhy)
{
    line.serialDevices.ports[1].openError = PortOpenError::Busy;
    line.serialDevices.ports.erase(3);
    Open("TabSheetBasic");
    Find<QPushButton>("ButtonDetectComPorts")->click();
    std::vector<int> probed;
    for (const auto& [port, purpose] : line.serialDevices.opens) {
        probed.push_back(port);
    }
    EXPECT_EQ(probed, (std::vector<int>{1, 2, 3, 4}));
    auto* ports = Find<QComboBox>("Ports");
    ASSERT_EQ(ports->count(), 2);
    EXPECT_EQ(ports->itemText(0), QStringLiteral("COM2"));
    EXPECT_EQ(ports->currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(Find<QLabel>("LabelPortDevice")->text(),
              QStringLiteral("/dev/fake1 (") + QString::fromUtf8(DescribePortOpenError(PortOpenError::Busy)) +
                  QLatin1Char(')'));
}

TEST_F(SetupDlgTest, TypedPortNamesSwitchOnlyWhenExact)
{
    settings.DefaultPort = 2;
    Open("TabSheetBasic");
    auto* ports = Find<QComboBox>("Ports");
    ports->lineEdit()->clear();
    QTest::keyClicks(ports->lineEdit(), QStringLiteral("com2"));
    EXPECT_EQ(host.Count("SwitchPort 2"), 0);

    // "COM10" is taken as COM1 at its fourth character; the fifth does nothing.
    ports->lineEdit()->clear();
    QTest::keyClicks(ports->lineEdit(), QStringLiteral("COM10"));
    EXPECT_EQ(host.calls, std::vector<std::string>{"SwitchPort 1"});
    EXPECT_EQ(settings.DefaultPort, 1);

    // The monitored port's own name does nothing either.
    host.calls.clear();
    ports->lineEdit()->clear();
    QTest::keyClicks(ports->lineEdit(), QStringLiteral("COM30"));
    EXPECT_EQ(host.calls, std::vector<std::string>{"SwitchPort 3"});
    EXPECT_EQ(settings.DefaultPort, 3);

    // Re-selecting the monitored port does nothing.
    host.calls.clear();
    ports->setCurrentIndex(2);
    EXPECT_TRUE(host.calls.empty());
    ports->setCurrentIndex(1);
    EXPECT_EQ(host.calls, std::vector<std::string>{"SwitchPort 2"});
}

TEST_F(SetupDlgTest, RefusedSwitchKeepsTheTextAndSaysThePortCannotBeOpened)
{
    host.refusedPorts = {4};
    Open("TabSheetBasic");
    auto* ports = Find<QComboBox>("Ports");
    ports->setCurrentIndex(3);
    EXPECT_EQ(host.calls, std::vector<std::string>{"SwitchPort 4"});
    EXPECT_EQ(settings.DefaultPort, 1);
    EXPECT_EQ(ports->currentText(), QStringLiteral("COM4"));
    EXPECT_EQ(Find<QLabel>("LabelPortDevice")->text(), QStringLiteral("/dev/fake4 (cannot be opened)"));
    // The next fill names the monitored port again.
    ShowPage("AboutSheet");
    EXPECT_EQ(ports->currentText(), QStringLiteral("COM1"));
}

// ---- Every page drawn ----

// Draws each page of the whole dialog; with SARVENDO_SETUP_SCREENSHOTS naming a folder
// the pictures are also saved there, for the documentation.
TEST_F(SetupDlgTest, EveryPageDrawsWithItsControlsInsideTheDialog)
{
    settings.LampCD = 1;
    settings.SessionSent = 48213;
    settings.SessionReceived = 310977;
    settings.RISound = "/usr/share/sounds/ring.wav";
    settings.ModemInitString = "AT&F";
    TSetupDlg& setup = Open();
    const char* folder = std::getenv("SARVENDO_SETUP_SCREENSHOTS");
    TPageControl* pages = setup.Setup();
    for (int i = 0; i < pages->PageCount(); ++i) {
        pages->Tab(i)->click();
        QCoreApplication::processEvents();
        const QImage picture = setup.grab().toImage();
        EXPECT_EQ(picture.size(), QSize(437, 361) * picture.devicePixelRatio());
        for (const QWidget* control : pages->Page(i)->findChildren<QWidget*>()) {
            if (control->isVisible()) {
                const QRect place(control->mapTo(&setup, QPoint(0, 0)), control->size());
                EXPECT_TRUE(setup.rect().contains(place)) << control->objectName().toStdString();
            }
        }
        if (folder != nullptr) {
            picture.save(QStringLiteral("%1/page%2-%3.png")
                             .arg(QString::fromLocal8Bit(folder))
                             .arg(i + 1)
                             .arg(pages->Page(i)->objectName()));
        }
    }
}

// ---- The typed-number rule on its own ----

TEST(SpinFieldRuleTest, ParsesWholeIntegersOnly)
{
    struct Case
    {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const std::vector<Case> cases{
        {"0", 0},
        {"00", 0},
        {"  42", 42},
        {"+7", 7},
        {"-5", -5},
        {"$ff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"$000000001", 1},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", {}},
        {"$100000000", {}},
        {"", {}},
        {" ", {}},
        {"-", {}},
        {"$", {}},
        {"12 ", {}},
        {"1e3", {}},
        {"0x10", {}},
        {"12abc", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseTypedInteger(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(SpinFieldRuleTest, InitialTextAndSignDecideWhatIsStored)
{
    EXPECT_EQ(SpinFieldValue("0", "0", SpinStore::Any), std::nullopt);
    EXPECT_EQ(SpinFieldValue("-5", "0", SpinStore::Any), -5);
    EXPECT_EQ(SpinFieldValue("-5", "0", SpinStore::ZeroOrMore), std::nullopt);
    EXPECT_EQ(SpinFieldValue("0", "1", SpinStore::ZeroOrMore), 0);
    EXPECT_EQ(SpinFieldValue("0", "1", SpinStore::AboveZero), std::nullopt);
    EXPECT_EQ(SpinFieldValue("1", "1", SpinStore::AboveZero), std::nullopt);
    EXPECT_EQ(SpinFieldValue("401", "0", SpinStore::ZeroOrMore), 401);
}

} // namespace
} // namespace sarvendo
