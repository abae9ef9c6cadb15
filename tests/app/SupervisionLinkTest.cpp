// SPDX-License-Identifier: GPL-3.0-or-later
// Timer1 with the acquisition thread running against the simulated instrument: the faults are
// made in the instrument, and the supervision has to find them through the real link.
#include "SupervisionFakes.h"

#include "acquisition/ScopeThread.h"
#include "app/ApplySettings.h"
#include "app/AssemblySettings.h"
#include "app/Supervision.h"
#include "device/DeviceOpen.h"
#include "device/FpgaImage.h"

#include "support/SimDevice.h"
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kx::app {
namespace {

using namespace std::chrono_literals;
using core::Answer;
using test::FakeHost;

constexpr const char* kLowSupply = "Device power supply is low.\r\nCheck USB cable.";

// The GUI thread is played by one mutex: the test body (ticks, handlers) and the calls of the
// acquisition thread never run GUI code at the same time.
class Window : public acquisition::GuiBridge, public acquisition::GuiUpdates {
public:
    void synchronize(const std::function<void()>& call) override {
        std::lock_guard lock(mutex);
        call();
    }
    void post(std::function<void()> call) override {
        std::lock_guard lock(mutex);
        call();
    }
    void configured() override {
        ++configuredCalls;
        settingsChanged();
    }

    // The settings-changed notification; the GUI mutex is held.
    void settingsChanged() {
        flags->Running = state.scope.Running;
        flags->SingleMode = state.scope.SingleMode;
        const DerivedQuantities derived = applySettings(state, *registers);
        thread->publishAssembly(assemblyContext(state, derived, registers->snapshot()),
                                static_cast<std::uint32_t>(derived.Points));
        thread->notifySettingsChanged();
    }

    std::mutex mutex;
    core::InstrumentState state;
    int configuredCalls = 0;
    device::RequestFlags* flags = nullptr;
    device::RegisterImageHolder* registers = nullptr;
    acquisition::ScopeThread* thread = nullptr;
};

class SupervisionLink : public ::testing::Test, protected testing::SimDevice {
protected:
    void SetUp() override {
        ASSERT_EQ(openSimulator(host, "pacing=off;noise=off"), 0);

        window.flags = &flags;
        window.registers = &registers;
        window.thread = &thread;
        window.state.system.UiDeviceType = 0x23;
        // The window keeps the thread off the driver by stopping it; the GUI mutex is given up
        // meanwhile so that a synchronised update in progress can finish.
        host.onSuspend = [this] {
            if (m_guiLock != nullptr) m_guiLock->unlock();
            thread.stop();
            if (m_guiLock != nullptr) m_guiLock->lock();
        };
        host.onResume = [this] { thread.start(); };
        host.reopen = [this] { return device::openDevice(binding, connection, event, host, options); };
        host.onRelease = [this] {
            window.state.scope.Running = false;
            window.state.scope.SingleMode = false;
            window.state.generator.On = false;
        };
        host.onSettingsChanged = [this] { window.settingsChanged(); };
        host.displayedCount = [this] { return thread.displayedFrames(); };

        {
            std::lock_guard lock(window.mutex);
            window.settingsChanged();
        }
        flags.ReconfigureRequest = true;
        thread.start();
        ASSERT_TRUE(waitFor([&] { return window.configuredCalls == 1; }));
    }
    void TearDown() override {
        thread.stop();
        closeSimulator();
    }

    // One Timer1 tick in the GUI thread.
    Recovery tick() {
        std::unique_lock lock(window.mutex);
        m_guiLock = &lock;
        const Recovery r = supervisor.tick();
        m_guiLock = nullptr;
        return r;
    }
    // The RUN button going down on a reachable instrument.
    void run() {
        std::lock_guard lock(window.mutex);
        window.state.scope.Running = true;
        supervisor.armWarnings();
        window.settingsChanged();
    }
    bool running() {
        std::lock_guard lock(window.mutex);
        return window.state.scope.Running;
    }

    template <typename Pred> bool waitFor(Pred pred, std::chrono::milliseconds limit = 8000ms) {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            {
                std::lock_guard lock(window.mutex);
                if (pred()) return true;
            }
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(1ms);
        }
    }
    bool framesFlow() {
        const std::uint32_t before = thread.displayedFrames();
        return waitFor([&] { return thread.displayedFrames() >= before + 2; });
    }
    bool statusPacketsArrive(std::uint32_t count) {
        const std::uint32_t before = board.snapshot().packets;
        return waitFor([&] { return board.snapshot().packets >= before + count; });
    }
    // Whatever the instrument had sent has been read and parsed: the driver queue is empty and
    // the thread has been through its loop since.
    bool settle() {
        if (!waitFor([&] {
                device::DWORD queued = 0;
                return binding.queueStatus(connection.handle.load(), queued) == 0 && queued == 0;
            }))
            return false;
        const std::uint32_t before = thread.screenUpdates();
        return waitFor([&] {
            flags.RedrawRequest = true;
            event.signal();
            return thread.screenUpdates() >= before + 2;
        });
    }

    device::RequestFlags flags;
    device::LinkStatistics stats;
    device::StatusBoard board;
    device::RegisterImageHolder registers;
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    Window window;
    FakeHost host;
    acquisition::ScopeThread thread{{binding, connection, event, flags, stats, board, registers, *frame,
                                     window, window, device::embeddedFpgaImage()}};
    Supervisor supervisor{{binding, connection, flags, stats, board, registers, thread.link()}, host};

private:
    std::unique_lock<std::mutex>* m_guiLock = nullptr;
};

TEST_F(SupervisionLink, UnplugWhileRunningAsksAtOnceAndNoReleasesRun) {
    run();
    ASSERT_TRUE(framesFlow());
    EXPECT_EQ(tick(), Recovery::None);
    EXPECT_GT(supervisor.shown().dataPackets, 0u);
    EXPECT_GT(supervisor.shown().displayedFrames, 0u);
    EXPECT_GT(supervisor.shown().statusPackets, 0u);

    ASSERT_EQ(control("unplug"), 0);
    EXPECT_EQ(tick(), Recovery::UsbLost);
    const auto q = host.questions();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0].text, "Recover after USB connection lost.\r\nError code 1");
    EXPECT_EQ(host.at("suspend"), -1) << "nothing to reset on a lost link";
    EXPECT_FALSE(running());
    EXPECT_EQ(connection.DeviceStatus.load(), 1);
    EXPECT_FALSE(flags.DeviceReady);
    EXPECT_EQ(tick(), Recovery::None);
    EXPECT_EQ(host.questions().size(), 1u);
}

