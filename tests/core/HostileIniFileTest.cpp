// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files as they turn up on real machines: written by other editors, damaged,
// replaced by something that is no file at all, or left half-saved by a kill.
#include "core/IniFile.h"
#include "core/SettingsStore.h"

#include "fakes/TempDir.h"
#include "platform/DateTime.h"
#include "platform/linux/PosixTextFiles.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

const PosixTextFiles kFiles;
constexpr ScreenSize kScreen{1024, 768};

using fakes::TempDir;

const std::string kBom = "\xEF\xBB\xBF";

TEST(IniFileByteOrderMark, TheFirstSectionIsFoundAndTheMarkKept)
{
    TempDir dir;
    const std::string path = dir.File("SARVENDO.INI");
    TempDir::Write(path, kBom + "[Sarvendo: Main]\r\nDefault Port=2\r\nShow Logo at Startup=0\r\n");
    EXPECT_EQ(ReadDefaultPort(kFiles, path), 2);
    EXPECT_EQ(ReadShowLogoAtStartup(kFiles, path), 0);

    Settings settings;
    settings.DefaultPort = 2;
    settings.ShowLogoAtStartup = 0;
    ASSERT_TRUE(SaveSettingsAtShutdown(kFiles, settings, path));
    const std::string saved = TempDir::Read(path);
    EXPECT_EQ(saved.substr(0, 3 + 18), kBom + "[Sarvendo: Main]\r\n");
    std::size_t headers = 0;
    for (std::size_t at = saved.find("[Sarvendo: Main]"); at != std::string::npos;
         at = saved.find("[Sarvendo: Main]", at + 1)) {
        ++headers;
    }
    EXPECT_EQ(headers, 1U);
    // A file without the mark is not given one.
    IniFile plain = IniFile::FromText("[A]\r\n");
    plain.WriteString("A", "k", "v");
    EXPECT_EQ(plain.Text(), "[A]\r\nk=v\r\n");
}

TEST(IniFileValues, ANulEndsTheValue)
{
    using namespace std::string_literals;
    const IniFile file = IniFile::FromText("[S]\r\ninit=ATZ\0ATH1\r\nblank=AT \0x\r\nfirst=\0rest\r\n"s);
    const struct
    {
        const char* key;
        const char* value;
    } cases[] = {{"init", "ATZ"}, {"blank", "AT"}, {"first", ""}};
    for (const auto& [key, value] : cases) {
        EXPECT_EQ(file.ReadString("S", key, "d", 260), value) << key;
    }
    IniFile written;
    written.WriteString("S", "k", "AT\0junk"s);
    EXPECT_EQ(written.Text(), "[S]\r\nk=AT\r\n");
}

