// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/LcMeterEvaluation.h"

#include "analyzers/ComplexDivide.h"
#include "core/NumberFormat.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace kx::analyzers {
namespace {

using core::formatFixed;
using core::formatNumber;
using core::UnitType;

constexpr double kPi = std::numbers::pi;
constexpr double kDegPerRad = 180 / kPi;
constexpr double kReactivePhase = 0.005235987755982988; // 0.3 degree
constexpr int kOneKilohertzStep = 4;
constexpr int kTenMegahertzStep = 12;

constexpr core::TextPair kCalibrationOk{"Calibration ok", "Калибровка завершена"};
constexpr core::TextPair kCalibrationFailed{"Calibration failed.", "Ошибка калибровки."};
constexpr core::TextPair kDisconnect{"Disconnect adaptor. Connect resistor 22 KOhm.",
                                     "Отключите адаптер. Подключите резистор 22 KOhm."};
constexpr core::TextPair kTestFreq{"Test Freq. = ", "Тестовая частота = "};
constexpr core::TextPair kTestVoltage{"Test Voltage SIN ", "Тестовое напряжение SIN "};
constexpr core::TextPair kTestFrequency{"Test Frequency ", "Частота измерения "};

void padTo(std::string& s, std::size_t length) {
    if (s.size() < length) s.append(length - s.size(), ' ');
}

std::string rightAligned(double value, std::size_t width) {
    std::string t = formatFixed(value, 2);
    if (t.size() < width) t.insert(0, width - t.size(), ' ');
    return t;
}

std::string positiveOrDots(double v, UnitType type) {
    return v > 0 ? formatNumber(v, type, -4) : "...";
}

} // namespace

void resetLcCalibration(LcCalibration& cal, const LcTable& table) {
    for (int k = 0; k < kLcMaxSteps; ++k) {
        cal.reference[static_cast<std::size_t>(k)] =
            k < table.count ? table.steps[static_cast<std::size_t>(k)].testVolts : 0;
        cal.phaseCorrection[static_cast<std::size_t>(k)] = 0;
    }
}

std::string lcRangeText(std::int32_t rangeUv) {
    switch (rangeUv) {
    case 500:
        return "0.5 mV/Div";
    case 1000:
        return "1 mV/Div";
    case 2000:
        return "2 mV/Div";
    case 5000:
        return "5 mV/Div";
    case 10000:
        return "10 mV/Div";
    case 20000:
        return "20 mV/Div";
    case 50000:
        return "50 mV/Div";
    case 100000:
        return "0.1 V/Div";
    case 200000:
        return "0.2 V/Div";
    case 500000:
        return "0.5 V/Div";
    case 1000000:
        return "1 V/Div";
    case 2000000:
        return "2 V/Div";
    default:
        return formatNumber(rangeUv, UnitType::Voltage, -3) + "/Div";
    }
}

