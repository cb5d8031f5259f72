// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/IniFile.h"

#include "fakes/TempDir.h"
#include "platform/linux/PosixTextFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace sarvendo {
namespace {

const PosixTextFiles kFiles;

using fakes::TempDir;

TEST(IniFileRead, NamesMatchWithoutCaseAndBlanksAroundTheEqualsSignGo)
{
    const IniFile file = IniFile::FromText("[ Modem ]x\r\n  Port = COM2 \r\nNaMe1=val1\r\n");
    EXPECT_EQ(file.ReadString("modem", "PORT", "", 260), "COM2");
    EXPECT_EQ(file.ReadString("MODEM", " name1 ", "", 260), "val1");
}

TEST(IniFileRead, FirstSectionAndFirstKeyWin)
{
    const IniFile file = IniFile::FromText("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(file.ReadString("A", "k", "", 260), "1");
    // Only the first block of a section is searched.
    EXPECT_EQ(file.ReadString("A", "j", "none", 260), "none");
}

TEST(IniFileRead, MissingKeysSectionsAndValuelessLinesGiveTheDefault)
{
    const IniFile file = IniFile::FromText("[S]\nnovalue\n;comment=1\n");
    EXPECT_EQ(file.ReadString("S", "novalue", "d", 260), "d");
    EXPECT_EQ(file.ReadString("S", ";comment", "d", 260), "d");
    EXPECT_EQ(file.ReadString("T", "x", "one two  ", 260), "one two");
    EXPECT_EQ(file.ReadInt("S", "missing", 42), 42);
}

TEST(IniFileRead, QuotesSemicolonsAndLineEnds)
{
    const IniFile file = IniFile::FromText("[S]\r\nq=\"val2\"\rs='x'\nhalf=\"abc\r\nspeed=9600 ;x");
    EXPECT_EQ(file.ReadString("S", "q", "", 260), "val2");
    EXPECT_EQ(file.ReadString("S", "s", "", 260), "x");
    EXPECT_EQ(file.ReadString("S", "half", "", 260), "\"abc");
    EXPECT_EQ(file.ReadString("S", "speed", "", 260), "9600 ;x");
    EXPECT_EQ(file.ReadString("S", "none", "\"dq\"", 260), "dq");
}

TEST(IniFileRead, ValuesAreCutToTheBuffer)
{
    const IniFile file = IniFile::FromText("[S]\nk=val1\n");
    EXPECT_EQ(file.ReadString("S", "k", "", 4), "val");
    EXPECT_EQ(file.ReadString("S", "k", "", 0), "");
}

TEST(IniFileRead, IntegersAreSignedDecimalAndWrap)
{
    const IniFile file =
        IniFile::FromText("[S]\na=-1\nb=+1\nc=4294967297\nd=42A94967297\ne=B4294967297\nf=\ng=  17  \nh=0x10\n");
    EXPECT_EQ(file.ReadInt("S", "a", 9), -1);
    EXPECT_EQ(file.ReadInt("S", "b", 9), 0);
    EXPECT_EQ(file.ReadInt("S", "c", 9), 1);
    EXPECT_EQ(file.ReadInt("S", "d", 9), 42);
    EXPECT_EQ(file.ReadInt("S", "e", 9), 0);
    EXPECT_EQ(file.ReadInt("S", "f", 9), 9);
    EXPECT_EQ(file.ReadInt("S", "g", 9), 17);
    EXPECT_EQ(file.ReadInt("S", "h", 9), 0);
}

TEST(IniFileWrite, NewFileGetsSectionAndKeyWithCrLf)
{
    IniFile file;
    file.WriteString("App", "key", "string");
    file.WriteString("App", "empty", "");
    EXPECT_EQ(file.Text(), "[App]\r\nkey=string\r\nempty=\r\n");
}

TEST(IniFileWrite, OnlyTheTargetLineChanges)
{
    const std::string original =
        "; my notes\n[Other]\nX = 1   \n\n[Sarvendo on COM1]\r\nLampLook = 1\r\nunknown=keep me\r\n\r\n"
        "[Tail]\nz=9";
    IniFile file = IniFile::FromText(original);
    file.WriteString("sarvendo on com1", "lamplook", "0");
    EXPECT_EQ(file.Text(),
              "; my notes\n[Other]\nX = 1   \n\n[Sarvendo on COM1]\r\nlamplook=0\r\nunknown=keep me\r\n\r\n"
              "[Tail]\nz=9");
}

TEST(IniFileWrite, NewKeysFollowTheLastEntryOfTheirSection)
{
    IniFile file = IniFile::FromText("[A]\r\na=1\r\n\r\n[B]\r\nb=2");
    file.WriteString("A", "new", "x");
    file.WriteString("B", "tail", "y");
    file.WriteString("C", "c", "z");
    EXPECT_EQ(file.Text(), "[A]\r\na=1\r\nnew=x\r\n\r\n[B]\r\nb=2\r\ntail=y\r\n[C]\r\nc=z\r\n");
}

TEST(IniFileWrite, EmptySectionGetsItsFirstKeyRightAfterTheHeader)
{
    IniFile file = IniFile::FromText("[A]\r\n\r\n[B]\r\n");
    file.WriteString("A", "k", "v");
    EXPECT_EQ(file.Text(), "[A]\r\nk=v\r\n\r\n[B]\r\n");
}

TEST(IniFileWrite, UnchangedValueLeavesTheDocumentUnchanged)
{
    IniFile file = IniFile::FromText("[A]\r\nk=v\r\n");
    file.WriteString("A", "k", "v");
    EXPECT_FALSE(file.Changed());
    file.WriteString("A", "k", "w");
    EXPECT_TRUE(file.Changed());
}

TEST(IniFileWrite, LineBreaksInAValueCannotInjectKeys)
{
    IniFile file;
    file.WriteString("A", "k", "ATZ\r\n[Sarvendo: Main]\r\nDefault Port=9");
    EXPECT_EQ(file.ReadString("A", "k", "", 260), "ATZ  [Sarvendo: Main]  Default Port=9");
    EXPECT_EQ(file.ReadInt("Sarvendo: Main", "Default Port", 0), 0);
}

TEST(IniFileSave, RoundTripsThroughTheDisk)
{
    TempDir dir;
    const std::string path = dir.File("sub/SARVENDO.INI");
    IniFile file = IniFile::Load(kFiles, path);
    EXPECT_EQ(file.LoadedFrom(), IniFile::Source::Missing);
    file.WriteString("A", "k", "v");
    ASSERT_TRUE(file.Save(kFiles, path));
    EXPECT_EQ(TempDir::Read(path), "[A]\r\nk=v\r\n");
    EXPECT_EQ(IniFile::Load(kFiles, path).ReadString("a", "K", "", 260), "v");
}

TEST(IniFileSave, KeepsTheFileModeAndFollowsSymbolicLinks)
{
    TempDir dir;
    const std::string real = dir.File("real.ini");
    const std::string link = dir.File("SARVENDO.INI");
    TempDir::Write(real, "[A]\nk=1\n");
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink("real.ini", link.c_str()), 0);
    IniFile file = IniFile::Load(kFiles, link);
    file.WriteString("A", "k", "2");
    ASSERT_TRUE(file.Save(kFiles, link));
    // The edited line keeps the line end it had.
    EXPECT_EQ(TempDir::Read(real), "[A]\nk=2\n");
    struct stat info
    {
    };
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640U);
}

TEST(IniFileSave, AFileThatCannotBeReadIsNeverOverwritten)
{
    TempDir dir;
    const std::string path = dir.File("SARVENDO.INI");
    // A directory in the file's place cannot be read as a file.
    std::filesystem::create_directory(path);
    IniFile file = IniFile::Load(kFiles, path);
    EXPECT_EQ(file.LoadedFrom(), IniFile::Source::Unreadable);
    EXPECT_EQ(file.ReadInt("A", "k", 5), 5);
    file.WriteString("A", "k", "1");
    EXPECT_FALSE(file.Save(kFiles, path));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(IniFileSave, AnUnwritableDirectoryFailsCleanly)
{
    // Root may write anywhere, but a folder its owner made read-only is honoured all the same.
    TempDir dir;
    chmod(dir.Path().c_str(), 0500);
    IniFile file;
    file.WriteString("A", "k", "1");
    EXPECT_FALSE(file.Save(kFiles, dir.File("SARVENDO.INI")));
    chmod(dir.Path().c_str(), 0700);
}

} // namespace
} // namespace sarvendo
