// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceOpen.h"

#include "core/ProgramPaths.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace kx::device {

namespace {

constexpr const char* kKx4801Description = "Digital Oscilloscope";
constexpr const char* kKx4803Description = "Digital Oscilloscope KX48";
constexpr std::size_t kDescriptionSize = 64;

struct Listed {
    bool readable = false;
    bool hasLocation = false;
    DWORD location = 0;
    std::string serial;
    std::string description;
};

std::string readSerial(const D2xxBinding& binding, DWORD index) {
    std::array<char, kDescriptionSize + 1> text{};
    void* arg = reinterpret_cast<void*>(static_cast<std::uintptr_t>(index));
    if (binding.listDevices(arg, text.data(), kFtListByIndex | kFtOpenBySerialNumber) != kFtOk) return {};
    text.back() = '\0';
    return text.data();
}

Listed listDevice(const D2xxBinding& binding, DWORD index) {
    Listed d;
    void* arg = reinterpret_cast<void*>(static_cast<std::uintptr_t>(index));
    DWORD location = 0;
    const FT_STATUS locStatus = binding.listDevices(arg, &location, kFtListByIndex | kFtOpenByLocation);
    std::array<char, kDescriptionSize + 1> text{};
    const FT_STATUS descStatus = binding.listDevices(arg, text.data(), kFtListByIndex | kFtOpenByDescription);
    text.back() = '\0';
    if (locStatus == kFtOk) {
        d.hasLocation = true;
        d.location = location;
    } else {
        // The Linux library may refuse locations: the serial number names the device instead.
        d.serial = readSerial(binding, index);
    }
    d.readable = descStatus == kFtOk && (d.hasLocation || !d.serial.empty());
    d.description = text.data();
    return d;
}

FT_STATUS openListed(const D2xxBinding& binding, Listed& d, DWORD index, FT_HANDLE& h) {
    FT_STATUS s = kFtDeviceNotFound;
    if (d.hasLocation) {
        s = binding.openEx(reinterpret_cast<void*>(static_cast<std::uintptr_t>(d.location)),
                           kFtOpenByLocation, &h);
        if (s == kFtOk) return s;
        if (d.serial.empty()) d.serial = readSerial(binding, index);
    }
    if (!d.serial.empty()) {
        std::array<char, kDescriptionSize + 1> name{};
        std::strncpy(name.data(), d.serial.c_str(), kDescriptionSize);
        s = binding.openEx(name.data(), kFtOpenBySerialNumber, &h);
    }
    return s;
}

std::string question(const char* opening, const Listed& d, DWORD index, const char* closing) {
    std::string text = opening;
    text += "\r\nDescription = ";
    text += "'";
    text += d.description;
    text += "'  ";
    text += "\r\nDev_Index = ";
    text += std::to_string(index);
    text += "\r\nDev_Loc = ";
    text += d.hasLocation ? std::to_string(d.location) : d.serial;
    text += closing;
    return text;
}

bool isInstrument(const std::string& description) {
    for (const char* d : kInstrumentDescriptions)
        if (description == d) return true;
    return false;
}

} // namespace

std::string executableBaseName() {
    const std::string exe = core::executablePath();
    return exe.empty() ? std::string("kx48zz") : core::programLayout(exe).exeName;
}

std::string executableDir() {
    const std::string exe = core::executablePath();
    if (exe.empty()) return {};
    return std::filesystem::path(exe).parent_path().string() + "/";
}

int openDevice(D2xxBinding& binding, Connection& connection, DataEvent& event, core::Prompt& prompt,
               const OpenOptions& options) {
    const std::vector<std::string> libraries =
        options.libraries.empty() ? D2xxBinding::defaultCandidates() : options.libraries;
    if (const int code = binding.load(libraries); code != 0) return code;
    const std::string caption = options.caption.empty() ? executableBaseName() : options.caption;

    if (connection.opened.load()) {
        binding.close(connection.handle.load());
        connection.opened.store(false);
        connection.handle.store(nullptr);
    }
    DWORD count = 0;
    if (const FT_STATUS s = binding.createDeviceInfoList(count); s != kFtOk) return static_cast<int>(s);
    if (count == 0) return kFtDeviceNotFound;
    if (options.debugMode && count > 1)
        prompt.message(caption, "Number of devices = " + std::to_string(count) + ". ",
                       core::MessageStyle::Warning);

    std::vector<Listed> devices(count);
    for (DWORD i = 0; i < count; ++i) devices[i] = listDevice(binding, i);

    FT_HANDLE handle = nullptr;
    int result = kFtDeviceNotFound;
    bool opened = false;
    for (DWORD i = 0; i < count && !opened; ++i) {
        Listed& d = devices[i];
        if (!d.readable || !isInstrument(d.description)) {
            result = kFtDeviceNotFound;
            continue;
        }
        if (options.debugMode && prompt.message(caption, question("True device found.", d, i, "\r\nOpen ?"),
                                                core::MessageStyle::Question) != core::Answer::Yes) {
            result = kFtDeviceNotFound;
            continue;
        }
        const FT_STATUS s = openListed(binding, d, i, handle);
        result = static_cast<int>(s);
        opened = s == kFtOk;
    }
    for (DWORD i = 0; i < count && !opened; ++i) {
        Listed& d = devices[i];
        if (!d.readable || isInstrument(d.description)) continue;
        if (options.debugMode) {
            if (prompt.message(caption, question("Other device found.", d, i, "\r\nTry to open ?"),
                               core::MessageStyle::YesNo) != core::Answer::Yes)
                continue;
        } else if (d.description == kKx4801Description) {
            prompt.message(caption, "KX4801 device found. \r\nPlease, use KX4801 software.",
                           core::MessageStyle::Error);
            continue;
        } else if (d.description == kKx4803Description) {
            prompt.message(caption, "KX4801A or KX4803 device found. \r\nPlease, use KX4803 software.",
                           core::MessageStyle::Error);
            continue;
        }
        const FT_STATUS s = openListed(binding, d, i, handle);
        result = static_cast<int>(s);
        opened = s == kFtOk;
    }
    if (!opened) return result;

    connection.handle.store(handle);
    connection.opened.store(true);
    binding.resetDevice(handle);
    binding.setBaudRate(handle, kLinkBaudRate);
    binding.setDataCharacteristics(handle, kFtBits8, kFtStopBits1, kFtParityNone);
    ULONG modem = 0;
    binding.getModemStatus(handle, modem);
    if ((modem & kModemStatusCts) != 0 && !options.flowControlOff) {
        binding.setFlowControl(handle, kFtFlowRtsCts, 0x13, 0x17);
        binding.setRts(handle);
    } else {
        binding.setFlowControl(handle, kFtFlowNone, 0x13, 0x17);
    }
    binding.setTimeouts(handle, kLinkTimeoutMs, kLinkTimeoutMs);
    binding.setLatencyTimer(handle, kLinkLatencyMs);
    binding.setEventNotification(handle, kFtEventRxChar, event.driverHandle());
    return 0;
}

} // namespace kx::device
