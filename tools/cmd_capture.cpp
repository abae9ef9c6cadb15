// SPDX-License-Identifier: GPL-3.0-or-later
// capture: opens the instrument, runs the acquisition thread with the built-in settings (or a
// settings file), prints one line per frame and saves the last one as a data file.
#include "Commands.h"
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

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kx::tool {

namespace {

using namespace std::chrono_literals;

constexpr auto kFrameWait = 5s; // per frame, configuration included for the first
constexpr long long kMaxFrames = 1000000;

struct CaptureOptions {
    std::string settingsFile;
    long long frames = 1;
    bool single = false;
    std::string out;
};

int usage() {
    std::fprintf(stderr,
                 "usage: kx48zz-tool capture [--settings FILE] [--frames N] [--single] --out FILE.kxd\n");
    return 2;
}

// The tool's main thread plays the GUI thread: a mutex stands for it, the acquisition thread
// calls in directly while holding it.
class ConsoleGui : public acquisition::GuiBridge, public acquisition::GuiUpdates {
public:
    ConsoleGui(const CaptureOptions& options, device::RequestFlags& flags,
               device::RegisterImageHolder& registers, device::StatusBoard& board,
               const core::FrameRecord& frame, core::FrameRecord& kept,
               const acquisition::EtsReconstruction& ets, std::vector<double>& keptEts)
        : m_options(options), m_flags(flags), m_registers(registers), m_board(board), m_frame(frame),
          m_kept(kept), m_ets(ets), m_keptEts(keptEts) {}

    void setThread(acquisition::ScopeThread* thread) { m_thread = thread; }

    void synchronize(const std::function<void()>& call) override {
        std::lock_guard lock(mutex);
        if (!m_closing) call();
    }
    void post(std::function<void()> call) override {
        std::lock_guard lock(mutex);
        if (!m_closing) call();
    }

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

    void configured() override {
        const device::StatusInfo status = m_board.snapshot();
        if (status.deviceType != 0) {
            state.system.UiDeviceType = status.deviceType;
            app::applyModelFeatures(state);
        }
        m_configured = true;
        settingsChanged();
    }

    void singleShotEnded() override {
        state.scope.Running = false;
        state.scope.SingleMode = false;
        // The next shot, until enough frames were taken.
        if (!m_done) {
            state.scope.Running = true;
            state.scope.SingleMode = true;
            settingsChanged();
        }
    }

    // The settings-changed notification; the mutex is held.
    void settingsChanged() {
        m_flags.Running = state.scope.Running;
        m_flags.SingleMode = state.scope.SingleMode;
        const app::DerivedQuantities derived = app::applySettings(state, m_registers);
        acquisition::AssemblyContext context = app::assemblyContext(state, derived, m_registers.snapshot());
        acquisition::setEtsContext(context, state, derived.TimeDivNs);
        m_thread->publishAssembly(context, static_cast<std::uint32_t>(derived.Points));
        m_thread->notifySettingsChanged();
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
    bool configuredYet() {
        std::lock_guard lock(mutex);
        return m_configured;
    }
    void close() {
        std::lock_guard lock(mutex);
        m_closing = true;
    }

    std::mutex mutex;
    core::InstrumentState state;

private:
    const CaptureOptions& m_options;
    device::RequestFlags& m_flags;
    device::RegisterImageHolder& m_registers;
    device::StatusBoard& m_board;
    const core::FrameRecord& m_frame;
    core::FrameRecord& m_kept;
    const acquisition::EtsReconstruction& m_ets;
    std::vector<double>& m_keptEts;
    acquisition::ScopeThread* m_thread = nullptr;
    std::condition_variable m_changed;
    std::uint32_t m_lastCounter = 0;
    long long m_frames = 0;
    bool m_done = false;
    bool m_configured = false;
    bool m_closing = false;
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

    device::D2xxBinding binding;
    device::Connection connection;
    device::DataEvent event;
    StderrPrompt prompt;
    device::OpenOptions openOptions;
    openOptions.caption = "kx48zz-tool";
    const int status = device::openDevice(binding, connection, event, prompt, openOptions);
    connection.DeviceStatus = status;
    if (status != 0) {
        std::fprintf(stderr, "kx48zz-tool capture: %s: %s\n", device::usbErrorCaption(status, false).c_str(),
                     device::usbErrorText(status, false).c_str());
        return 1;
    }

    device::RequestFlags flags;
    device::LinkStatistics stats;
    device::StatusBoard board;
    device::RegisterImageHolder registers;
    auto frame = std::make_unique<core::FrameRecord>();
    auto kept = std::make_unique<core::FrameRecord>();
    frame->clear();
    kept->clear();
    const device::FpgaImage fpga = device::FpgaImage::load();

    auto ets = std::make_unique<acquisition::EtsReconstruction>();
    std::vector<double> etsSpectrum(analyzers::kMaxEtsSpectrumBins);
    ConsoleGui gui(options, flags, registers, board, *frame, *kept, *ets, etsSpectrum);
    if (!options.settingsFile.empty() && !readAnySettingsFile(options.settingsFile, gui.state)) {
        binding.close(connection.handle.load());
        return 1;
    }
    app::applyModelFeatures(gui.state);
    acquisition::ScopeThread thread({binding, connection, event, flags, stats, board, registers, *frame, gui,
                                     gui, fpga.bytes(), ets.get()});
    gui.setThread(&thread);
    {
        std::lock_guard lock(gui.mutex);
        gui.state.scope.Running = true;
        gui.state.scope.SingleMode = options.single;
        gui.settingsChanged();
    }
    flags.ReconfigureRequest = true;
    thread.start();

    bool timedOut = false;
    long long seen = 0;
    while (!gui.done()) {
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
    if (flags.DeviceReady) {
        std::lock_guard lock(gui.mutex);
        gui.state.scope.Running = false;
        gui.state.scope.SingleMode = false;
        flags.Running = false;
        flags.SingleMode = false;
        app::applySettings(gui.state, registers);
        thread.link().sendSettings();
    }
    binding.close(connection.handle.load());

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
        context.device = app::deviceRecordFrom(board.snapshot(), flags.DeviceReady.load());
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
