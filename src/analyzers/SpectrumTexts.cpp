// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumTexts.h"

#include "core/NumberFormat.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>

namespace kx::analyzers {
namespace {

using core::formatFixed;
using core::formatNumber;
using core::UnitType;

constexpr core::TextPair kNoSamples{"There are no", "Нет отсчетов канала"};
constexpr core::TextPair kNoSamplesEnd{"samples for FFT.", "для БПФ."};
constexpr core::TextPair kPeakDetector{"Turn off Peak Detector for FFT.",
                                       "Выключите пиковый детектор для БПФ."};
constexpr core::TextPair kInsufficient{"Unsufficient", "Недостаточно отсчетов канала"};

bool isDbm(SpectrumScale s) {
    return s != SpectrumScale::DbV;
}
double spanDb(bool db15) {
    return db15 ? 120 : 80;
}

std::string microvolts(double db) {
    return formatNumber(std::pow(10.0, db / 20) * 1e6, UnitType::Voltage, -4);
}

} // namespace

std::string spectrumMessage(int fftState, bool a2, bool russian) {
    const std::string label = a2 ? " A2 " : " A1 ";
    switch (fftState) {
    case 2:
        return kNoSamples.pick(russian) + label + kNoSamplesEnd.pick(russian);
    case 3:
        return kPeakDetector.pick(russian);
    case 4:
        return kInsufficient.pick(russian) + label + kNoSamplesEnd.pick(russian);
    default:
        return {};
    }
}

const char* spectrumUnitText(SpectrumScale scale) {
    switch (scale) {
    case SpectrumScale::Dbm50:
        return " dBm (50 ohm)";
    case SpectrumScale::Dbm75:
        return " dBm (75 ohm)";
    case SpectrumScale::Dbm600:
        return " dBm (600 ohm)";
    default:
        return " dBV";
    }
}

const char* spectrumShortUnit(SpectrumScale scale) {
    return isDbm(scale) ? " dBm" : " dBV";
}

double spectrumSpanHz(std::uint64_t samplePeriodPs, bool equivalentTime) {
    if (equivalentTime) return 1e9;
    return samplePeriodPs > 0 ? 1e12 / (2.0 * static_cast<double>(samplePeriodPs)) : 0;
}

std::string spectrumPointsText(int points) {
    return "N " + std::to_string(points);
}

std::string spectrumReferenceText(int referenceDb, SpectrumScale scale) {
    return std::to_string(referenceDb) + spectrumUnitText(scale);
}

std::string spectrumSpanText(double spanHz, int zoomFactor) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely on "literal" + std::string.
    std::string t = "span ";
    t += formatNumber(spanHz, UnitType::Frequency, -3);
    if (zoomFactor > 1) {
        t += ':';
        t += std::to_string(zoomFactor);
    }
    return t;
}

std::string spectrumDivisionText(bool db15PerDiv, SpectrumScale scale) {
    return std::string(db15PerDiv ? "15" : "10") + spectrumShortUnit(scale) + "/Div";
}

std::string spectrumPeakLevelText(const SpectrumPeak& peak, bool samplePeriodKnown, SpectrumScale scale,
                                  bool dbvToVolt) {
    if (!peak.valid || !samplePeriodKnown) return "Vp = ...";
    if (isDbm(scale) || !dbvToVolt)
        return "Vp = " + formatFixed(peak.levelDb + spectrumUnitOffset(scale), 3) + spectrumShortUnit(scale);
    return "Vp = " + microvolts(peak.levelDb);
}

std::string spectrumPeakFrequencyText(const SpectrumPeak& peak, bool samplePeriodKnown) {
    if (!peak.valid || !samplePeriodKnown) return "Fp = ...";
    return "Fp = " + formatNumber(peak.frequency, UnitType::Frequency, -7);
}

std::string spectrumPhaseText(bool valid, double degrees) {
    return valid ? "dPh = " + formatFixed(degrees, 2) + " Deg" : "dPh = ...";
}

std::string spectrumAveragingText(int exponent, int count) {
    if (exponent >= 6) return "Av Inf = " + std::to_string(count);
    return "Av" + std::to_string(1 << (std::max(exponent, 0) + 1)) + " = " + std::to_string(count);
}

std::string spectrumCursorLevelText(int referenceDb, double y, bool db15PerDiv, SpectrumScale scale,
                                    bool dbvToVolt) {
    const double level = referenceDb - y / 65536 * spanDb(db15PerDiv);
    if (dbvToVolt && !isDbm(scale)) return "V = " + microvolts(level);
    return "V = " + formatFixed(level, 2) + spectrumShortUnit(scale);
}

std::string spectrumCursorDeltaText(double dy, bool db15PerDiv, SpectrumScale scale) {
    return "dV = " + formatFixed(std::fabs(dy) * spanDb(db15PerDiv) / 65536, 2) + spectrumShortUnit(scale);
}

} // namespace kx::analyzers
