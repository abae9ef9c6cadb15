// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/RegisterImage.h"
#include "core/Crc16.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>

namespace kx::device {
namespace {

using Buffer = std::array<std::uint8_t, kMaxSettingsBodySize>;

std::uint16_t le16(const Buffer& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(RegisterImage, ValuesAreLittleEndianAndBounded) {
    RegisterImage img;
    img.set32(reg::kDecimation, 0x11223344);
    img.set48(reg::kGenFreqWord, 0xAABB'CCDDEEFF0102ull); // upper 16 bits dropped
    img.set16(reg::kGenAwgMark, 0x0800);
    EXPECT_EQ(img.get8(reg::kDecimation), 0x44);
    EXPECT_EQ(img.get8(reg::kDecimation + 3), 0x11);
    EXPECT_EQ(img.get48(reg::kGenFreqWord), 0xCCDDEEFF0102ull);
    EXPECT_EQ(img.get8(reg::kGenStepWord), 0); // neighbour untouched
    EXPECT_EQ(img.get16(reg::kGenAwgMark), 0x0800);
    // The last register ends the image; anything beyond is ignored, not written.
    img.set32(reg::kGenAwgMark, 0xFFFFFFFF);
    img.set8(kImageSize, 1);
    EXPECT_EQ(img.get16(reg::kGenAwgMark), 0x0800);
    EXPECT_EQ(img.get32(kImageSize - 1), 0u);
}

TEST(SettingsBody, PlainFrameLayoutAndCrc) {
    RegisterImage img;
    img.set8(reg::kTrigFlags, 0x5A);
    Buffer out{};
    ASSERT_EQ(buildSettingsBody(img, 7, nullptr, nullptr, out), kPlainBodySize);
    EXPECT_EQ(out[0], 128);
    EXPECT_EQ(out[1], 4);
    const std::array<std::array<std::uint8_t, 4>, 4> headers = {
        {{2, 39, 0x01, 0xFF}, {44, 1, 0x30, 0xFF}, {48, 39, 0x40, 0xFF}, {90, 36, 0x70, 0xFF}}};
    for (const auto& h : headers) {
        EXPECT_EQ(out[h[0]], h[1]) << int(h[0]);
        EXPECT_EQ(out[h[0] + 1u], h[2]);
        EXPECT_EQ(out[h[0] + 2u], h[3]);
    }
    EXPECT_EQ(out[reg::kSequence], 7);
    EXPECT_EQ(out[reg::kTrigFlags], 0x5A);
    EXPECT_EQ(le16(out, 129), core::crc16(std::span(out).first(129)));
    // Body followed by its CRC checks to zero, as the instrument tests it.
    EXPECT_EQ(core::crc16(std::span(out).first(kPlainBodySize)), 0);
}

TEST(SettingsBody, FramingComesFromTheBuilderNotTheImage) {
    RegisterImage img;
    for (std::size_t o :
         {reg::kLength, reg::kBlockCount, reg::kBlock1Header, reg::kBlock3Header + 2, reg::kBlock4Header})
        img.set8(o, 0xEE);
    Buffer out{};
    ASSERT_EQ(buildSettingsBody(img, 0, nullptr, nullptr, out), kPlainBodySize);
    EXPECT_EQ(out[reg::kLength], 128);
    EXPECT_EQ(out[reg::kBlockCount], 4);
    EXPECT_EQ(out[reg::kBlock1Header], 39);
    EXPECT_EQ(out[reg::kBlock3Header + 2], 0xFF);
    EXPECT_EQ(out[reg::kBlock4Header], 36);
}

TEST(SettingsBody, OneTableBlockWithItsCrc) {
    struct Case {
        bool zero;
        std::uint8_t addrHigh;
    };
    for (const Case c : {Case{true, 0xF4}, Case{false, 0xF6}}) {
        core::CalTable table = c.zero ? core::defaultZeroOffsetTable() : core::defaultSystemCalTable();
        Buffer out{};
        const std::size_t n =
            buildSettingsBody(RegisterImage{}, 1, c.zero ? &table : nullptr, c.zero ? nullptr : &table, out);
        ASSERT_EQ(n, kImageSize + kTableBlockSize + kCrcSize);
        EXPECT_EQ(out[0], n - 3);
        EXPECT_EQ(out[1], 5);
        EXPECT_EQ(out[129], 64);
        EXPECT_EQ(out[130], 0x00);
        EXPECT_EQ(out[131], c.addrHigh);
        for (std::size_t i = 0; i < 62; ++i) ASSERT_EQ(out[132 + i], table[i]);
        const auto sent = std::span(out).subspan(132, 64);
        EXPECT_EQ(core::crc16(sent), 0) << "table carries its own CRC";
        EXPECT_EQ(table[62], 0) << "caller's table left as it was";
        EXPECT_EQ(core::crc16(std::span(out).first(n)), 0);
    }
}

TEST(SettingsBody, RefusesBothTablesAndShortBuffers) {
    const core::CalTable a = core::defaultZeroOffsetTable();
    const core::CalTable b = core::defaultSystemCalTable();
    Buffer out{};
    EXPECT_EQ(buildSettingsBody(RegisterImage{}, 0, &a, &b, out), 0u);
    std::array<std::uint8_t, kPlainBodySize - 1> shortBuf{};
    EXPECT_EQ(buildSettingsBody(RegisterImage{}, 0, nullptr, nullptr, shortBuf), 0u);
    std::array<std::uint8_t, kPlainBodySize> exact{};
    EXPECT_EQ(buildSettingsBody(RegisterImage{}, 0, nullptr, nullptr, exact), kPlainBodySize);
    EXPECT_EQ(buildSettingsBody(RegisterImage{}, 0, &a, nullptr, exact), 0u);
}

TEST(StampTableCrc, WritesLowByteFirst) {
    core::CalTable t = core::defaultZeroOffsetTable();
    stampTableCrc(t);
    const std::uint16_t crc = core::crc16(std::span(t).first(62));
    EXPECT_EQ(t[62], crc & 0xFF);
    EXPECT_EQ(t[63], crc >> 8);
}

class HolderTest : public ::testing::Test {
protected:
    RegisterImageHolder holder;
    Buffer out{};
};

TEST_F(HolderTest, OnceFlagsGoOutInExactlyOneFrame) {
    // The trigger-changed flag is raised at start-up.
    ASSERT_EQ(holder.takeSettingsBody(out), kPlainBodySize);
    EXPECT_EQ(out[reg::kCondFlags] & kCondOnceTriggerChanged, kCondOnceTriggerChanged);
    EXPECT_EQ(out[reg::kSequence], 1);

    holder.raise(OnceFlag::CounterReset);
    holder.raise(OnceFlag::PhaseSync);
    holder.raise(OnceFlag::AwgRun);
    ASSERT_EQ(holder.takeSettingsBody(out), kPlainBodySize);
    EXPECT_EQ(out[reg::kCondFlags], 0);
    EXPECT_EQ(out[reg::kFreqMeter], kFreqMeterOnceReset);
    EXPECT_EQ(out[reg::kGenShapeReg], kShapeOncePhaseSync | kShapeOnceAwgRun);

    ASSERT_EQ(holder.takeSettingsBody(out), kPlainBodySize);
    EXPECT_EQ(out[reg::kFreqMeter], 0);
    EXPECT_EQ(out[reg::kGenShapeReg], 0);
    // The published image itself never holds the once bits.
    EXPECT_EQ(holder.snapshot().get8(reg::kGenShapeReg), 0);
}

TEST_F(HolderTest, FlowControlBitAndRunBit) {
    RegisterImage img;
    img.set8(reg::kRunFlags, kRunFlagRunning);
    holder.publish(img);
    ASSERT_GT(holder.takeSettingsBody(out), 0u);
    EXPECT_EQ(out[reg::kRunFlags], kRunFlagRunning | kRunFlagFlowControl);
    holder.setFlowControl(false);
    ASSERT_GT(holder.takeSettingsBody(out), 0u);
    EXPECT_EQ(out[reg::kRunFlags], kRunFlagRunning);
}

TEST_F(HolderTest, SequenceWrapsAndShortBufferConsumesNothing) {
    holder.raise(OnceFlag::AwgRun);
    std::array<std::uint8_t, 10> tiny{};
    EXPECT_EQ(holder.takeSettingsBody(tiny), 0u);
    EXPECT_EQ(holder.sequence(), 0);
    for (int i = 1; i <= 256; ++i) {
        ASSERT_EQ(holder.takeSettingsBody(out), kPlainBodySize);
        if (i == 1) {
            EXPECT_EQ(out[reg::kGenShapeReg], kShapeOnceAwgRun);
        }
        EXPECT_EQ(out[reg::kSequence], static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(holder.sequence(), 0); // 255 wrapped to 0
}

TEST_F(HolderTest, BothTablesGoOutOnceInConsecutiveFrames) {
    core::CalTable zero = core::defaultZeroOffsetTable();
    core::CalTable sys = core::defaultSystemCalTable();
    holder.requestTableUpload(CalTableKind::System, sys);
    holder.requestTableUpload(CalTableKind::ZeroOffset, zero);
    EXPECT_TRUE(holder.uploadPending());

    ASSERT_EQ(holder.takeSettingsBody(out), kMaxSettingsBodySize);
    EXPECT_EQ(out[131], 0xF4);
    EXPECT_TRUE(holder.uploadPending());
    ASSERT_EQ(holder.takeSettingsBody(out), kMaxSettingsBodySize);
    EXPECT_EQ(out[131], 0xF6);
    EXPECT_EQ(core::crc16(std::span(out).subspan(132, 64)), 0);
    EXPECT_FALSE(holder.uploadPending());
    // Until its frame is answered the instrument may still report its old table.
    EXPECT_TRUE(holder.tablesBusy());
    holder.tableDelivered();
    EXPECT_FALSE(holder.tablesBusy());
    EXPECT_EQ(holder.takeSettingsBody(out), kPlainBodySize);
    holder.tableDelivered();
    EXPECT_FALSE(holder.tablesBusy());
}

TEST_F(HolderTest, PublishAndTakeFromTwoThreads) {
    // Each published image is uniform, so a torn copy would show two different values.
    std::jthread writer([this] {
        for (int i = 0; i < 2000; ++i) {
            RegisterImage img;
            for (std::size_t o = reg::kGenFreqWord; o < kImageSize; ++o)
                img.set8(o, static_cast<std::uint8_t>(i));
            holder.publish(img);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        ASSERT_GT(holder.takeSettingsBody(out), 0u);
        for (std::size_t o = reg::kGenFreqWord + 1; o < kImageSize; ++o)
            ASSERT_EQ(out[o], out[reg::kGenFreqWord]);
    }
}

} // namespace
} // namespace kx::device
