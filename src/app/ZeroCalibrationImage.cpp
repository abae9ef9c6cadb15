// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ZeroCalibrationImage.h"

#include "generator/GeneratorRegisters.h"

namespace kx::app {

namespace {

namespace reg = device::reg;

constexpr std::uint16_t kPoints = 10000;
constexpr std::uint32_t kDecimation = 400; // 2 ms/div: 2 000 000 / 5000
constexpr std::uint8_t kShapeQuiet = 45;   // constant, no modulation
constexpr std::uint8_t kShapeLoad = 63;    // noise: the output draws from the supply
constexpr std::uint16_t kLoadAmplitude = 3000;
constexpr std::uint8_t kMiscCalibration = 0x41;

} // namespace

void fillPlainCapture(device::RegisterImage& image, std::uint32_t decimation, std::uint16_t points,
                      std::uint8_t channelMask) {
    image.set8(reg::kTrigFlags, 0);
    image.set8(reg::kChanFlags, 0);
    image.set8(reg::kCondFlags, 0);
    image.set8(reg::kAcqFlags, 0);
    image.set32(reg::kDecimation, decimation);
    image.set16(reg::kPreTrigger, 0);
    image.set16(reg::kPostTrigger, points);
    image.set8(reg::kChannelMask, channelMask);
    image.set8(reg::kRunFlags, device::kRunFlagRunning);
}

void fillZeroCalibrationImage(device::RegisterImage& image, const calibration::ZeroStep& step,
                              const core::CalTable& systemTable) {
    fillPlainCapture(image, kDecimation, kPoints, 0x03);
    image.set8(reg::kZeroFineA1, 0);
    image.set8(reg::kZeroFineA2, 0);
    image.set8(reg::kGainA1, step.gainCode);
    image.set8(reg::kGainA2, step.gainCode);
    image.set8(reg::kFrontEndA1, 0);
    image.set8(reg::kFrontEndA2, 0);
    image.set8(reg::kMiscReg, kMiscCalibration);
    image.set8(reg::kGenAuxReg, 0);
    image.set16(reg::kZeroDacA1, step.dac);
    image.set16(reg::kZeroDacA2, step.dac);
    image.set16(reg::kGenOffsetCode, generator::offsetCode(0.0, systemTable));
    // The converter trims without the manual zero-level shifts.
    for (std::size_t i = 0; i < reg::kSysCalSize; ++i)
        image.set8(reg::kSysCal + i, systemTable[core::kSysAdcFirst + i]);
    image.set16(reg::kZeroPosA1, 2048);
    image.set16(reg::kZeroPosA2, 2048);
    image.set8(reg::kGenFuncReg, 0);
    image.set8(reg::kGenShapeReg, step.loaded ? kShapeLoad : kShapeQuiet);
    image.set48(reg::kGenFreqWord, 0);
    image.set48(reg::kGenStepWord, 0);
    image.set16(reg::kGenAmpCode, step.loaded ? kLoadAmplitude : 0);
    image.set48(reg::kGenModFreqWord, 0);
    image.set32(reg::kGenPulsePeriod, 0);
    image.set32(reg::kGenPulseWidth, 0);
    image.set32(reg::kGenAwgDiv, 0x0FFFFFFF);
    image.set16(reg::kGenAwgMark, 2048);
}

calibration::ZeroFrame zeroFrameFrom(const core::FrameHeader& h, std::uint16_t supplyRaw) {
    namespace fh = core::fh;
    calibration::ZeroFrame f;
    f.supplyRaw = supplyRaw;
    const std::uint32_t count = h[fh::AnalogCount];
    f.hasSamples = count > 0;
    if (!f.hasSamples) return f;
    f.mean[0] = h.getReal(fh::SumA1) / count;
    f.mean[1] = h.getReal(fh::SumA2) / count;
    f.peakToPeak[0] = static_cast<std::int32_t>(h[fh::PeakToPeakA1]);
    f.peakToPeak[1] = static_cast<std::int32_t>(h[fh::PeakToPeakA2]);
    return f;
}

} // namespace kx::app
