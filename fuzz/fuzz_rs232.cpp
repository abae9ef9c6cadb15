// SPDX-License-Identifier: GPL-3.0-or-later
// The RS232 decoder over an arbitrary frame: any settings (clamped as a settings file's are), any
// channel mask, counts, sample periods and thresholds, and any samples; then its listing.
#include "core/state/DecoderState.h"
#include "decoders/DecoderFrame.h"
#include "decoders/DecoderListing.h"

#include "ByteReader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kPoints = 40000; // the frame record's length

std::int32_t sampleOf(std::uint8_t b, bool digital, int channel) {
    if (b == 0xFF) return INT_MAX; // no sample
    if (digital) return ((b >> channel) & 1) ? 256 : 0;
    return static_cast<std::int32_t>(b) << 8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kx::decoders;
    static std::array<std::vector<std::int32_t>, 6> mins, maxs;
    static std::size_t written = kPoints; // entries of the last input to clear again
    static auto rxd = std::make_unique<DecodedLine>();
    static auto txd = std::make_unique<DecodedLine>();

    kx::fuzz::ByteReader in(data, size);
    kx::core::DecoderState s;
    s.Type = static_cast<std::int32_t>(in.u8() % 3);
    s.Baud_Rate = static_cast<std::int32_t>(in.u32());
    s.PRTY = static_cast<std::int8_t>(in.u8());
    s.Data_Bits = static_cast<std::int8_t>(in.u8());
    s.Stop_Bits = static_cast<std::int8_t>(in.u8());
    s.MSB_First = static_cast<std::int32_t>(in.u8() & 1);
    s.RXD = static_cast<std::int8_t>(in.u8());
    s.TXD = static_cast<std::int8_t>(in.u8());
    const std::uint32_t flags = in.u8();
    s.RXD_Inv = static_cast<std::int32_t>(flags & 1);
    s.TXD_Inv = static_cast<std::int32_t>((flags >> 1) & 1);
    s.Display = static_cast<std::int32_t>((flags >> 2) % 4);
    const Rs232Settings settings = rs232Settings(s);

    DecoderFrame frame;
    frame.channelMask = in.u8();
    const std::uint32_t shown = in.u8();
    for (int c = 0; c < 6; ++c) frame.channelShown[static_cast<std::size_t>(c)] = (shown >> c) & 1;
    frame.captureLength = in.u16() % (kPoints + 1);
    frame.analogCount = static_cast<std::int32_t>(in.u16() % (kPoints + 1));
    frame.digitalCount = static_cast<std::int32_t>(in.u16() % (kPoints + 1));
    frame.samplePeriodPs = static_cast<std::int32_t>(in.u32());
    frame.digitalPeriodPs = static_cast<std::int32_t>(in.u32());
    for (auto* t : {&frame.a1, &frame.a2}) {
        const double level = static_cast<std::int32_t>(in.u32());
        const int hyst = static_cast<std::int8_t>(in.u8());
        const double zero = static_cast<std::int32_t>(in.u32());
        const double uvDiv = static_cast<std::int32_t>(in.u32());
        const auto scale = static_cast<std::int32_t>(in.u32());
        const auto zeroWord = static_cast<std::int32_t>(in.u32());
        *t = analogThresholds(level, hyst, zero, uvDiv, scale, zeroWord);
    }

    const auto samples = in.rest();
    const std::size_t n = std::min(samples.size(), kPoints);
    for (int c = 0; c < 6; ++c) {
        auto& lo = mins[static_cast<std::size_t>(c)];
        auto& hi = maxs[static_cast<std::size_t>(c)];
        lo.resize(kPoints);
        hi.resize(kPoints);
        std::fill_n(lo.begin(), written, INT_MAX);
        std::fill_n(hi.begin(), written, INT_MAX);
        const bool digital = c >= 2;
        for (std::size_t i = 0; i < n; ++i) {
            lo[i] = sampleOf(samples[i], digital, c - 2);
            hi[i] = sampleOf(i + 1 < samples.size() ? samples[i + 1] : samples[i], digital, c - 2);
        }
        frame.min[static_cast<std::size_t>(c)] = lo;
        frame.max[static_cast<std::size_t>(c)] = hi;
    }

    written = n;

    if (!decodeFrame(settings, frame, *rxd, *txd)) return 0;
    for (const bool russian : {false, true})
        (void)decodedText(rxd->view(), txd->view(), settings.display, settings.format.dataBits, russian);
    for (const auto& c : rxd->view()) (void)bandLabel(c, settings.display);
    return 0;
}
