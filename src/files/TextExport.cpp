// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/TextExport.h"

#include "core/NumberFormat.h"

#include <charconv>
#include <memory>
#include <vector>

namespace kx::files {

namespace fh = core::fh;
using core::Channel;

namespace {

constexpr std::size_t kIndexWidth = 8;
constexpr std::size_t kColumnWidth = 12;
constexpr std::size_t kCodeRange = 0x10000;

void padTo(std::string& out, std::size_t fieldStart, std::size_t width) {
    const std::size_t used = out.size() - fieldStart;
    if (used < width) out.append(width - used, ' ');
}

// A frame holds few distinct codes, so each is formatted once.
class VoltageTexts {
public:
    VoltageTexts(const core::FrameHeader& h, Channel c, char separator)
        : m_header(h), m_channel(c), m_separator(separator), m_texts(kCodeRange), m_known(kCodeRange, false) {
    }

    // Empty for a position without a sample.
    const std::string& of(std::int32_t code) {
        if (!isSampleCode(code)) return m_none;
        const auto i = static_cast<std::size_t>(code);
        if (!m_known[i]) {
            m_texts[i] = core::formatNumber(analogMicrovolts(m_header, m_channel, code),
                                            core::UnitType::Voltage, -4, m_separator);
            m_known[i] = true;
        }
        return m_texts[i];
    }

private:
    const core::FrameHeader& m_header;
    Channel m_channel;
    char m_separator;
    std::vector<std::string> m_texts;
    std::vector<bool> m_known;
    std::string m_none;
};

void appendDigital(std::string& out, std::int32_t v) {
    const std::size_t start = out.size();
    if (isSampleCode(v)) out.push_back(v >= 128 ? '1' : '0');
    padTo(out, start, kColumnWidth);
}

} // namespace

void buildTextExport(const core::FrameRecord& frame, const ChannelSet& exported, char separator,
                     std::string& out) {
    const auto& h = frame.header;
    const bool peak = h[fh::PeakDetect] != 0;
    out += "Oscilloscope data. \r\n";
    out += "Time step = ";
    out += core::formatNumber(static_cast<double>(h.get64(fh::DigitalPeriodPs)) / 1000.0,
                              core::UnitType::Time, -4, separator);
    out += "\r\n\r\n";

    out += "N       ";
    for (int c = 0; c < core::kChannelCount; ++c) {
        if (!exported[static_cast<std::size_t>(c)]) continue;
        const std::string_view name = channelName(static_cast<Channel>(c));
        if (peak) {
            out.append(name).append(" MIN      ");
            out.append(name).append(" MAX      ");
        } else {
            out.append(name).append("          ");
        }
    }
    out += "\r\n\r\n";

    std::unique_ptr<VoltageTexts> volts[2];
    for (int c = 0; c < 2; ++c)
        if (exported[static_cast<std::size_t>(c)])
            volts[c] = std::make_unique<VoltageTexts>(h, static_cast<Channel>(c), separator);

    const std::uint64_t r = digitalPerAnalog(h);
    const std::size_t rows = std::min<std::size_t>(h[fh::DigitalCount], core::kMaxFramePoints);
    const std::size_t analogCount = sampleCount(h, Channel::A1);
    const std::size_t analogWidth = peak ? 2 * kColumnWidth : kColumnWidth;
    out.reserve(out.size() + rows * (kIndexWidth + 6 * analogWidth + 2));
    char digits[24];
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t rowStart = out.size();
        const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, i);
        out.append(digits, end);
        padTo(out, rowStart, kIndexWidth);

        const std::size_t j = static_cast<std::size_t>(i / r);
        const bool valueRow = i % r == r - 1 && j < analogCount;
        for (int c = 0; c < 2; ++c) {
            if (!volts[c]) continue;
            const std::size_t start = out.size();
            if (valueRow) {
                const auto ch = static_cast<Channel>(c);
                out += volts[c]->of(frame.channels.minOf(ch)[j]);
                padTo(out, start, kColumnWidth);
                if (peak) out += volts[c]->of(frame.channels.maxOf(ch)[j]);
            }
            padTo(out, start, analogWidth);
        }
        for (int c = 2; c < core::kChannelCount; ++c) {
            if (!exported[static_cast<std::size_t>(c)]) continue;
            const auto ch = static_cast<Channel>(c);
            appendDigital(out, frame.channels.minOf(ch)[i]);
            if (peak) appendDigital(out, frame.channels.maxOf(ch)[i]);
        }
        out += "\r\n";
    }
}

} // namespace kx::files
