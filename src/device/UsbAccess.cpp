// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/UsbAccess.h"

#include "device/DeviceOpen.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace kx::device {

namespace fs = std::filesystem;

namespace {

// The first line of a sysfs attribute, without its line end; empty when unreadable.
std::string attribute(const fs::path& dir, const char* name) {
    std::ifstream in(dir / name);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

bool isInstrumentDescription(const std::string& product) {
    for (const char* d : kInstrumentDescriptions)
        if (product == d) return true;
    return false;
}

// /dev/bus/usb/BBB/DDD from the bus and device numbers; empty when they are not numbers.
std::string deviceNode(const std::string& root, const std::string& bus, const std::string& dev) {
    unsigned b = 0;
    unsigned d = 0;
    if (std::sscanf(bus.c_str(), "%u", &b) != 1 || std::sscanf(dev.c_str(), "%u", &d) != 1) return {};
    char tail[32];
    std::snprintf(tail, sizeof tail, "/%03u/%03u", b, d);
    return root + tail;
}

} // namespace

bool instrumentLacksPermission(const UsbAccessProbe& probe) {
    std::error_code ec;
    for (fs::directory_iterator it(probe.sysfsDevices, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path dir = it->path();
        if (attribute(dir, "idVendor") != kBridgeVendorId) continue;
        if (!isInstrumentDescription(attribute(dir, "product"))) continue;
        const std::string node =
            deviceNode(probe.deviceNodes, attribute(dir, "busnum"), attribute(dir, "devnum"));
        if (node.empty()) continue;
        const bool allowed = probe.canOpen ? probe.canOpen(node) : ::access(node.c_str(), R_OK | W_OK) == 0;
        if (!allowed) return true;
    }
    return false;
}

} // namespace kx::device
