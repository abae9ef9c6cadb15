// SPDX-License-Identifier: GPL-3.0-or-later
// The acquisition thread against the simulated instrument, with a GUI played by direct calls.
#include "acquisition/ScopeThread.h"
#include "app/ApplySettings.h"
#include "app/AssemblySettings.h"
#include "core/ScopeTables.h"
#include "device/DeviceOpen.h"
#include "device/FpgaImage.h"
#include "support/SimDevice.h"
#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kx::acquisition {
namespace {

using namespace std::chrono_literals;

using NullPrompt = kx::testing::ScriptedPrompt;

// What the GUI keeps of a frame it has drawn.
struct SeenFrame {
    std::uint32_t counter = 0;
    std::uint64_t samplePeriodPs = 0;
    std::uint32_t captureLength = 0;
    std::uint32_t analogCount = 0;
    std::uint32_t scaleA1 = 0, scaleA2 = 0;
    std::int32_t zeroA1 = 0, zeroA2 = 0;
    std::vector<std::int32_t> a1, a2;
};

// The GUI thread: one mutex stands for it, so the test body and the calls from the acquisition
// thread never run GUI code at the same time.
class Gui : public GuiBridge, public GuiUpdates {
public:
    void synchronize(const std::function<void()>& call) override {
        std::lock_guard lock(mutex);
        call();
    }
    void post(std::function<void()> call) override {
        std::lock_guard lock(mutex);
        call();
    }

    void signalAreaUpdate() override {
        const core::FrameHeader& h = frame->header;
        const std::uint32_t counter = h[core::fh::FrameCounter];
        if (counter == 0 || (!frames.empty() && frames.back().counter == counter)) return;
        SeenFrame f;
        f.counter = counter;
        f.samplePeriodPs = h.get64(core::fh::SamplePeriodPs);
        f.captureLength = h[core::fh::CaptureLength];
        f.analogCount = h[core::fh::AnalogCount];
        f.scaleA1 = h[core::fh::ScaleA1];
        f.scaleA2 = h[core::fh::ScaleA2];
        f.zeroA1 = h.signedWord(core::fh::ZeroA1);
        f.zeroA2 = h.signedWord(core::fh::ZeroA2);
        const std::size_t n = std::min<std::size_t>(f.analogCount, core::kMaxFramePoints);
        const auto& a1 = frame->channels.maxOf(core::Channel::A1);
        const auto& a2 = frame->channels.maxOf(core::Channel::A2);
        f.a1.assign(a1.begin(), a1.begin() + static_cast<std::ptrdiff_t>(n));
        f.a2.assign(a2.begin(), a2.begin() + static_cast<std::ptrdiff_t>(n));
        frames.push_back(std::move(f));
    }
    bool recordingOn() override { return recording; }
    void appendRecorder(std::span<const std::int16_t> samples, std::uint64_t lost) override {
        recorded.insert(recorded.end(), samples.begin(), samples.end());
        recorderLost += lost;
        ++appends;
    }
    void configured() override {
        ++configuredCalls;
        settingsChanged();
    }
    void singleShotEnded() override {
        state.scope.Running = false;
        state.scope.SingleMode = false;
        ++singleEnded;
        framesSentAtEnd = stats->framesSent.load();
        settingsChanged();
    }

    // The settings-changed notification (the GUI mutex held).
    void settingsChanged() {
        flags->Running = state.scope.Running;
        flags->SingleMode = state.scope.SingleMode;
        const app::DerivedQuantities derived = app::applySettings(state, *registers);
        AssemblyContext context = app::assemblyContext(state, derived, registers->snapshot());
        context.recordingOn = recording;
        thread->publishAssembly(context, static_cast<std::uint32_t>(derived.Points));
        thread->notifySettingsChanged();
    }

    // Runs `edit` as a control handler would, then the notification.
    void handler(const std::function<void(core::InstrumentState&)>& edit) {
        std::lock_guard lock(mutex);
        edit(state);
        settingsChanged();
    }

    template <typename Pred> bool waitFor(Pred pred, std::chrono::milliseconds limit = 5000ms) {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            {
                std::lock_guard lock(mutex);
                if (pred()) return true;
            }
            if (std::chrono::steady_clock::now() > until) return false;
            // Polling with a yield alone can keep the acquisition thread off the GUI mutex.
            std::this_thread::sleep_for(1ms);
        }
    }

    std::mutex mutex;
    core::InstrumentState state;
    std::vector<SeenFrame> frames;
    int configuredCalls = 0;
    int singleEnded = 0;
    std::uint32_t framesSentAtEnd = 0;
    bool recording = false;
    std::vector<std::int16_t> recorded;
    std::uint64_t recorderLost = 0;
    int appends = 0;
    const device::LinkStatistics* stats = nullptr;
    const core::FrameRecord* frame = nullptr;
    device::RequestFlags* flags = nullptr;
    device::RegisterImageHolder* registers = nullptr;
    ScopeThread* thread = nullptr;
};

