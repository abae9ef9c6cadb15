// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimLink.h"

#include "core/Crc16.h"

#include <algorithm>
#include <dlfcn.h>
#include <span>

namespace kxtest {

namespace {

template <typename F> void bind(void* lib, F*& fn, const char* name, int& resolved) {
    fn = reinterpret_cast<F*>(dlsym(lib, name));
    if (fn != nullptr) ++resolved;
}

D2xx load() {
    D2xx d;
    void* lib = dlopen(KXSIM_PATH, RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return d;
    int& n = d.resolved;
    bind(lib, d.Open, "FT_Open", n);
    bind(lib, d.OpenEx, "FT_OpenEx", n);
    bind(lib, d.Close, "FT_Close", n);
    bind(lib, d.Read, "FT_Read", n);
    bind(lib, d.Write, "FT_Write", n);
    bind(lib, d.GetQueueStatus, "FT_GetQueueStatus", n);
    bind(lib, d.ResetDevice, "FT_ResetDevice", n);
    bind(lib, d.SetBaudRate, "FT_SetBaudRate", n);
    bind(lib, d.SetTimeouts, "FT_SetTimeouts", n);
    bind(lib, d.SetLatencyTimer, "FT_SetLatencyTimer", n);
    bind(lib, d.ListDevices, "FT_ListDevices", n);
    bind(lib, d.CreateDeviceInfoList, "FT_CreateDeviceInfoList", n);
    bind(lib, d.SetBitMode, "FT_SetBitMode", n);
    bind(lib, d.StopInTask, "FT_StopInTask", n);
    bind(lib, d.RestartInTask, "FT_RestartInTask", n);
    bind(lib, d.Purge, "FT_Purge", n);
    bind(lib, d.CyclePort, "FT_CyclePort", n);
    bind(lib, d.SetDataCharacteristics, "FT_SetDataCharacteristics", n);
    bind(lib, d.GetModemStatus, "FT_GetModemStatus", n);
    bind(lib, d.SetFlowControl, "FT_SetFlowControl", n);
    bind(lib, d.SetRts, "FT_SetRts", n);
    bind(lib, d.SetChars, "FT_SetChars", n);
    bind(lib, d.SetEventNotification, "FT_SetEventNotification", n);
    bind(lib, d.GetStatus, "FT_GetStatus", n);
    d.control = reinterpret_cast<int (*)(const char*)>(dlsym(lib, "kxsim_control"));
    return d;
}

constexpr std::uint32_t kLocation = 4; // FT_OPEN_BY_LOCATION
constexpr DWORD kListByIndexLocation = 0x40000004u;

} // namespace

const D2xx& d2xx() {
    static const D2xx d = load();
    return d;
}

std::size_t blockASize(std::uint8_t header, std::size_t points) {
    std::size_t a = 0;
    if (header & 0x01) a += points;
    if (header & 0x02) a += points;
    if (!(header & 0x10)) {
        if (header & 0x04) a += points / 4;
        if (header & 0x08) a += points / 4;
    }
    if (header & 0x20) a *= 4;
    return a;
}

std::size_t blockBSize(std::uint8_t header, std::size_t points) {
    std::size_t b = 0;
    if (header & 0x10) {
        if (header & 0x04) b += 2 * points;
        if (header & 0x08) b += 2 * points;
    }
    return b;
}

FrameBuilder& FrameBuilder::block(std::uint16_t address, const std::vector<std::uint8_t>& data) {
    m_blocks.push_back(data);
    m_addresses.push_back(address);
    return *this;
}

std::vector<std::uint8_t> FrameBuilder::body() const {
    std::vector<std::uint8_t> out{0, static_cast<std::uint8_t>(m_blocks.size())};
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(m_blocks[i].size()));
        out.push_back(static_cast<std::uint8_t>(m_addresses[i] & 0xFF));
        out.push_back(static_cast<std::uint8_t>(m_addresses[i] >> 8));
        out.insert(out.end(), m_blocks[i].begin(), m_blocks[i].end());
    }
    out[0] = static_cast<std::uint8_t>(out.size() - 1);
    const std::uint16_t crc = kx::core::crc16(out);
    out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    return out;
}

