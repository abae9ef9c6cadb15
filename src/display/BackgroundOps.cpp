// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/BackgroundOps.h"

#include "display/FrameDecisions.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kx::display {

namespace fh = core::fh;

BackgroundMenuItems backgroundMenuItems(const core::FrameRecord& frame, const core::FrameRecord& background) {
    BackgroundMenuItems m;
    m.view = m.clear = backgroundExists(background);
    m.swap = hasSamples(frame) || backgroundExists(background);
    return m;
}

namespace {

// Element by element: the records are far too large for a temporary copy on the stack.
void exchangeRecords(core::FrameRecord& a, core::FrameRecord& b) {
    std::swap(a.header.w, b.header.w);
    for (std::size_t c = 0; c < a.channels.min.size(); ++c) {
        std::swap_ranges(a.channels.min[c].begin(), a.channels.min[c].end(), b.channels.min[c].begin());
        std::swap_ranges(a.channels.max[c].begin(), a.channels.max[c].end(), b.channels.max[c].begin());
    }
    std::swap_ranges(a.points.re.begin(), a.points.re.end(), b.points.re.begin());
    std::swap_ranges(a.points.im.begin(), a.points.im.end(), b.points.im.begin());
    std::swap(a.loadedFromFile, b.loadedFromFile);
}

} // namespace

SwapOutcome swapWithBackground(core::InstrumentState& state, core::FrameRecord& frame,
                               core::FrameRecord& background, files::DataFileNames& names,
                               std::int64_t firstBackgroundShown) {
    SwapOutcome out;
    auto& d = state.display;
    d.BgShow = true;
    const bool mainHas = hasSamples(frame);
    const bool backgroundHas = backgroundExists(background);
    if (!mainHas && !backgroundHas) return out;

    // The empty side takes the other's settings, so the frame keeps its zeros and levels.
    if (!backgroundHas) {
        d.BgTrigLevelA1 = state.trigger.Lev_A1;
        d.BgTrigLevelA2 = state.trigger.Lev_A2;
        d.BgScreenZeroA1 = state.scope.A1.Zero;
        d.BgScreenZeroA2 = state.scope.A2.Zero;
        names.bgFileName = names.dataFileName;
        names.bgFileNameKnown = names.dataFileNameKnown;
    }
    if (!mainHas) {
        state.trigger.Lev_A1 = d.BgTrigLevelA1;
        state.trigger.Lev_A2 = d.BgTrigLevelA2;
        state.scope.A1.Zero = d.BgScreenZeroA1;
        state.scope.A2.Zero = d.BgScreenZeroA2;
        names.dataFileName = names.bgFileName;
        names.dataFileNameKnown = names.bgFileNameKnown;
    }

    exchangeRecords(frame, background);
    std::swap(state.trigger.Lev_A1, d.BgTrigLevelA1);
    std::swap(state.trigger.Lev_A2, d.BgTrigLevelA2);
    std::swap(state.scope.A1.Zero, d.BgScreenZeroA1);
    std::swap(state.scope.A2.Zero, d.BgScreenZeroA2);
    std::swap(names.dataFileName, names.bgFileName);
    std::swap(names.dataFileNameKnown, names.bgFileNameKnown);

    // Keep looking at the same piece of signal that was shown as the background.
    out.scrollMax = frame.header[fh::AnalogCount];
    out.scrollPos = std::clamp<std::int64_t>(firstBackgroundShown, 0, out.scrollMax);
    d.BgLaneSwap = !d.BgLaneSwap;
    out.restartSpectra = true;
    out.swapped = true;
    return out;
}

void clearBackground(core::InstrumentState& state, core::FrameRecord& background,
                     files::DataFileNames& names) {
    background.clear();
    names.bgFileNameKnown = false;
    state.display.BgLaneSwap = false;
}

BackgroundMapping mapBackground(const core::FrameHeader& main, const core::FrameHeader& background,
                                std::int64_t scrollPos, int pixelsPerDivX, std::int64_t timeDivNs) {
    BackgroundMapping m;
    const std::uint64_t bgPeriod = background.get64(fh::SamplePeriodPs);
    m.analogPixelsPerSample = pixelsPerSample(pixelsPerDivX, bgPeriod, timeDivNs);
    m.digitalPixelsPerSample =
        pixelsPerSample(pixelsPerDivX, background.get64(fh::DigitalPeriodPs), timeDivNs);
    m.first = scrollPos;
    m.count = background[fh::AnalogCount];
    if (main[fh::CaptureLength] != 0) {
        const double ratio = bgPeriod != 0 ? static_cast<double>(main.get64(fh::SamplePeriodPs)) /
                                                 static_cast<double>(bgPeriod)
                                           : 1.0;
        double x = background[fh::PreTrigger] +
                   static_cast<double>(scrollPos - static_cast<std::int64_t>(main[fh::PreTrigger])) * ratio;
        // Far outside any buffer it no longer matters where exactly.
        x = std::clamp(x, -1e9, 1e9);
        m.first = static_cast<std::int64_t>(std::trunc(x));
        m.fraction = x - static_cast<double>(m.first);
        m.count = background[fh::CaptureLength];
        if (m.first < 0) m.count -= m.first;
    }
    const std::int64_t digital = background[fh::DigitalCount];
    if (m.count > 0) {
        m.firstDigital = m.first * digital / m.count;
        m.digitalFraction = static_cast<double>(digital) * m.fraction / static_cast<double>(m.count);
    }
    // The renderer never reads beyond a buffer's end.
    m.count = std::min<std::int64_t>(m.count, core::kMaxFramePoints);
    m.digitalCount = std::min<std::int64_t>(digital, core::kMaxFramePoints);
    return m;
}

} // namespace kx::display
