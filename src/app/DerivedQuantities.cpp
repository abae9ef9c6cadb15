// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DerivedQuantities.h"

#include "core/Rounding.h"
#include "core/ScopeControls.h"

#include "core/DeviceModel.h"
#include "core/ScopeTables.h"

#include <algorithm>
#include <cmath>

namespace kx::app {
namespace {

using core::GenFunction;

template <typename T> T clampIndex(T v, T size) {
    return std::clamp<T>(v, 0, size - 1);
}

std::uint32_t ceilDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = (a + b - 1) / b;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(q, 1, 0xFFFFFFFF));
}

} // namespace

DerivedQuantities computeDerived(core::InstrumentState& s) {
    DerivedQuantities d;
    auto& scope = s.scope;
    const bool debug = s.system.DebugMode;
    const bool sweepDown = s.generator.Function == GenFunction::Sweep;

    // 1
    d.AnalyzerOn = s.analyzer.analyzerOn();
    d.SweepActive = d.AnalyzerOn || (sweepDown && s.generator.On);
    d.TriggerActive = s.trigger.On && !d.SweepActive;
    d.trigButtonEnabled = !d.SweepActive;

    // 2
    scope.timeBase = clampIndex<int>(scope.timeBase, static_cast<int>(core::kTimeBases.size()));
    d.fastTimeBasesEnabled = !(d.AnalyzerOn && !debug);
    if (!d.fastTimeBasesEnabled && scope.timeBase >= core::kTimeBase02ms) scope.timeBase = core::kTimeBase02s;
    d.a1AcEnabled = !d.AnalyzerOn && !core::hasCompactFrontEnd(s.system.UiDeviceType);
    d.a1BwEnabled = !(d.AnalyzerOn && !debug);

    // 3
    d.TimeDivNs = core::kTimeBases[static_cast<std::size_t>(scope.timeBase)].nsPerDiv;

    // 4
    d.RollMode = scope.timeBase <= core::kTimeBase01s && !d.TriggerActive;
    d.ScrollActive = scope.Lenta && !(sweepDown && (d.AnalyzerOn || s.generator.On));

    // 5: ETS
    const bool anyDigitalShown = scope.CH_D1 || scope.CH_D2 || scope.CH_D3 || scope.CH_D4;
    d.stroboVisible = scope.timeBase >= core::kTimeBase02us && !d.SweepActive;
    if (!d.stroboVisible) {
        scope.StroboByHand = false;
        scope.Strobo = false;
    } else if (!scope.StroboByHand) {
        const bool a2InUseForEts = core::hasA2Input(s.system.UiDeviceType) ? scope.CH_GEN : scope.A2.shown;
        scope.Strobo =
            scope.timeBase >= core::kTimeBase20ns && !anyDigitalShown && !d.SweepActive && !a2InUseForEts;
    }
    d.EtsDown = d.stroboVisible && scope.Strobo;
    d.tPlusEnabled = !d.EtsDown;

    // 6: channels in use
    const int src = d.TriggerActive ? s.trigger.Src : -1;
    const bool dShown[4] = {scope.CH_D1, scope.CH_D2, scope.CH_D3, scope.CH_D4};
    d.a1InUse = d.AnalyzerOn || scope.A1.shown || src == 0;
    d.a2InUse = d.AnalyzerOn || scope.A2.shown || src == 1;
    for (int i = 0; i < 4; ++i) d.dInUse[i] = d.AnalyzerOn || dShown[i] || src == 2 + i;
    const bool bothAnalog = d.a1InUse && d.a2InUse && !d.EtsDown;
    const bool bothDigitalPairs = (d.dInUse[0] || d.dInUse[1]) && (d.dInUse[2] || d.dInUse[3]);
    d.MaxPointsMode = !d.AnalyzerOn && !(bothAnalog || bothDigitalPairs);

    // 7
    scope.points = clampIndex<int>(scope.points, static_cast<int>(core::kPointChoices.size()));
    const bool maxChoice = scope.points == static_cast<int>(core::kPointChoices.size()) - 1;
    std::int32_t n = maxChoice ? (d.MaxPointsMode ? 40000 : 20000)
                               : core::kPointChoices[static_cast<std::size_t>(scope.points)];
    if (d.EtsDown) n = std::max(n, 5000);

    // 8
    d.FastDigital = ((scope.timeBase == core::kTimeBase02us && scope.points != 0) ||
                     scope.timeBase >= core::kTimeBase01us) &&
                    anyDigitalShown && !d.EtsDown;
    if (d.FastDigital) n /= 8;
    d.Points = n;

    // 9, 10
    const bool pairs = s.scope.SmplPeakDet || s.scope.Smpl_Hi_Res || d.AnalyzerOn;
    d.Decimation = ceilDiv(10 * d.TimeDivNs, 5LL * n);
    if (d.Decimation > 1 && pairs) d.Decimation = ceilDiv(20 * d.TimeDivNs, 5LL * n);
    if (d.Decimation == 3) d.Decimation = 4;
    d.SamplesPerDiv = static_cast<double>(d.TimeDivNs) / (5.0 * d.Decimation);
    if (d.Decimation > 1 && pairs) d.SamplesPerDiv *= 2;

    // 11
    if (d.SweepActive)
        d.PreTrigger = 0;
    else if (d.TimeDivNs == 2)
        d.PreTrigger = 2;
    else {
        const double pre =
            static_cast<double>(core::roundHalfAway(std::clamp(s.trigger.Pre, 0, 9) * d.SamplesPerDiv));
        d.PreTrigger = static_cast<std::uint32_t>(std::clamp<double>(pre, 0, n));
    }
    d.PostTrigger = static_cast<std::uint32_t>(n) - d.PreTrigger;

    // 12
    d.HiResExponent =
        std::min(24, static_cast<int>(std::floor(std::log2(static_cast<double>(d.Decimation)))));

    // 13, 14
    d.MicroVoltsA1 = channelMicroVolts(scope.A1);
    d.MicroVoltsA2 = channelMicroVolts(scope.A2);
    d.ThresholdD123mV = s.trigger.D123_Lev * 10;
    d.ThresholdD4mV = s.trigger.D4_Lev * 10;

    // 15
    d.MinFramePeriodMs = core::kWpsPeriodMs[static_cast<std::size_t>(clampIndex<int>(scope.wps, 5))];

    // 16
    using core::FreqMeterMode;
    using core::FreqMeterSource;
    if (scope.fmMode == FreqMeterMode::Off)
        d.FreqMeterCode = 0;
    else {
        d.FreqMeterCode = scope.fmSource == FreqMeterSource::Trig ? 7 + std::clamp(s.trigger.Src, 0, 5)
                                                                  : 1 + static_cast<int>(scope.fmSource);
        if (scope.fmMode == FreqMeterMode::Period) d.FreqMeterCode += 0x10;
    }

    // 17
    d.DrawMode = static_cast<int>(s.display.drawMode);
    return d;
}

} // namespace kx::app
