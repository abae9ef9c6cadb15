// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/DecoderFrame.h"

#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "core/ScopeControls.h"
#include "core/state/DecoderState.h"

#include <algorithm>
#include <cmath>

namespace kx::decoders {

namespace {

// Hysteresis in 1/256 of full scale for each noise-reject index.
constexpr int kHysteresis[10] = {0, 2, 3, 8, 16, 24, 32, 40, 48, 56};

} // namespace

LineThresholds analogThresholds(double trigLevel, int hystIndex, double zeroPosition, double microvoltsPerDiv,
                                std::int32_t frameScale, std::int32_t frameZero) {
    const double r = std::clamp(std::round(trigLevel / 256.0), 0.0, 255.0);
    const double h = kHysteresis[std::clamp(hystIndex, 0, 9)];
    const double lowLevel = h < r ? (r - h) * 256.0 : 256.0;
    const double highLevel = r + h <= 255.0 ? (r + h) * 256.0 : 65280.0;
    if (frameScale == 0) return {}; // a frame without a scale cannot be converted
    auto toSample = [&](double level) {
        return std::round((level - zeroPosition) * microvoltsPerDiv / frameScale) + frameZero;
    };
    return {toSample(lowLevel), toSample(highLevel), true};
}

DecoderFrame decoderFrameOf(const core::FrameRecord& rec, const core::InstrumentState& s) {
    const auto& h = rec.header;
    DecoderFrame f;
    for (std::size_t c = 0; c < static_cast<std::size_t>(core::kChannelCount); ++c) {
        f.min[c] = rec.channels.min[c];
        f.max[c] = rec.channels.max[c];
    }
    f.channelMask = h[core::fh::ChannelMask];
    f.captureLength = h[core::fh::CaptureLength];
    f.analogCount = h.signedWord(core::fh::AnalogCount);
    f.digitalCount = h.signedWord(core::fh::DigitalCount);
    f.samplePeriodPs = static_cast<std::int64_t>(h.get64(core::fh::SamplePeriodPs));
    f.digitalPeriodPs = static_cast<std::int64_t>(h.get64(core::fh::DigitalPeriodPs));
    f.channelShown = {s.scope.A1.shown, s.scope.A2.shown, s.scope.CH_D1,
                      s.scope.CH_D2,    s.scope.CH_D3,    s.scope.CH_D4};
    f.a1 = analogThresholds(s.trigger.Lev_A1, s.trigger.Hyst, s.scope.A1.Zero,
                            static_cast<double>(core::channelMicroVolts(s.scope.A1)),
                            h.signedWord(core::fh::ScaleA1), h.signedWord(core::fh::ZeroA1));
    f.a2 = analogThresholds(s.trigger.Lev_A2, s.trigger.Hyst, s.scope.A2.Zero,
                            static_cast<double>(core::channelMicroVolts(s.scope.A2)),
                            h.signedWord(core::fh::ScaleA2), h.signedWord(core::fh::ZeroA2));
    return f;
}

LineInput lineInput(int source, bool inverted, const DecoderFrame& frame) {
    LineInput in;
    if (source < kSourceA1 || source > kSourceD4) return in;
    const auto ch = static_cast<std::size_t>(source - 1);
    if (!(frame.channelMask & (1u << ch)) || !frame.channelShown[ch]) return in;

    const bool analog = source <= kSourceA2;
    const LineThresholds th = analog ? (source == kSourceA1 ? frame.a1 : frame.a2) : kDigitalThresholds;
    if (!th.valid) return in;
    const std::int32_t count = analog ? frame.analogCount : frame.digitalCount;
    // Never read past what the buffers hold, whatever the header claims.
    const auto n =
        std::min({static_cast<std::size_t>(std::max(count, 0)), frame.min[ch].size(), frame.max[ch].size()});
    in.active = true;
    in.line.min = frame.min[ch].first(n);
    in.line.max = frame.max[ch].first(n);
    in.line.samplePeriodPs = analog ? frame.samplePeriodPs : frame.digitalPeriodPs;
    in.line.low = th.low;
    in.line.high = th.high;
    in.line.inverted = inverted;
    return in;
}

bool decodeFrame(const Rs232Settings& settings, const DecoderFrame& frame, DecodedLine& rxd,
                 DecodedLine& txd) {
    if (settings.type == 0 || frame.captureLength == 0) return false;
    rxd.count = 0;
    txd.count = 0;
    if (settings.type != 1) return true;
    if (const auto in = lineInput(settings.rxdSource, settings.rxdInverted, frame); in.active)
        decodeRs232(in.line, settings.format, rxd);
    if (const auto in = lineInput(settings.txdSource, settings.txdInverted, frame); in.active)
        decodeRs232(in.line, settings.format, txd);
    return true;
}

Rs232Settings rs232Settings(const core::DecoderState& state) {
    Rs232Settings s;
    s.type = state.Type;
    s.format.baudRate = std::clamp<std::int64_t>(state.Baud_Rate, 2, 400000000);
    s.format.dataBits = std::clamp(state.Data_Bits, 2, 32);
    s.format.parity = static_cast<Rs232Parity>(std::clamp(state.PRTY, 0, 3));
    s.format.stopBits = std::clamp(state.Stop_Bits, 1, 2);
    s.format.msbFirst = state.MSB_First == 1;
    s.rxdSource = state.RXD;
    s.txdSource = state.TXD;
    s.rxdInverted = state.RXD_Inv == 1;
    s.txdInverted = state.TXD_Inv == 1;
    s.display = state.Display >= 0 && state.Display <= 2 ? static_cast<DecoderDisplay>(state.Display)
                                                         : DecoderDisplay::Hex;
    return s;
}

} // namespace kx::decoders