TEST(IniFileValues, AnOverlongValueIsCutOnACharacterBoundary)
{
    // 48 letters and then a two-byte "é": the 49-byte limit falls inside it.
    const std::string init = std::string(48, 'A') + "\xC3\xA9" + "Z";
    // 257 letters and then the three-byte "€" across the 259-byte limit.
    const std::string path = std::string(257, 'p') + "\xE2\x82\xAC";
    const IniFile file = IniFile::FromText("[Sarvendo on COM1]\r\nModemInitString=" + init + "\r\nRISound=" + path +
                                           "\r\nOk=" + std::string(47, 'B') + "\xC3\xA9" + "\r\n");
    EXPECT_EQ(file.ReadString("Sarvendo on COM1", "ModemInitString", "", 50), std::string(48, 'A'));
    EXPECT_EQ(file.ReadString("Sarvendo on COM1", "RISound", "", 260), std::string(257, 'p'));
    EXPECT_EQ(file.ReadString("Sarvendo on COM1", "Ok", "", 50), std::string(47, 'B') + "\xC3\xA9");
    // Text that is no UTF-8 (Latin-1 degree signs) is cut at the limit, not emptied.
    EXPECT_EQ(IniFile::FromText("[S]\r\nk=" + std::string(60, '\xB0') + "\r\n").ReadString("S", "k", "", 50),
              std::string(49, '\xB0'));
    // Blanks before the cut would not survive the next read of the saved value.
    EXPECT_EQ(IniFile::FromText("[S]\r\nk=AT&F" + std::string(60, '\t') + "&C1\r\n").ReadString("S", "k", "", 50),
              "AT&F");

    TempDir dir;
    const std::string ini = dir.File("SARVENDO.INI");
    TempDir::Write(ini, file.Text());
    Settings settings;
    settings.DefaultPort = 1;
    LoadSettings(kFiles, settings, ini, kScreen);
    ASSERT_TRUE(SaveSettings(kFiles, settings, ini));
    const std::string saved = TempDir::Read(ini);
    EXPECT_NE(saved.find("ModemInitString=" + std::string(48, 'A') + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find("RISound=" + std::string(257, 'p') + "\r\n"), std::string::npos);
}

TEST(IniFileValues, EveryValueReadsBackAsItWasWritten)
{
    // Reading trims blanks and takes off a pair of quotes; values that would lose either
    // are written inside one more pair, so a save never changes them again and again.
    const std::pair<std::string, std::string> cases[] = {
        {"ATZ", "k=ATZ"},
        {"\"ATZ\"", "k=\"\"ATZ\"\""},
        {"'x'", "k=\"'x'\""},
        {"\"\"", "k=\"\"\"\""},
        {"\"", "k=\""},
        {"a \"b\" c", "k=a \"b\" c"},
        {"", "k="},
        {"\"/opt/a b/x\" -q", "k=\"/opt/a b/x\" -q"},
        {" lead", "k=\" lead\""},
        {"trail\t", "k=\"trail\t\""},
    };
    for (const auto& [value, line] : cases) {
        IniFile file;
        file.WriteString("S", "k", value);
        EXPECT_EQ(file.Text(), "[S]\r\n" + line + "\r\n") << value;
        EXPECT_EQ(IniFile::FromText(file.Text()).ReadString("S", "k", "d", 260), value) << value;
    }
}

TEST(IniFileValues, AHugeTotalConnectTimeIsHeldToAUsableRange)
{
    TempDir dir;
    const std::string path = dir.File("SARVENDO.INI");
    const std::pair<const char*, double> cases[] = {
        {"1E300", 1e7}, {"-1E300", -1e7}, {"12345678", 1e7}, {"2.5", 2.5}, {"-3", -3.0}, {"1E999", 0.0},
    };
    for (const auto& [text, expected] : cases) {
        TempDir::Write(path, std::string("[Sarvendo on COM1]\r\nTotalConnectNew=") + text + "\r\n");
        Settings settings;
        settings.DefaultPort = 1;
        LoadSettings(kFiles, settings, path, kScreen);
        EXPECT_DOUBLE_EQ(settings.TotalConnectNew, expected) << text;
        const DaysAndMs split = SplitDateTime(settings.TotalConnectNew);
        EXPECT_LE(split.days < 0 ? -split.days : split.days, 10'000'000) << text;
    }
}

class IniFileInPlaceOfTheFile : public ::testing::Test
{
protected:
    // Loads, edits and tries to save; the file must count as unreadable and stay as it is.
    enum class NoFile
    {
        Yes, // no regular file at all: even a bare replacement refuses it
        No,
    };
    void ExpectUnreadableAndUntouched(NoFile noFile = NoFile::Yes)
    {
        IniFile file = IniFile::Load(kFiles, path);
        EXPECT_EQ(file.LoadedFrom(), IniFile::Source::Unreadable);
        file.WriteString("A", "k", "1");
        EXPECT_FALSE(file.Save(kFiles, path));
        Settings settings;
        settings.DefaultPort = 1;
        EXPECT_FALSE(SaveSettingsAtShutdown(kFiles, settings, path));
        if (noFile == NoFile::Yes) {
            EXPECT_FALSE(kFiles.Replace(path, "[A]\r\n"));
        }
    }

    TempDir dir;
    std::string path = dir.File("SARVENDO.INI");
};

TEST_F(IniFileInPlaceOfTheFile, AFifoNeitherBlocksNorIsReplaced)
{
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    ExpectUnreadableAndUntouched();
    struct stat info
    {
    };
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(IniFileInPlaceOfTheFile, ALinkToAnEndlessDeviceIsRefused)
{
    for (const char* device : {"/dev/zero", "/dev/null", "/dev/urandom"}) {
        std::filesystem::remove(path);
        ASSERT_EQ(symlink(device, path.c_str()), 0);
        ExpectUnreadableAndUntouched();
        EXPECT_TRUE(std::filesystem::is_symlink(path)) << device;
    }
}

TEST_F(IniFileInPlaceOfTheFile, AFileBeyondTheSizeCapIsRefused)
{
    const std::string big = "[A]\r\nk=" + std::string(2 * 1024 * 1024, 'x') + "\r\n";
    TempDir::Write(path, big);
    ExpectUnreadableAndUntouched(NoFile::No);
    EXPECT_EQ(std::filesystem::file_size(path), big.size());
}

TEST(IniFileSaveOnDisk, StaleTemporariesOfOurNamingAreRemoved)
{
    TempDir dir;
    const std::string path = dir.File("SARVENDO.INI");
    // Process numbers above the kernel's largest never belong to a live process.
    const std::string killedSave = dir.File(".SARVENDO.INI.999999999.3.tmp");
    const std::string oldSave = dir.File(".SARVENDO.INI.1.0.tmp");
    const std::string runningSave = dir.File(".SARVENDO.INI." + std::to_string(getpid()) + ".77.tmp");
    const std::string notOurs[] = {dir.File(".SARVENDO.INI.bak"), dir.File("SARVENDO.INI.999999999.0.tmp"),
                                   dir.File(".OTHER.INI.999999999.0.tmp"), dir.File(".SARVENDO.INI.x.0.tmp"),
                                   dir.File(".SARVENDO.INI.999999999.tmp")};
    for (const std::string& file : {killedSave, oldSave, runningSave}) {
        TempDir::Write(file, "[half");
    }
    for (const std::string& file : notOurs) {
        TempDir::Write(file, "user's");
    }
    // A process that lives (init) but whose temporary is hours old was killed long ago.
    std::filesystem::last_write_time(oldSave, std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));
    std::filesystem::create_directory(dir.File(".SARVENDO.INI.999999998.0.tmp"));

    IniFile file;
    file.WriteString("A", "k", "v");
    ASSERT_TRUE(file.Save(kFiles, path));
    EXPECT_FALSE(std::filesystem::exists(killedSave));
    EXPECT_FALSE(std::filesystem::exists(oldSave));
    EXPECT_TRUE(std::filesystem::exists(runningSave));
    for (const std::string& kept : notOurs) {
        EXPECT_EQ(TempDir::Read(kept), "user's") << kept;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.File(".SARVENDO.INI.999999998.0.tmp")));
    EXPECT_EQ(TempDir::Read(path), "[A]\r\nk=v\r\n");
}

