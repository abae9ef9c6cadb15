// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/CallQueue.h"

#include <QObject>

namespace kx::app {

// The acquisition thread's calls into the GUI thread: synchronize() blocks until the call has
// run there, post() queues it. The calls wait in a plain queue and a posted event wakes the GUI
// thread to run them. Once closed (the window is going), calls are dropped and a waiting caller
// is released, so the thread can be stopped without a GUI that still runs its event loop.
class QtGuiBridge : public acquisition::CallQueue {
public:
    explicit QtGuiBridge(QObject* guiObject);
    ~QtGuiBridge() override;
    void synchronize(const std::function<void()>& call) override;

private:
    class Receiver;
    Receiver* m_receiver; // lives in the GUI thread, a child of the window
};

} // namespace kx::app
