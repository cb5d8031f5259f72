// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RaiseSocket.h"

#include "fakes/TempDir.h"

#include <QCoreApplication>

#include <chrono>
#include <future>
#include <gtest/gtest.h>

namespace sarvendo {
namespace {

// Asks from another thread while this one runs the event loop the listener answers in.
bool AskWhileListening(const std::string& path)
{
    std::future<bool> answer = std::async(std::launch::async, [path] { return RaiseSocket::AskToShow(path); });
    while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return answer.get();
}

TEST(RaiseSocket, ASecondStartIsAnsweredOnlyByAListeningCopy)
{
    const fakes::TempDir dir;
    const std::string path = dir.File("OnlyOneSarvendo.socket");
    EXPECT_FALSE(RaiseSocket::AskToShow(path)) << "nobody listens yet";

    // An ended copy's socket is still there: the next copy takes the place over.
    fakes::TempDir::Write(path, "left behind");
    int shown = 0;
    {
        RaiseSocket running(path);
        QObject::connect(&running, &RaiseSocket::ShowRequested, [&shown] { ++shown; });
        ASSERT_TRUE(running.Listen());
        EXPECT_TRUE(AskWhileListening(path));
        EXPECT_TRUE(AskWhileListening(path));
        EXPECT_EQ(shown, 2);
    }
    EXPECT_FALSE(RaiseSocket::AskToShow(path)) << "the copy has ended";
    EXPECT_FALSE(RaiseSocket(std::string(200, 'x')).Listen()) << "a path too long for a socket";
}

} // namespace
} // namespace sarvendo
