// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The background oscillogram: a frozen second frame kept behind the live traces. Swap, clear,
// the menu's enabled items and the horizontal mapping are plain functions of the records and
// the state, so they are tested without a window.

#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "files/DataFile.h"

#include <cstdint>

namespace kx::display {

inline bool hasSamples(const core::FrameRecord& r) {
    return r.header[core::fh::CaptureLength] != 0;
}
// A background exists once its header carries a capture.
inline bool backgroundExists(const core::FrameRecord& background) {
    return hasSamples(background);
}

// Which of "B.G. Oscillogram", "Main <-> B.G. Oscillogram", "Clear B.G. Oscillogram" the View
// menu offers when it opens.
struct BackgroundMenuItems {
    bool view = false;
    bool swap = false;
    bool clear = false;
};
BackgroundMenuItems backgroundMenuItems(const core::FrameRecord& frame, const core::FrameRecord& background);

// What the window does after a swap.
struct SwapOutcome {
    bool swapped = false;
    std::int64_t scrollPos = 0;  // first sample to show of the new main frame
    std::int64_t scrollMax = 0;  // its AnalogCount: the scroll bar's range
    bool restartSpectra = false; // both spectra restart averaging and recompute
};

// Exchanges the main frame with the background: headers, buffers, analyzer points, trigger
// levels, screen zeros, file names and loaded-from-file flags; toggles the lane halves and
// checks "B.G. Oscillogram". `firstBackgroundShown` is the background's first sample in the
// last drawing. The caller holds both records' mutexes.
SwapOutcome swapWithBackground(core::InstrumentState& state, core::FrameRecord& frame,
                               core::FrameRecord& background, files::DataFileNames& names,
                               std::int64_t firstBackgroundShown);

// Empties the background and puts the live traces back into whole lanes. The caller holds the
// background's mutex and runs the refresh notification.
void clearBackground(core::InstrumentState& state, core::FrameRecord& background,
                     files::DataFileNames& names);

// Where the background's samples fall on the current screen: aligned on the trigger when
// the main frame has samples, else from the scroll position.
struct BackgroundMapping {
    double analogPixelsPerSample = 0;
    double digitalPixelsPerSample = 0;
    std::int64_t first = 0; // may be negative: the trace starts right of the plot's left edge
    double fraction = 0;    // sub-sample part of the alignment
    std::int64_t count = 0; // analog samples handed to the renderer
    std::int64_t firstDigital = 0;
    double digitalFraction = 0;
    std::int64_t digitalCount = 0;
};
BackgroundMapping mapBackground(const core::FrameHeader& main, const core::FrameHeader& background,
                                std::int64_t scrollPos, int pixelsPerDivX, std::int64_t timeDivNs);

// Lane offset of digital channel n (1..4) of the background: the half the live trace leaves.
constexpr double backgroundDigitalZero(int n, bool laneSwap) {
    return (laneSwap ? 4608.0 : 512.0) + (n - 1) * 8192.0;
}
// Code of the background's digital frame-trigger marker.
constexpr double backgroundDigitalMarkerCode(int n, bool laneSwap) {
    return (laneSwap ? 6144.0 : 2048.0) + (n - 1) * 8192.0;
}

} // namespace kx::display
