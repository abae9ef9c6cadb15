// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalyzerRegisters.h"

#include "analyzers/NetworkAnalyzer.h"
#include "calibration/ZeroDac.h"
#include "core/Rounding.h"
#include "generator/GeneratorRegisters.h"

#include <cmath>

namespace kx::app {

namespace reg = device::reg;

namespace {

constexpr double kWordPerHz = 703687.44177664; // 2^48 / 400 MHz
constexpr std::uint8_t kTrigRollBit = 0x08;
constexpr std::uint8_t kRunRollBit = 0x04;
constexpr std::int32_t kMidScale = 0x8000;

void writeA1Range(device::RegisterImage& image, int gainCode, int frontEndByte,
                  const LcInstrument& instrument) {
    const calibration::ZeroDacSetting z =
        calibration::zeroDac(instrument.zeroTable, calibration::AnalogChannel::A1, kMidScale, gainCode);
    image.set8(reg::kGainA1, static_cast<std::uint8_t>(gainCode));
    image.set8(reg::kFrontEndA1, static_cast<std::uint8_t>(frontEndByte));
    image.set8(reg::kZeroFineA1, static_cast<std::uint8_t>(z.fine));
    image.set16(reg::kZeroDacA1, z.code);
}

} // namespace

void writeCalibrationPlan(device::RegisterImage& image, std::int32_t spanHz) {
    const analyzers::CalibrationPlanRegisters plan = analyzers::calibrationPlanRegisters(spanHz);
    image.set16(reg::kPreTrigger, static_cast<std::uint16_t>(plan.preTrigger));
    image.set16(reg::kPostTrigger, static_cast<std::uint16_t>(plan.postTrigger));
    image.set32(reg::kDecimation, plan.decimation);
    image.set8(reg::kHiResExponent, static_cast<std::uint8_t>(plan.hiResExponent));
    image.set48(reg::kGenFreqWord,
                core::roundAddHalf<std::uint64_t>(analyzers::kCalibrationPlanStartHz * kWordPerHz));
    image.set48(reg::kGenStepWord, plan.genStepWord);
    image.set8(reg::kGenFuncReg, static_cast<std::uint8_t>(plan.genFuncReg));
    image.set32(reg::kGenPulsePeriod, plan.genPulsePeriod);
    image.set32(reg::kGenPulseWidth, plan.genPulseWidth);
    image.set32(reg::kGenAwgDiv, plan.genAwgDiv);
    image.set16(reg::kGenAwgMark, static_cast<std::uint16_t>(plan.genAwgMark));
    image.set8(reg::kGenAuxReg, static_cast<std::uint8_t>(plan.genAuxReg));
    image.setBits(reg::kTrigFlags, kTrigRollBit, false);
    image.setBits(reg::kRunFlags, kRunRollBit, plan.rollMode);
}

void setRunDirect(device::RegisterImageHolder& registers, device::RequestFlags& flags, bool running,
                  bool single) {
    flags.Running.store(running);
    flags.SingleMode.store(single);
    device::RegisterImage image = registers.snapshot();
    image.setBits(reg::kRunFlags, device::kRunFlagRunning, running);
    registers.publish(image);
    flags.SendSettingsRequest.store(true);
}

void writeLcInitialRegisters(device::RegisterImage& image, const LcInstrument& instrument) {
    const analyzers::LcInitialRegisters r = analyzers::lcInitialRegisters(instrument.compactFrontEnd);
    image.set16(reg::kPreTrigger, 0);
    image.set16(reg::kPostTrigger, static_cast<std::uint16_t>(r.points));
    image.set32(reg::kDecimation, r.decimation);
    image.set8(reg::kTrigFlags, 0);
    image.set8(reg::kChanFlags, 1); // MaxPointsMode
    image.set8(reg::kCondFlags, 0);
    image.set8(reg::kAcqFlags, 0);
    image.set8(reg::kChannelMask, r.channelMask);
    image.set8(reg::kRunFlags, r.runFlags);
    image.set16(reg::kZeroPosA1, r.zeroPosition16);
    writeA1Range(image, r.gainCode, r.frontEndByte, instrument);
    image.set8(reg::kMiscReg, r.miscReg);
    image.set8(reg::kGenTimeMatch, static_cast<std::uint8_t>(r.genTimeMatch));
}

void writeLcStep(device::RegisterImage& image, const analyzers::LcStepSetup& s,
                 const LcInstrument& instrument) {
    image.set48(reg::kGenFreqWord, s.genFreqWord);
    image.set48(reg::kGenStepWord, 0);
    image.set8(reg::kGenFuncReg, 0);
    image.set8(reg::kGenShapeReg, 0);
    image.set16(reg::kGenOffsetCode,
                generator::offsetCode(s.genOffsetVolts * 1000.0, instrument.systemTable));
    image.set16(reg::kGenAmpCode, static_cast<std::uint16_t>(s.genAmplitudeCode));
    image.set32(reg::kDecimation, s.decimation);
    if (s.fixedRangeUv != 0) writeA1Range(image, s.range.gainCode, s.frontEndByte, instrument);
}

void writeLcRange(device::RegisterImage& image, const analyzers::LcRangeDecision& range,
                  const LcInstrument& instrument) {
    writeA1Range(image, range.codes.gainCode, range.frontEndByte, instrument);
}

} // namespace kx::app
