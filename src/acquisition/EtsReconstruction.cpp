// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/EtsReconstruction.h"

#include "acquisition/InfoBlock.h"
#include "analyzers/SpectrumFrame.h"
#include "analyzers/SpectrumSettingsMap.h"
#include "core/Rounding.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace kx::acquisition {

using core::Channel;
namespace fh = core::fh;
namespace fw = analyzers::fftword;

namespace {

constexpr int kMinTransform = 64;           // shorter sub-records hold no usable tone
constexpr double kMinFrequencyHz = 3e6;     // slower signals are shown in real time
constexpr double kGridStepHz = 1e10;        // P = 10^10 / F: 100 ps per grid point
constexpr double kSmoothingHz = 1666600000; // w = P * F / this
constexpr std::uint32_t kDigitalScaleUv = 1000000;
constexpr int kLastUsedForLevel = 2; // the level word takes the first usable of 0..2

bool present(std::uint8_t mask, int channel) {
    switch (channel) {
    case 0:
        return (mask & info::kMaskA1) != 0;
    case 1:
        return (mask & info::kMaskA2) != 0;
    case 2:
    case 3:
        return (mask & info::kMaskD12) != 0;
    default:
        return (mask & info::kMaskD34) != 0;
    }
}

unsigned presentMask(std::uint8_t mask) {
    unsigned m = 0;
    for (int c = 0; c < core::kChannelCount; ++c)
        if (present(mask, c)) m |= 1u << c;
    return m;
}

} // namespace

EtsReconstruction::EtsReconstruction()
    : m_grid(std::make_unique<ets::Grid>()),
      m_spectrumData(std::make_unique<double[]>(static_cast<std::size_t>(analyzers::kMaxEtsSpectrumBins))),
      m_spectrum(m_spectrumData.get(), static_cast<std::size_t>(analyzers::kMaxEtsSpectrumBins)),
      m_binTable(std::make_unique<std::int32_t[]>(static_cast<std::size_t>(analyzers::kMaxEtsSpectrumBins) *
                                                  ets::kSubRecords)) {
    for (auto& s : m_spectra) s = std::make_unique<analyzers::SpectrumChannel>();
}

EtsReconstruction::~EtsReconstruction() = default;

std::span<const double> EtsReconstruction::spectrum() const {
    return std::span<const double>(m_spectrum).first(static_cast<std::size_t>(5 * m_n));
}

void EtsReconstruction::analyse(std::span<const std::uint8_t> in, const RawSamples& raw, std::size_t t,
                                std::uint32_t scaleA1, std::uint32_t scaleA2, const AssemblyContext& ctx,
                                const std::function<void()>& betweenSpectra) {
    m_analysed = false;
    m_sub = {};
    m_zones = {};
    m_channel = -1;
    const std::uint8_t mask = in[info::ChannelMask];
    const std::uint8_t trig = in[info::TriggerFlags];
    // Pairs of extremes or averages are no samples of one clock.
    if ((trig & 0xC0) != 0 || t < static_cast<std::size_t>(kMinTransform) || 4 * t > kRawCapacity) return;

    // 1. The analysis channel; only one chosen through its FFT view keeps that view's averaging.
    bool throughView = true;
    if (ctx.fftViewA1 && present(mask, 0)) {
        m_channel = 0;
    } else if (ctx.fftViewA2 && present(mask, 1)) {
        m_channel = 1;
    } else {
        throughView = false;
        const int source = trig & 0x07;
        if (source < core::kChannelCount && present(mask, source)) {
            m_channel = source;
        } else {
            for (int c = 0; c < core::kChannelCount && m_channel < 0; ++c)
                if (present(mask, c)) m_channel = c;
        }
    }
    if (m_channel < 0) return;

    // 2. The four spectra.
    const int log2n = std::min(static_cast<int>(std::bit_width(t)) - 1, analyzers::kMaxSpectrumLog2);
    m_n = 1 << log2n;
    const bool keep = throughView && m_channel == m_previousChannel && t == m_previousT;
    m_previousChannel = m_channel;
    m_previousT = t;
    analyzers::SpectrumInput sin;
    sin.log2Points = log2n;
    sin.window = analyzers::FftWindow::FlatTop;
    sin.scaleUv = m_channel == 0 ? scaleA1 : m_channel == 1 ? scaleA2 : kDigitalScaleUv;
    sin.validCount = static_cast<int>(t);
    sin.startIndex = -1;
    sin.keepAveraging = keep;
    sin.depth = throughView ? std::max(ctx.fftAveragingDepth, 1) : 1;
    sin.peakFromInstantaneous = true;
    const auto samples = raw.of(static_cast<Channel>(m_channel));
    for (int l = 0; l < ets::kSubRecords; ++l) {
        sin.samples = samples.subspan(static_cast<std::size_t>(l) * t, t);
        const analyzers::SpectrumPeak p = m_spectra[static_cast<std::size_t>(l)]->compute(sin);
        ets::SubRecord& s = m_sub[static_cast<std::size_t>(l)];
        s.peakValid = p.valid;
        s.levelDb = p.levelDb;
        s.f = p.frequency;
        s.phaseDeg = p.phaseDeg;
        if (l < ets::kSubRecords - 1 && betweenSpectra) betweenSpectra();
    }

    // 3. The wide spectrum: what all four agree on.
    buildSpectrum();

    // 4..7.
    ets::markUsable(m_sub);
    m_zones = ets::searchZones(m_sub);
    ets::unfold(m_sub);
    ets::checkSynchronism(m_sub, (trig & 0x07) >= 2);
    m_analysed = true;
}

