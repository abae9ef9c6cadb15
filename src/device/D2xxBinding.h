// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/D2xxTypes.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kx::device {

// The D2XX entry points, resolved at run time in this order; a missing one makes loading
// return its code (110..125, then 130..137).
struct D2xxApi {
    FT_STATUS (*Open)(int, FT_HANDLE*) = nullptr;
    FT_STATUS (*Close)(FT_HANDLE) = nullptr;
    FT_STATUS (*Read)(FT_HANDLE, void*, DWORD, DWORD*) = nullptr;
    FT_STATUS (*Write)(FT_HANDLE, void*, DWORD, DWORD*) = nullptr;
    FT_STATUS (*GetQueueStatus)(FT_HANDLE, DWORD*) = nullptr;
    FT_STATUS (*ResetDevice)(FT_HANDLE) = nullptr;
    FT_STATUS (*SetBaudRate)(FT_HANDLE, ULONG) = nullptr;
    FT_STATUS (*SetTimeouts)(FT_HANDLE, ULONG, ULONG) = nullptr;
    FT_STATUS (*SetLatencyTimer)(FT_HANDLE, unsigned char) = nullptr;
    FT_STATUS (*ListDevices)(void*, void*, DWORD) = nullptr;
    FT_STATUS (*OpenEx)(void*, DWORD, FT_HANDLE*) = nullptr;
    FT_STATUS (*CreateDeviceInfoList)(DWORD*) = nullptr;
    FT_STATUS (*SetBitMode)(FT_HANDLE, unsigned char, unsigned char) = nullptr;
    FT_STATUS (*StopInTask)(FT_HANDLE) = nullptr;
    FT_STATUS (*RestartInTask)(FT_HANDLE) = nullptr;
    FT_STATUS (*Purge)(FT_HANDLE, ULONG) = nullptr;
    FT_STATUS (*CyclePort)(FT_HANDLE) = nullptr;
    FT_STATUS (*SetDataCharacteristics)(FT_HANDLE, unsigned char, unsigned char, unsigned char) = nullptr;
    FT_STATUS (*GetModemStatus)(FT_HANDLE, ULONG*) = nullptr;
    FT_STATUS (*SetFlowControl)(FT_HANDLE, unsigned short, unsigned char, unsigned char) = nullptr;
    FT_STATUS (*SetRts)(FT_HANDLE) = nullptr;
    FT_STATUS (*SetChars)(FT_HANDLE, unsigned char, unsigned char, unsigned char, unsigned char) = nullptr;
    FT_STATUS (*SetEventNotification)(FT_HANDLE, DWORD, void*) = nullptr;
    FT_STATUS (*GetStatus)(FT_HANDLE, DWORD*, DWORD*, DWORD*) = nullptr;
};

// Native name of the entry point whose absence gives `code`, or nullptr for other codes.
const char* missingEntryName(int code);

// The driver library, loaded with dlopen and never linked. Once a library is loaded it stays
// loaded for the life of the process (a driver may run threads of its own); later loads only
// resolve the entry points again.
class D2xxBinding {
public:
    D2xxBinding() = default;
    D2xxBinding(const D2xxBinding&) = delete;
    D2xxBinding& operator=(const D2xxBinding&) = delete;

    // Libraries tried in order: $KX48ZZ_D2XX when set and not empty, then libftd2xx.so.
    static std::vector<std::string> defaultCandidates();

    // Loads the first candidate that opens and resolves every entry point. Returns 0, 100 when
    // no candidate loads, or the code of the first missing entry point.
    int load();
    int load(std::span<const std::string> candidates);

    [[nodiscard]] bool loaded() const { return m_module != nullptr; }
    [[nodiscard]] bool complete() const { return m_complete; }
    // Always false: a native build has no Wine bridge library.
    [[nodiscard]] static constexpr bool wineMode() { return false; }

    // Thin wrappers: arguments forwarded, D2XX status returned; kFtInvalidHandle before a
    // complete load.
    FT_STATUS close(FT_HANDLE h) const;
    FT_STATUS read(FT_HANDLE h, std::span<std::uint8_t> buffer, DWORD& got) const;
    FT_STATUS write(FT_HANDLE h, std::span<const std::uint8_t> bytes, DWORD& written) const;
    FT_STATUS queueStatus(FT_HANDLE h, DWORD& rx) const;
    FT_STATUS resetDevice(FT_HANDLE h) const;
    FT_STATUS setBaudRate(FT_HANDLE h, ULONG baud) const;
    FT_STATUS setTimeouts(FT_HANDLE h, ULONG readMs, ULONG writeMs) const;
    FT_STATUS setLatencyTimer(FT_HANDLE h, unsigned char ms) const;
    FT_STATUS listDevices(void* arg1, void* arg2, DWORD flags) const;
    FT_STATUS openEx(void* arg, DWORD flags, FT_HANDLE* h) const;
    FT_STATUS createDeviceInfoList(DWORD& count) const;
    FT_STATUS setBitMode(FT_HANDLE h, unsigned char mask, unsigned char mode) const;
    FT_STATUS stopInTask(FT_HANDLE h) const;
    FT_STATUS restartInTask(FT_HANDLE h) const;
    FT_STATUS purge(FT_HANDLE h, ULONG mask) const;
    FT_STATUS setDataCharacteristics(FT_HANDLE h, unsigned char bits, unsigned char stop,
                                     unsigned char parity) const;
    FT_STATUS getModemStatus(FT_HANDLE h, ULONG& status) const;
    FT_STATUS setFlowControl(FT_HANDLE h, unsigned short flow, unsigned char xon, unsigned char xoff) const;
    FT_STATUS setRts(FT_HANDLE h) const;
    FT_STATUS setEventNotification(FT_HANDLE h, DWORD mask, void* event) const;
    FT_STATUS getStatus(FT_HANDLE h, DWORD& rx, DWORD& tx, DWORD& events) const;

    // The module's kxsim_control, when the loaded library is the simulator; nullptr otherwise.
    [[nodiscard]] int (*simulatorControl() const)(const char*);

private:
    int resolve();

    void* m_module = nullptr;
    bool m_complete = false;
    D2xxApi m_api;
};

} // namespace kx::device
