// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SweepCalibration.h"

#include "core/NumberFormat.h"
#include "core/Text.h"

#include <algorithm>

namespace kx::analyzers {
namespace {

constexpr core::TextPair kDone{"Done", "Выполнено"};
constexpr core::TextPair kOverdriven{"Input is overdriven", "Перегрузка входа"};
constexpr core::TextPair kAmplitudeLow{"Amplitude is low", "Амплитуда мала."};
constexpr core::TextPair kUse{"Use Calibration (", "Исп. калибровку ("};
constexpr core::TextPair kNotLoaded{"file not loaded)", "файл не загружен)"};
constexpr core::TextPair kUnsaved{"Calibration hasn't been saved. \r\nExit?",
                                  "Выполненная калибровка не сохранена.\r\nВыйти?"};

SweepCalOutcome finish(const SweepCalFrame& f, bool low) {
    SweepCalOutcome o;
    o.progress = f.analogCount;
    if (f.overdriveA1 || low) {
        o.aborted = true;
        o.status = f.overdriveA1 ? SweepCalStatus::Overdriven : SweepCalStatus::AmplitudeLow;
        return o;
    }
    o.complete = f.analogCount == f.captureLength;
    return o;
}

} // namespace

SweepCalOutcome networkCalibrationFrame(const SweepCalFrame& f) {
    return finish(f, f.genAmplitudeWord == 0);
}

SweepCalOutcome antennaCalibrationFrame(const SweepCalFrame& f) {
    return finish(f, f.scaleA1Uv * 8 * 0.001 > 5.0 * f.genAmplitudeWord);
}

std::vector<std::complex<double>> copySweepPoints(const core::AnalyzerPointArrays& points, int count) {
    const auto n = static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(core::kAnalyzerPoints)));
    std::vector<std::complex<double>> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = {points.re[i], points.im[i]};
    return out;
}

std::string sweepCalStatusText(bool done, SweepCalStatus status, bool russian) {
    if (done) return kDone.pick(russian);
    switch (status) {
    case SweepCalStatus::Overdriven:
        return kOverdriven.pick(russian);
    case SweepCalStatus::AmplitudeLow:
        return kAmplitudeLow.pick(russian);
    default:
        return "-";
    }
}

std::string calibrationInfoText(int count, std::int32_t startHz, std::int32_t spanHz) {
    if (count <= 0) return {};
    const double stop = static_cast<double>(spanHz) * (count - 1) / count + startHz;
    return "Points = " + std::to_string(count) +
           ", Fstart = " + core::formatNumber(startHz, core::UnitType::Frequency, -5) +
           ", Fstop = " + core::formatNumber(stop, core::UnitType::Frequency, -6);
}

std::string useCalibrationCaption(const std::string& path, bool russian) {
    if (path.empty()) return std::string(kUse.pick(russian)) + kNotLoaded.pick(russian);
    const auto slash = path.find_last_of("/\\");
    return std::string(kUse.pick(russian)) + (slash == std::string::npos ? path : path.substr(slash + 1)) +
           ")";
}

const char* unsavedCalibrationText(bool russian) {
    return kUnsaved.pick(russian);
}
const char* warningCaption(bool russian) {
    return core::kWarningCaption.pick(russian);
}

} // namespace kx::analyzers
