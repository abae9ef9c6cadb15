// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/NumberFormat.h"
#include "core/state/AnalyzerState.h"
#include "display/ReadoutTexts.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

namespace kx::display {

namespace {

namespace fh = core::fh;
using core::formatFixed;
using core::formatNumber;

// Graph 2 and 3 choices: "Off", "Rs", "Xs", "Z", "Ph", "Rp", "Xp".
enum Graph23 { kOff = 0, kRs, kXs, kZ, kPh, kRp, kXp };

std::string significant(double v, int digits, char dec) {
    if (v == 0 || !std::isfinite(v)) return formatFixed(0, digits - 1, dec);
    const int magnitude = static_cast<int>(std::floor(std::log10(std::abs(v))));
    return formatFixed(v, std::max(0, digits - 1 - magnitude), dec);
}

class AnalyzerRow {
public:
    AnalyzerRow(const ReadoutContext& c, TextList& out)
        : m_c(c), m_out(out), m_dec(c.sources.decimalSeparator), m_colors(c.state.display.colors),
          m_pair(c.state.display.cursors == core::CursorMode::Double) {
        const auto& d = c.state.display;
        m_y = m_pair ? d.CursorY1 : d.CursorY;
        m_dy = std::abs(static_cast<double>(d.CursorY1) - d.CursorY2);
    }

    void run() {
        const auto& a = m_c.state.analyzer;
        if (a.NA) {
            if (a.NA_Ampl) amplitude();
            if (a.NA_Phase) phase();
        } else if (a.AA) {
            graph1();
            graphs23();
            if (a.AaGraph2 == kPh || a.AaGraph3 == kPh) phase();
        }
    }

private:
    // The value in the markers' colour, its label drawn over it in the curve's.
    void put(double column, std::string_view label, std::string_view value, std::uint32_t curve) {
        const auto& g = m_c.geometry;
        const int x = g.PlotLeft + static_cast<int>(column * g.PixelsPerDivX);
        const int y = readoutRow(g, 3);
        std::string& t = m_out.add(x, y, m_colors.ColorMarkers);
        t += label;
        t += value;
        m_out.add(x, y, curve) += label;
    }

    void amplitude() {
        const int r =
            core::kNaDbPerDiv[static_cast<std::size_t>(std::clamp(m_c.state.analyzer.NaAmpRange, 0, 5))];
        const std::uint32_t curve = m_colors.ColorNaAmpl;
        const double reference = static_cast<double>(m_c.derived.MicroVoltsA1) * 8 * 0.25;
        const int dbDecimals = r > 9 ? 1 : 2;
        if (m_pair) {
            if (r != 0) {
                const double db = m_dy * 8 * r / 65536;
                put(0, "dV = ", formatFixed(db, dbDecimals, m_dec) + " dB", curve);
                put(2.5, "V/V = ",
                    significant(std::pow(10.0, -db / 20), 3, m_dec) + " (" +
                        significant(std::pow(10.0, db / 20), 4, m_dec) + ")",
                    curve);
            } else {
                const auto& d = m_c.state.display;
                const double v1 = linear(d.CursorY1), v2 = linear(d.CursorY2);
                put(0, "dV = ", "...", curve);
                if (v1 == 0 || v2 == 0)
                    put(2.5, "V/V = ", "... (...)", curve);
                else
                    put(2.5, "V/V = ",
                        formatFixed(v1 / v2, 3, m_dec) + " (" + formatFixed(v2 / v1, 3, m_dec) + ")", curve);
            }
            return;
        }
        double volts;
        if (r != 0) {
            const double db = r - 8.0 * r * m_y / 65536;
            put(0, "V = ", formatFixed(db, dbDecimals, m_dec) + " dB", curve);
            volts = std::pow(10.0, db / 20) * reference;
        } else {
            const double v = linear(m_y);
            put(0, "V = ", formatFixed(v, 3, m_dec), curve);
            volts = v * reference;
        }
        put(2.5, "", formatNumber(volts, core::UnitType::Voltage, -4, m_dec) + "rms", curve);
        put(5, "",
            volts > 0 ? formatFixed(10 * std::log10(volts * volts * 0.02) - 90, 2, m_dec) + " dBm (50)"
                      : std::string("... dBm (50)"),
            curve);
        if (!m_c.state.analyzer.NA_Phase)
            put(7.5, "", formatNumber(std::sqrt(2.0) * 2 * volts, core::UnitType::Voltage, -4, m_dec) + "pp",
                curve);
    }

    static double linear(double y) { return (1 - y / 65536) * 1.6; }

    void phase() {
        const std::uint32_t curve = m_colors.ColorPhase;
        if (m_pair)
            put(7.5, "dPh = ", formatFixed(m_dy * 360 / 65536, 1, m_dec) + " Deg", curve);
        else
            put(7.5, "Ph = ", formatFixed((0x8000 - m_y) * 360.0 / 65536, 1, m_dec) + " Deg", curve);
    }

