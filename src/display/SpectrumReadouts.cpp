// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/SpectrumReadouts.h"

#include "analyzers/SpectrumDisplay.h"
#include "analyzers/SpectrumFrame.h"
#include "analyzers/SpectrumSettingsMap.h"
#include "analyzers/SpectrumTexts.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <string_view>

namespace kx::display {
namespace {

namespace fh = core::fh;
namespace fw = analyzers::fftword;
using core::UnitType;

// A value in one colour with its label drawn again over it in the spectrum's colour.
void labelled(TextList& out, int x, int y, std::uint32_t valueColor, std::uint32_t labelColor,
              const std::string& text, std::string_view label) {
    out.add(x, y, valueColor) = text;
    if (valueColor != labelColor && text.compare(0, label.size(), label) == 0)
        out.add(x, y, labelColor).assign(label);
}

std::string_view labelOf(const std::string& text) {
    const auto eq = text.find("= ");
    return eq == std::string::npos ? std::string_view() : std::string_view(text).substr(0, eq + 2);
}

} // namespace

void appendSpectrumReadouts(const ReadoutContext& c, const SpectrumReadoutData& d, TextList& out) {
    if (!c.spectrumA1 && !c.spectrumA2) return;
    const auto& s = c.state;
    const auto& g = c.geometry;
    const auto& h = c.header;
    const auto& colors = s.display.colors;
    const char dec = c.sources.decimalSeparator;
    const analyzers::SpectrumSettings fft = analyzers::spectrumSettingsFrom(s.fft);
    const bool ets = h[fw::EtsFftChannel] != 0;
    const std::uint64_t period = h.get64(fh::SamplePeriodPs);
    const double span = analyzers::spectrumSpanHz(period, ets);
    const int zoom = analyzers::spectrumZoomFactor(fft.zoomSetting);
    const int points = static_cast<int>(h[fw::FftPoints]);
    const double perBin = points > 0 ? span / (points / 2.0) : 0;
    const int shown = s.fft.View_A2 ? 1 : 0; // the checked channel
    auto x = [&](int column) { return readoutColumn(g, column); };
    auto y = [&](int row) { return readoutRow(g, row); };
    auto scaleOf = [&](int ch) {
        return static_cast<double>(ch == 0 ? c.derived.MicroVoltsA1 : c.derived.MicroVoltsA2);
    };
    const int reference = analyzers::spectrumReferenceLevel(scaleOf(shown), fft.scale);

    // Status row.
    out.add(x(3), y(0), shown == 0 ? colors.ColorA1 : colors.ColorA2) = shown == 0 ? "  A1" : "  A2";
    out.add(x(5) - 10, y(0), colors.ColorFft) = analyzers::spectrumPointsText(points);
    out.add(x(0), y(0), colors.ColorFft) = analyzers::spectrumReferenceText(reference, fft.scale);
    out.add(x(6), y(0), colors.ColorFft) = analyzers::spectrumSpanText(span, zoom);
    out.add(x(9), y(0), colors.ColorFft) = analyzers::spectrumDivisionText(fft.db15PerDiv, fft.scale);

    // Row 1: the first bin shown.
    const double first = static_cast<double>(d.fftScrollPos) * perBin;
    out.add(x(0), y(1), colors.ColorGridFrame) = core::formatNumber(first, UnitType::Frequency, -5, dec);

    // Row 2: frequencies at the vertical cursors.
    const auto& disp = s.display;
    auto cursorHz = [&](std::int32_t pos) { return pos * 0.0002 * span / zoom + first; };
    if (disp.cursors == core::CursorMode::Single) {
        labelled(out, x(0), y(2), colors.ColorMarkers, colors.ColorFft,
                 "F = " + core::formatNumber(cursorHz(disp.CursorX), UnitType::Frequency, -5, dec), "F = ");
    } else if (disp.cursors == core::CursorMode::Double) {
        const double a = cursorHz(disp.CursorX1), b = cursorHz(disp.CursorX2);
        const double f1 = std::min(a, b), f2 = std::max(a, b);
        labelled(out, x(0), y(2), colors.ColorMarkers, colors.ColorFft,
                 "F1 = " + core::formatNumber(f1, UnitType::Frequency, -5, dec), "F1 = ");
        labelled(out, x(3), y(2), colors.ColorMarkers, colors.ColorFft,
                 "F2 = " + core::formatNumber(f2, UnitType::Frequency, -5, dec), "F2 = ");
        labelled(out, x(6), y(2), colors.ColorMarkers, colors.ColorFft,
                 "dF = " + core::formatNumber(f2 - f1, UnitType::Frequency, -4, dec), "dF = ");
    }

    // Rows 3 and 4: the channels whose spectrum is computed.
    const bool averaging = s.fft.Ave_On || h[fw::FftAveragesA1] > 1 || h[fw::FftAveragesA1 + 1] > 1;
    for (int ch = 0; ch < 2; ++ch) {
        const bool state1 = ch == 0 ? c.spectrumA1 : c.spectrumA2;
        const auto& input = ch == 0 ? s.scope.A1 : s.scope.A2;
        if (!s.display.Measure || !input.shown || !state1) continue;
        const int row = 3 + ch;
        const std::uint32_t color = ch == 0 ? colors.ColorA1 : colors.ColorA2;
        analyzers::SpectrumPeak peak;
        peak.valid = h[fw::FftPeakValidA1 + ch] != 0;
        peak.levelDb = h.getReal(fw::FftPeakLevelA1 + 2 * ch);
        peak.frequency = h.getReal(fw::FftPeakFreqA1 + 2 * ch);
        const bool known = period != 0;
        const std::string level = analyzers::spectrumPeakLevelText(peak, known, fft.scale, fft.dbvToVolt);
        labelled(out, x(0), y(row), color, colors.ColorFft, level, "Vp = ");
        const std::string freq = analyzers::spectrumPeakFrequencyText(peak, known);
        labelled(out, x(3), y(row), color, colors.ColorFft, freq, "Fp = ");

        const bool otherShown = ch == 0 ? c.spectrumA2 : c.spectrumA1;
        if (averaging) {
            const int count = static_cast<int>(h[fw::FftAveragesA1 + ch]);
            const std::string av = analyzers::spectrumAveragingText(fft.averagingExponent, count);
            labelled(out, x(6), y(row), color, colors.ColorFft, av, labelOf(av));
        } else if (otherShown && (ch == 1 || !d.cross.peaksCoincide)) {
            const std::string ph =
                analyzers::spectrumPhaseText(ch == 0 ? d.cross.a1Valid : d.cross.a2Valid,
                                             ch == 0 ? d.cross.a1MinusA2Deg : d.cross.a2MinusA1Deg);
            labelled(out, x(6), y(row), color, colors.ColorFft, ph, "dPh = ");
        }

        const int ref = analyzers::spectrumReferenceLevel(scaleOf(ch), fft.scale);
        if (disp.cursors == core::CursorMode::Single) {
            const std::string v = analyzers::spectrumCursorLevelText(ref, disp.CursorY, fft.db15PerDiv,
                                                                     fft.scale, fft.dbvToVolt);
            labelled(out, x(9), y(row), color, colors.ColorFft, v, "V = ");
        } else if (disp.cursors == core::CursorMode::Double) {
            const std::string v = analyzers::spectrumCursorDeltaText(
                static_cast<double>(disp.CursorY1) - disp.CursorY2, fft.db15PerDiv, fft.scale);
            labelled(out, x(9), y(row), color, colors.ColorFft, v, "dV = ");
        }
    }

    if (d.distortionShown) appendDistortionTexts(c, d.distortion, out);
}

void appendDistortionTexts(const ReadoutContext& c, const analyzers::DistortionFigures& d, TextList& out) {
    const auto& g = c.geometry;
    const char dec = c.sources.decimalSeparator;
    const std::uint32_t color = c.state.display.colors.ColorFft;
    // Three rows of two at the bottom of the plot: each figure has half the plot's width, so
    // the longest ("THD = -40.00 dB (1.000 %)") fits even in the compact view.
    const int step = readoutFontHeight(g) + 2;
    const int bottom = g.PlotTop + g.PlotHeight - readoutFontHeight(g) - 4;
    int index = 0;
    auto put = [&](const char* label, const std::string& value) {
        const int row = index / 2, column = index % 2;
        std::string& t =
            out.add(g.PlotLeft + 3 + column * (g.PlotWidth / 2), bottom - (2 - row) * step, color);
        t = label;
        t += d.valid ? value : std::string("...");
        ++index;
    };
    auto fixed = [&](double v, int decimals) { return core::formatFixed(v, decimals, dec); };
    put("THD = ", fixed(d.thdDb, 2) + " dB (" + fixed(d.thdPercent, 3) + " %)");
    put("THD+N = ", fixed(d.thdNoiseDb, 2) + " dB");
    put("SINAD = ", fixed(d.sinadDb, 2) + " dB");
    put("SFDR = ", fixed(d.sfdrDb, 2) + " dB");
    put("ENOB = ", fixed(d.enobBits, 2) + " bit");
    put("Noise = ", fixed(d.noiseDbvPerRootHz, 1) + " dBV/\xE2\x88\x9AHz");
}

} // namespace kx::display
