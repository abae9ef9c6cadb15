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
    info[info::FrameStatus] = 0x03; // the write index went round: the ring is full
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

TEST_F(RecorderTest, ValuesAreCodesWithBit15Inverted) {
    // Averaged pairs give full 16-bit codes: 0x8000 -> 0, 0xFFFF -> 32767, 0x0000 -> -32768.
    info[info::TriggerFlags] = 0x40;
    info[info::HiResExponent] = 1;
    blockA = {0x80, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x12, 0x34};
    frameAt(0);
    info[info::FrameStatus] = 0x03;
    frameAt(0); // one whole lap later by the index alone: the entries did not change, nothing is new
    EXPECT_TRUE(collected().empty());
    frameAt(6);
    EXPECT_EQ(collected(), (std::vector<int>{0, 32767, -32768}));
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

// Decimation 1: one entry every 5 ns, so the 8-entry ring goes round in 40 ns.
class RecorderLossTest : public RecorderTest {
protected:
    RecorderLossTest() { info[info::FrameStatus] = 0x03; }
    void frameAt(std::uint32_t writeIndex, std::int64_t arrivalNs) {
        ctx.arrivalNs = arrivalNs;
        RecorderTest::frameAt(writeIndex);
    }
};

TEST_F(RecorderLossTest, RingRewrittenBeforeTheFrameArrived) {
    frameAt(2, 1000);
    // 50 ns later: the ring went round once more than the write index shows, and every entry
    // changed. The whole ring is kept, oldest first; the two entries after the old position
    // that were overwritten are counted.
    blockA = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
    frameAt(4, 1050);
    EXPECT_EQ(collected(),
              (std::vector<int>{0x1400 - 0x8000, 0x1500 - 0x8000, 0x1600 - 0x8000, 0x1700 - 0x8000,
                                0x1000 - 0x8000, 0x1100 - 0x8000, 0x1200 - 0x8000, 0x1300 - 0x8000}));
    EXPECT_EQ(work->recorder.lost, 2u);
    // Three laps: two whole rings more are gone.
    work->recorder.empty();
    blockA = {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27};
    frameAt(4, 1050 + 3 * 40);
    EXPECT_EQ(collected().size(), 8u);
    EXPECT_EQ(work->recorder.lost, 16u);
}

TEST_F(RecorderLossTest, LateFramesWithTheirEntriesIntactLoseNothing) {
    frameAt(2, 1000);
    // Arrived a lap late (it waited in the link), but only the two new entries changed.
    blockA[2] = 0x40;
    blockA[3] = 0x41;
    frameAt(4, 1050);
    EXPECT_EQ(collected(), (std::vector<int>{0x4000 - 0x8000, 0x4100 - 0x8000}));
    EXPECT_EQ(work->recorder.lost, 0u);
}

TEST_F(RecorderLossTest, ChangedEntriesWithoutALapAreNoLoss) {
    frameAt(2, 1000);
    blockA = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
    frameAt(4, 1010);
    EXPECT_EQ(collected(), (std::vector<int>{0x1200 - 0x8000, 0x1300 - 0x8000}));
    EXPECT_EQ(work->recorder.lost, 0u);
}

TEST_F(RecorderLossTest, RestartedRingGivesItsSamplesAndCountsTheGap) {
    frameAt(6, 1000);
    info[info::FrameStatus] = 0x01; // new settings: the instrument fills its ring from 0 again
    frameAt(2, 1050);
    EXPECT_EQ(collected(), (std::vector<int>{0, 0x100}));
    EXPECT_EQ(work->recorder.lost, 8u); // 10 entries by the clock, 2 of them in the ring
}

TEST_F(RecorderLossTest, ValuesBeyondTheAreaAreCounted) {
    work->recorder.count = kRecorderCapacity - 1;
    frameAt(2, 1000);
    frameAt(5, 1015);
    EXPECT_EQ(work->recorder.count, kRecorderCapacity);
    EXPECT_EQ(work->recorder.lost, 2u);
}

TEST_F(RecorderTest, NothingWithoutRollData) {
    frameAt(2);
    info[info::FrameStatus] = 0;
    frameAt(6);
    EXPECT_TRUE(collected().empty());
}

} // namespace
} // namespace kx::acquisition::test