    void graph1() {
        const auto& a = m_c.state.analyzer;
        const std::uint32_t curve = m_colors.ColorAaGraph1;
        switch (a.AaGraph1) {
        case 1: {
            const double swrMax = core::kAaSwrSpan[static_cast<std::size_t>(std::clamp(a.AaSwrRange, 0, 4))];
            const int decimals = swrMax >= 7.9 ? 2 : 3;
            if (m_pair)
                put(0, "dSWR = ", formatFixed(m_dy * swrMax / 65536, decimals, m_dec), curve);
            else
                put(0, "SWR = ", formatFixed((65536 - m_y) * swrMax / 65536 + 1, decimals, m_dec), curve);
            break;
        }
        case 2:
            if (m_pair)
                put(0, "dR.L. = ", formatFixed(m_dy * 80 / 65536, 2, m_dec) + " dB", curve);
            else
                put(0, "R.L. = ", formatFixed(m_y * -80.0 / 65536, 2, m_dec) + " dB", curve);
            break;
        case 3: {
            const double qMax = core::kAaQRange[static_cast<std::size_t>(std::clamp(a.AaQRange, 0, 2))];
            if (m_pair)
                put(0, "dQ = ", formatFixed(m_dy * qMax / 65536, 1, m_dec), curve);
            else
                put(0, "Q = ", formatFixed((1 - m_y / 65536) * qMax, 1, m_dec), curve);
            break;
        }
        default:
            break;
        }
    }

    void graphs23() {
        const auto& a = m_c.state.analyzer;
        const double rMax = core::kAaImpRange[static_cast<std::size_t>(std::clamp(a.AaImpRange, 0, 10))];
        double column = 2.5;
        bool shown[7] = {};
        double reactance = 0;
        bool reactanceShown = false;
        std::uint32_t reactanceColor = 0;
        for (int graph : {a.AaGraph2, a.AaGraph3}) {
            if (graph <= kOff || graph > kXp || graph == kPh || shown[graph]) continue;
            shown[graph] = true;
            static constexpr std::array<const char*, 7> kSingle{
                "", "Rs = ", "Xs = ", "|Z| = ", "", "Rp = ", "Xp = "};
            static constexpr std::array<const char*, 7> kPair{
                "", "dRs = ", "dXs = ", "d|Z| = ", "", "dRp = ", "dXp = "};
            const std::array<std::uint32_t, 7> colors{0, m_colors.ColorRs, m_colors.ColorXs, m_colors.ColorZ,
                                                      0, m_colors.ColorRp, m_colors.ColorXp};
            const auto gi = static_cast<std::size_t>(graph);
            double value;
            if (graph == kZ)
                value = (m_pair ? m_dy : 65536 - m_y) * rMax / 65536;
            else
                value = m_pair ? 2 * rMax * m_dy / 65536 : 2 * rMax * ((65536 - m_y) / 65536 - 0.5);
            put(column, m_pair ? kPair[gi] : kSingle[gi],
                formatNumber(value, core::UnitType::Resistance, -3, m_dec), colors[gi]);
            column += 2.5;
            if (!m_pair && (graph == kXs || graph == kXp) && !reactanceShown) {
                reactanceShown = true;
                reactance = value;
                reactanceColor = colors[gi];
            }
        }
        if (!reactanceShown || column > 7.5) return;
        const double f = cursorFrequency();
        const bool inductive = reactance >= 0;
        const char* label = inductive ? "L = " : "C = ";
        if (f == 0) {
            put(column, label, "...", reactanceColor);
            return;
        }
        const double w = 2 * std::numbers::pi * f;
        if (inductive)
            put(column, label, formatNumber(reactance / w * 1e9, core::UnitType::Inductance, -3, m_dec),
                reactanceColor);
        else
            put(column, label,
                formatNumber(-1 / (w * reactance) * 1e12, core::UnitType::Capacitance, -3, m_dec),
                reactanceColor);
    }

    double cursorFrequency() const {
        const auto& h = m_c.header;
        const int zoom = core::kIqZoom[static_cast<std::size_t>(std::clamp(m_c.state.analyzer.IqZoom, 0, 4))];
        const double t0 = static_cast<double>(m_c.scrollPos - static_cast<std::int64_t>(h[fh::PreTrigger])) *
                          0.001 * static_cast<double>(h.get64(fh::SamplePeriodPs));
        const double left = sweepFrequencyAt(h, std::max(0.0, sweepRate(h)), t0);
        return m_c.state.display.CursorX * 0.0002 * static_cast<double>(h.get64(fh::SweepSpan)) * 0.001 /
                   zoom +
               left;
    }

    const ReadoutContext& m_c;
    TextList& m_out;
    char m_dec;
    const core::ColorRoles& m_colors;
    bool m_pair;
    double m_y = 0;
    double m_dy = 0;
};

} // namespace

void appendAnalyzerCursorTexts(const ReadoutContext& c, TextList& out) {
    if (c.state.display.cursors == core::CursorMode::None) return;
    AnalyzerRow(c, out).run();
}

} // namespace kx::display
