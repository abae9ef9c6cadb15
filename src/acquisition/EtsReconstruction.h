// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/AssemblyContext.h"
#include "acquisition/EtsAnalysis.h"
#include "acquisition/EtsGrid.h"
#include "acquisition/RawSamples.h"
#include "analyzers/Spectrum.h"
#include "core/FrameRecord.h"
#include "core/InstrumentState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace kx::acquisition {

// Diagnostics words of an equivalent-time frame.
namespace etsword {
constexpr int SubFrequency = 71; // 71..78: unfolded frequency of each sub-record, reals
constexpr int Frequency = 79;    // 79..80: F, real
constexpr int GridPoints = 81;   // P
constexpr int Coverage = 82;     // 82..83: percentage of grid points with a sample, real
constexpr int Smoothing = 84;    // w
constexpr int Multiplier = 85;   // 85..88: k
constexpr int Integer = 89;      // 89..92: R
constexpr int Usable = 93;       // 93..96
constexpr int Matches = 97;
constexpr int Zone = 98; // 98..101: zone + 1
constexpr int MinCount = 102;
constexpr int MaxCount = 103;
} // namespace etsword

// What assembly needs to know after the reconstruction.
struct EtsOutcome {
    bool reconstructed = false;   // EtsState 2; the first T raw samples hold the period
    bool triggerCrossing = false; // the trigger position is valid again (frame status bit 2)
};

// The equivalent-time reconstruction: the four spectra (each with its own averaging state),
// the wide spectrum EtsSpectrum, the frequency search, the fold onto one period and the
// resampling at 50 samples per division. Runs in the acquisition thread. About 40 MB: create
// once and keep; nothing is allocated per frame.
class EtsReconstruction {
public:
    EtsReconstruction();
    ~EtsReconstruction();
    EtsReconstruction(const EtsReconstruction&) = delete;
    EtsReconstruction& operator=(const EtsReconstruction&) = delete;

    // The spectral analysis of the frame's sub-records of T samples each, before assembly
    // touches the frame record. betweenSpectra runs after each of the first three transforms.
    void analyse(std::span<const std::uint8_t> info, const RawSamples& raw, std::size_t t,
                 std::uint32_t scaleA1, std::uint32_t scaleA2, const AssemblyContext& ctx,
                 const std::function<void()>& betweenSpectra);

    // After the capture words: the fold, the trigger phase and the resampling into the first T
    // raw samples of every present channel, and the words of the reconstruction (periods,
    // PreTrigger, spectrum words of the analysis channel, 71..103). Without a reconstruction
    // the raw samples stay as they are.
    EtsOutcome reconstruct(std::span<const std::uint8_t> info, RawSamples& raw, std::size_t t,
                           const AssemblyContext& ctx, core::FrameHeader& h);

    // EtsSpectrum: power per bin (V²), 5n values after a frame; the whole array has room for
    // the largest (data files read into it).
    std::span<double> spectrumStorage() { return m_spectrum; }
    std::span<const double> spectrum() const;

    const ets::SubRecords& subRecords() const { return m_sub; }
    int rotatingPhase() const { return m_rotating; }

private:
    void buildSpectrum();
    void fillBinTable(int n);

    std::array<std::unique_ptr<analyzers::SpectrumChannel>, ets::kSubRecords> m_spectra;
    std::unique_ptr<ets::Grid> m_grid;
    std::unique_ptr<double[]> m_spectrumData;
    std::span<double> m_spectrum;
    std::unique_ptr<std::int32_t[]> m_binTable; // per output bin, the four sub-record bins
    int m_binTableSize = 0;

    // This frame.
    ets::SubRecords m_sub{};
    ets::ZoneResult m_zones{};
    int m_channel = -1; // analysis channel 0..5, -1 = none
    int m_n = 0;        // transform size
    bool m_analysed = false;

    // From frame to frame.
    int m_previousChannel = -1;
    std::size_t m_previousT = 0;
    int m_rotating = 0;
};

// The assembly settings the reconstruction reads, from the instrument state and the time base.
void setEtsContext(AssemblyContext& c, const core::InstrumentState& s, std::int64_t timeDivNs);

} // namespace kx::acquisition
