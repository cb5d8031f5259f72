// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace sarvendo {

// A thread for the listeners that wait on the world outside the program (the
// termination signals, a second start's request): the GUI thread wakes eighteen times a
// second, and each of its polls would otherwise look at their descriptors as well. What
// they report reaches the GUI thread's receivers as queued signals, as any signal across
// threads does. The thread sleeps until one of them has something.
class ListenerThread
{
public:
    ListenerThread();
    // Deletes the listeners in their thread, then ends it.
    ~ListenerThread();
    ListenerThread(const ListenerThread&) = delete;
    ListenerThread& operator=(const ListenerThread&) = delete;

    // Makes a listener in the thread and keeps it there until the end; returns once it
    // is made. Its methods are called in the thread too (Run).
    template <typename Listener, typename... Arguments> Listener& Make(Arguments... arguments)
    {
        Listener* made = nullptr;
        Run([&] {
            auto listener = std::make_unique<Listener>(std::move(arguments)...);
            made = listener.get();
            m_listeners.push_back(std::move(listener));
        });
        return *made;
    }

    // Runs work in the thread and waits for it.
    void Run(const std::function<void()>& work);

private:
    QThread m_thread;
    QObject m_context; // lives in the thread while it runs
    std::vector<std::unique_ptr<QObject>> m_listeners;
};

} // namespace sarvendo
