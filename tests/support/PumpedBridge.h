// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GUI thread of a test: the acquisition thread's synchronous and posted calls wait in a queue
// until the test's own thread runs them, as the toolkit's event loop would.
#include "acquisition/CallQueue.h"

#include <chrono>

namespace kx::testing {

class PumpedBridge : public acquisition::CallQueue {
public:
    // Runs what is queued (in the calling thread, the test's GUI thread); the number run.
    int pump() { return runPending(); }

    // Pumps until `pred` holds; false after `limit`.
    template <typename Pred>
    bool pumpUntil(Pred pred, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            pump();
            if (pred()) return true;
            if (std::chrono::steady_clock::now() > until) return false;
            waitForCalls(std::chrono::milliseconds(2));
        }
    }
};

} // namespace kx::testing
