// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SystemCalibrationImage.h"
#include "app/RegisterFill.h"
#include "app/ZeroCalibrationImage.h"

#include "calibration/SystemTexts.h"
#include "calibration/ZeroDac.h"
#include "core/Rounding.h"
#include "core/ScopeTables.h"
#include "generator/GeneratorRegisters.h"

#include <cmath>

namespace kx::app {

namespace {

namespace reg = device::reg;
using calibration::OffsetChoice;

constexpr std::uint16_t kPoints = 10000;
constexpr std::uint8_t kMiscSystem = 0x43;
constexpr int kVoltsDiv500mV = 2;
constexpr std::uint8_t kShapeConstant = 5;

std::uint16_t offsetFor(const calibration::SystemTestSetup& s, const core::CalTable& t) {
    switch (s.offset) {
    case OffsetChoice::Raw:
        return s.rawOffsetCode;
    case OffsetChoice::Minus3V:
        return generator::offsetCode(-3000.0, t);
    case OffsetChoice::Plus3V:
        return generator::offsetCode(3000.0, t);
    case OffsetChoice::Zero:
        break;
    }
    return generator::offsetCode(0.0, t);
}

} // namespace

void fillSystemCalibrationImage(device::RegisterImage& image, const core::CalTable& systemTable,
                                const core::CalTable& zeroTable, const SystemImageInputs& in) {
    const calibration::SystemTestSetup& s = in.setup;
    fillPlainCapture(image, s.decimation, kPoints, 15);
    image.set8(reg::kLevA1Low, 120);
    image.set8(reg::kLevA1High, 136);
    image.set8(reg::kLevA2Low, 120);
    image.set8(reg::kLevA2High, 136);
    image.set8(reg::kFreqMeter, 1);
    const FrontEndCode fe = frontEndCode(in.compact ? core::kVoltsDiv01V : kVoltsDiv500mV, in.compact);
    image.set8(reg::kGainA1, fe.gain);
    image.set8(reg::kGainA2, fe.gain);
    // AC coupled: the generator's sine from 0 V up sits around the centred zero line.
    image.set8(reg::kFrontEndA1, fe.nibble);
    image.set8(reg::kFrontEndA2, fe.nibble);
    const auto za1 = calibration::zeroDac(zeroTable, calibration::AnalogChannel::A1, 0x8000, fe.gain);
    const auto za2 = calibration::zeroDac(zeroTable, calibration::AnalogChannel::A2, 0x8000, fe.gain);
    image.set16(reg::kZeroDacA1, za1.code);
    image.set16(reg::kZeroDacA2, za2.code);
    image.set8(reg::kZeroFineA1, static_cast<std::uint8_t>(za1.fine));
    image.set8(reg::kZeroFineA2, static_cast<std::uint8_t>(za2.fine));
    image.set16(reg::kZeroPosA1, 2048);
    image.set16(reg::kZeroPosA2, 2048);
    // The trims being edited, without the manual zero-level shifts.
    for (std::size_t i = 0; i < reg::kSysCalSize; ++i)
        image.set8(reg::kSysCal + i, systemTable[core::kSysAdcFirst + i]);
    const std::uint16_t threshold = calibration::digitalThresholdCode(in.thresholdMicroVolts);
    image.set16(reg::kDigThrD123, threshold);
    image.set16(reg::kDigThrD4, threshold);
    image.set16(reg::kRefOscCode, in.refOscCode);

    // The generator's load taken as 1 against A2's range.
    const double rangeA2 = systemRangeMicroVolts(in.compact);
    auto load = core::roundHalfAway(500000.0 / rangeA2 * 1.024 * 4096.0);
    std::uint8_t misc = kMiscSystem;
    if (load > 0x1FFFF) {
        load = core::roundHalfAway(500000.0 / rangeA2 * 1.024 * 64.0);
        misc |= generator::kMiscLoadCoarse;
    }
    if (load & 0x10000) misc |= generator::kMiscLoadBit16;
    image.set8(reg::kMiscReg, misc);
    image.set16(reg::kGenLoadCode, static_cast<std::uint16_t>(load & 0xFFFF));

    image.set16(reg::kGenOffsetCode, offsetFor(s, systemTable));
    image.set16(reg::kGenDcCode, 0);
    image.set8(reg::kGenFuncReg, 0);
    image.set8(reg::kGenShapeReg, s.constantShape ? kShapeConstant : 0);
    const double word = s.cycles <= 0 ? 0.0
                                      : std::trunc(1e9 / (s.decimation * static_cast<double>(kPoints) * 5.0) *
                                                       s.cycles * 703687.44177664 +
                                                   0.5);
    image.set48(reg::kGenFreqWord, static_cast<std::uint64_t>(word));
    image.set48(reg::kGenStepWord, 0);
    const double expected = systemExpectedAmplitude(in.compact);
    const int amp =
        s.ampCode >= 0 ? s.ampCode : static_cast<int>((in.compact ? 2.0 : 1.0) * expected / 1000.0);
    image.set16(reg::kGenAmpCode, static_cast<std::uint16_t>(amp));
    image.set48(reg::kGenModFreqWord, 0);
    image.set32(reg::kGenPulsePeriod, 0);
    image.set32(reg::kGenPulseWidth, 0);
    image.set32(reg::kGenAwgDiv, (1u << 28) - 1);
    image.set16(reg::kGenAwgMark, 2048);
    image.set8(reg::kGenAuxReg, 0);
}

calibration::SystemFrame systemFrameFrom(const core::FrameRecord& frame, int cycles) {
    namespace fh = core::fh;
    calibration::SystemFrame f;
    f.count = std::min<std::size_t>(frame.header[fh::AnalogCount], core::kMaxFramePoints);
    f.a1 = std::span<const std::int32_t>(frame.channels.maxOf(core::Channel::A1).data(), f.count);
    f.a2 = std::span<const std::int32_t>(frame.channels.maxOf(core::Channel::A2).data(), f.count);
    const core::Channel d[4] = {core::Channel::D1, core::Channel::D2, core::Channel::D3, core::Channel::D4};
    for (std::size_t i = 0; i < 4; ++i)
        f.digital[i] = std::span<const std::int32_t>(frame.channels.maxOf(d[i]).data(), f.count);
    f.rangeA1 = f.rangeA2 = systemRangeMicroVolts(false);
    f.cycles = cycles;
    return f;
}

} // namespace kx::app
