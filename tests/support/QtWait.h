// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the toolkit's event loop until a condition holds, as a window under test needs.
#include <QApplication>
#include <QElapsedTimer>

#include <chrono>
#include <functional>
#include <thread>

namespace kx::testing {

// False when `pred` still does not hold after `ms` milliseconds.
inline bool waitUntil(const std::function<bool()>& pred, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace kx::testing