double volts(std::int32_t code, std::int32_t zero, std::uint32_t scaleUv) {
    return (code - zero) / 8192.0 * scaleUv * 1e-6;
}

class ScopeThreadTest : public ::testing::Test, protected testing::SimDevice {
protected:
    void SetUp() override {
        ASSERT_EQ(openSimulator(prompt), 0);

        gui.frame = frame.get();
        gui.flags = &flags;
        gui.registers = &registers;
        gui.stats = &stats;
        gui.thread = &thread;
        gui.state.system.UiDeviceType = 0x23;
        gui.state.scope.A1.Zero = 0x4000; // 0 .. 2 V inside the screen at 1 V/div
        gui.state.scope.A2.shown = true;
        gui.state.scope.A2.Zero = 0x8000;
        gui.state.generator.On = true;
        gui.state.generator.Shape = core::GenShape::Sine;
        gui.state.generator.FFast = 200; // 2 kHz
        gui.state.generator.Ampl = 2000; // 2 V peak to peak
        {
            std::lock_guard lock(gui.mutex);
            gui.settingsChanged();
        }
        flags.ReconfigureRequest = true;
        thread.start();
        ASSERT_TRUE(gui.waitFor([&] { return gui.configuredCalls == 1; }));
    }
    void TearDown() override {
        thread.stop();
        closeSimulator();
    }

    // Frames drawn from now on.
    std::size_t mark() {
        std::lock_guard lock(gui.mutex);
        return gui.frames.size();
    }

    NullPrompt prompt;
    device::RequestFlags flags;
    device::LinkStatistics stats;
    device::StatusBoard board;
    device::RegisterImageHolder registers;
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    Gui gui;
    ScopeThread thread{{binding, connection, event, flags, stats, board, registers, *frame, gui, gui,
                        device::embeddedFpgaImage()}};
};

TEST_F(ScopeThreadTest, FramesStreamAndSettingsChangesTakeOver) {
    gui.handler([](core::InstrumentState& s) { s.scope.Running = true; });
    ASSERT_TRUE(gui.waitFor([&] { return gui.frames.size() >= 3; }));
    const std::uint64_t before = [&] {
        std::lock_guard lock(gui.mutex);
        return gui.frames.back().samplePeriodPs;
    }();
    ASSERT_GT(before, 0u);

    // A slower time base while frames stream: once its frames come, no older one follows.
    const std::size_t from = mark();
    const std::uint32_t sent = stats.framesSent.load();
    gui.handler([](core::InstrumentState& s) { s.scope.timeBase = core::kTimeBase1ms - 1; });
    ASSERT_TRUE(gui.waitFor([&] {
        return std::count_if(gui.frames.begin() + static_cast<std::ptrdiff_t>(from), gui.frames.end(),
                             [&](const SeenFrame& f) { return f.samplePeriodPs != before; }) >= 3;
    }));
    std::lock_guard lock(gui.mutex);
    auto first = std::find_if(gui.frames.begin() + static_cast<std::ptrdiff_t>(from), gui.frames.end(),
                              [&](const SeenFrame& f) { return f.samplePeriodPs != before; });
    const std::uint64_t after = first->samplePeriodPs;
    EXPECT_GT(after, before);
    for (auto f = first; f != gui.frames.end(); ++f) EXPECT_EQ(f->samplePeriodPs, after) << f->counter;
    // Exactly one settings frame carried the change.
    EXPECT_EQ(stats.framesSent.load(), sent + 1);
    EXPECT_EQ(stats.framesNotAcknowledged.load(), 0u);
    EXPECT_GT(thread.displayedFrames(), 0u);
    EXPECT_TRUE(flags.Running);
}

TEST_F(ScopeThreadTest, RecorderGetsEveryRollSampleOnce) {
    // 0.1 s/div, trigger off: roll mode at 5000 samples a second. A1 sees the 1 kHz calibrator,
    // and its two converters take turns, so without a gap the values repeat every ten samples.
    gui.handler([](core::InstrumentState& s) {
        s.scope.timeBase = core::kTimeBase01s;
        s.trigger.On = false;
        s.scope.Running = true;
        s.scope.A2.shown = false;
    });
    gui.handler([&](core::InstrumentState&) { gui.recording = true; });
    ASSERT_TRUE(gui.waitFor([&] { return gui.appends >= 4 && gui.recorded.size() >= 1000; }, 20000ms));
    std::lock_guard lock(gui.mutex);
    EXPECT_EQ(gui.recorderLost, 0u);
    std::size_t breaks = 0;
    for (std::size_t i = 0; i + 10 < gui.recorded.size(); ++i)
        if (gui.recorded[i] != gui.recorded[i + 10]) ++breaks;
    EXPECT_EQ(breaks, 0u);
    const auto [lo, hi] = std::minmax_element(gui.recorded.begin(), gui.recorded.end());
    EXPECT_GT(*hi - *lo, 8000); // both levels of the square
}

