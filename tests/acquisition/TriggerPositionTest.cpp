// SPDX-License-Identifier: GPL-3.0-or-later
#include "AssemblyFixture.h"

#include "acquisition/TriggerPosition.h"

namespace kx::acquisition::test {
namespace {

using core::Channel;
namespace fh = core::fh;

class TriggerShiftTest : public AssemblyFixture {
protected:
    // A1 only, 200 samples of a rising ramp (sample i = i x 256), trigger active on `source`.
    void rampFrame(std::uint8_t source, std::uint8_t mask) {
        setLength(100, 100);
        setMask(mask);
        info[info::ChannelFlags] = 0x80;
        info[info::TriggerFlags] = source;
        blockA.clear();
        for (int i = 0; i < 200; ++i) blockA.push_back(static_cast<std::uint8_t>(i));
    }
    std::int32_t shift(int i) const { return signedWord(fh::ShiftA1 + i); }
};

TEST_F(TriggerShiftTest, AnalogCrossingBetweenInterpolatedSteps) {
    rampFrame(0, info::kMaskA1);
    ctx.preTrigger = 99;
    info[info::A1Upper] = 100; // threshold 25600 = sample 100: never passed within 99.1 .. 99.9
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    // Last step from 99.8 to 99.9: fraction ~2 of a tenth beyond, so about 9 + 0.2 tenths.
    EXPECT_NEAR(shift(0), 110, 1);
    EXPECT_EQ(shift(1), shift(0));
    EXPECT_EQ(shift(2), shift(0));

    ctx.preTrigger = 100;
    info[info::A1Upper] = 100; // crossed at the first step: b = 0 and M = the neighbourhood sample
    info[info::TriggerNeighbourhood] = 90;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    // M = 23040, N ~ 25626: fraction (25600 - 23040) / 2586 ~ 0.99 -> 10.
    EXPECT_NEAR(shift(0), 10, 1);
}

TEST_F(TriggerShiftTest, AbsentSourceUsesTheNeighbourhood) {
    rampFrame(0, info::kMaskA2); // A1 is the source but not in the frame
    info[info::TriggerNeighbourhood] = 90;
    info[info::TriggerNeighbourhood + 1] = 110;
    info[info::A1Upper] = 100;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(shift(0), 50);

    info[info::TriggerFlags] = 0x10; // edge down: lower threshold, falling neighbourhood
    info[info::TriggerNeighbourhood] = 104;
    info[info::TriggerNeighbourhood + 1] = 96;
    info[info::A1Lower] = 102;
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(shift(0), 25);

    info[info::TriggerNeighbourhood + 1] = 104; // d = 0: half a sample
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(shift(0), 50);
}

TEST(DigitalTriggerShift, FirstRisingBit) {
    EXPECT_EQ(digitalTriggerShift(0xFFF0, false), 44);  // k = 4: 100 x 3.5 / 8 = 43.75
    EXPECT_EQ(digitalTriggerShift(0x0002, false), 6);   // k = 1: 6.25
    EXPECT_EQ(digitalTriggerShift(0xFFFF, false), 194); // none: k = 16
    EXPECT_EQ(digitalTriggerShift(0x00FF, true), 94);   // inverted: 0xFF00, k = 8: 93.75
}

TEST_F(TriggerShiftTest, DigitalSourceAndFastDigital) {
    rampFrame(2, info::kMaskA1 | info::kMaskD12);
    blockA.clear();
    for (int i = 0; i < 250; ++i) blockA.push_back(0);
    setWord16(info::TriggerNeighbourhood, 0xFFF0);
    ASSERT_TRUE(assembled(assemble()));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(shift(i), 44) << i;

    setLength(0, 8);
    setMask(info::kMaskD12 | info::kMaskFastDigital);
    blockB.assign(16, 0);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(shift(0), 44);
    EXPECT_EQ(shift(1), 44);
    for (int i = 2; i < 6; ++i) EXPECT_EQ(shift(i), 352) << i;
}

TEST_F(TriggerShiftTest, NotComputedWhenDecimatedOrUntriggered) {
    rampFrame(0, info::kMaskA1);
    info[info::A1Upper] = 100;
    ctx.preTrigger = 99;
    setDecimation(2);
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(shift(0), 0);
    setDecimation(1);
    info[info::FrameStatus] = 0x04; // trigger position not valid
    ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    EXPECT_EQ(word(fh::TriggerSource), 0u);
    EXPECT_EQ(shift(0), 0);
}

} // namespace
} // namespace kx::acquisition::test
