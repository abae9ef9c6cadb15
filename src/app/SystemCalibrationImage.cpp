// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SystemCalibrationImage.h"
#include "app/ZeroCalibrationImage.h"

#include "calibration/ZeroDac.h"
#include "generator/GeneratorRegisters.h"

#include <cmath>

namespace kx::app {

namespace {

namespace reg = device::reg;

constexpr std::uint16_t kPoints = 10000;
constexpr std::uint32_t kDecimation = 501;
constexpr std::uint8_t kGain500mV = 9;
constexpr double kRangeMicroVolts = 500000.0;
constexpr std::uint8_t kMiscSystem = 0x43;

} // namespace

void fillSystemCalibrationImage(device::RegisterImage& image, const core::CalTable& systemTable,
                                const core::CalTable& zeroTable, int cycles, std::uint16_t refOscCode,
                                std::int32_t thresholdMicroVolts) {
    fillPlainCapture(image, kDecimation, kPoints, 15);
    image.set8(reg::kLevA1Low, 120);
    image.set8(reg::kLevA1High, 136);
    image.set8(reg::kLevA2Low, 120);
    image.set8(reg::kLevA2High, 136);
    image.set8(reg::kFreqMeter, 1);
    image.set8(reg::kGainA1, kGain500mV);
    image.set8(reg::kGainA2, kGain500mV);
    // AC coupled: the generator's 0..3 V sine sits around the centred zero line.
    image.set8(reg::kFrontEndA1, 0);
    image.set8(reg::kFrontEndA2, 0);
    image.set8(reg::kMiscReg, kMiscSystem);
    const auto za1 = calibration::zeroDac(zeroTable, calibration::AnalogChannel::A1, 0x8000, kGain500mV);
    const auto za2 = calibration::zeroDac(zeroTable, calibration::AnalogChannel::A2, 0x8000, kGain500mV);
    image.set16(reg::kZeroDacA1, za1.code);
    image.set16(reg::kZeroDacA2, za2.code);
    image.set8(reg::kZeroFineA1, static_cast<std::uint8_t>(za1.fine));
    image.set8(reg::kZeroFineA2, static_cast<std::uint8_t>(za2.fine));
    image.set16(reg::kZeroPosA1, 2048);
    image.set16(reg::kZeroPosA2, 2048);
    // The trims being edited, without the manual zero-level shifts.
    for (std::size_t i = 0; i < reg::kSysCalSize; ++i)
        image.set8(reg::kSysCal + i, systemTable[core::kSysAdcFirst + i]);
    const double code = std::round(thresholdMicroVolts / 1000.0 * 0.001 * 0.25 * 65536.0 / 3.3);
    image.set16(reg::kDigThrD123, static_cast<std::uint16_t>(code));
    image.set16(reg::kDigThrD4, static_cast<std::uint16_t>(code));
    image.set16(reg::kRefOscCode, refOscCode);
    image.set16(reg::kGenOffsetCode, generator::offsetCode(0.0, systemTable));
    image.set16(reg::kGenDcCode, 0);
    image.set16(reg::kGenLoadCode,
                static_cast<std::uint16_t>(std::round(500000.0 / kRangeMicroVolts * 1.024 * 4096.0)));
    image.set8(reg::kGenFuncReg, 0);
    image.set8(reg::kGenShapeReg, 0);
    const double word =
        std::trunc(1e9 / (kDecimation * static_cast<double>(kPoints) * 5.0) * cycles * 703687.44177664 + 0.5);
    image.set48(reg::kGenFreqWord, static_cast<std::uint64_t>(word));
    image.set48(reg::kGenStepWord, 0);
    image.set16(reg::kGenAmpCode, static_cast<std::uint16_t>(kSystemExpectedAmplitude / 1000.0));
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
    f.rangeA1 = f.rangeA2 = kRangeMicroVolts;
    f.cycles = cycles;
    return f;
}

} // namespace kx::app
