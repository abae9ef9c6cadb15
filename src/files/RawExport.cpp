// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RawExport.h"

#include "core/NumberFormat.h"
#include "files/ExportFrame.h"

namespace kx::files {

namespace fh = core::fh;
using core::Channel;

namespace {

void put16(std::vector<std::uint8_t>& out, std::int32_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    out.push_back(static_cast<std::uint8_t>(u));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
}

} // namespace

void buildRawExport(const core::FrameRecord& frame, Channel channel, std::vector<std::uint8_t>& out) {
    const auto& h = frame.header;
    const bool peak = h[fh::PeakDetect] != 0;
    const std::int32_t offset = isAnalog(channel) ? 32768 : 0;
    const auto& lo = frame.channels.minOf(channel);
    const auto& hi = frame.channels.maxOf(channel);
    const std::size_t n = sampleCount(h, channel);
    out.reserve(out.size() + n * (peak ? 4 : 2));
    for (std::size_t k = 0; k < n; ++k) {
        if (!isSampleCode(lo[k])) return;
        put16(out, lo[k] - offset);
        if (!peak) continue;
        if (!isSampleCode(hi[k])) return;
        put16(out, hi[k] - offset);
    }
}

std::string rawDescription(const core::FrameHeader& h, Channel channel, const std::string& binaryName,
                           char separator) {
    std::string s = "Oscilloscope binary file = " + binaryName + "\r\n";
    const std::uint64_t periodPs = h.get64(isAnalog(channel) ? fh::SamplePeriodPs : fh::DigitalPeriodPs);
    s += "Time step = " +
         core::formatNumber(static_cast<double>(periodPs) / 1000.0, core::UnitType::Time, -4, separator) +
         "\r\n";
    s += h[fh::PeakDetect] != 0 ? "Peak detector on, bytes per sample = 4, Signed 16 bit LSB First"
                                : "Peak detector off, bytes per sample = 2, Signed 16 bit LSB First";
    s += "\r\n";
    if (isAnalog(channel)) {
        const std::uint32_t zero = h[channel == Channel::A1 ? fh::ZeroA1 : fh::ZeroA2];
        const long long z = zero < 65536 ? static_cast<long long>(zero) - 32768 : 32767;
        s += "Voltage step = " +
             core::formatNumber(analogStepMicrovolts(h, channel), core::UnitType::Voltage, -6, separator);
        s += "\r\nZero level = " + std::to_string(z) + "\r\n\r\n";
    }
    return s;
}

} // namespace kx::files
