// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The acquisition thread's calls into the GUI thread, queued in plain C++: the GUI thread runs
// them when woken (the toolkit's event loop, or a test's own loop). The queue's own mutex orders
// the two threads, so a race checker sees what the toolkit's private locks would hide.
#include "acquisition/ScopeThread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace kx::acquisition {

class CallQueue : public GuiBridge {
public:
    // `wake` runs in the calling thread after each call is queued; it asks the GUI thread to
    // come and run the queue.
    explicit CallQueue(std::function<void()> wake = {}) : m_wake(std::move(wake)) {}

    // Queues the call and waits until the GUI thread has run it, or the queue was closed.
    void synchronize(const std::function<void()>& call) override;
    void post(std::function<void()> call) override;

    // GUI thread: runs what is queued; the number run.
    int runPending();
    // Waits up to `limit` for something to run.
    void waitForCalls(std::chrono::milliseconds limit);
    // Drops every further call and releases a waiting caller, so the thread can be stopped
    // without the GUI thread running anything more.
    void close();
    // GUI thread: true while a synchronous call runs (the acquisition thread waits meanwhile).
    bool inSynchronize() const { return m_inSynchronize; }

private:
    struct Item {
        std::function<void()> call;
        bool* done = nullptr;
    };
    std::function<void()> m_wake;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_ran;
    std::deque<Item> m_queue;
    bool m_closed = false;
    bool m_inSynchronize = false; // GUI thread only
};

} // namespace kx::acquisition
