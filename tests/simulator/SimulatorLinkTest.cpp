// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated instrument seen through its D2XX entry points: discovery, opening, FPGA load,
// status packets, acknowledgements and faults.
#include "SimLink.h"

#include "core/Crc16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <span>
#include <thread>

using namespace kxtest;

namespace {

constexpr FT_STATUS kOk = 0;
constexpr FT_STATUS kIoError = 4;

class SimulatorLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(d2xx().resolved, 24) << "library or entry points missing: " << KXSIM_PATH;
        ASSERT_NE(d2xx().control, nullptr);
        ASSERT_EQ(d2xx().control("reset; pacing=off; seed=1"), 0);
    }
    void TearDown() override { d2xx().control("reset"); }

    // Opens, configures and loads the FPGA; the first packet must then be the ready status.
    void bringUp(Host& host) {
        ASSERT_TRUE(host.opened());
        ASSERT_EQ(host.configure(), kOk);
        ASSERT_EQ(host.loadFpga(Host::image()), kOk);
        const auto ready = host.nextPacket();
        ASSERT_TRUE(ready.has_value());
        ASSERT_EQ(ready->header, 0x5A);
        ASSERT_TRUE(ready->crcOk);
        ASSERT_EQ(ready->body[0], 2);
    }
};

std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t off) {
    return static_cast<std::uint32_t>(b[off] | (b[off + 1] << 8));
}

TEST_F(SimulatorLink, ListsOneInstrumentByIndexAndOpensByLocationOnce) {
    const D2xx& d = d2xx();
    DWORD count = 0;
    ASSERT_EQ(d.CreateDeviceInfoList(&count), kOk);
    EXPECT_EQ(count, 1u);
    char description[64] = {};
    ASSERT_EQ(d.ListDevices(nullptr, description, 0x40000002u), kOk);
    EXPECT_STREQ(description, "Digital Oscilloscope KX48zz");
    char serial[16] = {};
    ASSERT_EQ(d.ListDevices(nullptr, serial, 0x40000001u), kOk);
    EXPECT_GT(std::strlen(serial), 0u);
    DWORD location = 0;
    ASSERT_EQ(d.ListDevices(nullptr, &location, 0x40000004u), kOk);
    EXPECT_NE(location, 0u);
    EXPECT_EQ(d.ListDevices(reinterpret_cast<void*>(std::uintptr_t{1}), &location, 0x40000004u), 2u);

    EXPECT_EQ(d.OpenEx(reinterpret_cast<void*>(std::uintptr_t{location + 1}), 4, nullptr), 6u);
    FT_HANDLE h = nullptr;
    EXPECT_EQ(d.OpenEx(reinterpret_cast<void*>(std::uintptr_t{location + 1}), 4, &h), 2u);
    ASSERT_EQ(d.OpenEx(reinterpret_cast<void*>(std::uintptr_t{location}), 4, &h), kOk);
    FT_HANDLE second = nullptr;
    EXPECT_EQ(d.OpenEx(description, 2, &second), 3u) << "the bridge opens only once";
    EXPECT_EQ(d.Close(h), kOk);
    EXPECT_EQ(d.Close(h), 1u) << "a closed handle is invalid";
    ASSERT_EQ(d.OpenEx(description, 2, &h), kOk);
    EXPECT_EQ(d.Close(h), kOk);
    ASSERT_EQ(d.Open(0, &h), kOk);
    EXPECT_EQ(d.Close(h), kOk);
}

TEST_F(SimulatorLink, TrmModelsAreListedUnderTheirOwnDescription) {
    ASSERT_EQ(d2xx().control("model=0x35"), 0);
    char description[64] = {};
    ASSERT_EQ(d2xx().ListDevices(nullptr, description, 0x40000002u), kOk);
    EXPECT_STREQ(description, "TRM207");
    ASSERT_EQ(d2xx().control("description=Digital Oscilloscope; model=0x31"), 0);
    ASSERT_EQ(d2xx().ListDevices(nullptr, description, 0x40000002u), kOk);
    EXPECT_STREQ(description, "Digital Oscilloscope") << "an explicit description stays";
}

