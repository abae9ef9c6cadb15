// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/D2xxTypes.h"

#include <atomic>

namespace kx::device {

// The opened device: its handle and the status of the last opening attempt or write.
// The GUI thread opens and closes; the acquisition thread reads, writes and stores write statuses.
struct Connection {
    std::atomic<FT_HANDLE> handle{nullptr};
    std::atomic<bool> opened{false};
    // DeviceStatus: 0 means working.
    std::atomic<int> DeviceStatus{1};
};

} // namespace kx::device
