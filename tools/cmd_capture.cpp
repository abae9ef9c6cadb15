// SPDX-License-Identifier: GPL-3.0-or-later
// capture: opens the instrument, runs the acquisition thread with the built-in settings (or a
// settings file), prints one line per frame and saves the last one as a data file. The generator
// can be switched on, and an AWG script compiled, uploaded and run before the frames are taken.
#include "Commands.h"
#include "ToolGui.h"
#include "ToolSupport.h"

#include "SettingsInput.h"
#include "acquisition/EtsReconstruction.h"
#include "acquisition/ScopeThread.h"
#include "analyzers/SpectrumFrame.h"
#include "app/ApplySettings.h"
#include "app/AssemblySettings.h"
#include "app/DeviceRecordFromStatus.h"
#include "app/ModelFeatures.h"
#include "device/DeviceOpen.h"
#include "device/ErrorReport.h"
#include "device/FpgaImage.h"
#include "files/DataFile.h"
#include "files/SettingsFile.h"
#include "generator/AwgCompiler.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cinttypes>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kx::tool {

namespace {

using namespace std::chrono_literals;

constexpr auto kFrameWait = 5s; // per frame, configuration included for the first
constexpr auto kPollStep = 5ms;
constexpr long long kMaxFrames = 1000000;

struct CaptureOptions {
    std::string settingsFile;
    long long frames = 1;
    bool single = false;
    std::string out;
    int generator = -1; // --generator: 1 on, 0 off, -1 not given
    std::string awgFile;
};

int usage() {
    std::fprintf(stderr, "usage: kx48zz-tool capture [--settings FILE] [--frames N] [--single] "
                         "[--generator on|off] [--awg FILE.kxg] --out FILE.kxd\n");
    return 2;
}

// Waits until `ready` holds or the time is up.
template <typename F> bool waitFor(F&& ready, std::chrono::steady_clock::duration limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(kPollStep);
    }
    return true;
}

// Keeps the frame that completes the count and wakes the waiting main thread.
class ConsoleGui : public ToolGui {
public:
    ConsoleGui(const CaptureOptions& options, device::RequestFlags& flags,
               device::RegisterImageHolder& registers, device::StatusBoard& board,
               const core::FrameRecord& frame, core::FrameRecord& kept,
               const acquisition::EtsReconstruction& ets, std::vector<double>& keptEts)
        : ToolGui(flags, registers, board), m_options(options), m_frame(frame), m_kept(kept), m_ets(ets),
          m_keptEts(keptEts) {}

    void signalAreaUpdate() override {
        const core::FrameHeader& h = m_frame.header;
        const std::uint32_t counter = h[core::fh::FrameCounter];
        if (counter == 0 || counter == m_lastCounter || m_done) return;
        m_lastCounter = counter;
        ++m_frames;
        std::printf("frame %" PRIu32 ": CaptureLength=%" PRIu32 " AnalogCount=%" PRIu32
                    " SamplePeriodPs=%" PRIu64 " ChannelMask=0x%02" PRIX32 "\n",
                    counter, h[core::fh::CaptureLength], h[core::fh::AnalogCount],
                    h.get64(core::fh::SamplePeriodPs), h[core::fh::ChannelMask]);
        std::fflush(stdout);
        if (m_frames >= m_options.frames) {
            // The thread keeps assembling until it is stopped: keep this frame aside.
            m_kept.header = m_frame.header;
            m_kept.channels = m_frame.channels;
            m_kept.points = m_frame.points;
            // An equivalent-time frame keeps its wide spectrum, marked as shown so the file
            // carries it.
            const std::uint32_t etsChannel = h[analyzers::fftword::EtsFftChannel];
            if (etsChannel == 1 || etsChannel == 2) {
                const auto spectrum = m_ets.spectrum();
                std::copy(spectrum.begin(), spectrum.end(), m_keptEts.begin());
                m_kept.header[analyzers::fftword::FftStateA1 + static_cast<int>(etsChannel) - 1] = 1;
            }
            m_done = true;
        }
        m_changed.notify_all();
    }