TEST_F(SupervisionLink, NineSilentSecondsAfterPowerLossAskAndYesReconnects) {
    run();
    ASSERT_TRUE(framesFlow());
    ASSERT_EQ(control("power=off"), 0);
    ASSERT_TRUE(settle());
    for (int second = 1; second <= 8; ++second) ASSERT_EQ(tick(), Recovery::None) << "second " << second;
    host.answers = {Answer::Yes};
    host.onQuestion = [&] { control("power=on"); };
    EXPECT_EQ(tick(), Recovery::PowerFailure);
    ASSERT_EQ(host.questions().size(), 1u);
    EXPECT_EQ(host.questions()[0].text, "Recover after Power failure.\r\nError code 3");
    EXPECT_LT(host.at("suspend"), host.at("box Recover after Power failure.\r\nError code 3"));

    // The instrument is configured again and RUN, still down, gets frames.
    ASSERT_TRUE(waitFor([&] { return window.configuredCalls == 2; }));
    EXPECT_TRUE(running());
    ASSERT_TRUE(framesFlow());
    EXPECT_EQ(tick(), Recovery::None);
    ASSERT_TRUE(statusPacketsArrive(2));
    EXPECT_EQ(stats.silence.load(), 0u);
    EXPECT_EQ(host.questions().size(), 1u);
}

