// SPDX-License-Identifier: GPL-3.0-or-later
#include "AssemblyFixture.h"

#include <vector>

namespace kx::acquisition::test {
namespace {

class RecorderTest : public AssemblyFixture {
protected:
    RecorderTest() {
        setLength(0, 8);
        setMask(info::kMaskA1);
        info[info::RunFlags] = 0x04;
        info[info::FrameStatus] = 0x01;
        ctx.recordingOn = true;
        blockA = {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0xFF, 0x00};
    }
    void frameAt(std::uint32_t writeIndex) {
        setWord16(info::RollWriteIndex, writeIndex);
        ASSERT_EQ(assemble(), AssemblyStatus::Ok);
    }
    std::vector<int> collected() const {
        const auto c = work->recorder.collected();
        return {c.begin(), c.end()};
    }
};

TEST_F(RecorderTest, FirstFrameOnlyMarksThePosition) {
    frameAt(2);
    EXPECT_TRUE(collected().empty());
    frameAt(5);
    EXPECT_EQ(collected(), (std::vector<int>{0x200, 0x300, 0x400}));
}

TEST_F(RecorderTest, ContinuesAcrossTheWrap) {
    frameAt(5);
    frameAt(1);
    // 0x85 -> 0x500, 0xFF -> 0x7F00, 0x00 -> -0x8000, 0x80 -> 0.
    EXPECT_EQ(collected(), (std::vector<int>{0x500, 0x7F00, -0x8000, 0}));
}

TEST_F(RecorderTest, HighResolutionTakesPairs) {
    info[info::TriggerFlags] = 0x40;
    info[info::HiResExponent] = 1;
    setDecimation(2);
    frameAt(0);
    frameAt(5); // a step from 4 would reach past 5: stop there
    EXPECT_EQ(collected(), (std::vector<int>{0x0081, 0x0283}));
}

TEST_F(RecorderTest, OffEmptiesAndForgets) {
    frameAt(2);
    frameAt(4);
    ASSERT_EQ(collected().size(), 2u);
    ctx.recordingOn = false;
    frameAt(6);
    EXPECT_TRUE(collected().empty());
    EXPECT_EQ(work->recorder.position, -1);
    ctx.recordingOn = true;
    frameAt(7);
    EXPECT_TRUE(collected().empty());
}

TEST_F(RecorderTest, NothingWithoutRollData) {
    frameAt(2);
    info[info::FrameStatus] = 0;
    frameAt(6);
    EXPECT_TRUE(collected().empty());
}

} // namespace
} // namespace kx::acquisition::test