    void singleShotEnded() override {
        state.scope.Running = false;
        state.scope.SingleMode = false;
        // The next shot, until enough frames were taken; otherwise the run bit goes out cleared.
        if (!m_done) {
            state.scope.Running = true;
            state.scope.SingleMode = true;
        }
        settingsChanged();
    }

    // Waits for the next frame (or the end); false on time-out.
    bool waitProgress(long long seen) {
        std::unique_lock lock(mutex);
        return m_changed.wait_for(lock, kFrameWait, [&] { return m_done || m_frames > seen; });
    }
    long long frames() {
        std::lock_guard lock(mutex);
        return m_frames;
    }
    bool done() {
        std::lock_guard lock(mutex);
        return m_done;
    }

private:
    const CaptureOptions& m_options;
    const core::FrameRecord& m_frame;
    core::FrameRecord& m_kept;
    const acquisition::EtsReconstruction& m_ets;
    std::vector<double>& m_keptEts;
    std::condition_variable m_changed;
    std::uint32_t m_lastCounter = 0;
    long long m_frames = 0;
    bool m_done = false;
};

bool parseOptions(int argc, char** argv, CaptureOptions& o) {
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--settings") && hasValue) {
            o.settingsFile = argv[++i];
        } else if (!std::strcmp(argv[i], "--frames") && hasValue) {
            if (!parseInt(argv[++i], o.frames) || o.frames < 1 || o.frames > kMaxFrames) {
                std::fprintf(stderr, "kx48zz-tool capture: bad --frames value '%s' (1 .. %lld)\n", argv[i],
                             kMaxFrames);
                return false;
            }
        } else if (!std::strcmp(argv[i], "--single")) {
            o.single = true;
        } else if (!std::strcmp(argv[i], "--out") && hasValue) {
            o.out = argv[++i];
        } else if (!std::strcmp(argv[i], "--generator") && hasValue) {
            const char* v = argv[++i];
            if (std::strcmp(v, "on") != 0 && std::strcmp(v, "off") != 0) {
                std::fprintf(stderr, "kx48zz-tool capture: bad --generator value '%s' (on or off)\n", v);
                return false;
            }
            o.generator = std::strcmp(v, "on") == 0 ? 1 : 0;
        } else if (!std::strcmp(argv[i], "--awg") && hasValue) {
            o.awgFile = argv[++i];
        } else {
            return false;
        }
    }
    return !o.out.empty();
}

} // namespace

