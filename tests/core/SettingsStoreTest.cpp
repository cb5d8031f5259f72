// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include "core/IniFile.h"

#include "fakes/CommaLocale.h"
#include "fakes/FakeDirectories.h"
#include "fakes/TempDir.h"
#include "platform/linux/PosixTextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace sarvendo {
namespace {

const PosixTextFiles kFiles;

using fakes::TempDir;

constexpr ScreenSize kScreen{1024, 768};

class SettingsStoreTest : public ::testing::Test
{
protected:
    // Loads the per-port section of port from the given INI text.
    Settings LoadFrom(const std::string& text, std::int32_t port = 1, ScreenSize screen = kScreen)
    {
        TempDir::Write(path, text);
        Settings settings;
        settings.DefaultPort = port;
        LoadSettings(kFiles, settings, path, screen);
        return settings;
    }

    std::string Section(const std::string& body, std::int32_t port = 1)
    {
        return "[" + PortSectionName(port) + "]\r\n" + body;
    }

    TempDir dir;
    std::string path = dir.File("SARVENDO.INI");
};

TEST_F(SettingsStoreTest, PathAndSectionNames)
{
    fakes::FakeDirectories directories("/home/u/.config/sarvendo");
    EXPECT_EQ(SettingsFilePath(directories), "/home/u/.config/sarvendo/SARVENDO.INI");
    EXPECT_EQ(PortSectionName(3), "Sarvendo on COM3");
}

TEST_F(SettingsStoreTest, MissingFileGivesEveryDefault)
{
    Settings settings;
    settings.DefaultPort = ReadDefaultPort(kFiles, path);
    LoadSettings(kFiles, settings, path, kScreen);
    settings.ShowLogoAtStartup = ReadShowLogoAtStartup(kFiles, path);
    EXPECT_EQ(settings.DefaultPort, 0);
    EXPECT_EQ(settings.ShowLogoAtStartup, 1);
    EXPECT_EQ(settings.NewOrientation, 3);
    EXPECT_EQ(settings.OrientationTitle, 3);
    EXPECT_EQ(settings.LampLook, 1);
    EXPECT_EQ(settings.WindowPositionX, 512);
    EXPECT_EQ(settings.WindowPositionY, 384);
    EXPECT_EQ(settings.AutoDelay, 60);
    EXPECT_EQ(settings.BackgroundColor, 12632256U);
    EXPECT_EQ(settings.LightColorOn, 255U);
    EXPECT_EQ(settings.LightColorOff, 8553090U);
    EXPECT_EQ(settings.DCDInterval, 30);
    EXPECT_EQ(settings.TimerInterval, 18);
    EXPECT_EQ(settings.CDAutoExitDelay, 30);
    EXPECT_EQ(settings.RDTDSpeedUpdate, 5);
    EXPECT_EQ(settings.FontSizeSPY, 12);
    EXPECT_EQ(settings.FontStyleSPY, "Arial");
    EXPECT_DOUBLE_EQ(settings.TotalConnectNew, 0.0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SettingsStoreTest, FirstRunWithoutIniWritesOnlyTheLogoKeyAtShutdown)
{
    Settings settings;
    LoadSettings(kFiles, settings, path, kScreen);
    ASSERT_TRUE(SaveSettingsAtShutdown(kFiles, settings, path));
    EXPECT_EQ(TempDir::Read(path), "[Sarvendo: Main]\r\nShow Logo at Startup=1\r\n");
}

TEST_F(SettingsStoreTest, NegativeDefaultPortReadsAsZero)
{
    TempDir::Write(path, "[Sarvendo: Main]\nDefault Port=-2\n");
    EXPECT_EQ(ReadDefaultPort(kFiles, path), 0);
}

TEST_F(SettingsStoreTest, OrientationLoadRules)
{
    EXPECT_EQ(LoadFrom(Section("NewOrientation=-2\r\n")).NewOrientation, -2);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=6\r\n")).NewOrientation, 3);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=0\r\n")).NewOrientation, 3);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=-6\r\n")).NewOrientation, 3);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=9\r\n")).NewOrientation, 9);
    // The one number without a positive counterpart, which no later absolute value survives.
    EXPECT_EQ(LoadFrom(Section("NewOrientation=-2147483648\r\n")).NewOrientation, 3);
}

