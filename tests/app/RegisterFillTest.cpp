// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RegisterFill.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kx::app {
namespace {

namespace reg = device::reg;

struct Inputs {
    RegisterInputs in;
    core::TriggerState trigger;
    core::GeneratorState generator;
    core::CalibrationState calibration;

    device::RegisterImage fill() const {
        device::RegisterImage image;
        fillRegisterImage(image, in, trigger, generator, calibration);
        return image;
    }
};

TEST(RegisterFill, DefaultStateBytes) {
    const device::RegisterImage img = Inputs{}.fill();
    const std::vector<std::pair<std::size_t, int>> bytes = {
        {reg::kLength, 128},      {reg::kBlockCount, 4},    {reg::kTrigFlags, 0},
        {reg::kChanFlags, 0},     {reg::kCondFlags, 0},     {reg::kAcqFlags, 0},
        {reg::kDecimation, 1},    {reg::kLevA1Low, 189},    {reg::kLevA1High, 195},
        {reg::kLevA2Low, 61},     {reg::kLevA2High, 67},    {reg::kPulseCount, 1},
        {reg::kHiResExponent, 0}, {reg::kChannelMask, 1},   {reg::kRunFlags, 0},
        {reg::kFramePeriod, 25},  {reg::kSequence, 0},      {reg::kZeroFineA1, 0},
        {reg::kGainA1, 14},       {reg::kGainA2, 14},       {reg::kBlock2Header, 1},
        {reg::kFreqMeter, 1},     {reg::kFrontEndA1, 0x10}, {reg::kFrontEndA2, 0x10},
        {reg::kMiscReg, 0xE7},    {reg::kGenAuxReg, 0},     {reg::kGenTimeMatch, 195},
        {reg::kAdMatch, 128},     {reg::kGenFuncReg, 0},    {reg::kGenShapeReg, 45},
        {reg::kBlock4Header, 36},
    };
    for (const auto& [offset, value] : bytes) EXPECT_EQ(img.get8(offset), value) << "offset " << offset;
    EXPECT_EQ(img.get16(reg::kZeroDacA1), 13554);
    EXPECT_EQ(img.get16(reg::kZeroDacA2), 13554);
    EXPECT_EQ(img.get16(reg::kDigThrD123), 8192);
    EXPECT_EQ(img.get16(reg::kDigThrD4), 8192);
    EXPECT_EQ(img.get16(reg::kGenOffsetCode), 0x8000);
    EXPECT_EQ(img.get16(reg::kRefOscCode), 0x8000);
    EXPECT_EQ(img.get16(reg::kZeroPosA1), 2048);
    EXPECT_EQ(img.get16(reg::kGenAmpCode), 0);
    EXPECT_EQ(img.get16(reg::kGenAwgMark), 2048);
    EXPECT_EQ(img.get16(reg::kGenLoadCode), 2097); // A2 at 1 V/div
    EXPECT_EQ(img.get48(reg::kGenFreqWord), 0u);
    const std::uint8_t sys[] = {128, 128, 0, 0, 128, 128, 0, 0, 140, 2, 176, 140, 2};
    for (std::size_t i = 0; i < 13; ++i) EXPECT_EQ(img.get8(reg::kSysCal + i), sys[i]) << i;
}

struct StateCase {
    std::string name;
    std::function<void(Inputs&)> change;
    std::vector<std::pair<std::size_t, int>> bytes; // byte offset, expected value
};

TEST(RegisterFill, TableOfStates) {
    const std::vector<StateCase> cases = {
        {"source, edge, auto",
         [](Inputs& s) {
             s.trigger.Src = 5;
             s.trigger.Edge = true;
             s.trigger.Auto = true;
         },
         {{reg::kTrigFlags, 0x35}}},
        {"roll unless single",
         [](Inputs& s) {
             s.in.rollMode = true;
             s.in.running = true;
         },
         {{reg::kTrigFlags, 0x08}, {reg::kRunFlags, 0x05}}},
        {"roll in single",
         [](Inputs& s) {
             s.in.rollMode = true;
             s.in.singleMode = true;
         },
         {{reg::kTrigFlags, 0x00}, {reg::kRunFlags, 0x04}}},
        {"peak detect decimated",
         [](Inputs& s) {
             s.in.peakDetect = true;
             s.in.decimation = 800;
         },
         {{reg::kTrigFlags, 0x80}, {reg::kHiResExponent, 9}, {reg::kDecimation + 1, 3}}},
        {"peak detect undecimated", [](Inputs& s) { s.in.peakDetect = true; }, {{reg::kTrigFlags, 0x00}}},
        {"hi res",
         [](Inputs& s) {
             s.in.hiRes = true;
             s.in.decimation = 0x7FFFFFFF;
         },
         {{reg::kTrigFlags, 0x40}, {reg::kHiResExponent, 24}}},
        {"max points, trigger active, D3/D4",
         [](Inputs& s) {
             s.in.maxPointsMode = true;
             s.in.triggerActive = true;
             s.in.d34InUse = true;
             s.in.d12InUse = true;
         },
         {{reg::kChanFlags, 0x85}, {reg::kChannelMask, 0x0D}, {reg::kRunFlags, 0x02}}},
        {"A2 in use",
         [](Inputs& s) { s.in.a2InUse = true; },
         {{reg::kChanFlags, 0x02}, {reg::kChannelMask, 0x03}}},
        {"ETS hides A2",
         [](Inputs& s) {
             s.in.a2InUse = true;
             s.in.etsDown = true;
             s.trigger.TPLUS = true;
             s.trigger.Mode = core::kTrigModeRunt;
             s.trigger.T_Mode = core::kTimeModeInside;
         },
         {{reg::kChanFlags, 0x60},
          {reg::kCondFlags, 0},
          {reg::kTrigFlags, 0x20},
          {reg::kAcqFlags, 0x02},
          {reg::kChannelMask, 0x21}}},
        {"T+ runt inside",
         [](Inputs& s) {
             s.trigger.TPLUS = true;
             s.trigger.Mode = core::kTrigModeRunt;
             s.trigger.T_Mode = core::kTimeModeInside;
             s.trigger.Edge = true;
         },
         {{reg::kChanFlags, 0x78},
          {reg::kCondFlags, 0x02},
          {reg::kTimeLow, 0xA0},
          {reg::kTimeLow + 1, 0x86},
          {reg::kTimeLow + 2, 0x01}}},
        {"fast digital",
         [](Inputs& s) { s.in.fastDigital = true; },
         {{reg::kAcqFlags, 0x01}, {reg::kChannelMask, 0x11}}},
        {"analyzer",
         [](Inputs& s) {
             s.in.analyzerOn = true;
             s.in.decimation = 2;
             s.in.a1.zeroPosition = 0x1000;
             s.in.a1.bwLimit = true;
         },
         {{reg::kTrigFlags, 0x40},
          {reg::kChanFlags, 0x06},
          {reg::kAcqFlags, 0x04},
          {reg::kChannelMask, 0x0F},
          {reg::kFrontEndA1, 0x00},
          {reg::kZeroPosA1, 0x00},
          {reg::kZeroPosA1 + 1, 0x08}, // 2048
          {reg::kZeroDacA1, 13554 & 0xFF}}},
        {"analyzer in debug keeps A1 BW",
         [](Inputs& s) {
             s.in.analyzerOn = true;
             s.in.debugMode = true;
             s.in.a1.bwLimit = true;
         },
         {{reg::kFrontEndA1, 0x60}}},
        {"BW filters and AC",
         [](Inputs& s) {
             s.in.a2.bwLimit = true;
             s.in.a2.acCoupling = true;
             s.in.digitalBwFlt = false;
             s.in.a2FromGenerator = true;
         },
         {{reg::kFrontEndA2, 0xA0}}},
        {"sensitive ranges",
         [](Inputs& s) {
             s.in.a1.voltsDivIndex = 11;
             s.in.a2.voltsDivIndex = 8;
         },
         {{reg::kGainA1, 2}, {reg::kFrontEndA1, 0x1F}, {reg::kGainA2, 2}, {reg::kFrontEndA2, 0x19}}},
        {"range gain codes",
         [](Inputs& s) {
             s.in.a1.voltsDivIndex = 0;
             s.in.a2.voltsDivIndex = 3;
         },
         {{reg::kGainA1, 15}, {reg::kGainA2, 10}}},
        {"compact front end",
         [](Inputs& s) {
             s.in.compactFrontEnd = true;
             s.in.a1.voltsDivIndex = 5;
             s.in.a1.acCoupling = true;
             s.in.a2.voltsDivIndex = 5;
         },
         {{reg::kGainA1, 7}, {reg::kFrontEndA1, 0x09}, {reg::kGainA2, 6}, {reg::kFrontEndA2, 0x10}}},
        {"zero positions",
         [](Inputs& s) {
             s.in.a1.zeroPosition = 65536;
             s.in.a2.zeroPosition = 0xC00F;
         },
         {{reg::kZeroPosA1, 0xFF},
          {reg::kZeroPosA1 + 1, 0x0F},
          {reg::kZeroPosA2, 0x00},
          {reg::kZeroPosA2 + 1, 0x0C}}},
        {"manual zero shifts wrap into the ADC offsets",
         [](Inputs& s) {
             s.calibration.ZeroTable[40] = 5;
             s.calibration.ZeroTable[41] = 0xFD; // -3
             s.calibration.SystemTable[11] = 127;
         },
         {{reg::kSysCal + 2, 5},
          {reg::kSysCal + 3, 0x84},
          {reg::kSysCal + 6, 0xFD},
          {reg::kSysCal + 7, 0xFD},
          {reg::kSysCal + 4, 128}}},
        {"frequency meter and frame period",
         [](Inputs& s) {
             s.in.freqMeterCode = 0x13;
             s.in.framePeriodMs = 0;
         },
         {{reg::kFreqMeter, 0x13}, {reg::kFramePeriod, 0}}},
        {"debug mode options",
         [](Inputs& s) {
             s.in.debugMode = true;
             s.in.ditherEn = false;
             s.in.useAdc0 = false;
             s.in.iqWinEn = false;
             s.generator.Gen_Corr = false;
         },
         {{reg::kMiscReg, 0x02}}},
        {"reference oscillator",
         [](Inputs& s) { s.in.freqClbr = 300; },
         {{reg::kRefOscCode, 0x00}, {reg::kRefOscCode + 1, 0xA0}}},
        {"generator on",
         [](Inputs& s) {
             s.generator.On = true;
             s.in.postTrigger = 5000;
             s.in.preTrigger = 0x1234;
         },
         {{reg::kGenShapeReg, 40},
          {reg::kGenAmpCode, 2000 & 0xFF},
          {reg::kGenAmpCode + 1, 2000 >> 8},
          {reg::kGenFreqWord, 703687442 & 0xFF},
          {reg::kGenFreqWord + 3, (703687442 >> 24) & 0xFF},
          {reg::kPreTrigger, 0x34},
          {reg::kPreTrigger + 1, 0x12},
          {reg::kPostTrigger, 5000 & 0xFF}}},
    };
    for (const auto& c : cases) {
        Inputs s;
        c.change(s);
        const device::RegisterImage img = s.fill();
        for (const auto& [offset, value] : c.bytes)
            EXPECT_EQ(img.get8(offset), value) << c.name << ", offset " << offset;
    }
}

TEST(RegisterFill, TimeLimitsKeepTheirLastValues) {
    Inputs s;
    s.trigger.TPLUS = true;
    s.trigger.Tmin = 3;
    s.trigger.Tmax = 4;
    s.trigger.Tmult = 1;
    device::RegisterImage img;
    fillRegisterImage(img, s.in, s.trigger, s.generator, s.calibration);
    EXPECT_EQ(img.get32(reg::kTimeLow), 30u);
    EXPECT_EQ(img.get32(reg::kTimeHigh), 40u);
    s.trigger.TPLUS = false;
    s.trigger.Tmin = 9;
    fillRegisterImage(img, s.in, s.trigger, s.generator, s.calibration);
    EXPECT_EQ(img.get32(reg::kTimeLow), 30u);
    EXPECT_EQ(img.get32(reg::kTimeHigh), 40u);
}

TEST(RegisterFill, HelperTables) {
    EXPECT_EQ(hiResExponent(0), 0);
    EXPECT_EQ(hiResExponent(1), 0);
    EXPECT_EQ(hiResExponent(4), 2);
    EXPECT_EQ(hiResExponent(5), 2);
    EXPECT_EQ(hiResExponent(1u << 24), 24);
    EXPECT_EQ(hiResExponent(0xFFFFFFFFu), 24);
    EXPECT_EQ(zeroPositionWord(65535), 4095);
    EXPECT_EQ(zeroPositionWord(65536), 4095);
    EXPECT_EQ(zeroPositionWord(-1), 0);
    EXPECT_EQ(rangeMicroVolts(2), 500000);
    EXPECT_EQ(rangeMicroVolts(99), 500);
    const std::uint8_t gains[] = {15, 14, 9, 10, 7, 6, 3, 2, 2, 2, 2, 2};
    const std::uint8_t nibbles[] = {0, 0, 0, 0, 0, 0, 0, 0, 9, 12, 13, 15};
    const std::uint8_t compact[] = {8, 8, 8, 8, 8, 9, 12, 13, 15, 15, 15, 15};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(frontEndCode(i, false).gain, gains[i]);
        EXPECT_EQ(frontEndCode(i, false).nibble, nibbles[i]);
        EXPECT_EQ(frontEndCode(i, true).gain, 7);
        EXPECT_EQ(frontEndCode(i, true).nibble, compact[i]);
    }
}

} // namespace
} // namespace kx::app
