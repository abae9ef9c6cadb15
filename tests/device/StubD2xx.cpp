// SPDX-License-Identifier: GPL-3.0-or-later
// A scripted stand-in for the driver library: a device list, a call log, and entry points that
// can be left out at build time (STUB_OMIT names one).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using FT_HANDLE = void*;
using FT_STATUS = std::uint32_t;

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct StubDevice {
    std::string description;
    DWORD location;
    std::string serial;
};

struct Stub {
    std::vector<StubDevice> devices;
    bool refuseLocations = false;
    ULONG modem = 0;
    std::string log;
    int handleToken = 0;
};

Stub& stub() {
    static Stub s;
    return s;
}

void note(const std::string& text) {
    stub().log += text + ";";
}

} // namespace

// "clear", "add DESCRIPTION|LOCATION|SERIAL", "refuse-locations", "cts"
STUB_EXPORT int stub_control(const char* command) {
    const std::string c = command;
    Stub& s = stub();
    if (c == "clear") {
        s = Stub{};
    } else if (c.rfind("add ", 0) == 0) {
        const auto a = c.find('|', 4);
        const auto b = c.find('|', a + 1);
        s.devices.push_back({c.substr(4, a - 4), static_cast<DWORD>(std::stoul(c.substr(a + 1, b - a - 1))),
                             c.substr(b + 1)});
    } else if (c == "refuse-locations") {
        s.refuseLocations = true;
    } else if (c == "cts") {
        s.modem = 0x10;
    } else {
        return 1;
    }
    return 0;
}

STUB_EXPORT const char* stub_log() {
    return stub().log.c_str();
}

#define ENTRY(name) STUB_EXPORT FT_STATUS name

#if STUB_OMIT != 110
ENTRY(FT_Open)(int, FT_HANDLE*) {
    return 0;
}
#endif
#if STUB_OMIT != 111
ENTRY(FT_Close)(FT_HANDLE) {
    note("Close");
    return 0;
}
#endif
#if STUB_OMIT != 112
ENTRY(FT_Read)(FT_HANDLE, void*, DWORD, DWORD* got) {
    *got = 0;
    return 0;
}
#endif
#if STUB_OMIT != 113
ENTRY(FT_Write)(FT_HANDLE, void*, DWORD n, DWORD* written) {
    *written = n;
    note("Write " + std::to_string(n));
    return 0;
}
#endif
#if STUB_OMIT != 114
ENTRY(FT_GetQueueStatus)(FT_HANDLE, DWORD* rx) {
    *rx = 0;
    return 0;
}
#endif
#if STUB_OMIT != 115
ENTRY(FT_ResetDevice)(FT_HANDLE) {
    note("ResetDevice");
    return 0;
}
#endif
#if STUB_OMIT != 116
ENTRY(FT_SetBaudRate)(FT_HANDLE, ULONG baud) {
    note("SetBaudRate " + std::to_string(baud));
    return 0;
}
#endif
#if STUB_OMIT != 117
ENTRY(FT_SetTimeouts)(FT_HANDLE, ULONG r, ULONG w) {
    note("SetTimeouts " + std::to_string(r) + " " + std::to_string(w));
    return 0;
}
#endif
#if STUB_OMIT != 118
ENTRY(FT_SetLatencyTimer)(FT_HANDLE, unsigned char ms) {
    note("SetLatencyTimer " + std::to_string(ms));
    return 0;
}
#endif
#if STUB_OMIT != 119
ENTRY(FT_ListDevices)(void* arg1, void* arg2, DWORD flags) {
    const auto index = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(arg1));
    if (index >= stub().devices.size()) return 2;
    const StubDevice& d = stub().devices[index];
    switch (flags & 0x0F) {
    case 4:
        if (stub().refuseLocations) return 17;
        *static_cast<DWORD*>(arg2) = d.location;
        return 0;
    case 2:
        std::strncpy(static_cast<char*>(arg2), d.description.c_str(), 63);
        return 0;
    case 1:
        std::strncpy(static_cast<char*>(arg2), d.serial.c_str(), 15);
        return 0;
    default:
        return 16;
    }
}
#endif
#if STUB_OMIT != 120
ENTRY(FT_OpenEx)(void* arg, DWORD flags, FT_HANDLE* h) {
    for (const auto& d : stub().devices) {
        const bool match = flags == 4
                               ? (!stub().refuseLocations &&
                                  static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(arg)) == d.location)
                               : flags == 1 && d.serial == static_cast<const char*>(arg);
        if (match) {
            note(flags == 4 ? "OpenEx location " + std::to_string(d.location) : "OpenEx serial " + d.serial);
            *h = &stub().handleToken;
            return 0;
        }
    }
    return flags == 4 && stub().refuseLocations ? 17 : 2;
}
#endif
#if STUB_OMIT != 121
ENTRY(FT_CreateDeviceInfoList)(DWORD* n) {
    *n = static_cast<DWORD>(stub().devices.size());
    return 0;
}
#endif
#if STUB_OMIT != 122
ENTRY(FT_SetBitMode)(FT_HANDLE, unsigned char mask, unsigned char mode) {
    note("SetBitMode " + std::to_string(mask) + " " + std::to_string(mode));
    return 0;
}
#endif
#if STUB_OMIT != 123
ENTRY(FT_StopInTask)(FT_HANDLE) {
    note("StopInTask");
    return 0;
}
#endif
#if STUB_OMIT != 124
ENTRY(FT_RestartInTask)(FT_HANDLE) {
    note("RestartInTask");
    return 0;
}
#endif
#if STUB_OMIT != 125
ENTRY(FT_Purge)(FT_HANDLE, ULONG mask) {
    note("Purge " + std::to_string(mask));
    return 0;
}
#endif
#if STUB_OMIT != 130
ENTRY(FT_CyclePort)(FT_HANDLE) {
    return 0;
}
#endif
#if STUB_OMIT != 131
ENTRY(FT_SetDataCharacteristics)(FT_HANDLE, unsigned char bits, unsigned char stop, unsigned char parity) {
    note("SetDataCharacteristics " + std::to_string(bits) + " " + std::to_string(stop) + " " +
         std::to_string(parity));
    return 0;
}
#endif
#if STUB_OMIT != 132
ENTRY(FT_GetModemStatus)(FT_HANDLE, ULONG* status) {
    *status = stub().modem;
    note("GetModemStatus");
    return 0;
}
#endif
#if STUB_OMIT != 133
ENTRY(FT_SetFlowControl)(FT_HANDLE, unsigned short flow, unsigned char xon, unsigned char xoff) {
    note("SetFlowControl " + std::to_string(flow) + " " + std::to_string(xon) + " " + std::to_string(xoff));
    return 0;
}
#endif
#if STUB_OMIT != 134
ENTRY(FT_SetRts)(FT_HANDLE) {
    note("SetRts");
    return 0;
}
#endif
#if STUB_OMIT != 135
ENTRY(FT_SetChars)(FT_HANDLE, unsigned char, unsigned char, unsigned char, unsigned char) {
    return 0;
}
#endif
#if STUB_OMIT != 136
ENTRY(FT_SetEventNotification)(FT_HANDLE, DWORD mask, void* event) {
    note("SetEventNotification " + std::to_string(mask) + (event ? " event" : " none"));
    return 0;
}
#endif
#if STUB_OMIT != 137
ENTRY(FT_GetStatus)(FT_HANDLE, DWORD* rx, DWORD* tx, DWORD* ev) {
    *rx = *tx = *ev = 0;
    return 0;
}
#endif
