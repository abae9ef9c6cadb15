// SPDX-License-Identifier: GPL-3.0-or-later
// record: the binary recorder without its window. Opens the instrument, runs in roll mode (the
// settings file's time base, 0.1 s/div without one), records A1 for the given time, then stops
// as the Stop button does: the recorder file and its text file, and the counts printed.
#include "Commands.h"
#include "SettingsInput.h"
#include "ToolGui.h"
#include "ToolSupport.h"

#include "app/ApplySettings.h"
#include "app/ModelFeatures.h"
#include "core/ScopeTables.h"
#include "device/DeviceOpen.h"
#include "device/ErrorReport.h"
#include "device/FpgaImage.h"
#include "files/RecorderDialog.h"
#include "files/RecorderFile.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace kx::tool {

namespace {

using namespace std::chrono_literals;

constexpr long long kMaxSeconds = 30LL * 24 * 3600;
constexpr auto kStartWait = 15s; // configuration and the first roll frame
constexpr auto kTick = 93ms;     // the dialog's timer

struct RecordOptions {
    long long seconds = 0;
    std::string out;
    std::string settingsFile;
};

int usage() {
    std::fprintf(stderr, "usage: kx48zz-tool record --seconds N --out FILE.bin [--settings FILE]\n");
    return 2;
}

bool parseOptions(int argc, char** argv, RecordOptions& o) {
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--seconds") && hasValue) {
            if (!parseInt(argv[++i], o.seconds) || o.seconds < 1 || o.seconds > kMaxSeconds) {
                std::fprintf(stderr, "kx48zz-tool record: bad --seconds value '%s' (1 .. %lld)\n", argv[i],
                             kMaxSeconds);
                return false;
            }
        } else if (!std::strcmp(argv[i], "--out") && hasValue) {
            o.out = argv[++i];
        } else if (!std::strcmp(argv[i], "--settings") && hasValue) {
            o.settingsFile = argv[++i];
        } else {
            return false;
        }
    }
    return o.seconds > 0 && !o.out.empty();
}

// Local time as year-month-day hours:minutes:seconds.
class ConsoleClock : public files::RecorderClock {
public:
    TimePoint now() override { return std::chrono::system_clock::now(); }
    std::string dateTime(TimePoint t) override {
        const std::time_t s = std::chrono::system_clock::to_time_t(t);
        std::tm local{};
        localtime_r(&s, &local);
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
        return text;
    }
};

// Questions are answered No, except the one the tool asks itself when the time is up.
class RecordPrompt : public FixedPathPrompt {
public:
    using FixedPathPrompt::FixedPathPrompt;
    core::Answer message(const std::string& caption, const std::string& text,
                         core::MessageStyle style) override {
        if (m_agree && style == core::MessageStyle::YesNo) {
            m_agree = false;
            return core::Answer::Yes;
        }
        return FixedPathPrompt::message(caption, text, style);
    }
    void agreeOnce() { m_agree = true; }

private:
    bool m_agree = false;
};

// Appends each frame's collected samples while the recorder records.
class RecorderGui : public ToolGui {
public:
    RecorderGui(device::RequestFlags& flags, device::RegisterImageHolder& registers,
                device::StatusBoard& board, const core::FrameRecord& frame, files::BinaryRecorder& recorder)
        : ToolGui(flags, registers, board), m_frame(frame), m_recorder(recorder) {}

    bool recordingOn() override { return m_recorder.recording(); }
    void appendRecorder(std::span<const std::int16_t> samples, std::uint64_t lost) override {
        m_recorder.append(samples, lost);
    }
    void signalAreaUpdate() override {
        const core::FrameHeader& h = m_frame.header;
        if (h[core::fh::RollFrame] == 1 && h.get64(core::fh::SamplePeriodPs) != 0) m_rollFrames = true;
    }
    bool rollFramesArrive() {
        std::lock_guard lock(mutex);
        return m_rollFrames;
    }

protected:
    void adjustContext(acquisition::AssemblyContext& c) override { c.recordingOn = m_recorder.recording(); }

private:
    const core::FrameRecord& m_frame;
    files::BinaryRecorder& m_recorder;
    bool m_rollFrames = false;
};

} // namespace