void EtsReconstruction::buildSpectrum() {
    const int n = m_n;
    std::array<const double*, ets::kSubRecords> acc{};
    std::array<double, ets::kSubRecords> inv{};
    for (int l = 0; l < ets::kSubRecords; ++l) {
        acc[static_cast<std::size_t>(l)] = m_spectra[static_cast<std::size_t>(l)]->accumulator().data();
        inv[static_cast<std::size_t>(l)] =
            1.0 / std::max(m_spectra[static_cast<std::size_t>(l)]->averages(), 1);
    }
    // Which bin of each sub-record every output bin aliases to depends on n alone: made
    // once per transform size.
    if (m_binTableSize != n) {
        fillBinTable(n);
        m_binTableSize = n;
    }
    const int bins = 5 * n;
    for (int b = 0; b < bins; ++b) {
        const std::int32_t* j = &m_binTable[static_cast<std::size_t>(b) * ets::kSubRecords];
        // Next to DC or Nyquist a sub-record's bin says nothing: it takes the previous one's.
        double v = 0, smallest = 0;
        for (int l = 0; l < ets::kSubRecords; ++l) {
            const auto li = static_cast<std::size_t>(l);
            if (j[li] < 0) {
                if (l == 0) v = acc[3][j[3] < 0 ? -j[3] - 1 : j[3]] * inv[3];
            } else {
                v = acc[li][j[li]] * inv[li];
            }
            smallest = l == 0 ? v : std::min(smallest, v);
        }
        m_spectrum[static_cast<std::size_t>(b)] = smallest;
    }
}

void EtsReconstruction::fillBinTable(int n) {
    const int half = n / 2;
    // j_l = round(b * Ts_l / 5 ns) mod n, folded below Nyquist; kept as quotient and remainder of
    // (2 b num + den) / (2 den). A bin next to DC or Nyquist is stored as -(j + 1): it says
    // nothing and takes the previous sub-record's value.
    for (int l = 0; l < ets::kSubRecords; ++l) {
        const auto li = static_cast<std::size_t>(l);
        const std::int64_t den2 = 2 * ets::kPeriodDen[li];
        std::int64_t quot = ets::kPeriodDen[li] / den2, rem = ets::kPeriodDen[li] % den2;
        for (int b = 0; b < 5 * n; ++b) {
            int x = static_cast<int>(quot & (n - 1));
            if (x > half) x = n - x;
            const bool edge = x < 8 || x > half - 8;
            m_binTable[static_cast<std::size_t>(b) * ets::kSubRecords + li] =
                edge ? -std::min(x, half - 1) - 1 : x;
            rem += 2 * ets::kPeriodNum[li];
            while (rem >= den2) {
                rem -= den2;
                ++quot;
            }
        }
    }
}

