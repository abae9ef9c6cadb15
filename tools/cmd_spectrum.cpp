// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"
#include "ToolSupport.h"

#include "analyzers/SpectrumFrame.h"
#include "analyzers/SpectrumSettingsMap.h"
#include "core/NumberFormat.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace kx::tool {

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
    return 0;
}

} // namespace kx::tool
