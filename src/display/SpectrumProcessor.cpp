// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/SpectrumProcessor.h"

#include "analyzers/SpectrumDisplay.h"
#include "analyzers/SpectrumSettingsMap.h"

#include <algorithm>
#include <cmath>

namespace kx::display {

namespace fh = core::fh;

SpectrumProcessor::SpectrumProcessor()
    : m_codes(std::make_unique<std::int32_t[]>(static_cast<std::size_t>(analyzers::kMaxEtsSpectrumBins))) {
    for (std::size_t c = 0; c < m_channels.size(); ++c) {
        m_channels[c] = std::make_unique<analyzers::SpectrumChannel>();
        m_storage[c] = m_channels[c]->accumulatorStorage(); // the work areas now, not mid-frame
    }
    // Nothing computed yet: the first spectrum starts afresh.
    restartAndRecomputeAll();
}

SpectrumProcessor::~SpectrumProcessor() = default;

void SpectrumProcessor::restartAndRecomputeAll() {
    for (int c = 0; c < 2; ++c) {
        requestRestart(c);
        requestRecompute(c);
    }
}

void SpectrumProcessor::applyFileRequests(const files::FftRequests& r) {
    m_restart[0].store(r.restartA1);
    m_restart[1].store(r.restartA2);
    m_recompute[0].store(r.recomputeA1);
    m_recompute[1].store(r.recomputeA2);
}

std::span<double> SpectrumProcessor::accumulatorStorage(int channel) {
    return m_storage[static_cast<std::size_t>(channel & 1)];
}

bool SpectrumProcessor::compute(const core::FftState& fft, const FftStates& states, core::FrameHeader& h,
                                const core::ChannelBuffers& channels) {
    // A new sampling or length means other bins: both averages start again.
    if (m_restartCache.changed(h.get64(fh::SamplePeriodPs), static_cast<int>(h[fh::AnalogCount]))) {
        requestRestart(0);
        requestRestart(1);
    }
    const bool arrived = m_frameArrived == nullptr || m_frameArrived->load();
    const bool ets = h[analyzers::fftword::EtsFftChannel] != 0;
    const analyzers::SpectrumSettings settings = analyzers::spectrumSettingsFrom(fft);
    bool recomputed = false;
    for (int c = 0; c < 2; ++c) {
        const int state = c == 0 ? states.a1 : states.a2;
        if (state != kFftShown || ets) continue;
        if (!arrived && !m_recompute[static_cast<std::size_t>(c)].load()) continue;
        analyzers::SpectrumFrameFacts facts;
        facts.samplePeriodPs = h.get64(fh::SamplePeriodPs);
        facts.analogCount =
            static_cast<int>(std::min<std::uint32_t>(h[fh::AnalogCount], core::kMaxFramePoints));
        facts.triggerIndex =
            static_cast<int>(std::min<std::uint32_t>(h[fh::TriggerIndex], core::kMaxFramePoints));
        facts.rollFrame = h[fh::RollFrame] != 0;
        facts.scaleUv = h[c == 0 ? fh::ScaleA1 : fh::ScaleA2];
        const bool restart = m_restart[static_cast<std::size_t>(c)].exchange(false);
        const analyzers::ChannelSpectrumResult r =
            analyzers::computeFrameSpectrum(*m_channels[static_cast<std::size_t>(c)], settings, facts,
                                            channels.min[static_cast<std::size_t>(c)], restart);
        analyzers::storeSpectrumWords(h, c == 1, r);
        m_peakPhase[static_cast<std::size_t>(c)] = r.peak.phaseDeg;
        m_recompute[static_cast<std::size_t>(c)].store(false);
        recomputed = true;
    }
    if (recomputed && states.a1 == kFftShown && states.a2 == kFftShown) {
        const int half = m_channels[0]->points() / 2;
        m_cross = analyzers::crossChannelPhase(m_channels[0]->bins(), m_channels[1]->bins(), half);
    }
    if (m_frameArrived != nullptr) m_frameArrived->store(false);
    return recomputed;
}

std::span<const double> SpectrumProcessor::shownSpectrum(int channel, const core::FrameHeader& h,
                                                         int& count) const {
    namespace fw = analyzers::fftword;
    const std::size_t bins = h[fw::FftPoints] / 2;
    if (h[fw::EtsFftChannel] != 0) {
        count = 1;
        if (bins > m_etsSpectrum.size()) return {};
        return m_etsSpectrum.first(bins);
    }
    count = static_cast<int>(h[fw::FftAveragesA1 + (channel & 1)]);
    const std::span<const double> all = m_storage[static_cast<std::size_t>(channel & 1)];
    if (bins > all.size()) return {};
    return all.first(bins);
}

SpectrumTrace SpectrumProcessor::displayTrace(int channel, const core::FftState& fft,
                                              const core::FrameHeader& h, double currentScaleUv) {
    SpectrumTrace t;
    int count = 0;
    const std::span<const double> spectrum = shownSpectrum(channel, h, count);
    const analyzers::SpectrumSettings s = analyzers::spectrumSettingsFrom(fft);
    const std::span<std::int32_t> codes(m_codes.get(), spectrum.size());
    const int reference =
        analyzers::spectrumDisplayCodes(spectrum, count, currentScaleUv, s.scale, s.db15PerDiv, codes);
    m_reference[static_cast<std::size_t>(channel & 1)] = reference;
    t.codes = codes;
    t.bins = static_cast<int>(codes.size());
    t.points = static_cast<int>(h[analyzers::fftword::FftPoints]);
    t.referenceDb = reference;
    return t;
}

analyzers::DistortionFigures SpectrumProcessor::distortion(int channel, const core::FftState& fft,
                                                           const core::FrameHeader& h) const {
    int count = 0;
    const std::span<const double> spectrum = shownSpectrum(channel, h, count);
    if (spectrum.empty() || count <= 0) return {};
    const bool ets = h[analyzers::fftword::EtsFftChannel] != 0;
    const double period = static_cast<double>(h.get64(fh::SamplePeriodPs));
    analyzers::DistortionInput in;
    in.power = spectrum;
    in.window = ets ? analyzers::FftWindow::FlatTop : analyzers::spectrumSettingsFrom(fft).window;
    in.points = static_cast<int>(spectrum.size() * 2);
    in.usedSamples =
        ets ? in.points : static_cast<int>(std::min<std::uint32_t>(h[fh::AnalogCount], in.points));
    const double spanHz = ets ? 1e9 : (period > 0 ? 1e12 / (2 * period) : 0);
    in.binHz = spectrum.empty() ? 0 : spanHz / static_cast<double>(spectrum.size());
    analyzers::DistortionFigures d = analyzers::computeDistortion(in);
    if (count > 1) {
        // Ratios do not care about the sum over `count` frames; powers and densities do.
        const double scale = 1.0 / count;
        d.fundamentalPower *= scale;
        d.noiseDbvPerRootHz += 10 * std::log10(scale);
    }
    return d;
}

} // namespace kx::display
