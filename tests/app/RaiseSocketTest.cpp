// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RaiseSocket.h"

#include "app/ListenerThread.h"
#include "fakes/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

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

// As the program runs it: the listener on its own thread, answering while the GUI thread
// itself waits for the answer, and reporting to a receiver on the GUI thread.
TEST(RaiseSocket, OnTheListenerThreadItAnswersAndReportsToTheGuiThread)
{
    const fakes::TempDir dir;
    const std::string path = dir.File("OnlyOneSarvendo.socket");
    QObject receiver;
    std::vector<QThread*> reportedOn;
    {
        ListenerThread listeners;
        RaiseSocket& running = listeners.Make<RaiseSocket>(path);
        EXPECT_NE(running.thread(), QThread::currentThread());
        QObject::connect(&running, &RaiseSocket::ShowRequested, &receiver,
                         [&reportedOn] { reportedOn.push_back(QThread::currentThread()); });
        bool listening = false;
        listeners.Run([&] { listening = running.Listen(); });
        ASSERT_TRUE(listening);
        EXPECT_TRUE(RaiseSocket::AskToShow(path));
        QElapsedTimer waited;
        waited.start();
        while (reportedOn.empty() && waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        ASSERT_EQ(reportedOn.size(), 1U);
        EXPECT_EQ(reportedOn.front(), QThread::currentThread());
    }
    EXPECT_FALSE(RaiseSocket::AskToShow(path)) << "the listener ended with its thread";
}

} // namespace
} // namespace sarvendo