TEST_F(SettingsStoreTest, WindowPositionIsCheckedAgainstTheScreenWithTheLayoutSize)
{
    EXPECT_EQ(LoadFrom(Section("NewOrientation=1\r\nWindow Position X=-105\r\n")).WindowPositionX, -105);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=1\r\nWindow Position X=-106\r\n")).WindowPositionX, 512);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=1\r\nWindow Position X=1024\r\n")).WindowPositionX, 1024);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=1\r\nWindow Position X=1025\r\n")).WindowPositionX, 512);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=1\r\nWindow Position Y=-74\r\n")).WindowPositionY, -74);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=1\r\nWindow Position Y=-75\r\n")).WindowPositionY, 384);
    // A minimised layout 2 is checked with layout 2's size.
    EXPECT_EQ(LoadFrom(Section("NewOrientation=-2\r\nWindow Position X=-188\r\n")).WindowPositionX, -188);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=-2\r\nWindow Position X=-189\r\n")).WindowPositionX, 512);
    // Layouts without a size of their own are checked as layout 3.
    EXPECT_EQ(LoadFrom(Section("NewOrientation=9\r\nWindow Position X=-109\r\n")).WindowPositionX, -109);
    EXPECT_EQ(LoadFrom(Section("NewOrientation=9\r\nWindow Position X=-110\r\n")).WindowPositionX, 512);
}

TEST_F(SettingsStoreTest, ReplacedPositionIsHalfTheScreenRoundedHalfEven)
{
    const Settings settings =
        LoadFrom(Section("Window Position X=99999\r\nWindow Position Y=-99999\r\n"), 1, ScreenSize{1023, 765});
    EXPECT_EQ(settings.WindowPositionX, 512);
    EXPECT_EQ(settings.WindowPositionY, 382);
    // The default, by contrast, is half the screen with the fraction dropped.
    const Settings defaults = LoadFrom("", 1, ScreenSize{1023, 765});
    EXPECT_EQ(defaults.WindowPositionX, 511);
    EXPECT_EQ(defaults.WindowPositionY, 382);
}

TEST_F(SettingsStoreTest, NoTitleBarLoadsNegativeAndSurvivesARunWithoutPaint)
{
    EXPECT_EQ(LoadFrom(Section("No Title Bar=1\r\n")).NoTitleBar, -1);
    EXPECT_EQ(LoadFrom(Section("No Title Bar=-1\r\n")).NoTitleBar, -1);
    EXPECT_EQ(LoadFrom(Section("No Title Bar=0\r\n")).NoTitleBar, 0);
    EXPECT_EQ(LoadFrom(Section("No Title Bar=-2147483648\r\n")).NoTitleBar, -2147483647 - 1);

    Settings settings = LoadFrom(Section("No Title Bar=1\r\n"));
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    EXPECT_EQ(IniFile::Load(kFiles, path).ReadInt(PortSectionName(1), "No Title Bar", 0), -1);
    settings.NoTitleBar = 1; // what the first paint does
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    EXPECT_EQ(IniFile::Load(kFiles, path).ReadInt(PortSectionName(1), "No Title Bar", 0), 1);
}

TEST_F(SettingsStoreTest, NegativeTitleBarOffsetLoadsAsZero)
{
    EXPECT_EQ(LoadFrom(Section("TitleBar Offset=-4\r\n")).TitleBarOffset, 0);
    EXPECT_EQ(LoadFrom(Section("TitleBar Offset=7\r\n")).TitleBarOffset, 7);
}

TEST_F(SettingsStoreTest, ColourTexts)
{
    EXPECT_EQ(LoadFrom(Section("BackgroundColor=\r\n")).BackgroundColor, 12632256U);
    EXPECT_EQ(LoadFrom(Section("BackgroundColor=$FF\r\n")).BackgroundColor, 255U);
    EXPECT_EQ(LoadFrom(Section("BackgroundColor=12x\r\n")).BackgroundColor, 12U);
    EXPECT_EQ(LoadFrom(Section("TextColor=  +65280\r\n")).TextColor, 65280U);
}

