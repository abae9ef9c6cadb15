// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/InterchangeExport.h"

#include "files/RowPlan.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

namespace kx::files {

namespace fh = core::fh;
using core::Channel;

namespace {

void appendVolts(std::string& out, const core::FrameHeader& h, Channel c, std::int32_t code) {
    if (!isSampleCode(code)) return;
    char text[32];
    const double volts = analogMicrovolts(h, c, code) * 1e-6;
    const auto [end, ec] = std::to_chars(text, text + sizeof text, volts, std::chars_format::general, 9);
    out.append(text, end);
}

void appendBit(std::string& out, std::int32_t v) {
    if (isSampleCode(v)) out.push_back(v >= 128 ? '1' : '0');
}

} // namespace

RowPlan rowPlan(const core::FrameHeader& h, const ChannelSet& exported) {
    RowPlan p;
    const std::int64_t pre = static_cast<std::int64_t>(h[fh::PreTrigger]);
    if (anyDigital(exported)) {
        p.perAnalog = digitalPerAnalog(h);
        p.rows = sampleCount(h, Channel::D1);
        p.periodPs = h.get64(fh::DigitalPeriodPs);
        p.triggerRow = pre * static_cast<std::int64_t>(p.perAnalog);
    } else {
        p.rows = sampleCount(h, Channel::A1);
        p.periodPs = h.get64(fh::SamplePeriodPs);
        p.triggerRow = pre;
    }
    return p;
}

std::string secondsText(std::int64_t ps) {
    constexpr std::uint64_t kPsPerSecond = 1'000'000'000'000ull;
    const bool negative = ps < 0;
    const std::uint64_t a = negative ? 0 - static_cast<std::uint64_t>(ps) : static_cast<std::uint64_t>(ps);
    char text[48];
    int n = std::snprintf(text, sizeof text, "%s%" PRIu64 ".%012" PRIu64, negative ? "-" : "",
                          a / kPsPerSecond, a % kPsPerSecond);
    while (n > 0 && text[n - 1] == '0') --n;
    if (n > 0 && text[n - 1] == '.') --n;
    return std::string(text, static_cast<std::size_t>(n));
}

void buildCsvExport(const core::FrameRecord& frame, const ChannelSet& exported, std::string& out) {
    const auto& h = frame.header;
    const bool peak = h[fh::PeakDetect] != 0;
    out += "Time (s)";
    for (int c = 0; c < core::kChannelCount; ++c) {
        if (!exported[static_cast<std::size_t>(c)]) continue;
        const auto ch = static_cast<Channel>(c);
        const std::string name(channelName(ch));
        const char* unit = isAnalog(ch) ? " (V)" : " (0/1)";
        if (peak)
            out += "," + name + " min" + unit + "," + name + " max" + unit;
        else
            out += "," + name + unit;
    }
    out += "\r\n";

    const RowPlan plan = rowPlan(h, exported);
    const std::size_t analogCount = sampleCount(h, Channel::A1);
    out.reserve(out.size() + plan.rows * 80);
    for (std::size_t i = 0; i < plan.rows; ++i) {
        out += secondsText((static_cast<std::int64_t>(i) - plan.triggerRow) *
                           static_cast<std::int64_t>(plan.periodPs));
        const bool analogRow = i % plan.perAnalog == 0;
        const std::size_t j = i / plan.perAnalog;
        for (int c = 0; c < core::kChannelCount; ++c) {
            if (!exported[static_cast<std::size_t>(c)]) continue;
            const auto ch = static_cast<Channel>(c);
            const auto& lo = frame.channels.minOf(ch);
            const auto& hi = frame.channels.maxOf(ch);
            if (isAnalog(ch)) {
                const bool has = analogRow && j < analogCount;
                out.push_back(',');
                if (has) appendVolts(out, h, ch, lo[j]);
                if (peak) {
                    out.push_back(',');
                    if (has) appendVolts(out, h, ch, hi[j]);
                }
            } else {
                out.push_back(',');
                appendBit(out, lo[i]);
                if (peak) {
                    out.push_back(',');
                    appendBit(out, hi[i]);
                }
            }
        }
        out += "\r\n";
    }
}

bool buildVcdExport(const core::FrameRecord& frame, const ChannelSet& exported, std::string& out) {
    if (!anyDigital(exported)) return false;
    const auto& h = frame.header;
    const bool peak = h[fh::PeakDetect] != 0;
    const RowPlan plan = rowPlan(h, exported);

    // The largest unit of 1, 10 or 100 fs .. s that divides the period.
    static constexpr const char* kUnits[] = {"fs", "ps", "ns", "us", "ms", "s"};
    const std::uint64_t periodFs = plan.periodPs * 1000;
    std::uint64_t unitFs = 1;
    static constexpr const char* kSteps[] = {"1", "10", "100"};
    std::string scale = "1 fs";
    if (periodFs > 0) {
        std::uint64_t u = 1;
        for (int tier = 0; tier < 6; ++tier) {
            for (int s = 0; s < 3; ++s, u *= 10) {
                if (periodFs % u != 0) continue;
                unitFs = u;
                scale = std::string(kSteps[s]) + " " + kUnits[tier];
            }
        }
    }
    const std::uint64_t step = periodFs / unitFs;

    // One variable per exported digital channel, two with the peak detector.
    struct Var {
        const std::array<std::int32_t, core::kMaxFramePoints>* samples;
        char id;
        char last;
    };
    Var vars[8];
    int count = 0;
    out += "$version kx48zz $end\n";
    out += "$comment trigger at #" + std::to_string(plan.triggerRow * static_cast<std::int64_t>(step)) +
           ", digital sample period " + std::to_string(plan.periodPs) + " ps $end\n";
    out += "$timescale " + scale + " $end\n";
    out += "$scope module kx48zz $end\n";
    static constexpr char kIds[] = "!$%&()*+";
    for (int c = 2; c < core::kChannelCount; ++c) {
        if (!exported[static_cast<std::size_t>(c)]) continue;
        const auto ch = static_cast<Channel>(c);
        const std::string name(channelName(ch));
        if (peak) {
            vars[count] = {&frame.channels.minOf(ch), kIds[count], 0};
            out += std::string("$var wire 1 ") + kIds[count++] + " " + name + "_min $end\n";
            vars[count] = {&frame.channels.maxOf(ch), kIds[count], 0};
            out += std::string("$var wire 1 ") + kIds[count++] + " " + name + "_max $end\n";
        } else {
            vars[count] = {&frame.channels.minOf(ch), kIds[count], 0};
            out += std::string("$var wire 1 ") + kIds[count++] + " " + name + " $end\n";
        }
    }
    out += "$upscope $end\n$enddefinitions $end\n";

    const auto level = [](std::int32_t v) { return !isSampleCode(v) ? 'x' : (v >= 128 ? '1' : '0'); };
    for (std::size_t i = 0; i < plan.rows; ++i) {
        bool stamped = false;
        for (int k = 0; k < count; ++k) {
            const char v = level((*vars[k].samples)[i]);
            if (i > 0 && v == vars[k].last) continue;
            if (!stamped) {
                out += "#" + std::to_string(i * step) + "\n";
                if (i == 0) out += "$dumpvars\n";
                stamped = true;
            }
            out.push_back(v);
            out.push_back(vars[k].id);
            out.push_back('\n');
            vars[k].last = v;
        }
        if (i == 0 && stamped) out += "$end\n";
    }
    // The end of the last sample.
    out += "#" + std::to_string(plan.rows * step) + "\n";
    return true;
}

} // namespace kx::files
