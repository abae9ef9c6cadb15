// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace kx::device {

// Where the kernel shows the attached USB devices, and how their device nodes are tried.
struct UsbAccessProbe {
    std::string sysfsDevices = "/sys/bus/usb/devices";
    std::string deviceNodes = "/dev/bus/usb";
    // Whether this user may read and write a device node; empty: access(2).
    std::function<bool(const std::string& node)> canOpen;
};

// True when an instrument's bridge (FTDI's vendor ID and one of the instrument descriptions) is
// attached but this user may not open its device node: the driver then lists it and fails to
// open it, and the reason is the missing device-access rule.
bool instrumentLacksPermission(const UsbAccessProbe& probe = {});

} // namespace kx::device
