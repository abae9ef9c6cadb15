// SPDX-License-Identifier: GPL-3.0-or-later
// The system calibration's registers: the base setup on both front ends and what the test
// modes change in it.
#include "app/SystemCalibrationImage.h"

#include "generator/GeneratorRegisters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kx::app {
namespace {

namespace reg = device::reg;
using calibration::systemTestSetup;

device::RegisterImage fill(int mode, bool compact, int rawOffset = -1, std::int32_t threshold = 2500000) {
    device::RegisterImage image;
    SystemImageInputs in;
    in.setup = systemTestSetup(mode, rawOffset);
    in.refOscCode = 0x6000;
    in.thresholdMicroVolts = threshold;
    in.compact = compact;
    core::CalTable sys = core::defaultSystemCalTable();
    sys[10] = 0xFB; // ADC 0 offset -5: goes out as it is
    fillSystemCalibrationImage(image, sys, core::defaultZeroOffsetTable(), in);
    return image;
}

std::uint64_t wordFor(double decimation, int cycles) {
    return static_cast<std::uint64_t>(
        std::trunc(1e9 / (decimation * 10000.0 * 5.0) * cycles * 703687.44177664 + 0.5));
}

TEST(SystemCalibrationImage, BaseSetupOnBothFrontEnds) {
    struct Case {
        bool compact;
        std::uint8_t gain;
        std::uint16_t load;
        std::uint16_t amp;
    };
    // 500 mV/div and a 3 V sine, or the compact front end's 100 mV/div and 0.65 V at twice the code.
    for (const Case c : {Case{false, 9, 4194, 3000}, Case{true, 7, 20972, 1300}}) {
        SCOPED_TRACE(c.compact);
        const device::RegisterImage img = fill(calibration::kModeNone, c.compact);
        EXPECT_EQ(img.get8(reg::kGainA1), c.gain);
        EXPECT_EQ(img.get8(reg::kGainA2), c.gain);
        EXPECT_EQ(img.get16(reg::kGenLoadCode), c.load);
        EXPECT_EQ(img.get16(reg::kGenAmpCode), c.amp);
        EXPECT_EQ(img.get8(reg::kMiscReg), 0x43);
        EXPECT_EQ(img.get8(reg::kFreqMeter), 1);
        EXPECT_EQ(img.get16(reg::kRefOscCode), 0x6000);
        EXPECT_EQ(img.get16(reg::kDigThrD123), 12412);
        EXPECT_EQ(img.get16(reg::kDigThrD4), 12412);
        EXPECT_EQ(img.get48(reg::kGenFreqWord), wordFor(501, 25));
        EXPECT_EQ(img.get8(reg::kGenShapeReg), 0);
        EXPECT_EQ(img.get8(reg::kSysCal + 2), 0xFB) << "the trims being edited";
        EXPECT_EQ(img.get16(reg::kGenOffsetCode), generator::offsetCode(0.0, core::defaultSystemCalTable()));
    }
}

TEST(SystemCalibrationImage, TestModesChangeTheGenerator) {
    const core::CalTable sys = core::defaultSystemCalTable();
    struct Case {
        int mode;
        int rawOffset;
        std::uint16_t offset;
        std::uint16_t amp;
        std::uint8_t shape;
        std::uint64_t freq;
    };
    const std::vector<Case> cases = {
        {calibration::kModeNone, 0xE000, 0xE000, 0, 0, 0}, // the +2.7 V point's edit
        {calibration::kModeSet, -1, 0x8000, 3000, 5, 0},   // raw mid code plus a 3 V constant
        {calibration::kModeGain3V, -1, generator::offsetCode(0.0, sys), 3000, 5, 0},
        {calibration::kModeTest0V, -1, generator::offsetCode(0.0, sys), 0, 0, 0},
        {calibration::kModeTestMinus3V, -1, generator::offsetCode(-3000.0, sys), 0, 0, 0},
        {calibration::kModeTestPlus3V, -1, generator::offsetCode(3000.0, sys), 0, 0, 0},
        {calibration::kModeHfFftA1, -1, generator::offsetCode(0.0, sys), 3000, 0, wordFor(1, 2000)},
        {calibration::kModeDitherA2, -1, generator::offsetCode(0.0, sys), 0, 0, 0},
        {13, -1, generator::offsetCode(0.0, sys), 3000, 0, wordFor(21, 10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const device::RegisterImage img = fill(c.mode, false, c.rawOffset);
        EXPECT_EQ(img.get16(reg::kGenOffsetCode), c.offset);
        EXPECT_EQ(img.get16(reg::kGenAmpCode), c.amp);
        EXPECT_EQ(img.get8(reg::kGenShapeReg), c.shape);
        EXPECT_EQ(img.get48(reg::kGenFreqWord), c.freq);
    }
    // The threshold buttons reach both threshold DACs.
    EXPECT_EQ(fill(13, false, -1, 500000).get16(reg::kDigThrD4), 2482);
}

} // namespace
} // namespace kx::app