TEST(IniFileSaveOnDisk, AChainOfLinksIsFollowedToItsEnd)
{
    TempDir dir;
    std::filesystem::create_directory(dir.File("dotfiles"));
    const std::string real = dir.File("dotfiles/sarvendo.ini");
    TempDir::Write(real, "[A]\r\nk=1\r\n");
    // SARVENDO.INI -> middle.ini -> dotfiles/sarvendo.ini, the middle link relative.
    ASSERT_EQ(symlink("dotfiles/sarvendo.ini", dir.File("middle.ini").c_str()), 0);
    ASSERT_EQ(symlink(dir.File("middle.ini").c_str(), dir.File("SARVENDO.INI").c_str()), 0);

    IniFile file = IniFile::Load(kFiles, dir.File("SARVENDO.INI"));
    file.WriteString("A", "k", "2");
    ASSERT_TRUE(file.Save(kFiles, dir.File("SARVENDO.INI")));
    EXPECT_EQ(TempDir::Read(real), "[A]\r\nk=2\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("SARVENDO.INI")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("middle.ini")));

    // A loop of links is refused, not followed for ever.
    ASSERT_EQ(symlink("loop-b", dir.File("loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", dir.File("loop-b").c_str()), 0);
    EXPECT_FALSE(kFiles.Replace(dir.File("loop-a"), "[A]\r\n"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("loop-a")));
}

} // namespace
} // namespace sarvendo
