// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/ScopeThread.h"

#include <QObject>

#include <atomic>

namespace kx::app {

// The acquisition thread's calls into the GUI thread: synchronize() blocks until the call has
// run there, post() queues it. Once closed (the window is going), calls are dropped so the
// thread can be stopped without waiting on a GUI that no longer runs its event loop.
class QtGuiBridge : public acquisition::GuiBridge {
public:
    explicit QtGuiBridge(QObject* guiObject) : m_target(guiObject) {}
    void synchronize(const std::function<void()>& call) override;
    void post(std::function<void()> call) override;
    void close() { m_closed.store(true); }

private:
    QObject* m_target;
    std::atomic<bool> m_closed{false};
};

} // namespace kx::app