int cmdCapture(int argc, char** argv) {
    CaptureOptions options;
    if (!parseOptions(argc, argv, options)) return usage();

    // The script is compiled before the instrument is touched: a bad one changes nothing.
    generator::AwgCompileResult awg;
    if (!options.awgFile.empty()) {
        awg = generator::compileAwgFile(options.awgFile, {true, false});
        if (!awg.ok) {
            std::fprintf(stderr, "kx48zz-tool capture: %s\n", plainLines(awg.message).c_str());
            return 1;
        }
    }

    device::D2xxBinding binding;
    device::Connection connection;
    device::DataEvent event;
    StderrPrompt prompt;
    if (!openInstrument("capture", binding, connection, event, prompt)) return 1;

    LinkParts link;
    auto kept = std::make_unique<core::FrameRecord>();
    kept->clear();

    auto ets = std::make_unique<acquisition::EtsReconstruction>();
    std::vector<double> etsSpectrum(analyzers::kMaxEtsSpectrumBins);
    ConsoleGui gui(options, link.flags, link.registers, link.board, *link.frame, *kept, *ets, etsSpectrum);
    if (!options.settingsFile.empty() && !readAnySettingsFile(options.settingsFile, gui.state)) {
        binding.close(connection.handle.load());
        return 1;
    }
    // ON as asked; a script to run switches the generator on unless told otherwise.
    gui.state.generator.On = options.generator >= 0 ? options.generator == 1 : awg.ok;
    if (awg.ok) {
        const generator::AwgMarkList marks = generator::buildAwgMarkList(awg.labels, false, false, {});
        generator::applyAwgResult(awg, options.awgFile, marks, gui.state.generator);
    }
    app::applyModelFeatures(gui.state);
    acquisition::ScopeThread thread({binding, connection, event, link.flags, link.stats, link.board,
                                     link.registers, *link.frame, gui, gui, link.fpga.bytes(), ets.get()});
    gui.setThread(&thread);
    {
        // With a script, frames are taken only once it runs.
        std::lock_guard lock(gui.mutex);
        gui.state.scope.Running = !awg.ok;
        gui.state.scope.SingleMode = options.single && !awg.ok;
        gui.settingsChanged();
    }
    link.flags.ReconfigureRequest = true;
    thread.start();

    bool timedOut = false;
    bool awgFailed = false;
    if (awg.ok) {
        // The upload waits for an acknowledged settings frame; RUN goes out after the whole
        // program has been taken, so the sequencer starts on it.
        std::array<std::int32_t, device::kAwgEntries> table{};
        std::copy(awg.image->begin(), awg.image->end(), table.begin());
        if (!waitFor([&] { return link.flags.DeviceConfigured.load(); }, kFrameWait)) {
            timedOut = true;
        } else {
            thread.requestAwgUpload(table);
            if (!waitFor(
                    [&] { return thread.link().awgLoaded.load() || thread.link().transferFailed.load(); },
                    kFrameWait) ||
                !thread.link().awgLoaded.load()) {
                awgFailed = true;
            } else {
                std::lock_guard lock(gui.mutex);
                link.registers.raise(device::OnceFlag::AwgRun);
                gui.state.scope.Running = true;
                gui.state.scope.SingleMode = options.single;
                gui.settingsChanged();
            }
        }
    }

    long long seen = 0;
    while (!timedOut && !awgFailed && !gui.done()) {
        if (!gui.waitProgress(seen)) {
            timedOut = true;
            break;
        }
        seen = gui.frames();
    }
    const bool configured = gui.configuredYet();
    gui.close();
    thread.stop();

    // Leave the instrument idle.
    if (link.flags.DeviceReady) {
        std::lock_guard lock(gui.mutex);
        gui.state.scope.Running = false;
        gui.state.scope.SingleMode = false;
        link.flags.Running = false;
        link.flags.SingleMode = false;
        app::applySettings(gui.state, link.registers);
        thread.link().sendSettings();
    }
    binding.close(connection.handle.load());

    if (awgFailed) {
        std::fprintf(stderr, "kx48zz-tool capture: the instrument did not take the AWG program\n");
        return 1;
    }
    if (timedOut) {
        if (!configured)
            std::fprintf(
                stderr, "kx48zz-tool capture: the instrument did not report ready after its configuration\n");
        else
            std::fprintf(stderr, "kx48zz-tool capture: no frame within %lld s (after %lld of %lld)\n",
                         static_cast<long long>(kFrameWait.count()), seen, options.frames);
        return 1;
    }

    std::vector<double> spectrumA1(analyzers::kMaxSpectrumBins), spectrumA2(analyzers::kMaxSpectrumBins);
    auto background = std::make_unique<core::FrameRecord>();
    background->clear();
    bool bgLaneSwap = false;
    files::DataFileRecords records{*kept, *background, bgLaneSwap, spectrumA1, spectrumA2, etsSpectrum};
    files::DataFileNames names;
    files::SaveDataFileOptions saveOptions;
    saveOptions.writeSettings = [&](const std::string& path) {
        files::WriteContext context;
        context.awgLoaded = thread.link().awgLoaded.load();
        context.device = app::deviceRecordFrom(link.board.snapshot(), link.flags.DeviceReady.load());
        return files::WriteSettingsFile(path, files::SettingsKind::User, gui.state, context, prompt);
    };
    const files::DataFileStatus saved = files::SaveDataFile(options.out, records, names, prompt, saveOptions);
    if (saved != files::DataFileStatus::Ok && saved != files::DataFileStatus::CompanionKept) return 1;
    std::printf("saved %s%s\n", options.out.c_str(),
                saved == files::DataFileStatus::CompanionKept ? " (its existing settings file was kept)"
                                                              : " and its settings file");
    return 0;
}

} // namespace kx::tool