std::vector<std::uint8_t> FrameBuilder::preamble() {
    std::vector<std::uint8_t> p;
    for (int i = 0; i < 8; ++i) p.insert(p.end(), {0xAA, 0x0F, 0x55});
    p.push_back(0x00);
    return p;
}

std::vector<std::uint8_t> Registers::frameBody() const {
    auto slice = [&](std::size_t from, std::size_t n) {
        return std::vector<std::uint8_t>(r.begin() + static_cast<long>(from),
                                         r.begin() + static_cast<long>(from + n));
    };
    return FrameBuilder{}
        .block(0xFF01, slice(1, 39))
        .block(0xFF30, slice(48, 1))
        .block(0xFF40, slice(64, 39))
        .block(0xFF70, slice(112, 36))
        .body();
}

Host::Host() {
    const D2xx& d = d2xx();
    DWORD location = 0;
    if (d.ListDevices(reinterpret_cast<void*>(std::uintptr_t{0}), &location, kListByIndexLocation) != 0)
        return;
    if (d.OpenEx(reinterpret_cast<void*>(static_cast<std::uintptr_t>(location)), kLocation, &m_handle) != 0)
        m_handle = nullptr;
}

Host::~Host() {
    if (m_handle != nullptr) d2xx().Close(m_handle);
}

FT_STATUS Host::configure() {
    const D2xx& d = d2xx();
    FT_STATUS s = d.ResetDevice(m_handle);
    if (s == 0) s = d.SetBaudRate(m_handle, 3000000);
    if (s == 0) s = d.SetDataCharacteristics(m_handle, 8, 0, 0);
    ULONG modem = 0;
    if (s == 0) s = d.GetModemStatus(m_handle, &modem);
    if (s == 0) s = d.SetFlowControl(m_handle, (modem & 0x10) ? 0x100 : 0, 0x13, 0x17);
    if (s == 0 && (modem & 0x10)) s = d.SetRts(m_handle);
    if (s == 0) s = d.SetTimeouts(m_handle, 100, 100);
    if (s == 0) s = d.SetLatencyTimer(m_handle, 2);
    return s;
}

FT_STATUS Host::write(const std::vector<std::uint8_t>& bytes) {
    DWORD written = 0;
    const FT_STATUS s = d2xx().Write(m_handle, const_cast<std::uint8_t*>(bytes.data()),
                                     static_cast<DWORD>(bytes.size()), &written);
    if (s == 0 && written != bytes.size()) return 4;
    return s;
}

std::vector<std::uint8_t> Host::image(std::size_t bytes) {
    std::vector<std::uint8_t> img(bytes, 0);
    for (std::size_t i = 0; i < bytes; ++i) img[i] = static_cast<std::uint8_t>(i * 131 + 7);
    for (std::size_t i = 0; i < 16 && i < bytes; ++i) img[i] = 0xFF;
    const std::uint8_t sync[4] = {0xAA, 0x99, 0x55, 0x66};
    for (std::size_t i = 0; i < 4 && 16 + i < bytes; ++i) img[16 + i] = sync[i];
    return img;
}

FT_STATUS Host::loadFpga(const std::vector<std::uint8_t>& image) {
    const D2xx& d = d2xx();
    FT_STATUS s = d.SetBitMode(m_handle, 0x85, 1);
    if (s == 0) s = write({0x00});
    if (s == 0) s = write({0x80});
    std::vector<std::uint8_t> pins;
    pins.reserve(4096);
    for (std::size_t off = 0; s == 0 && off < image.size(); off += 256) {
        pins.clear();
        const std::size_t end = std::min(image.size(), off + 256);
        for (std::size_t i = off; i < end; ++i) {
            for (int bit = 7; bit >= 0; --bit) {
                const std::uint8_t v = (image[i] >> bit) & 1;
                pins.push_back(static_cast<std::uint8_t>(v | 0x80));
                pins.push_back(static_cast<std::uint8_t>(v | 0x84));
            }
        }
        s = write(pins);
    }
    pins.clear();
    for (int i = 0; i < 64; ++i) pins.insert(pins.end(), {0x85, 0x81});
    if (s == 0) s = write(pins);
    DWORD rx = 0, tx = 1, ev = 0;
    for (int i = 0; s == 0 && tx != 0 && i < 100; ++i) s = d.GetStatus(m_handle, &rx, &tx, &ev);
    if (s == 0) s = d.SetBitMode(m_handle, 0x85, 0);
    if (s == 0) s = d.StopInTask(m_handle);
    if (s == 0) s = d.Purge(m_handle, 1);
    if (s == 0) s = d.RestartInTask(m_handle);
    m_stream.clear();
    m_pos = 0;
    if (s == 0) s = write({0xA5, 0x00, 0x00});
    return s;
}