TEST_F(SettingsStoreTest, OtherValuesAreTakenAsRead)
{
    const Settings settings = LoadFrom(Section("LampLook=7\r\nTimer Interval=-3\r\nFont Style SPY=\r\n"
                                               "Font Size SPY=20\r\nTotalConnectNew= 1.50000000000000E+0000\r\n"));
    EXPECT_EQ(settings.LampLook, 7);
    EXPECT_EQ(settings.TimerInterval, -3);
    EXPECT_EQ(settings.FontStyleSPY, "Arial");
    EXPECT_EQ(settings.FontSizeSPY, 20);
    EXPECT_DOUBLE_EQ(settings.TotalConnectNew, 1.5);
}

TEST_F(SettingsStoreTest, OverlongTextsAreCutNeverOverflowed)
{
    const std::string longInit(80, 'A');
    const std::string longPath(400, 'p');
    const Settings settings = LoadFrom(Section("ModemInitString=" + longInit + "\r\nRISound=" + longPath +
                                               "\r\nFont Style SPY=" + std::string(70, 'F') + "\r\n") +
                                       "[Sarvendo: Main]\r\nEditorName=" + longPath + "\r\n");
    EXPECT_EQ(settings.ModemInitString.str(), std::string(49, 'A'));
    EXPECT_EQ(settings.RISound, std::string(259, 'p'));
    EXPECT_EQ(settings.FontStyleSPY.str(), std::string(49, 'F'));
    EXPECT_EQ(settings.EditorName.str(), std::string(259, 'p'));
}

TEST_F(SettingsStoreTest, NegativePortStopsAfterTheEditorName)
{
    const Settings settings = LoadFrom("[Sarvendo: Main]\r\nEditorName=ed\r\n" + Section("LampLook=0\r\n", -1), -1);
    EXPECT_EQ(settings.EditorName, "ed");
    EXPECT_EQ(settings.LampLook, 1);
}