TEST_F(SimulatorLink, AcceptsTheProgramsConfigurationAndReportsCts) {
    Host host;
    ASSERT_TRUE(host.opened());
    const D2xx& d = d2xx();
    ULONG modem = 0;
    ASSERT_EQ(d.GetModemStatus(host.handle(), &modem), kOk);
    EXPECT_TRUE(modem & 0x10);
    EXPECT_EQ(host.configure(), kOk);
    EXPECT_EQ(d.SetChars(host.handle(), 0, 0, 0, 0), kOk);
    EXPECT_EQ(d.CyclePort(host.handle()), kOk);
    EventHandle event;
    EXPECT_EQ(d.SetEventNotification(host.handle(), 1, &event), kOk);
    DWORD rx = 9, tx = 9, ev = 9;
    EXPECT_EQ(d.GetStatus(host.handle(), &rx, &tx, &ev), kOk);
    EXPECT_EQ(rx, 0u) << "nothing is sent before the FPGA is loaded";
    EXPECT_EQ(tx, 0u);
    EXPECT_EQ(d.SetBaudRate(host.handle(), 0), 7u);
}

TEST_F(SimulatorLink, ReportsReadyOnlyAfterACompleteImageAndTheStartCommand) {
    Host host;
    ASSERT_EQ(host.configure(), kOk);
    // One byte short: the part never finishes, the start command goes unanswered.
    ASSERT_EQ(host.loadFpga(Host::image(337005)), kOk);
    EXPECT_FALSE(host.nextPacket(0, 5).has_value());
    // An image without the synchronisation word is not taken either.
    auto noSync = Host::image();
    noSync[17] = 0x00;
    ASSERT_EQ(host.loadFpga(noSync), kOk);
    EXPECT_FALSE(host.nextPacket(0, 5).has_value());
    ASSERT_EQ(host.loadFpga(Host::image()), kOk);
    const auto ready = host.nextPacket();
    ASSERT_TRUE(ready.has_value());
    EXPECT_EQ(ready->header, 0x5A);
    EXPECT_TRUE(ready->crcOk);
    EXPECT_EQ(ready->body[0], 2);
}

TEST_F(SimulatorLink, StatusPacketsCarryValidTablesAndSaneFields) {
    Host host;
    bringUp(host);
    for (int i = 0; i < 3; ++i) {
        const auto p = host.nextPacket();
        ASSERT_TRUE(p.has_value());
        ASSERT_EQ(p->header, 0x5A);
        ASSERT_TRUE(p->crcOk);
        const auto& b = p->body;
        EXPECT_EQ(b[0], 0) << "plain status";
        EXPECT_EQ(u16(b, 4), 0x23u) << "device type";
        EXPECT_EQ(b[3], 0) << "flash is fine";
        EXPECT_EQ(kx::core::crc16(std::span<const std::uint8_t>(b.data() + 26, 64)), 0);
        EXPECT_EQ(kx::core::crc16(std::span<const std::uint8_t>(b.data() + 90, 64)), 0);
        const double volts = u16(b, 154) / 65536.0 * 6.6;
        EXPECT_NEAR(volts, 5.0, 0.02);
        EXPECT_GE(u16(b, 156), 1u) << "power-on counter";
    }
}

TEST_F(SimulatorLink, SignalsTheEventHandleWhenBytesArrive) {
    Host host;
    ASSERT_TRUE(host.opened());
    EventHandle event;
    ASSERT_EQ(d2xx().SetEventNotification(host.handle(), 1, &event), kOk);
    ASSERT_EQ(host.configure(), kOk);
    EXPECT_EQ(event.iVar, 0) << "nothing arrives before the FPGA is loaded";
    ASSERT_EQ(host.loadFpga(Host::image()), kOk);
    pthread_mutex_lock(&event.eMutex);
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += 5;
    while (event.iVar == 0)
        if (pthread_cond_timedwait(&event.eCondVar, &event.eMutex, &deadline) != 0) break;
    const int signalled = event.iVar;
    pthread_mutex_unlock(&event.eMutex);
    EXPECT_EQ(signalled, 1);
    ASSERT_EQ(d2xx().SetEventNotification(host.handle(), 0, nullptr), kOk);
}

TEST_F(SimulatorLink, AcknowledgesGoodFramesAndIgnoresBadOnes) {
    Host host;
    bringUp(host);
    Registers regs;
    host.sendSettings(regs, 1);
    EXPECT_TRUE(host.waitStatus(3, 50).has_value());

    // Corrupt the CRC: no acknowledgement among the next packets.
    auto body = regs.frameBody();
    body.back() ^= 0x01;
    host.write(FrameBuilder::preamble());
    host.write(body);
    EXPECT_FALSE(host.waitStatus(3, 20).has_value());

    // A body without its preamble is not a frame either.
    host.write(regs.frameBody());
    EXPECT_FALSE(host.waitStatus(3, 20).has_value());

    // Blocks that do not fill the length exactly are refused despite a good CRC.
    std::vector<std::uint8_t> bad = {5, 1, 1, 0x00, 0xFF, 0x11, 0x22};
    const std::uint16_t crc = kx::core::crc16(bad);
    bad.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bad.push_back(static_cast<std::uint8_t>(crc >> 8));
    host.write(FrameBuilder::preamble());
    host.write(bad);
    EXPECT_FALSE(host.waitStatus(3, 20).has_value());

    // An AWG block is one more good frame.
    host.write(FrameBuilder::preamble());
    host.write(FrameBuilder{}.block(0xA000, std::vector<std::uint8_t>(128, 0x11)).body());
    EXPECT_TRUE(host.waitStatus(3, 50).has_value());
}

