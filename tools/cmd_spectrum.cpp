// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"
#include "ToolSupport.h"

#include "analyzers/Distortion.h"
#include "analyzers/SpectrumFrame.h"
#include "analyzers/SpectrumSettingsMap.h"
#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kx::tool {

namespace {

void printDistortion(const analyzers::DistortionFigures& d) {
    auto line = [&](const char* label, double v, int decimals, const char* unit) {
        if (d.valid)
            std::printf("%-6s %s %s\n", label, core::formatFixed(v, decimals).c_str(), unit);
        else
            std::printf("%-6s ...\n", label);
    };
    line("THD", d.thdDb, 2, "dB");
    line("THD+N", d.thdNoiseDb, 2, "dB");
    line("SINAD", d.sinadDb, 2, "dB");
    line("SFDR", d.sfdrDb, 2, "dB");
    line("ENOB", d.enobBits, 2, "bits");
    line("NOISE", d.noiseDbvPerRootHz, 1, "dBV/sqrt(Hz)");
}

// The wide spectrum an equivalent-time frame was saved with: its strongest line and figures.
int reportEts(const core::FrameHeader& h, const std::vector<double>& stored, int channel) {
    namespace fw = analyzers::fftword;
    const std::size_t bins = h[fw::FftPoints] / 2;
    if (channel < 0 || channel > 1 || h[fw::FftStateA1 + channel] != 1 || bins < 16 || bins > stored.size()) {
        std::fprintf(stderr,
                     "kx48zz-tool spectrum: the equivalent-time frame was saved without its spectrum\n");
        return 1;
    }
    const std::span<const double> p(stored.data(), bins);
    const double binHz = 1e9 / static_cast<double>(bins); // 0 .. 1 GHz
    std::size_t peak = 8;
    for (std::size_t j = 8; j < bins; ++j)
        if (p[j] > p[peak]) peak = j;
    double sum = 0, moment = 0;
    for (std::size_t j = peak - 4; j <= std::min(peak + 4, bins - 1); ++j) {
        sum += p[j];
        moment += static_cast<double>(j) * p[j];
    }
    if (!(sum > 0)) {
        std::fprintf(stderr, "kx48zz-tool spectrum: no spectral peak in the equivalent-time spectrum\n");
        return 1;
    }
    const double level =
        10 * std::log10(sum / analyzers::windowNoiseBandwidth(analyzers::FftWindow::FlatTop));
    std::printf("channel %s, equivalent time, %zu points\n", channel == 0 ? "A1" : "A2", 2 * bins);
    std::printf("peak level     %s dBV\n", core::formatFixed(level, 2).c_str());
    std::printf("peak frequency %s\n",
                core::formatNumber(moment / sum * binHz, core::UnitType::Frequency, -6).c_str());
    std::printf("F              %s\n",
                core::formatNumber(h.getReal(79), core::UnitType::Frequency, -7).c_str());
    analyzers::DistortionInput in;
    in.power = p;
    in.window = analyzers::FftWindow::FlatTop;
    in.points = static_cast<int>(2 * bins);
    in.usedSamples = in.points;
    in.binHz = binHz;
    printDistortion(analyzers::computeDistortion(in));
    return 0;
}

} // namespace

int cmdSpectrum(int argc, char** argv) {
    const char* path = nullptr;
    bool a2 = false;
    long long window = -1, size = -1;
    auto usage = [] {
        std::fprintf(
            stderr, "usage: kx48zz-tool spectrum FILE.kxd [--channel A1|A2] [--window 0..8] [--size 0..6]\n");
        return 2;
    };
    for (int i = 0; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--channel") && i + 1 < argc) {
            const char* c = argv[++i];
            if (!std::strcmp(c, "A1"))
                a2 = false;
            else if (!std::strcmp(c, "A2"))
                a2 = true;
            else
                return usage();
        } else if (!std::strcmp(a, "--window") && i + 1 < argc) {
            if (!parseInt(argv[++i], window) || window < 0 || window > 8) return usage();
        } else if (!std::strcmp(a, "--size") && i + 1 < argc) {
            if (!parseInt(argv[++i], size) || size < 0 || size > 6) return usage();
        } else if (a[0] != '-' && !path) {
            path = a;
        } else {
            return usage();
        }
    }
    if (!path) return usage();

    auto file = std::make_unique<LoadedDataFile>();
    if (!loadDataFile(path, *file)) return 1;
    auto& fft = file->state.fft;
    if (window >= 0) fft.Win = static_cast<int>(window);
    if (size >= 0) fft.Size = static_cast<int>(size);
    fft.Ave_On = false; // one frame: its own spectrum

    const auto& h = file->frame->header;
    const int ch = a2 ? 1 : 0;
    namespace fw = analyzers::fftword;
    const std::uint32_t etsChannel = h[fw::EtsFftChannel];
    if (etsChannel != 0) return reportEts(h, file->etsSpectrum, static_cast<int>(etsChannel) - 1);

    if (!(h[core::fh::ChannelMask] & (1u << ch)) || h.signedWord(core::fh::AnalogCount) <= 0) {
        std::fprintf(stderr, "kx48zz-tool spectrum: the file holds no %s samples\n", a2 ? "A2" : "A1");
        return 1;
    }
    analyzers::SpectrumFrameFacts facts;
    facts.samplePeriodPs = h.get64(core::fh::SamplePeriodPs);
    facts.analogCount = h.signedWord(core::fh::AnalogCount);
    facts.triggerIndex = h.signedWord(core::fh::TriggerIndex);
    facts.rollFrame = h[core::fh::RollFrame] != 0;
    facts.scaleUv = static_cast<double>(h.signedWord(a2 ? core::fh::ScaleA2 : core::fh::ScaleA1));

    auto channel = std::make_unique<analyzers::SpectrumChannel>();
    const auto settings = analyzers::spectrumSettingsFrom(fft);
    const auto r = analyzers::computeFrameSpectrum(
        *channel, settings, facts, file->frame->channels.min[static_cast<std::size_t>(ch)], true);
    if (!r.peak.valid) {
        std::fprintf(stderr, "kx48zz-tool spectrum: no spectral peak in the %s samples\n", a2 ? "A2" : "A1");
        return 1;
    }
    std::printf("channel %s, %d points\n", a2 ? "A2" : "A1", r.points);
    std::printf("peak level     %s dBV\n", core::formatFixed(r.peak.levelDb, 2).c_str());
    std::printf("peak frequency %s\n",
                core::formatNumber(r.peak.frequency, core::UnitType::Frequency, -6).c_str());
    std::printf("phase          %s deg\n", core::formatFixed(r.peak.phaseDeg, 1).c_str());

    analyzers::DistortionInput in;
    in.power = channel->accumulator(); // one frame: the sum is the power
    in.window = settings.window;
    in.points = r.points;
    in.usedSamples = std::min(facts.analogCount, r.points);
    in.binHz = facts.samplePeriodPs > 0 ? 1e12 / static_cast<double>(facts.samplePeriodPs) / r.points : 0;
    printDistortion(analyzers::computeDistortion(in));
    return 0;
}

} // namespace kx::tool
