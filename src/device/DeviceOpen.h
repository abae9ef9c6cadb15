// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Prompt.h"
#include "device/Connection.h"
#include "device/D2xxBinding.h"
#include "device/DataEvent.h"

#include <string>
#include <vector>

namespace kx::device {

inline constexpr unsigned kLinkBaudRate = 3000000;
inline constexpr unsigned kLinkTimeoutMs = 500;
inline constexpr unsigned char kLinkLatencyMs = 2;

// The product descriptions by which the instrument's FTDI bridge is told from other FTDI devices.
inline constexpr const char* kInstrumentDescriptions[] = {"Digital Oscilloscope KX48zz", "TRM207"};
// The bridge's USB vendor (FTDI).
inline constexpr const char* kBridgeVendorId = "0403";

struct OpenOptions {
    bool debugMode = false;      // "System", "Debug": ask before opening
    bool flowControlOff = false; // "FLOW_CTRL_OFF": never RTS/CTS
    // Caption of the discovery boxes; empty: the executable's file name without extension.
    std::string caption;
    // Driver libraries to try; empty: $KX48ZZ_D2XX, then libftd2xx.so.
    std::vector<std::string> libraries;
};

// The executable's file name without its extension.
std::string executableBaseName();
// The folder holding the executable, with a trailing '/'; empty when unknown.
std::string executableDir();

// Loads the driver if needed, finds the instrument among the attached devices, opens and
// configures it, with the event notification on `event`. Returns 0, a D2XX status or one of
// the program's codes (100, 110..125, 130..137); the caller stores it in DeviceStatus.
// Runs in the GUI thread while the acquisition thread leaves the driver alone.
int openDevice(D2xxBinding& binding, Connection& connection, DataEvent& event, core::Prompt& prompt,
               const OpenOptions& options);

} // namespace kx::device