TEST_F(SettingsStoreTest, PortZeroReadsDefaultsAndSavesNothing)
{
    Settings settings = LoadFrom(Section("LampLook=0\r\n", 1), 0);
    EXPECT_EQ(settings.LampLook, 1);
    EXPECT_EQ(settings.WindowPositionX, 512);
    std::filesystem::remove(path);
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SettingsStoreTest, TotalConnectTimeIsWrittenInTheFixedRealForm)
{
    Settings settings;
    settings.DefaultPort = 1;
    settings.TotalConnectNew = 0.0;
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    EXPECT_EQ(IniFile::Load(kFiles, path).RawValue(PortSectionName(1), "TotalConnectNew"), "0.00000000000000E+0000");
    EXPECT_NE(TempDir::Read(path).find("TotalConnectNew= 0.00000000000000E+0000\r\n"), std::string::npos);
    settings.TotalConnectNew = 1.5;
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    EXPECT_NE(TempDir::Read(path).find("TotalConnectNew= 1.50000000000000E+0000\r\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, TheTotalSurvivesAShutdownUnderACommaLocale)
{
    fakes::CommaLocale comma;
    if (!comma.Active()) {
        GTEST_SKIP() << "no locale with a decimal comma could be made";
    }
    // A total written by a version that followed the locale reads as 1.5 days, not 1.
    Settings settings = LoadFrom(Section("TotalConnectNew= 1,50000000000000E+0000\r\n"));
    EXPECT_DOUBLE_EQ(settings.TotalConnectNew, 1.5);
    ASSERT_TRUE(SaveSettingsAtShutdown(kFiles, settings, path));
    EXPECT_NE(TempDir::Read(path).find("TotalConnectNew= 1.50000000000000E+0000\r\n"), std::string::npos);
    for (int run = 0; run < 3; ++run) {
        settings = LoadFrom(TempDir::Read(path));
        ASSERT_TRUE(SaveSettingsAtShutdown(kFiles, settings, path));
    }
    EXPECT_DOUBLE_EQ(settings.TotalConnectNew, 1.5);
}

TEST_F(SettingsStoreTest, OrientationSixIsStoredAsThree)
{
    Settings settings;
    settings.DefaultPort = 2;
    settings.NewOrientation = -6;
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    EXPECT_EQ(settings.NewOrientation, 3);
    EXPECT_EQ(IniFile::Load(kFiles, path).ReadInt(PortSectionName(2), "NewOrientation", 0), 3);
}

TEST_F(SettingsStoreTest, EmptiedPathsKeepTheOldFileValueAndFontKeysAreNeverWritten)
{
    Settings settings = LoadFrom(Section("Auto Run Program=/usr/bin/dialer\r\nRISound=ring.wav\r\n"
                                         "Font Size SPY=20\r\nFont Style SPY=Courier\r\n"));
    settings.AutoRunProgram.clear();
    settings.RISound.clear();
    settings.FontSizeSPY = 99;
    settings.FontStyleSPY = "Changed";
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    const IniFile file = IniFile::Load(kFiles, path);
    EXPECT_EQ(file.ReadString(PortSectionName(1), "Auto Run Program", "", 260), "/usr/bin/dialer");
    EXPECT_EQ(file.ReadString(PortSectionName(1), "RISound", "", 260), "ring.wav");
    EXPECT_EQ(file.ReadInt(PortSectionName(1), "Font Size SPY", 0), 20);
    EXPECT_EQ(file.ReadString(PortSectionName(1), "Font Style SPY", "", 50), "Courier");

    std::filesystem::remove(path);
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    const std::string fresh = TempDir::Read(path);
    EXPECT_EQ(fresh.find("Font"), std::string::npos);
    EXPECT_EQ(fresh.find("Auto Run Program"), std::string::npos);
    // The init string and the editor name are written even when empty.
    EXPECT_NE(fresh.find("ModemInitString=\r\n"), std::string::npos);
    EXPECT_NE(fresh.find("EditorName=\r\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, ShowLogoValueTwoRoundTrips)
{
    TempDir::Write(path, "[Sarvendo: Main]\r\nShow Logo at Startup=2\r\n");
    Settings settings;
    settings.ShowLogoAtStartup = ReadShowLogoAtStartup(kFiles, path);
    EXPECT_EQ(settings.ShowLogoAtStartup, 2);
    ASSERT_TRUE(SaveSettingsAtShutdown(kFiles, settings, path));
    EXPECT_EQ(ReadShowLogoAtStartup(kFiles, path), 2);
}

TEST_F(SettingsStoreTest, DeletedFileIsRecreatedWithTheKeysInOrder)
{
    Settings settings;
    settings.DefaultPort = 3;
    LoadSettings(kFiles, settings, path, kScreen);
    settings.ConnectSound = "c.wav";
    ASSERT_TRUE(SaveSettingsAtShutdown(kFiles, settings, path));
    const std::string expected =
        "[Sarvendo: Main]\r\nDefault Port=3\r\nEditorName=\r\nShow Logo at Startup=1\r\n"
        "[Sarvendo on COM3]\r\n"
        "NewOrientation=3\r\nOrientation Title=3\r\nLampLook=1\r\nLampLookTitle=0\r\n"
        "Window Position X=512\r\nWindow Position Y=384\r\nOnTop=0\r\nAutoDelay=60\r\nModemInitString=\r\n"
        "InitModem=0\r\nBackgroundColor=12632256\r\nTextColor=0\r\nLightColorOn=255\r\nLightColorOff=8553090\r\n"
        "RIPlaySound=0\r\nConnectSound=c.wav\r\nConnectPlaySound=0\r\nDisconnectPlaySound=0\r\n"
        "WarnInactivePlaySound=0\r\nStatus in Display=0\r\nSPY Speed in Display=0\r\nLog RI=0\r\nLog DCD=0\r\n"
        "Display connect time=0\r\nDisplay total connect time in Display=0\r\nDCD Interval=30\r\n"
        "Display connect time in Titlebar=0\r\nDisplay total connect time in Titlebar=0\r\nTimer Interval=18\r\n"
        "No Title Bar=0\r\nTitle=0\r\nTitleBar Offset=0\r\nCD Auto Exit=0\r\nCD Auto Exit Delay=30\r\n"
        "Negotiation Delay=0\r\nRD/TD Speed Update=5\r\nLog total bytes=0\r\nWarn when Exiting=0\r\n"
        "Warn if Inactive=0\r\nWarn time if Inactive=0\r\nWarn time if Inactive, Seconds=0\r\n"
        "Disconnect if Inactive=0\r\nDisconnect time if Inactive=0\r\nDisconnect time if Inactive, Seconds=0\r\n"
        "Trigger RD=0\r\nNo Direct Hardware Acesss=0\r\nShowTrayIcon=0\r\nTotalConnectNew= 0.00000000000000E+0000\r\n"
        "Run Lights=0\r\nAlternative method for RD=0\r\nAuto Run=0\r\n";
    EXPECT_EQ(TempDir::Read(path), expected);
}

TEST_F(SettingsStoreTest, UnknownSectionsKeysAndCommentsSurviveASaveByteForByte)
{
    const std::string head = "; kept comment\n\n[Zeta]\nfoo = bar \n";
    const std::string tail = "[Sarvendo on COM9]\r\nLampLook=0\r\n[Sarvendo: Main]\r\nEditorName=\r\n";
    Settings settings;
    settings.DefaultPort = 1;
    TempDir::Write(path, head + "[Sarvendo on COM1]\r\nmy own key=x\r\n\r\n[Sarvendo on COM9]\r\nLampLook=0");
    ASSERT_TRUE(SaveSettings(kFiles, settings, path));
    const std::string after = TempDir::Read(path);
    EXPECT_EQ(after.substr(0, head.size()), head);
    EXPECT_EQ(after.substr(after.size() - tail.size()), tail);
    EXPECT_NE(after.find("[Sarvendo on COM1]\r\nmy own key=x\r\nNewOrientation=3\r\n"), std::string::npos);
    EXPECT_NE(after.find("Auto Run=0\r\n\r\n[Sarvendo on COM9]"), std::string::npos);
}

TEST_F(SettingsStoreTest, SaveThenLoadGivesBackTheSameRecord)
{
    std::mt19937 random(7);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 20; ++round) {
        Settings original;
        original.DefaultPort = pick(1, 4);
        original.NewOrientation = pick(1, 5) * (pick(0, 1) != 0 ? 1 : -1);
        original.LampLook = pick(0, 1);
        original.WindowPositionX = pick(-100, 1000);
        original.WindowPositionY = pick(-20, 700);
        original.OnTop = pick(0, 2);
        original.ModemInitString = "ATZ&F" + std::to_string(pick(0, 9));
        original.BackgroundColor = static_cast<ColorRef>(pick(0, 0xFFFFFF));
        original.LightColorOn = 0xFFFFFFFFU;
        original.RISound = "/usr/share/sounds/ring " + std::to_string(round) + ".wav";
        original.TimerInterval = pick(-3, 40);
        original.NoTitleBar = pick(0, 1) != 0 ? -1 : 1;
        original.TotalConnectNew = pick(0, 100000) / 86400.0;
        original.WarnTimeIfInactiveSeconds = pick(0, 59);
        original.AutoRunProgram = "dialer --now";
        original.EditorName = "vi";
        Settings copy = original;
        ASSERT_TRUE(SaveSettings(kFiles, copy, path));

        Settings loaded;
        loaded.DefaultPort = original.DefaultPort;
        LoadSettings(kFiles, loaded, path, kScreen);
        EXPECT_EQ(loaded.NewOrientation, original.NewOrientation);
        EXPECT_EQ(loaded.WindowPositionX, original.WindowPositionX);
        EXPECT_EQ(loaded.WindowPositionY, original.WindowPositionY);
        EXPECT_EQ(loaded.ModemInitString, original.ModemInitString);
        EXPECT_EQ(loaded.BackgroundColor, original.BackgroundColor);
        EXPECT_EQ(loaded.LightColorOn, original.LightColorOn);
        EXPECT_EQ(loaded.RISound, original.RISound);
        EXPECT_EQ(loaded.TimerInterval, original.TimerInterval);
        EXPECT_EQ(loaded.NoTitleBar, -1);
        EXPECT_NEAR(loaded.TotalConnectNew, original.TotalConnectNew, 1e-14);
        EXPECT_EQ(loaded.AutoRunProgram, original.AutoRunProgram);
        EXPECT_EQ(loaded.EditorName, original.EditorName);

        // Saving the loaded record again changes nothing in the file.
        const std::string first = TempDir::Read(path);
        loaded.NoTitleBar = original.NoTitleBar;
        ASSERT_TRUE(SaveSettings(kFiles, loaded, path));
        EXPECT_EQ(TempDir::Read(path), first);
    }
}

TEST_F(SettingsStoreTest, AnUnreadableFileGivesDefaultsAndIsLeftAlone)
{
    std::filesystem::create_directory(path);
    Settings settings;
    settings.DefaultPort = 1;
    LoadSettings(kFiles, settings, path, kScreen);
    EXPECT_EQ(settings.LampLook, 1);
    EXPECT_FALSE(SaveSettings(kFiles, settings, path));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

} // namespace
} // namespace sarvendo
