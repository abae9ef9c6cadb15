// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GUI thread of a test: the acquisition thread's synchronous and posted calls wait in a queue
// until the test's own thread runs them, as the toolkit's event loop would.
#include "acquisition/ScopeThread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace kx::testing {

class PumpedBridge : public acquisition::GuiBridge {
public:
    void synchronize(const std::function<void()>& call) override {
        std::unique_lock lock(m_mutex);
        if (m_closed) return;
        bool done = false;
        m_queue.push_back({[&call] { call(); }, &done});
        m_wake.notify_all();
        m_ran.wait(lock, [&] { return done || m_closed; });
    }
    void post(std::function<void()> call) override {
        std::lock_guard lock(m_mutex);
        if (m_closed) return;
        m_queue.push_back({std::move(call), nullptr});
        m_wake.notify_all();
    }

    // Runs what is queued (in the calling thread, the test's GUI thread); the number run.
    int pump() {
        int n = 0;
        for (;;) {
            Item item;
            {
                std::lock_guard lock(m_mutex);
                // After close() the waiting callers have gone: their calls are dropped.
                if (m_closed) m_queue.clear();
                if (m_queue.empty()) return n;
                item = std::move(m_queue.front());
                m_queue.pop_front();
            }
            m_inSynchronize = item.done != nullptr;
            item.call();
            m_inSynchronize = false;
            ++n;
            if (item.done != nullptr) {
                std::lock_guard lock(m_mutex);
                *item.done = true;
                m_ran.notify_all();
            }
        }
    }

    // Pumps until `pred` holds; false after `limit`.
    template <typename Pred> bool pumpUntil(Pred pred, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            pump();
            if (pred()) return true;
            if (std::chrono::steady_clock::now() > until) return false;
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, std::chrono::milliseconds(2), [&] { return !m_queue.empty(); });
        }
    }

    // Drops every further call, so the thread can be stopped without a pump.
    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_ran.notify_all();
    }

    // True while a synchronous call runs: the acquisition thread waits meanwhile.
    bool inSynchronize() const { return m_inSynchronize; }

private:
    struct Item {
        std::function<void()> call;
        bool* done = nullptr;
    };
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_ran;
    std::deque<Item> m_queue;
    bool m_closed = false;
    bool m_inSynchronize = false; // GUI thread only
};

} // namespace kx::testing
