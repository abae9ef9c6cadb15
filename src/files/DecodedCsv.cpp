// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DecodedCsv.h"

#include "files/ExportFrame.h"
#include "files/InterchangeExport.h"

#include <cstdio>

namespace kx::files {

namespace fh = core::fh;

namespace {

std::int64_t startPs(const decoders::DecodedChar& c, const DecodedLineTiming& t) {
    return (static_cast<std::int64_t>(c.first) - t.triggerIndex) * t.periodPs;
}

void appendRow(std::string& out, const decoders::DecodedChar& c, const DecodedLineTiming& t, const char* line,
               int digits) {
    out += secondsText(startPs(c, t));
    out += ',';
    out += line;
    char value[24];
    const int n = std::snprintf(value, sizeof value, ",0x%0*X,", digits, c.value);
    out.append(value, static_cast<std::size_t>(n));
    if (c.value >= 0x20 && c.value <= 0x7E) {
        out += '"';
        if (c.value == '"') out += '"';
        out += static_cast<char>(c.value);
        out += '"';
    }
    out += (c.flags & decoders::kParityError) ? ",1" : ",0";
    out += (c.flags & decoders::kFramingError) ? ",1\r\n" : ",0\r\n";
}

} // namespace

DecodedLineTiming decodedLineTiming(const core::FrameHeader& h, int source) {
    const auto pre = static_cast<std::int64_t>(h[fh::PreTrigger]);
    if (source <= 2) return {static_cast<std::int64_t>(h.get64(fh::SamplePeriodPs)), pre};
    return {static_cast<std::int64_t>(h.get64(fh::DigitalPeriodPs)),
            pre * static_cast<std::int64_t>(digitalPerAnalog(h))};
}

void buildDecodedCsv(const DecodedTraffic& t, std::string& out) {
    const int digits = t.dataBits <= 8 ? 2 : (t.dataBits <= 16 ? 4 : 8);
    out += "Time (s),Line,Value,Char,Parity error,Framing error\r\n";
    out.reserve(out.size() + (t.rxd.size() + t.txd.size()) * 48);
    std::size_t r = 0;
    std::size_t x = 0;
    while (r < t.rxd.size() || x < t.txd.size()) {
        const bool takeRxd = x == t.txd.size() || (r < t.rxd.size() && startPs(t.rxd[r], t.rxdTiming) <=
                                                                           startPs(t.txd[x], t.txdTiming));
        if (takeRxd)
            appendRow(out, t.rxd[r++], t.rxdTiming, "RXD", digits);
        else
            appendRow(out, t.txd[x++], t.txdTiming, "TXD", digits);
    }
}

} // namespace kx::files
