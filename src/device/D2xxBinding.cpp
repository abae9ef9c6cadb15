// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/D2xxBinding.h"

#include <cstdlib>
#include <dlfcn.h>

namespace kx::device {

namespace {

struct EntryPoint {
    const char* name;
    int code;
};

// Resolution order and the code each missing entry point gives.
constexpr EntryPoint kEntries[] = {
    {"FT_Open", 110},
    {"FT_Close", 111},
    {"FT_Read", 112},
    {"FT_Write", 113},
    {"FT_GetQueueStatus", 114},
    {"FT_ResetDevice", 115},
    {"FT_SetBaudRate", 116},
    {"FT_SetTimeouts", 117},
    {"FT_SetLatencyTimer", 118},
    {"FT_ListDevices", 119},
    {"FT_OpenEx", 120},
    {"FT_CreateDeviceInfoList", 121},
    {"FT_SetBitMode", 122},
    {"FT_StopInTask", 123},
    {"FT_RestartInTask", 124},
    {"FT_Purge", 125},
    {"FT_CyclePort", 130},
    {"FT_SetDataCharacteristics", 131},
    {"FT_GetModemStatus", 132},
    {"FT_SetFlowControl", 133},
    {"FT_SetRts", 134},
    {"FT_SetChars", 135},
    {"FT_SetEventNotification", 136},
    {"FT_GetStatus", 137},
};

template <typename Fn> bool bind(void* module, const char* name, Fn& slot) {
    void* symbol = dlsym(module, name);
    slot = reinterpret_cast<Fn>(symbol);
    return symbol != nullptr;
}

} // namespace

const char* missingEntryName(int code) {
    for (const auto& e : kEntries)
        if (e.code == code) return e.name;
    return nullptr;
}

std::vector<std::string> D2xxBinding::defaultCandidates() {
    std::vector<std::string> out;
    if (const char* env = std::getenv("KX48ZZ_D2XX"); env != nullptr && *env != '\0') out.emplace_back(env);
    out.emplace_back("libftd2xx.so");
    return out;
}

int D2xxBinding::load() {
    const auto candidates = defaultCandidates();
    return load(candidates);
}

int D2xxBinding::load(std::span<const std::string> candidates) {
    if (m_module == nullptr) {
        for (const auto& path : candidates) {
            m_module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (m_module != nullptr) break;
        }
        if (m_module == nullptr) return kStatusNoLibrary;
    }
    return resolve();
}

int D2xxBinding::resolve() {
    m_complete = false;
    D2xxApi api;
    auto* m = m_module;
    // Each line binds one slot; order and codes follow kEntries.
    const bool ok[] = {
        bind(m, kEntries[0].name, api.Open),
        bind(m, kEntries[1].name, api.Close),
        bind(m, kEntries[2].name, api.Read),
        bind(m, kEntries[3].name, api.Write),
        bind(m, kEntries[4].name, api.GetQueueStatus),
        bind(m, kEntries[5].name, api.ResetDevice),
        bind(m, kEntries[6].name, api.SetBaudRate),
        bind(m, kEntries[7].name, api.SetTimeouts),
        bind(m, kEntries[8].name, api.SetLatencyTimer),
        bind(m, kEntries[9].name, api.ListDevices),
        bind(m, kEntries[10].name, api.OpenEx),
        bind(m, kEntries[11].name, api.CreateDeviceInfoList),
        bind(m, kEntries[12].name, api.SetBitMode),
        bind(m, kEntries[13].name, api.StopInTask),
        bind(m, kEntries[14].name, api.RestartInTask),
        bind(m, kEntries[15].name, api.Purge),
        bind(m, kEntries[16].name, api.CyclePort),
        bind(m, kEntries[17].name, api.SetDataCharacteristics),
        bind(m, kEntries[18].name, api.GetModemStatus),
        bind(m, kEntries[19].name, api.SetFlowControl),
        bind(m, kEntries[20].name, api.SetRts),
        bind(m, kEntries[21].name, api.SetChars),
        bind(m, kEntries[22].name, api.SetEventNotification),
        bind(m, kEntries[23].name, api.GetStatus),
    };
    static_assert(std::size(ok) == std::size(kEntries));
    for (std::size_t i = 0; i < std::size(ok); ++i)
        if (!ok[i]) return kEntries[i].code;
    m_api = api;
    m_complete = true;
    return 0;
}

int (*D2xxBinding::simulatorControl() const)(const char*) {
    if (m_module == nullptr) return nullptr;
    return reinterpret_cast<int (*)(const char*)>(dlsym(m_module, "kxsim_control"));
}

#define KX_CALL(fn, ...) (m_complete ? m_api.fn(__VA_ARGS__) : kFtInvalidHandle)

FT_STATUS D2xxBinding::close(FT_HANDLE h) const {
    return KX_CALL(Close, h);
}
FT_STATUS D2xxBinding::read(FT_HANDLE h, std::span<std::uint8_t> buffer, DWORD& got) const {
    got = 0;
    return KX_CALL(Read, h, buffer.data(), static_cast<DWORD>(buffer.size()), &got);
}
FT_STATUS D2xxBinding::write(FT_HANDLE h, std::span<const std::uint8_t> bytes, DWORD& written) const {
    written = 0;
    // The driver's prototype is not const-correct; it never writes into the buffer.
    auto* data = const_cast<std::uint8_t*>(bytes.data());
    return KX_CALL(Write, h, data, static_cast<DWORD>(bytes.size()), &written);
}
FT_STATUS D2xxBinding::queueStatus(FT_HANDLE h, DWORD& rx) const {
    rx = 0;
    return KX_CALL(GetQueueStatus, h, &rx);
}
FT_STATUS D2xxBinding::resetDevice(FT_HANDLE h) const {
    return KX_CALL(ResetDevice, h);
}
FT_STATUS D2xxBinding::setBaudRate(FT_HANDLE h, ULONG baud) const {
    return KX_CALL(SetBaudRate, h, baud);
}
FT_STATUS D2xxBinding::setTimeouts(FT_HANDLE h, ULONG readMs, ULONG writeMs) const {
    return KX_CALL(SetTimeouts, h, readMs, writeMs);
}
FT_STATUS D2xxBinding::setLatencyTimer(FT_HANDLE h, unsigned char ms) const {
    return KX_CALL(SetLatencyTimer, h, ms);
}
FT_STATUS D2xxBinding::listDevices(void* arg1, void* arg2, DWORD flags) const {
    return KX_CALL(ListDevices, arg1, arg2, flags);
}
FT_STATUS D2xxBinding::openEx(void* arg, DWORD flags, FT_HANDLE* h) const {
    return KX_CALL(OpenEx, arg, flags, h);
}
FT_STATUS D2xxBinding::createDeviceInfoList(DWORD& count) const {
    count = 0;
    return KX_CALL(CreateDeviceInfoList, &count);
}
FT_STATUS D2xxBinding::setBitMode(FT_HANDLE h, unsigned char mask, unsigned char mode) const {
    return KX_CALL(SetBitMode, h, mask, mode);
}
FT_STATUS D2xxBinding::stopInTask(FT_HANDLE h) const {
    return KX_CALL(StopInTask, h);
}
FT_STATUS D2xxBinding::restartInTask(FT_HANDLE h) const {
    return KX_CALL(RestartInTask, h);
}
FT_STATUS D2xxBinding::purge(FT_HANDLE h, ULONG mask) const {
    return KX_CALL(Purge, h, mask);
}
FT_STATUS D2xxBinding::setDataCharacteristics(FT_HANDLE h, unsigned char bits, unsigned char stop,
                                              unsigned char parity) const {
    return KX_CALL(SetDataCharacteristics, h, bits, stop, parity);
}
FT_STATUS D2xxBinding::getModemStatus(FT_HANDLE h, ULONG& status) const {
    status = 0;
    return KX_CALL(GetModemStatus, h, &status);
}
FT_STATUS D2xxBinding::setFlowControl(FT_HANDLE h, unsigned short flow, unsigned char xon,
                                      unsigned char xoff) const {
    return KX_CALL(SetFlowControl, h, flow, xon, xoff);
}
FT_STATUS D2xxBinding::setRts(FT_HANDLE h) const {
    return KX_CALL(SetRts, h);
}
FT_STATUS D2xxBinding::setEventNotification(FT_HANDLE h, DWORD mask, void* event) const {
    return KX_CALL(SetEventNotification, h, mask, event);
}
FT_STATUS D2xxBinding::getStatus(FT_HANDLE h, DWORD& rx, DWORD& tx, DWORD& events) const {
    rx = tx = events = 0;
    return KX_CALL(GetStatus, h, &rx, &tx, &events);
}

#undef KX_CALL

} // namespace kx::device