TEST_F(SimulatorLink, KeepsUploadedTablesAndReturnsThemInStatus) {
    Host host;
    bringUp(host);
    std::vector<std::uint8_t> table(64);
    for (std::size_t i = 0; i < 62; ++i) table[i] = static_cast<std::uint8_t>(i * 3);
    const std::uint16_t crc = kx::core::crc16(std::span<const std::uint8_t>(table.data(), 62));
    table[62] = static_cast<std::uint8_t>(crc & 0xFF);
    table[63] = static_cast<std::uint8_t>(crc >> 8);
    host.write(FrameBuilder::preamble());
    host.write(FrameBuilder{}.block(0xF400, table).body());
    const auto ack = host.waitStatus(3, 50);
    ASSERT_TRUE(ack.has_value());
    EXPECT_TRUE(std::equal(table.begin(), table.end(), ack->body.begin() + 26));
}

TEST_F(SimulatorLink, UnplugFailsEveryCallUntilReplugAndReopen) {
    Host host;
    bringUp(host);
    ASSERT_EQ(d2xx().control("unplug"), 0);
    DWORD n = 0;
    EXPECT_EQ(d2xx().GetQueueStatus(host.handle(), &n), kIoError);
    EXPECT_EQ(host.write({0x00}), kIoError);
    DWORD count = 9;
    d2xx().CreateDeviceInfoList(&count);
    EXPECT_EQ(count, 0u);
    ASSERT_EQ(d2xx().control("replug"), 0);
    EXPECT_EQ(d2xx().GetQueueStatus(host.handle(), &n), kIoError) << "the old handle stays dead";
    Host again;
    ASSERT_TRUE(again.opened());
    ASSERT_EQ(again.configure(), kOk);
    EXPECT_FALSE(again.nextPacket(0, 3).has_value()) << "power-cycled: FPGA must be loaded again";
    ASSERT_EQ(again.loadFpga(Host::image()), kOk);
    EXPECT_TRUE(again.waitStatus(2, 5).has_value());
}

TEST_F(SimulatorLink, PowerFailureStopsStatusPackets) {
    Host host;
    bringUp(host);
    ASSERT_EQ(d2xx().control("power=off"), 0);
    host.drain();
    EXPECT_FALSE(host.nextPacket(0, 3).has_value());
    // The program's recovery reloads the FPGA: without supply nothing answers.
    ASSERT_EQ(host.loadFpga(Host::image()), kOk);
    EXPECT_FALSE(host.nextPacket(0, 3).has_value());
    ASSERT_EQ(d2xx().control("power=on"), 0);
    ASSERT_EQ(host.loadFpga(Host::image()), kOk);
    EXPECT_TRUE(host.waitStatus(2, 5).has_value());
}

TEST_F(SimulatorLink, FaultsShowOnTheWire) {
    {
        Host host;
        bringUp(host);
        ASSERT_EQ(d2xx().control("flash=fail"), 0);
        host.drain();
        const auto p = host.waitStatus(0, 5);
        ASSERT_TRUE(p.has_value());
        EXPECT_NE(p->body[3], 0);
        ASSERT_EQ(d2xx().control("flash=ok; supply=4300"), 0);
        host.drain();
        const auto q = host.waitStatus(0, 5);
        ASSERT_TRUE(q.has_value());
        EXPECT_EQ(q->body[3], 0);
        EXPECT_NEAR(u16(q->body, 154) * 6600.0 / 65536.0, 4300.0, 5.0);

        ASSERT_EQ(d2xx().control("drop_acks=1"), 0);
        Registers regs;
        host.sendSettings(regs, 2);
        EXPECT_FALSE(host.waitStatus(3, 20).has_value());
        host.sendSettings(regs, 3);
        EXPECT_TRUE(host.waitStatus(3, 50).has_value());
    }
    {
        ASSERT_EQ(d2xx().control("ready=off"), 0);
        Host host;
        ASSERT_EQ(host.configure(), kOk);
        ASSERT_EQ(host.loadFpga(Host::image()), kOk);
        EXPECT_FALSE(host.nextPacket(0, 3).has_value());
        ASSERT_EQ(d2xx().control("ready=on"), 0);
    }
    {
        Host host;
        bringUp(host);
        ASSERT_EQ(d2xx().control("bit_errors=0.002"), 0);
        host.drain();
        int bad = 0;
        for (int i = 0; i < 50; ++i) {
            const auto p = host.nextPacket();
            ASSERT_TRUE(p.has_value());
            if (!p->crcOk) ++bad;
        }
        EXPECT_GT(bad, 0);
        EXPECT_LT(bad, 50);
    }
}

