// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/Distortion.h"
#include "analyzers/Spectrum.h"
#include "analyzers/SpectrumFrame.h"
#include "core/FrameRecord.h"
#include "core/state/FftState.h"
#include "display/FrameDecisions.h"
#include "files/DataFile.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

namespace kx::display {

// What the spectrum view shows of one channel this frame.
struct SpectrumTrace {
    std::span<const std::int32_t> codes; // screen codes per bin, kNoSample where none
    int bins = 0;                        // points / 2
    int points = 0;                      // FftPoints (ten times the transform with ETS)
    int referenceDb = 0;                 // level of the top line
};

// The spectrum view's own state: both channels' spectra with their averaging, the restart and
// recompute requests, the cross-channel phase and the display codes. Plain C++; the GUI thread
// runs it inside the synchronised update. About 17 MB: create once.
class SpectrumProcessor {
public:
    SpectrumProcessor();
    ~SpectrumProcessor();
    SpectrumProcessor(const SpectrumProcessor&) = delete;
    SpectrumProcessor& operator=(const SpectrumProcessor&) = delete;

    // FftRestartA1/A2 (restart averaging) and FftRecomputeA1/A2 (recompute without a new frame).
    // Any thread may raise them; the spectrum computation clears them.
    void requestRestart(int channel) { m_restart[static_cast<std::size_t>(channel & 1)].store(true); }
    void requestRecompute(int channel) { m_recompute[static_cast<std::size_t>(channel & 1)].store(true); }
    // Size, window or averaging changed (dialog, keys), the oscillograms were swapped, the main
    // one cleared: both spectra restart and are recomputed.
    void restartAndRecomputeAll();
    // After a data file was read: a stored spectrum is shown as stored.
    void applyFileRequests(const files::FftRequests& r);
    bool restartPending(int channel) const { return m_restart[static_cast<std::size_t>(channel & 1)].load(); }
    bool recomputePending(int channel) const {
        return m_recompute[static_cast<std::size_t>(channel & 1)].load();
    }

    // FftFrameArrived of the acquisition thread; without one every update counts as a new frame.
    void setFrameArrivedFlag(std::atomic<bool>* flag) { m_frameArrived = flag; }
    // EtsSpectrum of the reconstruction, shown in place of a channel's own spectrum.
    void setEtsSpectrum(std::span<const double> spectrum) { m_etsSpectrum = spectrum; }

    // Per-frame step: recomputes the spectra of the channels whose state is 1 when the frame is
    // new or a recompute is pending (not while equivalent-time sampling computes them), writes
    // their words into the header, and the cross-channel phase when both were shown. Returns
    // whether a spectrum was recomputed.
    bool compute(const core::FftState& fft, const FftStates& states, core::FrameHeader& h,
                 const core::ChannelBuffers& channels);

    // Screen codes of a channel's spectrum as stored (the header says how many points and how
    // many frames are summed); with EtsFftChannel set, EtsSpectrum. `currentScaleUv` is the
    // channel's volts per division now.
    SpectrumTrace displayTrace(int channel, const core::FftState& fft, const core::FrameHeader& h,
                               double currentScaleUv);
    int referenceLevel(int channel) const { return m_reference[static_cast<std::size_t>(channel & 1)]; }

    // The distortion figures of the spectrum a channel shows.
    analyzers::DistortionFigures distortion(int channel, const core::FftState& fft,
                                            const core::FrameHeader& h) const;

    const analyzers::CrossPhase& crossPhase() const { return m_cross; }
    double peakPhase(int channel) const { return m_peakPhase[static_cast<std::size_t>(channel & 1)]; }

    // Room for a data file's stored spectra.
    std::span<double> accumulatorStorage(int channel);
    const analyzers::SpectrumChannel& channel(int c) const {
        return *m_channels[static_cast<std::size_t>(c & 1)];
    }

private:
    // The averaged power the channel shows: bins and frames summed, or EtsSpectrum with one.
    std::span<const double> shownSpectrum(int channel, const core::FrameHeader& h, int& count) const;

    std::array<std::unique_ptr<analyzers::SpectrumChannel>, 2> m_channels;
    std::array<std::span<double>, 2> m_storage; // their whole accumulators
    std::array<std::atomic<bool>, 2> m_restart{};
    std::array<std::atomic<bool>, 2> m_recompute{};
    std::atomic<bool>* m_frameArrived = nullptr;
    std::span<const double> m_etsSpectrum;
    analyzers::SpectrumRestartCache m_restartCache;
    analyzers::CrossPhase m_cross;
    std::array<double, 2> m_peakPhase{};
    std::array<int, 2> m_reference{};
    std::unique_ptr<std::int32_t[]> m_codes; // display array, room for EtsSpectrum
};

} // namespace kx::display
