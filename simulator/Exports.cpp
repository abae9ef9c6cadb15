// SPDX-License-Identifier: GPL-3.0-or-later
// The D2XX entry points and the control hook: the only symbols the library shows.
#include "D2xxTypes.h"
#include "Library.h"

#include <cstdint>
#include <cstring>
#include <span>

#define KXSIM_EXPORT extern "C" __attribute__((visibility("default")))

using kx::sim::Library;
using kx::sim::Session;

namespace {

template <typename Call> FT_STATUS withSession(FT_HANDLE handle, Call&& call) {
    const auto session = Library::instance().find(handle);
    if (!session) return kx::sim::kFtInvalidHandle;
    return call(*session->device, session->generation);
}

FT_STATUS openSession(FT_HANDLE* handle) {
    if (handle == nullptr) return kx::sim::kFtInvalidParameter;
    *handle = nullptr;
    Library& lib = Library::instance();
    std::uint64_t generation = 0;
    const FT_STATUS s = lib.device().open(generation);
    if (s != kx::sim::kFtOk) return s;
    *handle = lib.add(generation);
    return kx::sim::kFtOk;
}

DWORD deviceCount() {
    return Library::instance().device().present() ? 1 : 0;
}

void copyText(char* out, const std::string& text, std::size_t limit) {
    const std::size_t n = std::min(text.size(), limit - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

} // namespace

KXSIM_EXPORT FT_STATUS FT_CreateDeviceInfoList(DWORD* count) {
    if (count == nullptr) return kx::sim::kFtInvalidParameter;
    *count = deviceCount();
    return kx::sim::kFtOk;
}

KXSIM_EXPORT FT_STATUS FT_ListDevices(void* arg1, void* arg2, DWORD flags) {
    using namespace kx::sim;
    const DWORD count = deviceCount();
    if (flags & kFtListNumberOnly) {
        if (arg1 == nullptr) return kFtInvalidParameter;
        *static_cast<DWORD*>(arg1) = count;
        return kFtOk;
    }
    const DeviceListing listing = Library::instance().device().listing();
    const DWORD what = flags & 0x0F;
    auto fill = [&](void* out) -> FT_STATUS {
        if (out == nullptr) return kFtInvalidParameter;
        if (what == kFtOpenByLocation) {
            *static_cast<DWORD*>(out) = listing.location;
        } else if (what == kFtOpenByDescription) {
            copyText(static_cast<char*>(out), listing.description, 64);
        } else if (what == kFtOpenBySerialNumber) {
            copyText(static_cast<char*>(out), listing.serial, 16);
        } else {
            return kFtInvalidArgs;
        }
        return kFtOk;
    };
    if (flags & kFtListByIndex) {
        const auto index = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(arg1));
        if (index >= count) return kFtDeviceNotFound;
        return fill(arg2);
    }
    if (flags & kFtListAll) {
        if (arg1 == nullptr || arg2 == nullptr) return kFtInvalidParameter;
        if (count > 0) {
            void* slot = what == kFtOpenByLocation ? arg1 : static_cast<char**>(arg1)[0];
            if (const FT_STATUS s = fill(slot); s != kFtOk) return s;
        }
        if (what != kFtOpenByLocation) static_cast<char**>(arg1)[count] = nullptr;
        *static_cast<DWORD*>(arg2) = count;
        return kFtOk;
    }
    return kFtInvalidArgs;
}

KXSIM_EXPORT FT_STATUS FT_Open(int index, FT_HANDLE* handle) {
    if (handle != nullptr) *handle = nullptr;
    if (index < 0 || static_cast<DWORD>(index) >= deviceCount()) return kx::sim::kFtDeviceNotFound;
    return openSession(handle);
}

KXSIM_EXPORT FT_STATUS FT_OpenEx(void* arg, DWORD flags, FT_HANDLE* handle) {
    using namespace kx::sim;
    if (handle == nullptr) return kFtInvalidParameter;
    *handle = nullptr;
    if (deviceCount() == 0) return kFtDeviceNotFound;
    const DeviceListing listing = Library::instance().device().listing();
    bool match = false;
    if (flags == kFtOpenByLocation) {
        match = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(arg)) == listing.location;
    } else if (flags == kFtOpenByDescription || flags == kFtOpenBySerialNumber) {
        if (arg == nullptr) return kFtInvalidParameter;
        const std::string& want = flags == kFtOpenByDescription ? listing.description : listing.serial;
        match = std::strncmp(static_cast<const char*>(arg), want.c_str(), 64) == 0;
    } else {
        return kFtInvalidArgs;
    }
    if (!match) return kFtDeviceNotFound;
    return openSession(handle);
}

KXSIM_EXPORT FT_STATUS FT_Close(FT_HANDLE handle) {
    const auto session = Library::instance().take(handle);
    if (!session) return kx::sim::kFtInvalidHandle;
    return session->device->close(session->generation);
}

