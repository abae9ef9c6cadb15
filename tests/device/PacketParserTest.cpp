// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/LinkPolicy.h"
#include "device/PacketParser.h"
#include "core/Crc16.h"
#include "device/FrameCodec.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace kx::device {
namespace {

using Bytes = std::vector<std::uint8_t>;

void appendCrc(Bytes& b, std::size_t from) {
    const std::uint16_t crc = core::crc16(std::span(b).subspan(from));
    b.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    b.push_back(static_cast<std::uint8_t>(crc >> 8));
}

Bytes statusPacket(std::uint8_t kind, std::uint8_t fill = 0) {
    Bytes b(kPreamble.begin(), kPreamble.end());
    const std::size_t from = b.size();
    b.push_back(kStatusHeader);
    Bytes body(kStatusBodySize, fill);
    body[0] = kind;
    body[1] = 45; // firmware 3.45
    body[2] = 12; // FPGA 3.12
    body[4] = 0x23;
    body[8] = 0x78;
    body[15] = 0x12;
    body[16] = 0x81;
    body[154] = 0x00;
    body[155] = 0xC0; // 0xC000 -> 4950 mV
    body[156] = 7;
    b.insert(b.end(), body.begin(), body.end());
    appendCrc(b, from);
    return b;
}

Bytes dataPacket(std::uint8_t header, std::size_t a, std::size_t bSize, std::uint8_t sequence,
                 std::uint8_t fill = 0x11) {
    Bytes b(kPreamble.begin(), kPreamble.end());
    const std::size_t from = b.size();
    b.push_back(header);
    for (std::size_t i = 0; i < a + bSize; ++i) b.push_back(static_cast<std::uint8_t>(fill + i));
    Bytes info(kInfoBlockSize, 0);
    info[info::Sequence] = sequence;
    b.insert(b.end(), info.begin(), info.end());
    appendCrc(b, from);
    return b;
}

struct ParserTest : ::testing::Test {
    RequestFlags flags;
    StatusBoard board;
    LinkPolicy policy{flags, board};
    PacketParser parser{policy};

