// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/SystemTestModes.h"

namespace kx::calibration {

namespace {

// 10 us/div sampled at 5 ns: the generator's high frequencies and the dither tone.
void fast(SystemTestSetup& s, int cycles) {
    s.timeDivNs = 10'000;
    s.decimation = 1;
    s.cycles = cycles;
}

// A level held by the offset DAC alone: frequency 0, amplitude 0.
void level(SystemTestSetup& s, OffsetChoice offset) {
    s.offset = offset;
    s.cycles = 0;
    s.ampCode = 0;
}

} // namespace

SystemTestSetup systemTestSetup(int mode, int rawOffset) {
    SystemTestSetup s;
    switch (mode) {
    case kModeNone:
        if (rawOffset >= 0) {
            level(s, OffsetChoice::Raw);
            s.rawOffsetCode = static_cast<std::uint16_t>(rawOffset);
        }
        break;
    case kModeSet:
    case kModeGain3V:
        // A 3 V constant over the offset: the raw mid code for "SET", the calibrated 0 V else.
        s.offset = mode == kModeSet ? OffsetChoice::Raw : OffsetChoice::Zero;
        s.rawOffsetCode = 0x8000;
        s.cycles = 0;
        s.constantShape = true;
        s.ampCode = 3000;
        break;
    case kModeTest0V:
        level(s, OffsetChoice::Zero);
        break;
    case kModeTestMinus3V:
        level(s, OffsetChoice::Minus3V);
        break;
    case kModeTestPlus3V:
        level(s, OffsetChoice::Plus3V);
        break;
    case kModeHfFftA1:
    case kModeHfFftA2:
        fast(s, 2000);
        s.fftChannel = mode == kModeHfFftA1 ? 0 : 1;
        break;
    case kModeDitherA1:
    case kModeDitherA2:
        fast(s, 0);
        s.ampCode = 0;
        s.fftChannel = mode == kModeDitherA1 ? 0 : 1;
        break;
    case kModeDigital10k:
        s.timeDivNs = 200'000;
        s.decimation = 21;
        s.cycles = 10;
        s.ampCode = 3000;
        break;
    case kModeDigital10k + 1:
    case kModeDigital10k + 2:
    case kModeDigital10k + 3:
    case kModeDigital50M: {
        static constexpr int kCycles[4] = {5, 51, 501, 2501};
        fast(s, kCycles[mode - kModeDigital10k - 1]);
        s.ampCode = 3000;
        break;
    }
    default:
        break;
    }
    return s;
}

int measurementCycles(int mode) {
    const int c = systemTestSetup(mode).cycles;
    return c > 0 ? c : 25;
}

} // namespace kx::calibration
