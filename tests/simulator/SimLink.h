// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <pthread.h>
#include <string>
#include <vector>

// A small host side for driving the simulator library through its D2XX entry points: its own
// frame builder and packet reader, so the tests depend on nothing of the program's link layer.
namespace kxtest {

using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using FT_HANDLE = void*;
using FT_STATUS = std::uint32_t;

struct D2xx {
    FT_STATUS (*Open)(int, FT_HANDLE*) = nullptr;
    FT_STATUS (*OpenEx)(void*, DWORD, FT_HANDLE*) = nullptr;
    FT_STATUS (*Close)(FT_HANDLE) = nullptr;
    FT_STATUS (*Read)(FT_HANDLE, void*, DWORD, DWORD*) = nullptr;
    FT_STATUS (*Write)(FT_HANDLE, void*, DWORD, DWORD*) = nullptr;
    FT_STATUS (*GetQueueStatus)(FT_HANDLE, DWORD*) = nullptr;
    FT_STATUS (*ResetDevice)(FT_HANDLE) = nullptr;
    FT_STATUS (*SetBaudRate)(FT_HANDLE, ULONG) = nullptr;
    FT_STATUS (*SetTimeouts)(FT_HANDLE, ULONG, ULONG) = nullptr;
    FT_STATUS (*SetLatencyTimer)(FT_HANDLE, unsigned char) = nullptr;
    FT_STATUS (*ListDevices)(void*, void*, DWORD) = nullptr;
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
    int (*control)(const char*) = nullptr;
    int resolved = 0;
};

// Loaded once per test process; null members when something is missing.
const D2xx& d2xx();

// The Linux D2XX event handle layout.
struct EventHandle {
    pthread_cond_t eCondVar = PTHREAD_COND_INITIALIZER;
    pthread_mutex_t eMutex = PTHREAD_MUTEX_INITIALIZER;
    int iVar = 0;
};

// One packet found in the stream.
struct Packet {
    std::uint8_t header = 0;
    std::vector<std::uint8_t> body; // everything between header and CRC
    bool crcOk = false;
};

// Sizes of blocks A and B for a data header and N points.
std::size_t blockASize(std::uint8_t header, std::size_t points);
std::size_t blockBSize(std::uint8_t header, std::size_t points);

// Write-frame body: L, block count, blocks, CRC (low byte first).
class FrameBuilder {
public:
    FrameBuilder& block(std::uint16_t address, const std::vector<std::uint8_t>& data);
    std::vector<std::uint8_t> body() const;
    static std::vector<std::uint8_t> preamble();

private:
    std::vector<std::vector<std::uint8_t>> m_blocks;
    std::vector<std::uint16_t> m_addresses;
};

// The settings image the frame carries at 0xFF01 (39), 0xFF30 (1), 0xFF40 (39), 0xFF70 (36),
// indexed by register offset (address - 0xFF00).
struct Registers {
    std::array<std::uint8_t, 160> r{};
    void set16(std::size_t off, std::uint32_t v) {
        r[off] = static_cast<std::uint8_t>(v);
        r[off + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void set32(std::size_t off, std::uint32_t v) {
        set16(off, v & 0xFFFF);
        set16(off + 2, v >> 16);
    }
    std::vector<std::uint8_t> frameBody() const;
};

// An open simulator device with a host-side packet reader.
class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    FT_HANDLE handle() const { return m_handle; }
    bool opened() const { return m_handle != nullptr; }
    // The configuration the program applies after opening.
    FT_STATUS configure();
    FT_STATUS write(const std::vector<std::uint8_t>& bytes);
    // Image in the vendor serial format of the given length.
    static std::vector<std::uint8_t> image(std::size_t bytes = 337006);
    // Bit-bang load as the program does it, then the start command. Returns the first FT error.
    FT_STATUS loadFpga(const std::vector<std::uint8_t>& image);
    // Reads until a packet is complete or the bound of reads runs out. Data packets need N; with
    // N = 0 they are skipped.
    std::optional<Packet> nextPacket(std::size_t points = 0, int maxReads = 50);
    // Next status packet of the given kind within a bound of packets (skips data packets of N).
    std::optional<Packet> waitStatus(int kind, int maxPackets = 200, std::size_t points = 0);
    std::optional<Packet> waitData(int maxPackets = 400, std::size_t points = 0);
    void sendSettings(Registers& regs, std::uint8_t sequence);
    void drain();

private:
    bool fill(int maxReads);

    FT_HANDLE m_handle = nullptr;
    std::vector<std::uint8_t> m_stream;
    std::size_t m_pos = 0;
};

} // namespace kxtest
