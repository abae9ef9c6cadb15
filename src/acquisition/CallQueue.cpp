// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/CallQueue.h"

namespace kx::acquisition {

void CallQueue::synchronize(const std::function<void()>& call) {
    bool done = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_closed) return;
        m_queue.push_back({[&call] { call(); }, &done});
        m_queued.notify_all();
    }
    if (m_wake) m_wake();
    std::unique_lock lock(m_mutex);
    m_ran.wait(lock, [&] { return done || m_closed; });
}

void CallQueue::post(std::function<void()> call) {
    {
        std::lock_guard lock(m_mutex);
        if (m_closed) return;
        m_queue.push_back({std::move(call), nullptr});
        m_queued.notify_all();
    }
    if (m_wake) m_wake();
}

int CallQueue::runPending() {
    int n = 0;
    for (;;) {
        Item item;
        {
            std::lock_guard lock(m_mutex);
            if (m_closed) m_queue.clear();
            if (m_queue.empty()) return n;
            item = std::move(m_queue.front());
            m_queue.pop_front();
        }
        // A call may run a nested event loop (a dialog) that runs the queue again.
        const bool outer = m_inSynchronize;
        m_inSynchronize = item.done != nullptr;
        item.call();
        m_inSynchronize = outer;
        ++n;
        if (item.done != nullptr) {
            std::lock_guard lock(m_mutex);
            *item.done = true;
            m_ran.notify_all();
        }
    }
}

void CallQueue::waitForCalls(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    m_queued.wait_for(lock, limit, [&] { return !m_queue.empty() || m_closed; });
}

void CallQueue::close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_queue.clear();
    m_ran.notify_all();
    m_queued.notify_all();
}

} // namespace kx::acquisition