LcEvaluation evaluateLcMeter(const LcEvaluationInput& in, LcCalibration& cal) {
    LcEvaluation out;
    if (in.table == nullptr) return out;
    const LcTable& t = *in.table;
    const int count = std::clamp(t.count, 0, kLcMaxSteps);
    const bool measuring = !in.calibrating;

    // Per-step impedance.
    for (int k = 0; k < count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double f = t.steps[i].frequencyHz, a = in.measured.amplitude[i], p = in.measured.phase[i];
        const double vc = cal.reference[i];
        const double vr = t.selfC ? 1e6 / (cal.rg + 1022000) * vc : vc;
        const double rs = t.selfC ? (cal.rg + 22000) * 1e6 / (cal.rg + 22000 + 1e6) : cal.rg;
        const std::complex<double> h = (a / vr) * std::complex<double>(std::cos(p), std::sin(p));
        const std::complex<double> z = smithDivide(h * rs, 1.0 - h);
        const double w = 2 * kPi * f;
        out.ratio[i] = a / vc;
        out.rser[i] = z.real();
        out.inductance[i] = z.imag() / w;
        out.capacitance[i] = -1 / (z.imag() * w);
    }

    // The table.
    out.memo.push_back(measuring ? "F          |U| %    Ph(Grad) Rs         C         L"
                                 : "F          |U| %    Ph(Grad)");
    for (int k = 0; k < count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double pDeg = in.measured.phase[i] * kDegPerRad;
        std::string row = t.selfC ? lcRangeText(t.steps[i].fixedRangeUv)
                                  : formatNumber(t.steps[i].frequencyHz, UnitType::Frequency, -4);
        padTo(row, 11);
        row += rightAligned(out.ratio[i] * 100, 6);
        padTo(row, 20);
        row += rightAligned(pDeg, 6);
        padTo(row, 29);
        if (measuring) {
            const double r = out.rser[i];
            row += r > 10000 ? ">10K" : (r > 0 ? formatNumber(r, UnitType::Resistance, -3) : "...");
            padTo(row, 40);
            if (std::fabs(pDeg) > 0.1) {
                row += positiveOrDots(out.capacitance[i] * 1e12, UnitType::Capacitance);
                padTo(row, 50);
                row += positiveOrDots(out.inductance[i] * 1e9, UnitType::Inductance);
            } else {
                row += "...       ...";
            }
        }
        out.memo.push_back(row);
    }
    out.memo.emplace_back();

    if (in.calibrating) {
        double rmin = 0, rmax = 0;
        if (count > 0) {
            rmin = *std::min_element(out.ratio.begin(), out.ratio.begin() + count);
            rmax = *std::max_element(out.ratio.begin(), out.ratio.begin() + count);
        }
        if (count == 0 || rmin <= 0.1 || rmax >= 1.1 || std::isnan(rmin) || std::isnan(rmax)) {
            out.memo.emplace_back(kCalibrationFailed.pick(in.russian));
            out.resetProgress = true;
        } else {
            for (int k = 0; k < count; ++k) {
                cal.reference[static_cast<std::size_t>(k)] =
                    in.measured.amplitude[static_cast<std::size_t>(k)];
                cal.phaseCorrection[static_cast<std::size_t>(k)] =
                    -in.measured.phase[static_cast<std::size_t>(k)];
            }
            std::string text = kCalibrationOk.pick(in.russian);
            // The mode test needs the 1 kHz and 10 MHz steps of the standard table.
            if (!t.selfC && count > kTenMegahertzStep) {
                const double a1k = in.measured.amplitude[kOneKilohertzStep];
                const double a10m = in.measured.amplitude[kTenMegahertzStep];
                if (a10m * 1.1 >= a1k) {
                    cal.lowCapMode = false;
                    cal.rg = kLcNormalRg;
                } else {
                    cal.lowCapMode = true;
                    text += "\r\nLow cap. mode assumed";
                    cal.rg = kLcLowCapRg;
                    if (in.compactFrontEnd) {
                        const double v = t.steps[kOneKilohertzStep].testVolts;
                        const double e = (v - a1k) / (a1k * 2050.5);
                        cal.rg = 1 / (e + 1 / 2050.5);
                        if (in.debugMode && e != 0)
                            text += "  Rint = " + formatNumber(1 / e, UnitType::Resistance, -4) + ",";
                    }
                    text += "  Rg = " + formatNumber(cal.rg, UnitType::Resistance, -4);
                }
            }
            out.memo.push_back(text);
            if (t.selfC) {
                out.memo.emplace_back();
                out.memo.emplace_back(kDisconnect.pick(in.russian));
            }
            out.calibrationOk = true;
            out.startEnabled = true;
        }
        out.resultChanged = true;
        out.result = "...";
        return out;
    }

    if (t.selfC) {
        out.memo.push_back(std::string(kTestFreq.pick(in.russian)) +
                           formatNumber(400000, UnitType::Frequency, -3));
        return out;
    }

    // The step to read C or L at: the most reactive one before the phase starts falling again.
    const auto absPhase = [&](int k) { return std::fabs(in.measured.phase[static_cast<std::size_t>(k)]); };
    bool anyReactive = false;
    for (int k = 0; k < count; ++k) {
        const double r = out.ratio[static_cast<std::size_t>(k)];
        if (!(r > 0.005 && r < 1 && absPhase(k) > kReactivePhase)) continue;
        anyReactive = true;
        if (absPhase(k) > kPi / 4) {
            if (out.chosenStep < 0) out.chosenStep = k;
            break;
        }
        if (out.chosenStep >= 0 && absPhase(out.chosenStep) > 5 / kDegPerRad &&
            absPhase(out.chosenStep) > 1.01 * absPhase(k))
            break;
        if (out.chosenStep < 0 || absPhase(k) > absPhase(out.chosenStep)) out.chosenStep = k;
    }
    out.esrStep = 0;
    for (int k = 1; k < count; ++k)
        if (out.ratio[static_cast<std::size_t>(k)] < out.ratio[static_cast<std::size_t>(out.esrStep)])
            out.esrStep = k;

    const double v = t.count > 0 ? t.steps[0].testVolts : 0;
    std::string voltage =
        std::string(kTestVoltage.pick(in.russian)) + formatNumber(v * 1e6, UnitType::Voltage, -3);
    voltage += in.compactFrontEnd ? "pp. DC Bias = " + formatNumber(v / 2 * 1e6, UnitType::Voltage, -3)
                                  : std::string("pp. DC Bias = 0.0 V");
    out.memo.push_back(voltage);
    const std::string testFrequency = kTestFrequency.pick(in.russian);
    const auto freqOf = [&](int k) {
        return formatNumber(t.steps[static_cast<std::size_t>(k)].frequencyHz, UnitType::Frequency, -3);
    };
    const auto ohms = [](double r) { return formatNumber(r, UnitType::Resistance, -3); };

    out.resultChanged = true;
    if (anyReactive && out.chosenStep >= 0) {
        const auto c = out.capacitance[static_cast<std::size_t>(out.chosenStep)];
        const auto esr = out.rser[static_cast<std::size_t>(out.esrStep)];
        if (c > 0) {
            out.memo.push_back(testFrequency + "C = " + freqOf(out.chosenStep));
            out.result = "C = " + formatNumber(c * 1e12, UnitType::Capacitance, -3);
            if (c > 5e-7 && !cal.lowCapMode) {
                out.memo.push_back(testFrequency + "ESR = " + freqOf(out.esrStep));
                out.result += "      ESR = " + ohms(esr);
            }
        } else if (cal.lowCapMode) {
            out.result = "...";
        } else {
            out.memo.push_back(testFrequency + "L = " + freqOf(out.chosenStep));
            out.memo.push_back(testFrequency + "Rs = " + freqOf(out.esrStep));
            out.result = "L = " +
                         formatNumber(out.inductance[static_cast<std::size_t>(out.chosenStep)] * 1e9,
                                      UnitType::Inductance, -3) +
                         "      Rs = " + ohms(esr);
        }
    } else {
        const double r = count > kOneKilohertzStep ? out.rser[kOneKilohertzStep] : 0;
        if (r >= 10000 || !(r > 0)) {
            out.result = "...";
        } else {
            out.memo.push_back(testFrequency + "R = " + freqOf(kOneKilohertzStep));
            out.result = "R = " + ohms(r);
        }
    }
    return out;
}

} // namespace kx::analyzers