EtsOutcome EtsReconstruction::reconstruct(std::span<const std::uint8_t> in, RawSamples& raw, std::size_t t,
                                          const AssemblyContext& ctx, core::FrameHeader& h) {
    EtsOutcome out;
    for (int w = etsword::SubFrequency; w <= etsword::MaxCount; ++w) h[w] = 0;
    if (!m_analysed) return out;

    for (int l = 0; l < ets::kSubRecords; ++l) {
        const ets::SubRecord& s = m_sub[static_cast<std::size_t>(l)];
        h.setReal(etsword::SubFrequency + 2 * l, s.f * ets::kClockHz[static_cast<std::size_t>(l)]);
        h[etsword::Multiplier + l] = static_cast<std::uint32_t>(s.k);
        h[etsword::Integer + l] = static_cast<std::uint32_t>(s.r);
        h[etsword::Usable + l] = s.usable ? 1 : 0;
        h[etsword::Zone + l] = static_cast<std::uint32_t>(s.zone + 1);
    }
    const double frequency = m_zones.frequencyHz;
    h.setReal(etsword::Frequency, frequency);
    h[etsword::Matches] = static_cast<std::uint32_t>(m_zones.matches);

    // 13. The spectrum words of an analog analysis channel.
    if (m_channel == 0 || m_channel == 1) {
        const int c = m_channel;
        h[fw::EtsFftChannel] = static_cast<std::uint32_t>(c + 1);
        h[fw::FftPoints] = static_cast<std::uint32_t>(10 * m_n);
        h[fw::FftAveragesA1 + c] = static_cast<std::uint32_t>(m_spectra[0]->averages());
        h[fw::FftPeakValidA1 + c] = m_zones.matches >= 3 ? 1 : 0;
        int levelFrom = ets::kSubRecords - 1;
        for (int l = 0; l <= kLastUsedForLevel; ++l)
            if (m_sub[static_cast<std::size_t>(l)].usable) {
                levelFrom = l;
                break;
            }
        h.setReal(fw::FftPeakLevelA1 + 2 * c, m_sub[static_cast<std::size_t>(levelFrom)].levelDb);
        h.setReal(fw::FftPeakFreqA1 + 2 * c, frequency);
    }

    // 8.
    const bool anyUsable =
        std::any_of(m_sub.begin(), m_sub.end(), [](const ets::SubRecord& s) { return s.usable; });
    if (m_zones.matches < 3 || !anyUsable || !(frequency > kMinFrequencyHz) || ctx.timeDivNs <= 0) return out;
    const int points = static_cast<int>(std::clamp<std::int64_t>(core::roundHalfAway(kGridStepHz / frequency),
                                                                 1, static_cast<std::int64_t>(t / 2)));
    h[etsword::GridPoints] = static_cast<std::uint32_t>(points);

    // 9. Every sample of every usable sub-record onto one period.
    const std::uint8_t mask = in[info::ChannelMask];
    const unsigned channels = presentMask(mask);
    ets::Grid& grid = *m_grid;
    grid.start(points, channels);
    for (int l = 0; l < ets::kSubRecords; ++l) {
        const ets::SubRecord& s = m_sub[static_cast<std::size_t>(l)];
        if (!s.usable) continue;
        std::array<std::span<const std::int32_t>, core::kChannelCount> samples{};
        for (int c = 0; c < core::kChannelCount; ++c)
            if (channels & (1u << c))
                samples[static_cast<std::size_t>(c)] =
                    std::span<const std::int32_t>(raw.of(static_cast<Channel>(c)))
                        .subspan(static_cast<std::size_t>(l) * t, t);
        grid.fold(samples, m_n / 2, s.f, s.phaseDeg);
    }
    const int w = std::max<int>(1, static_cast<int>(core::roundHalfAway(points * frequency / kSmoothingHz)));
    const ets::GridStats stats = grid.finish(w);
    h.setReal(etsword::Coverage, (points - stats.emptyPoints) * 100.0 / points);
    h[etsword::Smoothing] = static_cast<std::uint32_t>(w);
    h[etsword::MinCount] = static_cast<std::uint32_t>(stats.minCount);
    h[etsword::MaxCount] = static_cast<std::uint32_t>(stats.maxCount);

    // 10. Where the trigger crosses on the grid; without a crossing the phase keeps turning.
    int triggerIndex = m_rotating % points;
    double fraction = 0;
    const std::uint8_t trig = in[info::TriggerFlags];
    const int source = trig & 0x07;
    if ((in[info::ChannelFlags] & 0x80) != 0 && source < core::kChannelCount && (channels & (1u << source))) {
        ets::CrossingSearch search;
        search.falling = (trig & 0x10) != 0;
        if (source < 2) {
            search.lower = in[source == 0 ? info::A1Lower : info::A2Lower] * 256.0;
            search.upper = in[source == 0 ? info::A1Upper : info::A2Upper] * 256.0;
        } else {
            search.lower = search.falling ? 128 : 64;
            search.upper = search.falling ? 192 : 128;
        }
        const ets::Crossing crossing = grid.findCrossing(source, search);
        if (crossing.found) {
            triggerIndex = crossing.index;
            fraction = crossing.fraction;
            out.triggerCrossing = true;
        }
    }
    m_rotating = (m_rotating % points + 5) % points;

    // 11. Resampling at 50 samples per division.
    const double delta = static_cast<double>(ctx.timeDivNs) * 0.02e-9;
    const std::int64_t pre = static_cast<std::int64_t>(std::clamp(ctx.preDivisions, 0, 9)) * 50;
    const double pointsPerSample = delta * frequency * points;
    const double origin = triggerIndex + fraction - 1;
    for (int c = 0; c < core::kChannelCount; ++c) {
        if (!(channels & (1u << c))) continue;
        auto dest = raw.of(static_cast<Channel>(c));
        for (std::size_t l = 0; l < t; ++l)
            dest[l] = grid.sampleAt(c, (static_cast<double>(l) - static_cast<double>(pre)) * pointsPerSample +
                                           origin);
    }
    const auto periodPs = static_cast<std::uint64_t>(ctx.timeDivNs) * 20u;
    h.set64(fh::SamplePeriodPs, periodPs);
    h.set64(fh::DigitalPeriodPs, periodPs);
    h[fh::PreTrigger] = static_cast<std::uint32_t>(pre);
    out.reconstructed = true;
    return out;
}

void setEtsContext(AssemblyContext& c, const core::InstrumentState& s, std::int64_t timeDivNs) {
    c.fftViewA1 = s.fft.View_A1;
    c.fftViewA2 = s.fft.View_A2;
    c.fftAveragingDepth = analyzers::spectrumAveragingDepth(analyzers::spectrumSettingsFrom(s.fft));
    c.timeDivNs = timeDivNs;
    c.preDivisions = s.trigger.Pre;
}

} // namespace kx::acquisition
