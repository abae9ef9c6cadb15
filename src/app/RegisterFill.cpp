// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RegisterFill.h"

#include "calibration/FreqCalibration.h"
#include "calibration/ZeroDac.h"
#include "trigger/TriggerRegisters.h"

#include <algorithm>

namespace kx::app {

namespace {

namespace reg = device::reg;

constexpr std::array<std::uint8_t, 12> kGain = {15, 14, 9, 10, 7, 6, 3, 2, 2, 2, 2, 2};
constexpr std::array<std::uint8_t, 12> kNibble = {0, 0, 0, 0, 0, 0, 0, 0, 9, 12, 13, 15};
constexpr std::uint8_t kCompactGain = 7;
constexpr std::array<std::uint8_t, 12> kCompactNibble = {8, 8, 8, 8, 8, 9, 12, 13, 15, 15, 15, 15};
constexpr std::array<std::int64_t, 12> kRangeUv = {2000000, 1000000, 500000, 200000, 100000, 50000,
                                                   20000,   10000,   5000,   2000,   1000,   500};

std::size_t rangeIndex(std::int32_t i) {
    return static_cast<std::size_t>(std::clamp(i, 0, 11));
}

std::uint8_t bit(bool on, int n) {
    return on ? static_cast<std::uint8_t>(1u << n) : 0;
}

std::uint8_t frontEndByte(const ChannelInputs& ch, std::uint8_t nibble, bool dcAllowed, bool bwAllowed,
                          bool fromGenerator, const RegisterInputs& in) {
    return static_cast<std::uint8_t>(
        nibble | bit(!ch.acCoupling && dcAllowed, 4) | bit(ch.bwLimit && in.analogBwFlt && bwAllowed, 5) |
        bit(ch.bwLimit && in.digitalBwFlt && bwAllowed, 6) | bit(fromGenerator, 7));
}

} // namespace

FrontEndCode frontEndCode(std::int32_t voltsDivIndex, bool compact) {
    const std::size_t i = rangeIndex(voltsDivIndex);
    if (compact) return {kCompactGain, kCompactNibble[i]};
    return {kGain[i], kNibble[i]};
}

std::int64_t rangeMicroVolts(std::int32_t voltsDivIndex) {
    return kRangeUv[rangeIndex(voltsDivIndex)];
}

std::uint8_t hiResExponent(std::uint32_t decimation) {
    std::uint8_t e = 0;
    while (e < 24 && (decimation >> (e + 1)) != 0) ++e;
    return e;
}

std::uint16_t zeroPositionWord(std::int32_t zeroPosition) {
    if (zeroPosition >= 65536) return 4095;
    return static_cast<std::uint16_t>(std::max(zeroPosition, 0) / 16);
}

generator::GeneratorContext generatorContext(const RegisterInputs& in) {
    generator::GeneratorContext ctx;
    ctx.debugMode = in.debugMode;
    ctx.analyzerOn = in.analyzerOn;
    ctx.compactFrontEnd = in.compactFrontEnd;
    ctx.postTrigger = in.postTrigger;
    ctx.doubledSampling = in.decimation > 1 && (in.peakDetect || in.hiRes || in.analyzerOn);
    ctx.a2RangeMicroVolts = rangeMicroVolts(in.a2.voltsDivIndex);
    ctx.a2BandwidthLimit = in.a2.bwLimit;
    ctx.analogBwFilter = in.analogBwFlt;
    return ctx;
}

void fillRegisterImage(device::RegisterImage& image, const RegisterInputs& in,
                       const core::TriggerState& trigger, const core::GeneratorState& generator,
                       const core::CalibrationState& calibration) {
    const bool decimated = in.decimation > 1;
    const trigger::TriggerRegisters trg = trigger::computeTriggerRegisters(trigger, in.etsDown);
    const bool a2Used = (in.a2InUse && !in.etsDown) || in.analyzerOn;

    image.set8(reg::kTrigFlags,
               static_cast<std::uint8_t>((std::clamp(trigger.Src, 0, 5) & 0x07) |
                                         bit(in.rollMode && !in.singleMode, 3) | bit(trigger.Edge, 4) |
                                         bit(trigger.Auto || in.etsDown, 5) |
                                         bit(decimated && (in.hiRes || in.analyzerOn), 6) |
                                         bit(decimated && in.peakDetect && !in.analyzerOn, 7)));
    image.set8(reg::kChanFlags, static_cast<std::uint8_t>(bit(in.maxPointsMode, 0) | bit(a2Used, 1) |
                                                          bit(in.d34InUse || in.analyzerOn, 2) |
                                                          trg.modeBits | bit(in.triggerActive, 7)));
    image.set8(reg::kCondFlags, trg.condFlags);
    image.set8(reg::kAcqFlags, static_cast<std::uint8_t>(bit(in.fastDigital, 0) | bit(in.etsDown, 1) |
                                                         bit(decimated && in.analyzerOn, 2)));
    image.set32(reg::kDecimation, in.decimation);
    image.set16(reg::kPreTrigger, static_cast<std::uint16_t>(std::min<std::uint32_t>(in.preTrigger, 0xFFFF)));
    image.set16(reg::kPostTrigger,
                static_cast<std::uint16_t>(std::min<std::uint32_t>(in.postTrigger, 0xFFFF)));
    image.set8(reg::kLevA1Low, trg.a1.lower);
    image.set8(reg::kLevA1High, trg.a1.upper);
    image.set8(reg::kLevA2Low, trg.a2.lower);
    image.set8(reg::kLevA2High, trg.a2.upper);
    image.set16(reg::kPulseCount, trg.pulseCount);
    image.set8(reg::kLevMask, trg.levelMask);
    image.set8(reg::kLevPolarity, trg.levelPolarity);
    image.set8(reg::kHiResExponent, hiResExponent(in.decimation));
    if (trg.timeLow) image.set32(reg::kTimeLow, *trg.timeLow);
    if (trg.timeHigh) image.set32(reg::kTimeHigh, *trg.timeHigh);
    image.set16(reg::kReserved34, 0);
    image.set8(reg::kChannelMask,
               static_cast<std::uint8_t>(bit(in.a1InUse || in.analyzerOn, 0) | bit(a2Used, 1) |
                                         bit(in.d12InUse || in.analyzerOn, 2) |
                                         bit(in.d34InUse || in.analyzerOn, 3) | bit(in.fastDigital, 4) |
                                         bit(in.etsDown, 5)));
    image.set8(reg::kRunFlags, static_cast<std::uint8_t>(bit(in.running, 0) | bit(in.maxPointsMode, 1) |
                                                         bit(in.rollMode, 2)));
    image.set8(reg::kFramePeriod, in.framePeriodMs);

    // Front ends and the zero DACs.
    const FrontEndCode fe1 = frontEndCode(in.a1.voltsDivIndex, in.compactFrontEnd);
    const FrontEndCode fe2 = frontEndCode(in.a2.voltsDivIndex, false);
    const std::int32_t zero1 = in.analyzerOn ? 0x8000 : in.a1.zeroPosition;
    const calibration::ZeroDacSetting z1 =
        calibration::zeroDac(calibration.ZeroTable, calibration::AnalogChannel::A1, zero1, fe1.gain);
    const calibration::ZeroDacSetting z2 = calibration::zeroDac(
        calibration.ZeroTable, calibration::AnalogChannel::A2, in.a2.zeroPosition, fe2.gain);
    image.set8(reg::kZeroFineA1, static_cast<std::uint8_t>(z1.fine));
    image.set8(reg::kZeroFineA2, static_cast<std::uint8_t>(z2.fine));
    image.set8(reg::kGainA1, fe1.gain);
    image.set8(reg::kGainA2, fe2.gain);
    image.set8(reg::kFreqMeter, static_cast<std::uint8_t>(in.freqMeterCode & 0x7F));
    image.set8(reg::kFrontEndA1,
               frontEndByte(in.a1, fe1.nibble, !in.analyzerOn, !in.analyzerOn || in.debugMode, false, in));
    image.set8(reg::kFrontEndA2, frontEndByte(in.a2, fe2.nibble, true, true, in.a2FromGenerator, in));
    image.set16(reg::kZeroDacA1, z1.code);
    image.set16(reg::kZeroDacA2, z2.code);
    image.set16(reg::kDigThrD123, trg.d123Code);
    image.set16(reg::kDigThrD4, trg.d4Code);

    const generator::GeneratorRegisters gen =
        generator::computeGeneratorRegisters(generator, generatorContext(in), calibration.SystemTable);

    image.set8(reg::kMiscReg,
               static_cast<std::uint8_t>(gen.miscBits | bit(in.ditherEn || !in.debugMode, 0) |
                                         bit(in.iqWinEn, 5) | bit(in.useAdc0 || !in.debugMode, 6)));
    image.set8(reg::kGenAuxReg, gen.auxReg);
    image.set16(reg::kGenOffsetCode, gen.offsetCode);
    image.set16(reg::kRefOscCode, calibration::CodeForPpm(in.freqClbr * 0.01, calibration.SystemTable));

    // System calibration bytes 8..20; the ADC offsets carry the manual zero-level shifts.
    const auto& sys = calibration.SystemTable;
    const auto& zt = calibration.ZeroTable;
    for (std::size_t i = 0; i < reg::kSysCalSize; ++i) {
        const std::size_t t = core::kSysAdcFirst + i;
        std::uint8_t v = sys[t];
        if (t == core::kSysOffsetA1Adc0 || t == core::kSysOffsetA1Adc1)
            v = static_cast<std::uint8_t>(v + zt[core::kZeroByteShiftA1]);
        if (t == core::kSysOffsetA2Adc2 || t == core::kSysOffsetA2Adc3)
            v = static_cast<std::uint8_t>(v + zt[core::kZeroByteShiftA2]);
        image.set8(reg::kSysCal + i, v);
    }

    image.set8(reg::kGenTimeMatch, gen.timeMatch);
    image.set8(reg::kAdMatch, in.adMatch);
    image.set16(reg::kZeroPosA1, in.analyzerOn ? 2048 : zeroPositionWord(in.a1.zeroPosition));
    image.set16(reg::kZeroPosA2, zeroPositionWord(in.a2.zeroPosition));
    image.set16(reg::kGenDcCode, gen.dcCode);
    image.set16(reg::kGenLoadCode, gen.loadCode);
    image.set8(reg::kGenFuncReg, gen.funcReg);
    image.set8(reg::kGenShapeReg, gen.shapeReg);
    image.set48(reg::kGenFreqWord, gen.freqWord);
    image.set48(reg::kGenStepWord, gen.stepWord);
    image.set16(reg::kGenAmpCode, gen.ampCode);
    image.set48(reg::kGenModFreqWord, gen.modFreqWord);
    image.set32(reg::kGenPulsePeriod, gen.pulsePeriod);
    image.set32(reg::kGenPulseWidth, gen.pulseWidth);
    image.set32(reg::kGenAwgDiv, gen.awgDiv);
    image.set16(reg::kGenAwgMark, gen.awgMark);
}

} // namespace kx::app
