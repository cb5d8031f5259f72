// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HistoryWindowLoader.h"

#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/TempDir.h"
#include "history/CivilTime.h"
#include "history/HistoryRecorder.h"
#include "platform/DateTime.h"
#include "platform/linux/PosixTextFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace sarvendo {
namespace {

class HistoryWindowLoaderTest : public ::testing::Test
{
protected:
    HistoryWindowLoaderTest() { recorder.Start(); }

    HistoryWindowParts Parts()
    {
        return HistoryWindowParts{settings, recorder, files, dir.File("SARVENDO.INI"), boxes, clock, formats};
    }

    fakes::TempDir dir;
    Settings settings;
    SystemCivilTime civil;
    fakes::FakeClock clock;
    fakes::FakeMessageBoxes boxes;
    PosixTextFiles files;
    DateTimeFormats formats;
    HistoryRecorder recorder{settings, civil, clock, dir.File("history.sqlite"), nullptr};
};

TEST_F(HistoryWindowLoaderTest, TheModuleBesideTheProgramShowsOneWindowAndKeepsIt)
{
    HistoryWindowLoader loader(SARVENDO_HISTORY_MODULE, boxes);
    EXPECT_EQ(loader.Window(), nullptr);
    loader.Show(Parts());
    ASSERT_NE(loader.Window(), nullptr);
    QWidget* const first = loader.Window();
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->metaObject()->className(), std::string("sarvendo::THistoryWindow"));

    first->hide();
    loader.Show(Parts());
    EXPECT_EQ(loader.Window(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(HistoryWindowLoaderTest, AModuleThatCannotBeLoadedIsNamedInABoxEachTime)
{
    fakes::TempDir::Write(dir.File("not-a-module.so"), "not a module");
    ASSERT_EQ(::mkfifo(dir.File("fifo.so").c_str(), 0600), 0);
    const struct
    {
        std::string path;
        std::string says;
    } cases[] = {
        {dir.File("missing.so"), "its module could not be loaded: " + dir.File("missing.so") + " is missing"},
        {"sarvendo-history.so", "the path sarvendo-history.so is not absolute"},
        {dir.File("fifo.so"), "is not a regular file"},
        {dir.File("not-a-module.so"), "its module could not be loaded"},
        // A library of another kind: it lacks the entry points.
        {SARVENDO_OTHER_MODULE, "belongs to another build of Sarvendo"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.path);
        boxes.shown.clear();
        HistoryWindowLoader loader(each.path, boxes);
        loader.Show(Parts());
        loader.Show(Parts());
        EXPECT_EQ(loader.Window(), nullptr);
        ASSERT_EQ(boxes.shown.size(), 2U);
        EXPECT_EQ(boxes.shown[0].text.rfind("The history window cannot be shown: ", 0), 0U) << boxes.shown[0].text;
        EXPECT_NE(boxes.shown[0].text.find(each.says), std::string::npos) << boxes.shown[0].text;
        EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    }
}

} // namespace
} // namespace sarvendo