int cmdRecord(int argc, char** argv) {
    RecordOptions options;
    if (!parseOptions(argc, argv, options)) return usage();

    auto state = std::make_unique<core::InstrumentState>();
    if (options.settingsFile.empty()) {
        state->scope.timeBase = core::kTimeBase01s;
        state->trigger.On = false;
    } else if (!readAnySettingsFile(options.settingsFile, *state)) {
        return 1;
    }
    state->scope.A1.shown = state->scope.A1.shown || options.settingsFile.empty();
    {
        device::RegisterImageHolder scratch;
        core::InstrumentState probe = *state;
        app::applyModelFeatures(probe);
        const app::DerivedQuantities d = app::applySettings(probe, scratch);
        if (!d.RollMode || !probe.scope.A1.shown || probe.analyzer.analyzerOn()) {
            std::fprintf(stderr, "kx48zz-tool record: Run 0.1 .. 1000 S/Div. On A1. Disable Trigger.\n");
            return 1;
        }
    }

    device::D2xxBinding binding;
    device::Connection connection;
    device::DataEvent event;
    RecordPrompt prompt(options.out);
    if (!openInstrument("record", binding, connection, event, prompt)) return 1;

    LinkParts link;
    auto recorder = std::make_unique<files::BinaryRecorder>();

    RecorderGui gui(link.flags, link.registers, link.board, *link.frame, *recorder);
    gui.state = *state;
    app::applyModelFeatures(gui.state);
    acquisition::ScopeThread thread({binding, connection, event, link.flags, link.stats, link.board,
                                     link.registers, *link.frame, gui, gui, link.fpga.bytes()});
    gui.setThread(&thread);
    {
        std::lock_guard lock(gui.mutex);
        gui.state.scope.Running = true;
        gui.settingsChanged();
    }
    link.flags.ReconfigureRequest = true;
    thread.start();

    const auto finish = [&] {
        gui.close();
        thread.stop();
        if (link.flags.DeviceReady) {
            gui.state.scope.Running = false;
            link.flags.Running = false;
            app::applySettings(gui.state, link.registers);
            thread.link().sendSettings();
        }
        binding.close(connection.handle.load());
    };

    const auto startBy = std::chrono::steady_clock::now() + kStartWait;
    while (!gui.rollFramesArrive() && std::chrono::steady_clock::now() < startBy)
        std::this_thread::sleep_for(kTick);
    if (!gui.rollFramesArrive()) {
        const bool configured = gui.configuredYet();
        finish();
        std::fprintf(stderr, "kx48zz-tool record: %s\n",
                     configured ? "no roll-mode frame arrived" : "the instrument did not report ready");
        return 1;
    }

    ConsoleClock clock;
    const auto header = [&] {
        std::lock_guard lock(link.frame->mutex);
        return link.frame->header;
    };
    files::RecorderDialog dialog(*recorder, prompt, clock, header, [&] { gui.settingsChanged(); });
    bool started = false;
    {
        std::lock_guard lock(gui.mutex);
        std::string lastDir = std::filesystem::path(options.out).parent_path().string();
        dialog.open(false, lastDir);
        dialog.chooseFile(lastDir);
        started = dialog.start();
    }
    if (!started) {
        finish();
        return 1;
    }
    for (const std::string& line : dialog.info())
        if (!line.empty()) std::printf("%s\n", line.c_str());
    std::fflush(stdout);

    const auto begin = std::chrono::steady_clock::now();
    const auto end = begin + std::chrono::seconds(options.seconds);
    auto nextReport = begin + 10s;
    for (auto now = begin; now < end; now = std::chrono::steady_clock::now()) {
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kTick, end - now));
        std::lock_guard lock(gui.mutex);
        dialog.tick();
        if (std::chrono::steady_clock::now() >= nextReport) {
            nextReport += 10s;
            std::printf("%s\n", dialog.sizeLabel().c_str());
            std::fflush(stdout);
        }
    }
    std::uint64_t written = 0;
    std::uint64_t lost = 0;
    {
        std::lock_guard lock(gui.mutex);
        dialog.tick();
        prompt.agreeOnce(); // "Stop recording?"
        dialog.stop(false);
        written = recorder->total();
        lost = recorder->lost();
    }
    finish();
    std::printf("values written: %" PRIu64 "\nvalues lost: %" PRIu64 "\n", written, lost);
    return 0;
}

} // namespace kx::tool