    std::size_t feed(const Bytes& b) { return parser.feed(b); }
};

TEST(Crc16, CheckValue) {
    const std::string_view digits = "123456789";
    EXPECT_EQ(core::crc16({reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()}), 0x4B37);
}

TEST(FrameCodec, WriteFrameLayout) {
    const std::uint8_t data[] = {1, 2, 3};
    const WriteBlock block{0xFF30, data};
    std::array<std::uint8_t, kMaxFrameBody> out{};
    const std::size_t n = buildWriteFrame(std::span(&block, 1), out);
    ASSERT_EQ(n, 10u);
    EXPECT_EQ(out[0], 7); // body bytes after the length byte, without the CRC
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(out[2], 3);
    EXPECT_EQ(out[3], 0x30);
    EXPECT_EQ(out[4], 0xFF);
    EXPECT_EQ(core::crc16(std::span(out).first(n)), 0); // CRC low byte first
    // Oversized blocks and short buffers build nothing.
    const std::vector<std::uint8_t> big(256, 0);
    const WriteBlock tooBig{0, big};
    EXPECT_EQ(buildWriteFrame(std::span(&tooBig, 1), out), 0u);
    std::array<std::uint8_t, 4> small{};
    EXPECT_EQ(buildWriteFrame(std::span(&block, 1), small), 0u);
}

TEST(FrameCodec, BlockSizesFromHeaderBits) {
    struct Case {
        std::uint8_t header;
        std::uint64_t a, b;
    };
    const Case cases[] = {{0x00, 0, 0},    {0x01, 1000, 0}, {0x03, 2000, 0},    {0x04, 250, 0},
                          {0x0C, 500, 0},  {0x14, 0, 2000}, {0x1D, 1000, 4000}, {0x21, 4000, 0},
                          {0x27, 9000, 0}, {0x3C, 0, 4000}};
    for (const auto& c : cases) {
        const BlockSizes s = dataBlockSizes(c.header, 1000);
        EXPECT_EQ(s.a, c.a) << int(c.header);
        EXPECT_EQ(s.b, c.b) << int(c.header);
    }
    EXPECT_EQ(dataBlockSizes(0x04, 7).a, 1u); // N/4 rounds towards zero
}

TEST_F(ParserTest, StatusPacketSplitAcrossReadsIsDecodedOnce) {
    const Bytes packet = statusPacket(2);
    for (std::size_t cut : {1u, 25u, 26u, 100u, 186u}) {
        feed(Bytes(packet.begin(), packet.begin() + cut));
        feed(Bytes(packet.begin() + cut, packet.end()));
    }
    const auto counts = parser.takeCounts();
    EXPECT_EQ(counts.statusPackets, 5u);
    EXPECT_EQ(counts.leakage, 0u);
    EXPECT_EQ(counts.crcErrors, 0u);
    const StatusInfo s = board.snapshot();
    EXPECT_EQ(s.packets, 5u);
    EXPECT_TRUE(flags.DeviceReady);
    EXPECT_EQ(s.firmwareVersion, 345);
    EXPECT_EQ(s.fpgaVersion, 312);
    EXPECT_EQ(s.deviceType, 0x23);
    EXPECT_EQ(s.serial, 0x1200000000000078ull);
    EXPECT_TRUE(s.pin);
    EXPECT_EQ(s.supplyMillivolts, 4950);
    EXPECT_EQ(s.powerOnCounter, 7);
    EXPECT_FALSE(s.awgStateKnown); // only once settings are acknowledged
    EXPECT_TRUE(flags.StatusRequest);
}

TEST_F(ParserTest, AcknowledgementSetsFlagOnly) {
    feed(statusPacket(3));
    EXPECT_TRUE(parser.acknowledged());
    EXPECT_FALSE(flags.DeviceReady);
    EXPECT_FALSE(flags.StatusActivity);
    feed(statusPacket(1));
    EXPECT_TRUE(flags.StatusActivity);
}

TEST_F(ParserTest, CorruptedStatusCountsErrorAndLeakage) {
    Bytes packet = statusPacket(2);
    packet[60] ^= 0x04;
    feed(packet);
    const auto counts = parser.takeCounts();
    EXPECT_EQ(counts.crcErrors, 1u);
    EXPECT_EQ(counts.leakage, packet.size()); // preamble included
    EXPECT_EQ(counts.statusPackets, 0u);
    EXPECT_EQ(board.snapshot().packets, 0u);
    EXPECT_FALSE(flags.DeviceReady);
}

TEST_F(ParserTest, CalibrationTablesTakenOnlyWithValidCrcAndNoUploadPending) {
    Bytes packet(kPreamble.begin(), kPreamble.end());
    packet.push_back(kStatusHeader);
    Bytes body(kStatusBodySize, 0);
    for (std::size_t i = 0; i < 62; ++i) body[26 + i] = static_cast<std::uint8_t>(i + 1);
    const std::uint16_t crc = core::crc16(std::span(body).subspan(26, 62));
    body[26 + 62] = crc & 0xFF;
    body[26 + 63] = crc >> 8;
    body[90] = 5; // system table with a wrong CRC
    packet.insert(packet.end(), body.begin(), body.end());
    appendCrc(packet, kPreambleSize);

    flags.CalibrationRunPending = true;
    feed(packet);
    EXPECT_FALSE(board.snapshot().zeroTableRead);
    flags.CalibrationRunPending = false;
    feed(packet);
    const StatusInfo s = board.snapshot();
    EXPECT_TRUE(s.zeroTableRead);
    EXPECT_EQ(s.zeroTable[0], 1);
    EXPECT_FALSE(s.systemTableRead);
}

TEST_F(ParserTest, CounterAndAwgStateNeedConfiguredAndRunning) {
    Bytes packet = statusPacket(1);
    packet[kPreambleSize + 1 + 17] = 0x13;
    packet.resize(packet.size() - 2);
    appendCrc(packet, kPreambleSize);
    flags.DeviceConfigured = true;
    feed(packet);
    StatusInfo s = board.snapshot();
    EXPECT_TRUE(s.awgStateKnown);
    EXPECT_EQ(s.awgState, 1);
    EXPECT_EQ(s.counterUpdates, 0u);
    flags.Running = true;
    feed(packet);
    s = board.snapshot();
    EXPECT_EQ(s.counterUpdates, 1u);
    EXPECT_EQ(s.counterState, 0x13);
}

TEST_F(ParserTest, DataPacketAcceptedBySequenceAndRunning) {
    parser.setPointsPerChannel(100);
    parser.setExpectedSequence(7);
    flags.Running = true;
    EXPECT_EQ(feed(dataPacket(0x15, 100, 200, 7)), 1u);
    DataPacketView v = parser.handOver();
    EXPECT_EQ(v.blockA.size(), 100u);
    EXPECT_EQ(v.blockB.size(), 200u);
    EXPECT_EQ(v.blockA[0], 0x11);
    EXPECT_EQ(v.blockB[0], static_cast<std::uint8_t>(0x11 + 100));
    EXPECT_EQ(v.info[info::Sequence], 7);

    // An older sequence, or data while stopped, are dropped silently.
    EXPECT_EQ(feed(dataPacket(0x15, 100, 200, 6, 0x40)), 0u);
    flags.Running = false;
    EXPECT_EQ(feed(dataPacket(0x15, 100, 200, 7, 0x40)), 0u);
    v = parser.handOver();
    EXPECT_EQ(v.blockA[0], 0x11); // the hand-over still holds the accepted one
    const auto counts = parser.takeCounts();
    EXPECT_EQ(counts.dataPackets, 1u);
    EXPECT_EQ(counts.crcErrors, 0u);
    EXPECT_EQ(counts.leakage, 0u);
}

TEST_F(ParserTest, PreambleInsideBlockRestartsThePacket) {
    parser.setPointsPerChannel(100);
    flags.Running = true;
    Bytes interrupted(kPreamble.begin(), kPreamble.end());
    interrupted.push_back(0x01);
    for (int i = 0; i < 10; ++i) interrupted.push_back(0x33);
    // 24 pattern bytes and 0x00 inside block A: the packet is given up at this 0x00.
    interrupted.insert(interrupted.end(), kPreamble.begin(), kPreamble.end() - 1);
    const Bytes status = statusPacket(1);
    Bytes stream = interrupted;
    stream.insert(stream.end(), status.begin() + kPatternBytes, status.end());
    feed(stream);
    const auto counts = parser.takeCounts();
    EXPECT_EQ(counts.statusPackets, 1u);
    // Its preamble, header, ten bytes, the 24 pattern bytes and the 0x00 that ends it.
    EXPECT_EQ(counts.leakage, kPreambleSize + 1 + 10 + kPatternBytes + 1);
}

TEST_F(ParserTest, LeakageBetweenPacketsAndPartialPatterns) {
    Bytes stream = {0x12, 0x34};
    // A pattern entered in the middle: 0x0F then 0x55 0xAA ...
    stream.push_back(0x0F);
    for (int i = 0; i < 7; ++i) stream.insert(stream.end(), {0x55, 0xAA, 0x0F});
    stream.push_back(0x55);
    stream.push_back(0x00); // 23 bytes of pattern after the 0x0F: not a start
    feed(stream);
    const auto counts = parser.takeCounts();
    EXPECT_EQ(counts.leakage, stream.size());
    EXPECT_EQ(board.snapshot().packets, 0u);
}

TEST_F(ParserTest, PatternIsCountedFromItsFirstAa) {
    // 0x0F 0x55 ahead of a full preamble: both are leakage, the packet itself is clean.
    Bytes stream = {0x0F, 0x55};
    const Bytes status = statusPacket(1);
    stream.insert(stream.end(), status.begin(), status.end());
    feed(stream);
    const auto counts = parser.takeCounts();
    EXPECT_EQ(counts.statusPackets, 1u);
    EXPECT_EQ(counts.leakage, 2u);
}

TEST_F(ParserTest, OversizedHeaderIsDroppedAndCounted) {
    parser.setPointsPerChannel(60000); // 0x23: block A = 4 x 2N = 480 000 bytes
    flags.Running = true;
    Bytes stream(kPreamble.begin(), kPreamble.end());
    stream.push_back(0x23);
    stream.insert(stream.end(), 300000, 0x42);
    const Bytes status = statusPacket(1);
    stream.insert(stream.end(), status.begin(), status.end());
    EXPECT_EQ(feed(stream), 0u);
    auto counts = parser.takeCounts();
    EXPECT_EQ(counts.oversized, 1u);
    EXPECT_EQ(counts.statusPackets, 1u);
    EXPECT_EQ(counts.leakage, kPreambleSize + 1 + 300000);

    parser.setPointsPerChannel(10000); // block B = 2 x 2N = 40 000 bytes > 10 000
    EXPECT_EQ(feed(dataPacket(0x1C, 0, 40000, 0)), 0u);
    counts = parser.takeCounts();
    EXPECT_EQ(counts.oversized, 1u);
}

TEST_F(ParserTest, LargestDataPacketFits) {
    parser.setPointsPerChannel(25000); // 0x23: 4 x 2N = 200 000 bytes
    flags.Running = true;
    Bytes packet = dataPacket(0x23, 200000, 0, 0);
    packet[kPreambleSize + 1 + 199999] = 0x77;
    packet.resize(packet.size() - 2);
    appendCrc(packet, kPreambleSize);
    EXPECT_EQ(feed(packet), 1u);
    EXPECT_EQ(parser.handOver().blockA.back(), 0x77);
}

TEST_F(ParserTest, CorruptedDataPacketCounts) {
    parser.setPointsPerChannel(100);
    flags.Running = true;
    Bytes packet = dataPacket(0x01, 100, 0, 0);
    packet[kPreambleSize + 50] ^= 0xFF;
    EXPECT_EQ(feed(packet), 0u);
    const auto counts = parser.takeCounts();
    EXPECT_EQ(counts.crcErrors, 1u);
    EXPECT_EQ(counts.leakage, packet.size());
}

TEST_F(ParserTest, HookSeesEveryAcceptedPacket) {
    parser.setPointsPerChannel(8);
    flags.Running = true;
    int seen = 0;
    parser.onDataAccepted = [&](const DataPacketView& v) {
        ++seen;
        EXPECT_EQ(v.blockA.size(), 8u);
    };
    Bytes stream = dataPacket(0x01, 8, 0, 0);
    const Bytes second = dataPacket(0x01, 8, 0, 0, 0x50);
    stream.insert(stream.end(), second.begin(), second.end());
    EXPECT_EQ(feed(stream), 2u);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(parser.handOver().blockA[0], 0x50); // the last one is handed over
}

} // namespace
} // namespace kx::device