bool Host::fill(int maxReads) {
    const D2xx& d = d2xx();
    for (int i = 0; i < maxReads; ++i) {
        DWORD n = 0;
        if (d.GetQueueStatus(m_handle, &n) != 0) return false;
        if (n == 0) n = 1; // waits up to the read time-out for the first byte
        std::vector<std::uint8_t> buf(std::min<DWORD>(n, 65000));
        DWORD got = 0;
        if (d.Read(m_handle, buf.data(), static_cast<DWORD>(buf.size()), &got) != 0) return false;
        if (got > 0) {
            if (m_pos > 0) {
                m_stream.erase(m_stream.begin(), m_stream.begin() + static_cast<long>(m_pos));
                m_pos = 0;
            }
            m_stream.insert(m_stream.end(), buf.begin(), buf.begin() + got);
            return true;
        }
    }
    return false;
}

std::optional<Packet> Host::nextPacket(std::size_t points, int maxReads) {
    static const std::vector<std::uint8_t> pre = FrameBuilder::preamble();
    for (int reads = 0; reads <= maxReads;) {
        const auto it =
            std::search(m_stream.begin() + static_cast<long>(m_pos), m_stream.end(), pre.begin(), pre.end());
        const std::size_t start = static_cast<std::size_t>(it - m_stream.begin());
        if (it != m_stream.end() && start + pre.size() < m_stream.size()) {
            const std::uint8_t header = m_stream[start + pre.size()];
            if (header != 0x5A && points == 0) {
                // Data of unknown size: look for the next preamble instead.
                m_pos = start + 1;
                continue;
            }
            const std::size_t bodyLen =
                header == 0x5A ? 160 : blockASize(header, points) + blockBSize(header, points) + 160;
            const std::size_t total = pre.size() + 1 + bodyLen + 2;
            if (start + total <= m_stream.size()) {
                Packet p;
                p.header = header;
                const auto first = m_stream.begin() + static_cast<long>(start + pre.size());
                p.crcOk = kx::core::crc16(std::span<const std::uint8_t>(&*first, 1 + bodyLen + 2)) == 0;
                p.body.assign(first + 1, first + 1 + static_cast<long>(bodyLen));
                // A packet that fails its CRC may have been sized for other settings: resynchronise.
                m_pos = p.crcOk ? start + total : start + 1;
                return p;
            }
        }
        if (!fill(1)) ++reads;
        ++reads;
    }
    return std::nullopt;
}

std::optional<Packet> Host::waitStatus(int kind, int maxPackets, std::size_t points) {
    for (int i = 0; i < maxPackets; ++i) {
        auto p = nextPacket(points);
        if (!p) return std::nullopt;
        if (p->header == 0x5A && p->crcOk && p->body[0] == kind) return p;
    }
    return std::nullopt;
}

std::optional<Packet> Host::waitData(int maxPackets, std::size_t points) {
    for (int i = 0; i < maxPackets; ++i) {
        auto p = nextPacket(points);
        if (!p) return std::nullopt;
        if (p->header != 0x5A) return p;
    }
    return std::nullopt;
}

void Host::sendSettings(Registers& regs, std::uint8_t sequence) {
    regs.r[35] = sequence;
    write(FrameBuilder::preamble());
    write(regs.frameBody());
}

void Host::drain() {
    m_stream.clear();
    m_pos = 0;
    const D2xx& d = d2xx();
    d.Purge(m_handle, 1);
}

} // namespace kxtest