TEST_F(SupervisionLink, ReconnectingToAnUnpoweredInstrumentEndsInAConfigurationFailure) {
    run();
    ASSERT_TRUE(framesFlow());
    ASSERT_EQ(control("power=off"), 0);
    ASSERT_TRUE(settle());
    for (int second = 1; second <= 8; ++second) ASSERT_EQ(tick(), Recovery::None);
    host.answers = {Answer::Yes};
    ASSERT_EQ(tick(), Recovery::PowerFailure);
    // Re-opened, but the configuration finds nobody to say ready.
    ASSERT_TRUE(waitFor([&] { return thread.link().transferFailed.load(); }));
    EXPECT_EQ(tick(), Recovery::FpgaFailure);
    const auto q = host.questions();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[1].text, "Recover after FPGA configuration failure.\r\nError code 2");
    EXPECT_FALSE(running()) << "No releases RUN";
    EXPECT_EQ(connection.DeviceStatus.load(), 1);
}

TEST_F(SupervisionLink, MissingReadyAfterConfigurationAsksAndYesConfiguresAgain) {
    ASSERT_EQ(control("ready=off"), 0);
    flags.ReconfigureRequest = true;
    event.signal();
    ASSERT_TRUE(waitFor([&] { return thread.link().transferFailed.load(); }));
    host.answers = {Answer::Yes};
    host.onQuestion = [&] { control("ready=on"); };
    EXPECT_EQ(tick(), Recovery::FpgaFailure);
    EXPECT_FALSE(thread.link().transferFailed);
    ASSERT_TRUE(waitFor([&] { return window.configuredCalls == 2; }));
    EXPECT_EQ(tick(), Recovery::None);
    EXPECT_EQ(host.questions().size(), 1u);
}

TEST_F(SupervisionLink, FlashFailureIsAnErrorAndYesReconnects) {
    run();
    ASSERT_TRUE(framesFlow());
    ASSERT_EQ(control("flash=fail"), 0);
    ASSERT_TRUE(waitFor([&] { return board.snapshot().flashFailure; }));
    host.answers = {Answer::Yes};
    host.onQuestion = [&] { control("flash=ok"); };
    EXPECT_EQ(tick(), Recovery::FlashFailure);
    ASSERT_EQ(host.questions().size(), 1u);
    EXPECT_EQ(host.questions()[0].caption, "Error");
    EXPECT_EQ(host.questions()[0].text, "Recover after FLASH memory failure.\r\nError code 4");
    ASSERT_TRUE(waitFor([&] { return window.configuredCalls == 2; }));
    ASSERT_TRUE(framesFlow());
    EXPECT_EQ(tick(), Recovery::None);
    EXPECT_EQ(host.questions().size(), 1u);
}

TEST_F(SupervisionLink, LowSupplyWarnsOncePerRun) {
    ASSERT_EQ(control("supply=4399"), 0);
    ASSERT_TRUE(waitFor([&] { return board.snapshot().supplyMillivolts == 4399; }));
    run();
    tick();
    EXPECT_EQ(host.warnings(), std::vector<std::string>{kLowSupply}) << "the tables are fine";
    tick();
    EXPECT_EQ(host.warnings().size(), 1u);
    run(); // RUN pressed again
    tick();
    EXPECT_EQ(host.warnings().size(), 2u);
    EXPECT_TRUE(host.questions().empty());
}

TEST_F(SupervisionLink, TablesWithoutAValidCrcWarnOfMissingCalibration) {
    ASSERT_EQ(control("tables=invalid"), 0);
    // Packets with the old tables may still be on their way; after these, none is.
    ASSERT_TRUE(statusPacketsArrive(3));
    board.forgetTables(); // as a recovery does
    ASSERT_TRUE(statusPacketsArrive(2));
    run();
    tick();
    EXPECT_EQ(host.warnings(), (std::vector<std::string>{"System calibration hasn't been done or lost.",
                                                         "Zero calibration hasn't been done or lost."}));

    ASSERT_EQ(control("tables=valid"), 0);
    ASSERT_TRUE(waitFor([&] {
        const device::StatusInfo s = board.snapshot();
        return s.zeroTableRead && s.systemTableRead;
    }));
    host.clear();
    run();
    tick();
    EXPECT_TRUE(host.warnings().empty());
}

} // namespace
} // namespace kx::app
