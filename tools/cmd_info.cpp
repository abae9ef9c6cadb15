// SPDX-License-Identifier: GPL-3.0-or-later
// info: opens a data file as the program does and lists its FrameHeader word by word.
#include "Commands.h"
#include "ToolSupport.h"

#include "analyzers/Spectrum.h"
#include "app/ModelFeatures.h"
#include "core/DeviceModel.h"
#include "files/DataFile.h"

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

namespace kx::tool {

namespace {

enum class Kind { Unsigned, Signed, Wide, Real };

struct Word {
    int index;
    const char* name;
    Kind kind;
};

// Every named word; wide and real values take two words, low word first.
constexpr Word kWords[] = {
    {0, "FrameDeviceType", Kind::Unsigned},
    {1, "SamplePeriodPs", Kind::Wide},
    {3, "DigitalPeriodPs", Kind::Wide},
    {5, "ScaleA1", Kind::Unsigned},
    {6, "ZeroA1", Kind::Signed},
    {7, "ScaleA2", Kind::Unsigned},
    {8, "ZeroA2", Kind::Signed},
    {9, "CaptureLength", Kind::Unsigned},
    {10, "PreTrigger", Kind::Unsigned},
    {11, "AnalogCount", Kind::Unsigned},
    {12, "DigitalCount", Kind::Unsigned},
    {13, "TriggerIndex", Kind::Signed},
    {14, "RollFrame", Kind::Unsigned},
    {15, "PeakDetect", Kind::Unsigned},
    {16, "HiResFactor", Kind::Unsigned},
    {17, "EtsState", Kind::Unsigned},
    {18, "AnalyzerMode", Kind::Unsigned},
    {19, "NarrowFilter", Kind::Unsigned},
    {20, "OverdriveA1", Kind::Unsigned},
    {21, "OverdriveA2", Kind::Unsigned},
    {22, "TriggerLevelCode", Kind::Signed},
    {23, "TriggerSource", Kind::Unsigned},
    {24, "ShiftA1", Kind::Signed},
    {25, "ShiftA2", Kind::Signed},
    {26, "ShiftD1", Kind::Signed},
    {27, "ShiftD2", Kind::Signed},
    {28, "ShiftD3", Kind::Signed},
    {29, "ShiftD4", Kind::Signed},
    {30, "ChannelMask", Kind::Unsigned},
    {31, "SweepSpan", Kind::Wide},
    {33, "SweepStart", Kind::Wide},
    {35, "GenAmplitudeWord", Kind::Unsigned},
    {36, "InfoWord118", Kind::Unsigned},
    {37, "CounterStatus", Kind::Unsigned},
    {38, "CounterEvents", Kind::Unsigned},
    {39, "CounterTicks", Kind::Unsigned},
    {40, "SumA1", Kind::Real},
    {42, "SumA2", Kind::Real},
    {44, "SumSqA1", Kind::Real},
    {46, "SumSqA2", Kind::Real},
    {48, "PeakToPeakA1", Kind::Signed},
    {49, "PeakToPeakA2", Kind::Signed},
    {50, "TPlusValue", Kind::Unsigned},
    {51, "TPlusKind", Kind::Unsigned},
    {52, "StatusTriggerSource", Kind::Unsigned},
    {53, "VideoStandard", Kind::Unsigned},
    {54, "VideoLine", Kind::Unsigned},
    {55, "FftStateA1", Kind::Unsigned},
    {56, "FftStateA2", Kind::Unsigned},
    {57, "EtsFftChannel", Kind::Unsigned},
    {58, "FftPoints", Kind::Unsigned},
    {59, "FftAveragesA1", Kind::Unsigned},
    {60, "FftAveragesA2", Kind::Unsigned},
    {61, "FftPeakValidA1", Kind::Unsigned},
    {62, "FftPeakValidA2", Kind::Unsigned},
    {63, "FftPeakLevelA1", Kind::Real},
    {65, "FftPeakLevelA2", Kind::Real},
    {67, "FftPeakFreqA1", Kind::Real},
    {69, "FftPeakFreqA2", Kind::Real},
    {71, "EtsFreqSub0", Kind::Real},
    {73, "EtsFreqSub1", Kind::Real},
    {75, "EtsFreqSub2", Kind::Real},
    {77, "EtsFreqSub3", Kind::Real},
    {79, "EtsFrequency", Kind::Real},
    {81, "EtsP", Kind::Unsigned},
    {82, "EtsCoverage", Kind::Real},
    {84, "EtsSmoothing", Kind::Unsigned},
    {85, "EtsKSub0", Kind::Signed},
    {86, "EtsKSub1", Kind::Signed},
    {87, "EtsKSub2", Kind::Signed},
    {88, "EtsKSub3", Kind::Signed},
    {89, "EtsRSub0", Kind::Signed},
    {90, "EtsRSub1", Kind::Signed},
    {91, "EtsRSub2", Kind::Signed},
    {92, "EtsRSub3", Kind::Signed},
    {93, "EtsUsableSub0", Kind::Unsigned},
    {94, "EtsUsableSub1", Kind::Unsigned},
    {95, "EtsUsableSub2", Kind::Unsigned},
    {96, "EtsUsableSub3", Kind::Unsigned},
    {97, "EtsMatches", Kind::Unsigned},
    {98, "EtsZoneSub0", Kind::Unsigned},
    {99, "EtsZoneSub1", Kind::Unsigned},
    {100, "EtsZoneSub2", Kind::Unsigned},
    {101, "EtsZoneSub3", Kind::Unsigned},
    {102, "EtsGridMin", Kind::Unsigned},
    {103, "EtsGridMax", Kind::Unsigned},
};
constexpr int kReservedFirst = 104;
constexpr int kReservedLast = 153;

void printWord(const core::FrameHeader& h, const Word& w) {
    char where[16];
    if (w.kind == Kind::Wide || w.kind == Kind::Real)
        std::snprintf(where, sizeof where, "%d..%d", w.index, w.index + 1);
    else
        std::snprintf(where, sizeof where, "%d", w.index);
    std::printf("%-8s %-20s ", where, w.name);
    switch (w.kind) {
    case Kind::Unsigned:
        std::printf("%" PRIu32 "\n", h[w.index]);
        break;
    case Kind::Signed:
        std::printf("%" PRId32 "\n", h.signedWord(w.index));
        break;
    case Kind::Wide:
        std::printf("%" PRIu64 "\n", h.get64(w.index));
        break;
    case Kind::Real:
        std::printf("%.10g\n", h.getReal(w.index));
        break;
    }
}

} // namespace

int cmdInfo(int argc, char** argv) {
    if (argc != 1 || argv[0][0] == '-') {
        std::fprintf(stderr, "usage: kx48zz-tool info FILE.kxd\n");
        return 2;
    }
    const std::string path = argv[0];

    // Opened as the program opens it, with the background part noted.
    LoadedDataFile loaded;
    StderrPrompt prompt;
    std::vector<double> spectrumA1(analyzers::kMaxSpectrumBins), spectrumA2(analyzers::kMaxSpectrumBins);
    std::vector<double> etsSpectrum(analyzers::kMaxEtsSpectrumBins);
    files::DataFileRecords records{*loaded.frame, *loaded.background, loaded.bgLaneSwap,
                                   spectrumA1,    spectrumA2,         etsSpectrum};
    files::DataFileNames names;
    files::OpenDataFileOptions options;
    options.uiDeviceType = static_cast<std::uint32_t>(loaded.state.system.UiDeviceType);
    options.switchModel = [&](std::uint32_t type) {
        loaded.state.system.UiDeviceType = static_cast<std::int32_t>(type);
        app::applyModelFeatures(loaded.state);
        return core::modelName(static_cast<std::int32_t>(type));
    };
    bool background = false;
    options.backgroundLoaded = [&] { background = true; };
    if (files::OpenDataFile(path, records, names, prompt, options) != files::DataFileStatus::Ok) return 1;

    const core::FrameHeader& h = loaded.frame->header;
    std::printf("%s\n", path.c_str());
    for (const Word& w : kWords) printWord(h, w);
    bool reservedZero = true;
    for (int i = kReservedFirst; i <= kReservedLast; ++i) {
        if (h[i] == 0) continue;
        reservedZero = false;
        char name[16];
        std::snprintf(name, sizeof name, "Reserved%d", i);
        printWord(h, {i, name, Kind::Unsigned});
    }
    if (reservedZero) std::printf("%-8s %-20s all 0\n", "104..153", "Reserved");
    printWord(h, {core::fh::FrameCounter, "FrameCounter", Kind::Unsigned});
    printWord(h, {core::fh::Checksum, "Checksum", Kind::Unsigned});
    std::printf("Background part: %s\n", background ? "yes" : "no");
    if (h[core::fh::EtsState] != 0) {
        // The equivalent-time reconstruction in short.
        std::printf("EtsState %" PRIu32 "\n", h[core::fh::EtsState]);
        std::printf("F %.10g Hz\n", h.getReal(79));
        std::printf("P %" PRIu32 "\n", h[81]);
        std::printf("Coverage %.2f %%\n", h.getReal(82));
        std::printf("Matches %" PRIu32 "\n", h[97]);
    }
    return 0;
}

} // namespace kx::tool
