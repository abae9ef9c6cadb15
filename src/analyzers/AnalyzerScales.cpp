// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AnalyzerScales.h"

#include "core/NumberFormat.h"
#include "core/Rounding.h"
#include "core/Text.h"

namespace kx::analyzers {

namespace {

constexpr core::TextPair kGeneratorOff{"Generator is Off", "Генератор выключен"};
constexpr core::TextPair kAmplitudeLow{"Amplitude is low", "Амплитуда генератора мала"};
constexpr core::TextPair kOverdriven{"Input is overdriven", "Вход перегружен"};

// Resistances in the unit that keeps their digits few: "m" below 0.1 ohm, "K" above 1000.
AnalyzerScale resistanceScale(double rmax, bool signedScale, char dec) {
    double unit = 1;
    const char* suffix = "";
    if (rmax < 0.1) {
        unit = 1000;
        suffix = "m";
    } else if (rmax > 1000) {
        unit = 0.001;
        suffix = "K";
    }
    const auto c = core::roundHalfAway(100 * rmax * unit / 8);
    const int decimals = (c % 100 != 0 ? 1 : 0) + (c % 10 != 0 ? 1 : 0);
    AnalyzerScale s;
    s.right = true;
    for (int i = 1; i <= 8; ++i) {
        const double v = signedScale ? (4 - i) * rmax / 4 : (8 - i) * rmax / 8;
        s.labels[static_cast<std::size_t>(i)] = core::formatFixed(v * unit, decimals, dec) + suffix;
    }
    return s;
}

} // namespace

AnalyzerScale networkAmplitudeScale(int dbPerDiv, char dec) {
    AnalyzerScale s;
    for (int i = 0; i <= 8; ++i)
        s.labels[static_cast<std::size_t>(i)] =
            dbPerDiv != 0 ? std::to_string(dbPerDiv * (1 - i)) : core::formatFixed((8 - i) * 0.2, 1, dec);
    return s;
}

AnalyzerScale phaseScale() {
    AnalyzerScale s;
    s.right = true;
    s.title = "Ph.";
    for (int i = 1; i <= 8; ++i)
        s.labels[static_cast<std::size_t>(i)] = i == 4 ? " 0" : std::to_string(180 - 45 * i);
    return s;
}

AnalyzerScale antennaScale(AntennaQuantity what, const AntennaRanges& r, char dec) {
    using Q = AntennaQuantity;
    AnalyzerScale s;
    switch (what) {
    case Q::Swr:
        s.title = "SWR";
        for (int i = 1; i <= 8; ++i)
            s.labels[static_cast<std::size_t>(i)] =
                core::formatFixed(1 + (8 - i) * r.swrSpan / 8, r.swrSpan < 7.9 ? 2 : 0, dec);
        return s;
    case Q::ReturnLoss:
        for (int i = 0; i <= 8; ++i) s.labels[static_cast<std::size_t>(i)] = std::to_string(-10 * i);
        return s;
    case Q::Q:
        s.title = "Q";
        for (int i = 1; i <= 8; ++i)
            s.labels[static_cast<std::size_t>(i)] = core::formatFixed((8 - i) * r.q / 8, 0, dec);
        return s;
    case Q::Phase:
        return phaseScale();
    case Q::Z:
        return resistanceScale(r.impedance, false, dec);
    default:
        return resistanceScale(r.impedance, true, dec);
    }
}

std::string analyzerMessage(const core::FrameHeader& h, bool antenna, bool russian) {
    if (antenna) {
        const std::uint32_t amplitude = h[core::fh::GenAmplitudeWord];
        if (amplitude == 0) return kGeneratorOff.pick(russian);
        if (static_cast<double>(h[core::fh::ScaleA1]) * 8 * 0.001 > amplitude * 5.0)
            return kAmplitudeLow.pick(russian);
    }
    if (h[core::fh::OverdriveA1] != 0) return kOverdriven.pick(russian);
    return {};
}

} // namespace kx::analyzers