KXSIM_EXPORT FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) {
    if (read != nullptr) *read = 0;
    if (buffer == nullptr || read == nullptr) return kx::sim::kFtInvalidParameter;
    return withSession(handle, [&](kx::sim::Device& d, std::uint64_t g) {
        return d.read(g, std::span<std::uint8_t>(static_cast<std::uint8_t*>(buffer), toRead), *read);
    });
}

KXSIM_EXPORT FT_STATUS FT_Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) {
    if (written != nullptr) *written = 0;
    if ((buffer == nullptr && toWrite > 0) || written == nullptr) return kx::sim::kFtInvalidParameter;
    return withSession(handle, [&](kx::sim::Device& d, std::uint64_t g) {
        return d.write(g, std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(buffer), toWrite),
                       *written);
    });
}

KXSIM_EXPORT FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, DWORD* rx) {
    if (rx == nullptr) return kx::sim::kFtInvalidParameter;
    *rx = 0;
    return withSession(handle, [&](kx::sim::Device& d, std::uint64_t g) { return d.queueStatus(g, *rx); });
}

KXSIM_EXPORT FT_STATUS FT_GetStatus(FT_HANDLE handle, DWORD* rx, DWORD* tx, DWORD* events) {
    if (rx == nullptr || tx == nullptr || events == nullptr) return kx::sim::kFtInvalidParameter;
    return withSession(handle,
                       [&](kx::sim::Device& d, std::uint64_t g) { return d.status(g, *rx, *tx, *events); });
}

KXSIM_EXPORT FT_STATUS FT_ResetDevice(FT_HANDLE handle) {
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.resetDevice(g); });
}

KXSIM_EXPORT FT_STATUS FT_Purge(FT_HANDLE handle, ULONG mask) {
    return withSession(handle, [&](kx::sim::Device& d, std::uint64_t g) { return d.purge(g, mask); });
}

KXSIM_EXPORT FT_STATUS FT_SetBaudRate(FT_HANDLE handle, ULONG baud) {
    return withSession(handle, [&](kx::sim::Device& d, std::uint64_t g) { return d.setBaudRate(g, baud); });
}

KXSIM_EXPORT FT_STATUS FT_SetTimeouts(FT_HANDLE handle, ULONG readMs, ULONG writeMs) {
    return withSession(
        handle, [&](kx::sim::Device& d, std::uint64_t g) { return d.setTimeouts(g, readMs, writeMs); });
}

KXSIM_EXPORT FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, unsigned char latency) {
    if (latency < 1) return kx::sim::kFtInvalidParameter;
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.touch(g); });
}

KXSIM_EXPORT FT_STATUS FT_SetBitMode(FT_HANDLE handle, unsigned char mask, unsigned char mode) {
    return withSession(handle,
                       [&](kx::sim::Device& d, std::uint64_t g) { return d.setBitMode(g, mask, mode); });
}

KXSIM_EXPORT FT_STATUS FT_StopInTask(FT_HANDLE handle) {
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.setInTask(g, false); });
}

KXSIM_EXPORT FT_STATUS FT_RestartInTask(FT_HANDLE handle) {
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.setInTask(g, true); });
}

KXSIM_EXPORT FT_STATUS FT_CyclePort(FT_HANDLE handle) {
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.touch(g); });
}

KXSIM_EXPORT FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, unsigned char wordLength,
                                                 unsigned char stopBits, unsigned char parity) {
    if ((wordLength != 7 && wordLength != 8) || (stopBits != 0 && stopBits != 2) || parity > 4)
        return kx::sim::kFtInvalidParameter;
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.touch(g); });
}

KXSIM_EXPORT FT_STATUS FT_GetModemStatus(FT_HANDLE handle, ULONG* status) {
    if (status == nullptr) return kx::sim::kFtInvalidParameter;
    return withSession(handle,
                       [&](kx::sim::Device& d, std::uint64_t g) { return d.modemStatus(g, *status); });
}

KXSIM_EXPORT FT_STATUS FT_SetFlowControl(FT_HANDLE handle, unsigned short flow, unsigned char,
                                         unsigned char) {
    if (flow != 0x0000 && flow != 0x0100 && flow != 0x0200 && flow != 0x0400)
        return kx::sim::kFtInvalidParameter;
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.touch(g); });
}

KXSIM_EXPORT FT_STATUS FT_SetRts(FT_HANDLE handle) {
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.touch(g); });
}

KXSIM_EXPORT FT_STATUS FT_SetChars(FT_HANDLE handle, unsigned char, unsigned char, unsigned char,
                                   unsigned char) {
    return withSession(handle, [](kx::sim::Device& d, std::uint64_t g) { return d.touch(g); });
}

KXSIM_EXPORT FT_STATUS FT_SetEventNotification(FT_HANDLE handle, DWORD mask, void* event) {
    return withSession(
        handle, [&](kx::sim::Device& d, std::uint64_t g) { return d.setEventNotification(g, mask, event); });
}

KXSIM_EXPORT int kxsim_control(const char* command) {
    if (command == nullptr) return 1;
    return Library::instance().device().control(command);
}
