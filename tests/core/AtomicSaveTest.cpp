// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SettingsStore.h"

#include "fakes/TempDir.h"
#include "platform/linux/PosixTextFiles.h"

#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace sarvendo {
namespace {

const PosixTextFiles kFiles;

using fakes::TempDir;

Settings Variant(int which)
{
    Settings settings;
    settings.DefaultPort = 1;
    settings.LampLook = which;
    settings.ModemInitString = which == 0 ? "ATZ" : "AT&F&C1&D2S0=0";
    settings.RISound = std::string(200, which == 0 ? 'a' : 'b');
    settings.TotalConnectNew = which == 0 ? 0.25 : 12.75;
    return settings;
}

// Saves alternate between two records in a child process that is killed at a random
// moment; whatever moment it dies, the file is one whole record or the other.
TEST(AtomicSave, AKilledSaveNeverLeavesATruncatedOrMixedFile)
{
    TempDir dir;
    const std::string path = dir.File("SARVENDO.INI");
    TempDir::Write(path, "; user notes that must survive\r\n[Other]\r\nkeep=1\r\n");

    Settings a = Variant(0);
    ASSERT_TRUE(SaveSettings(kFiles, a, path));
    const std::string textA = TempDir::Read(path);
    Settings b = Variant(1);
    ASSERT_TRUE(SaveSettings(kFiles, b, path));
    const std::string textB = TempDir::Read(path);
    ASSERT_NE(textA, textB);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 3000);
    int killedMidRun = 0;
    for (int round = 0; round < 150; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                Settings settings = Variant(i % 2);
                SaveSettings(kFiles, settings, path);
            }
        }
        usleep(static_cast<useconds_t>(delayUs(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        killedMidRun += WIFSIGNALED(status) ? 1 : 0;
        const std::string text = TempDir::Read(path);
        ASSERT_TRUE(text == textA || text == textB) << "round " << round << " left:\n" << text;
    }
    EXPECT_EQ(killedMidRun, 150);
}

} // namespace
} // namespace sarvendo
