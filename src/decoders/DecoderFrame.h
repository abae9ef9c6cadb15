// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "decoders/DecodedChar.h"
#include "decoders/Rs232Decoder.h"

#include <array>
#include <cstdint>
#include <span>

namespace kx::core {
struct DecoderState;
struct FrameRecord;
struct InstrumentState;
} // namespace kx::core

namespace kx::decoders {

// Source index of a decoder line: 0 off, 1 A1, 2 A2, 3..6 D1..D4.
constexpr int kSourceOff = 0;
constexpr int kSourceA1 = 1;
constexpr int kSourceA2 = 2;
constexpr int kSourceD1 = 3;
constexpr int kSourceD4 = 6;

// Display format of the listing and the band labels.
enum class DecoderDisplay : std::int32_t { Hex = 0, Decimal = 1, Ascii = 2 };

// What the per-frame step needs of the decoder settings.
struct Rs232Settings {
    std::int32_t type = 0; // 0 off, 1 RS232; above 1 decodes nothing
    Rs232Format format;
    int rxdSource = kSourceA1;
    int txdSource = kSourceD1;
    bool rxdInverted = false;
    bool txdInverted = false;
    DecoderDisplay display = DecoderDisplay::Hex;
};

// Low and high thresholds in a channel's sample scale.
struct LineThresholds {
    double low = 0;
    double high = 0;
    bool valid = false; // false when the frame gives no scale to convert with
};

// Digital samples are 0 or 256.
constexpr LineThresholds kDigitalThresholds{96, 160, true};

// Threshold pair of an analog channel from its trigger level (screen code 0..65535), the
// noise-reject index "Hyst", the channel's zero position (screen code) and volts per
// division, and the frame's scale and zero words of that channel.
LineThresholds analogThresholds(double trigLevel, int hystIndex, double zeroPosition, double microvoltsPerDiv,
                                std::int32_t frameScale, std::int32_t frameZero);

// The frame facts the decoder reads. Channel order A1, A2, D1, D2, D3, D4.
struct DecoderFrame {
    std::array<std::span<const std::int32_t>, 6> min{};
    std::array<std::span<const std::int32_t>, 6> max{};
    std::uint32_t channelMask = 0; // A1 0x01 .. D4 0x20
    std::uint32_t captureLength = 0;
    std::int32_t analogCount = 0;
    std::int32_t digitalCount = 0;
    std::int64_t samplePeriodPs = 0;
    std::int64_t digitalPeriodPs = 0;
    std::array<bool, 6> channelShown{}; // the Channels menu switches
    LineThresholds a1;                  // from analogThresholds()
    LineThresholds a2;
};

// The frame facts of a frame record with the thresholds from the trigger levels, the noise reject,
// the zero positions and volts per division of the state, and the Channels menu switches.
DecoderFrame decoderFrameOf(const core::FrameRecord& record, const core::InstrumentState& state);

// Inputs of one decoder line, or active = false when its source is off, absent from the
// frame or switched off.
struct LineInput {
    bool active = false;
    Rs232Line line;
};

LineInput lineInput(int source, bool inverted, const DecoderFrame& frame);

// The decoding part of the per-frame step. Returns false when the step does not run
// ("Type" 0 or an empty capture): then the caller skips the listing and the bands too.
bool decodeFrame(const Rs232Settings& settings, const DecoderFrame& frame, DecodedLine& rxd,
                 DecodedLine& txd);

// The decoder settings of the instrument state as the per-frame step uses them; values
// out of range (from a settings file) are clamped into it.
Rs232Settings rs232Settings(const core::DecoderState& state);

} // namespace kx::decoders