TEST_F(SimulatorLink, CalibrationTablesLoseAndRegainTheirCrc) {
    Host host;
    bringUp(host);
    const auto crcOf = [](const Packet& p, std::size_t offset) {
        return kx::core::crc16(std::span<const std::uint8_t>(p.body.data() + offset, 64));
    };
    const auto sound = host.waitStatus(0, 5);
    ASSERT_TRUE(sound.has_value());
    struct Step {
        const char* command;
        bool zeroValid, systemValid;
    };
    for (const Step step : {Step{"tables=invalid", false, false}, Step{"tables=invalid", false, false},
                            Step{"zero_table=valid", true, false}, Step{"system_table=valid", true, true},
                            Step{"system_table=invalid", true, false}, Step{"tables=valid", true, true}}) {
        SCOPED_TRACE(step.command);
        ASSERT_EQ(d2xx().control(step.command), 0);
        host.drain();
        const auto p = host.waitStatus(0, 5);
        ASSERT_TRUE(p.has_value());
        ASSERT_TRUE(p->crcOk) << "the packet itself stays sound";
        EXPECT_EQ(crcOf(*p, 26) == 0, step.zeroValid);
        EXPECT_EQ(crcOf(*p, 90) == 0, step.systemValid);
        // Only the CRC suffers: the calibration values are those of the factory.
        EXPECT_TRUE(std::equal(p->body.begin() + 26, p->body.begin() + 26 + 62, sound->body.begin() + 26));
        EXPECT_TRUE(std::equal(p->body.begin() + 90, p->body.begin() + 90 + 62, sound->body.begin() + 90));
    }
    EXPECT_NE(d2xx().control("tables=lost"), 0);
    EXPECT_NE(d2xx().control("zero_table"), 0);
}

TEST_F(SimulatorLink, ReadsInOneThreadWhileAnotherWritesAndControls) {
    Host host;
    bringUp(host);
    EventHandle event;
    ASSERT_EQ(d2xx().SetEventNotification(host.handle(), 1, &event), kOk);
    std::atomic<bool> stop{false};
    std::atomic<int> packets{0};
    std::thread reader([&] {
        std::vector<std::uint8_t> buf(65000);
        while (!stop.load()) {
            DWORD n = 0;
            if (d2xx().GetQueueStatus(host.handle(), &n) != kOk) break;
            DWORD got = 0;
            if (d2xx().Read(host.handle(), buf.data(), std::min<DWORD>(std::max<DWORD>(n, 1), 65000), &got) !=
                kOk)
                break;
            packets += static_cast<int>(got);
        }
    });
    Registers regs;
    for (int i = 0; i < 50; ++i) {
        regs.r[35] = static_cast<std::uint8_t>(i);
        host.write(FrameBuilder::preamble());
        host.write(regs.frameBody());
        d2xx().control(i % 2 ? "flash=fail" : "flash=ok");
        DWORD rx = 0, tx = 0, ev = 0;
        EXPECT_EQ(d2xx().GetStatus(host.handle(), &rx, &tx, &ev), kOk);
    }
    for (int i = 0; i < 10000000 && packets.load() < 5000; ++i) std::this_thread::yield();
    stop = true;
    reader.join();
    EXPECT_GE(packets.load(), 5000);
}

TEST_F(SimulatorLink, RefusesUnknownControlCommands) {
    EXPECT_NE(d2xx().control("explode"), 0);
    EXPECT_NE(d2xx().control("power=maybe"), 0);
    EXPECT_NE(d2xx().control("bit_errors=2"), 0);
    EXPECT_NE(d2xx().control(nullptr), 0);
    EXPECT_EQ(d2xx().control("model=0x21; seed=7"), 0);
}

} // namespace