TEST_F(ScopeThreadTest, SingleShotEndsByItself) {
    gui.handler([](core::InstrumentState& s) {
        s.scope.Running = true;
        s.scope.SingleMode = true;
    });
    ASSERT_TRUE(gui.waitFor([&] { return gui.singleEnded == 1; }));
    EXPECT_FALSE(flags.Running);
    EXPECT_FALSE(flags.SingleMode);
    EXPECT_EQ(registers.snapshot().get8(device::reg::kRunFlags) & device::kRunFlagRunning, 0);
    // The frame with the run bit cleared goes out and is acknowledged; after a few status
    // packets no further frame has come.
    ASSERT_TRUE(gui.waitFor([&] { return stats.framesSent.load() > gui.framesSentAtEnd; }));
    const std::uint32_t packets = board.snapshot().packets;
    const std::size_t drawn = mark();
    ASSERT_TRUE(gui.waitFor([&] { return board.snapshot().packets >= packets + 3; }));
    EXPECT_EQ(mark(), drawn);
    EXPECT_EQ(gui.singleEnded, 1);
    std::lock_guard lock(gui.mutex);
    ASSERT_FALSE(gui.frames.empty());
    EXPECT_EQ(gui.frames.back().analogCount, gui.frames.back().captureLength);
    EXPECT_FALSE(gui.state.scope.Running);
}

TEST_F(ScopeThreadTest, CalibratorOnA1GeneratorOnA2) {
    gui.handler([](core::InstrumentState& s) { s.scope.Running = true; });
    ASSERT_TRUE(gui.waitFor([&] { return gui.frames.size() >= 2; }));
    std::lock_guard lock(gui.mutex);
    const SeenFrame& f = gui.frames.back();
    ASSERT_GT(f.analogCount, 1000u);
    const double period = static_cast<double>(f.samplePeriodPs) * 1e-12;
    const double span = period * static_cast<double>(f.analogCount);

    // A1: 1 kHz square between 0 and 2 V.
    std::vector<double> a1;
    for (std::int32_t c : f.a1) a1.push_back(volts(c, f.zeroA1, f.scaleA1));
    std::vector<double> sorted = a1;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_NEAR(sorted[sorted.size() / 10], 0.0, 0.1);
    EXPECT_NEAR(sorted[sorted.size() * 9 / 10], 2.0, 0.1);
    int rising = 0;
    for (std::size_t i = 1; i < a1.size(); ++i) rising += (a1[i - 1] < 1.0 && a1[i] >= 1.0);
    EXPECT_NEAR(rising / span, 1000.0, 2.0 / span);

    // A2: the generator's 2 kHz sine, 2 V peak to peak.
    std::vector<double> a2;
    for (std::int32_t c : f.a2) a2.push_back(volts(c, f.zeroA2, f.scaleA2));
    const auto [lo, hi] = std::minmax_element(a2.begin(), a2.end());
    EXPECT_NEAR(*hi - *lo, 2.0, 0.15);
    const double mid = (*hi + *lo) / 2;
    int crossings = 0;
    for (std::size_t i = 1; i < a2.size(); ++i) crossings += (a2[i - 1] < mid && a2[i] >= mid);
    EXPECT_NEAR(crossings / span, 2000.0, 2.0 / span);
    // A sine, not a square: a quarter of the samples lie beyond 0.707 of the amplitude.
    const double amp = (*hi - *lo) / 2;
    const auto beyond =
        std::count_if(a2.begin(), a2.end(), [&](double v) { return std::abs(v - mid) > 0.707 * amp; });
    EXPECT_NEAR(static_cast<double>(beyond) / static_cast<double>(a2.size()), 0.5, 0.05);
}

TEST_F(ScopeThreadTest, RefreshRedrawsWithoutSettingsFrame) {
    // The frame that the configuration asked for has gone out.
    ASSERT_TRUE(gui.waitFor([&] { return stats.framesSent.load() >= 1 && !flags.SendSettingsRequest; }));
    const std::uint32_t sent = stats.framesSent.load();
    const std::uint32_t updates = thread.screenUpdates();
    {
        std::lock_guard lock(gui.mutex);
        thread.notifyRefresh();
    }
    ASSERT_TRUE(gui.waitFor([&] { return thread.screenUpdates() > updates; }));
    EXPECT_EQ(stats.framesSent.load(), sent);
    EXPECT_TRUE(flags.FadeRestartRequest);
}

TEST_F(ScopeThreadTest, AwgTableGoesOutThenASettingsFrame) {
    ASSERT_TRUE(gui.waitFor([&] { return stats.framesSent.load() >= 1 && !flags.SendSettingsRequest; }));
    ASSERT_TRUE(flags.DeviceConfigured);
    const std::uint32_t sent = stats.framesSent.load();
    std::array<std::int32_t, device::kAwgEntries> table{};
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::int32_t>(i * 2);
    thread.requestAwgUpload(table);
    ASSERT_TRUE(
        gui.waitFor([&] { return thread.link().awgLoaded.load() && stats.framesSent.load() > sent; }));
    EXPECT_FALSE(flags.AwgUploadRequest);
    EXPECT_FALSE(thread.link().transferFailed);
}

} // namespace
} // namespace kx::acquisition
