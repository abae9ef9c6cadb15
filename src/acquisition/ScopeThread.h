// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/AssemblyContext.h"
#include "acquisition/WaveformAssembly.h"
#include "core/FrameRecord.h"
#include "device/DataEvent.h"
#include "device/DeviceLink.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

namespace kx::acquisition {

// How the acquisition thread reaches the GUI thread. synchronize() runs `call` in the GUI
// thread and returns only after it has run (the frame is stable meanwhile); post() queues it
// and returns at once. Tests run both directly.
class GuiBridge {
public:
    virtual ~GuiBridge() = default;
    virtual void synchronize(const std::function<void()>& call) = 0;
    virtual void post(std::function<void()> call) = 0;
};

// The GUI's part of the hand-over; every member runs in the GUI thread.
class GuiUpdates {
public:
    virtual ~GuiUpdates() = default;
    // The synchronised update, in this order.
    virtual void signalAreaUpdate() {}
    virtual void readoutUpdate() {}
    virtual void generatorPanelUpdate() {}
    // Recorder hook: true while the binary recorder records; append gets the collected samples
    // and the count of values lost since the last append (overwritten before they were collected).
    virtual bool recordingOn() { return false; }
    virtual void appendRecorder(std::span<const std::int16_t> /*samples*/, std::uint64_t /*lost*/) {}
    // The instrument runs its configuration: run the settings-changed notification.
    virtual void configured() {}
    // Posted: the FPGA configuration's progress in percent.
    virtual void configurationProgress(int /*percent*/) {}
    // Posted: a single shot ended. Clear Running and SingleMode in the state and run the
    // settings-changed notification: its image carries the run bit cleared.
    virtual void singleShotEnded() {}
};

// Raised by the parser path after every assembled frame; each consumer clears its own.
struct NewFrameFlags {
    std::atomic<bool> ActivityFrame{false};  // the activity indicator
    std::atomic<bool> ZeroCalFrame{false};   // what the zero calibration waits for
    std::atomic<bool> DisplayedFrame{false}; // counted by the synchronised update
    std::atomic<bool> FftFrameArrived{false};
};

// Everything the thread works with; all of it outlives the thread.
struct ScopeThreadParts {
    const device::D2xxBinding& binding;
    device::Connection& connection;
    device::DataEvent& event;
    device::RequestFlags& flags;
    device::LinkStatistics& stats;
    device::StatusBoard& status;
    device::RegisterImageHolder& registers;
    core::FrameRecord& frame;
    GuiBridge& bridge;
    GuiUpdates& updates;
    std::span<const std::uint8_t> fpgaImage;
    // Reconstructs equivalent-time frames; without one they show their first sub-record.
    EtsReconstruction* ets = nullptr;
    // Per-frame steps of other features (analyzers, calibrations).
    AssemblyHooks hooks{};
};

// Scope_Thread: all traffic with the instrument after opening. start() runs the loop in its
// own thread until stop() (or destruction). The GUI thread raises requests, signals the event
// through the notifications below, and publishes what assembly needs.
class ScopeThread : private device::LinkEvents {
public:
    static constexpr int kWaitMs = 40;

    explicit ScopeThread(const ScopeThreadParts& parts);
    ~ScopeThread() override;
    ScopeThread(const ScopeThread&) = delete;
    ScopeThread& operator=(const ScopeThread&) = delete;

    void start();
    // Ends the loop promptly and joins. The GUI must not block a pending synchronize() meanwhile.
    void stop();
    [[nodiscard]] bool running() const { return m_thread.joinable(); }
    // The first half of stop(): asks the loop to end without waiting. A GUI that delivers the
    // thread's synchronous calls keeps serving them until loopEnded(), then calls stop().
    void requestStop();
    [[nodiscard]] bool loopEnded() const { return m_loopEnded.load(); }

    // Thread side of the settings-changed notification (after apply-settings): a redraw, a
    // settings frame, a fade restart, and the wake-up.
    void notifySettingsChanged();
    // Thread side of the refresh notification: a redraw and a fade restart, no settings frame.
    void notifyRefresh();

    // GUI thread, after apply-settings: the settings assembly needs and the points per channel.
    void publishAssembly(const AssemblyContext& context, std::uint32_t pointsPerChannel);
    // The AWG loader: a table for the next upload; raises AwgUploadRequest and wakes the thread.
    // The table is copied before this returns. With runAfterUpload the settings frame that follows
    // a complete upload carries the AWG run request, so a program never starts before it is there.
    void requestAwgUpload(std::span<const std::int32_t, device::kAwgEntries> table,
                          bool runAfterUpload = false);

    // Runs in the GUI thread (through GuiBridge::synchronize).
    void synchronizedUpdate();

    NewFrameFlags& newFrame() { return m_newFrame; }
    device::DeviceLink& link() { return m_link; }
    [[nodiscard]] std::uint32_t screenUpdates() const { return m_screenUpdates.load(); }
    [[nodiscard]] std::uint32_t displayedFrames() const { return m_displayedFrames.load(); }
    [[nodiscard]] std::uint32_t singleShotsEnded() const { return m_singleShotsEnded.load(); }
    // The last assembly's result and the counters (read them inside the synchronised update
    // or under the frame's mutex).
    [[nodiscard]] AssemblyStats assemblyStats() const;

private:
    void loop(std::stop_token stop);
    void dataAccepted(const device::DataPacketView& packet) override;
    void configurationProgress(int percent) override;
    void configured() override;

    device::DataEvent& m_event;
    device::RequestFlags& m_flags;
    device::StatusBoard& m_status;
    device::RegisterImageHolder& m_registers; // once flags only: the run bit is apply-settings'
    core::FrameRecord& m_frame;
    GuiBridge& m_bridge;
    GuiUpdates& m_updates;
    std::span<const std::uint8_t> m_fpgaImage;
    device::DeviceLink m_link;

    std::unique_ptr<AssemblyWorkspace> m_work;              // guarded by m_frame.mutex
    std::unique_lock<std::mutex>* m_assemblyLock = nullptr; // held while a frame is assembled
    std::function<void()> m_syncCall;
    std::function<void()> m_configuredCall;
    std::function<void()> m_shotEndedCall;

    mutable std::mutex m_inputMutex; // guards the two below
    AssemblyContext m_context;
    std::array<std::int32_t, device::kAwgEntries> m_awgPending{};
    bool m_awgRunPending = false;
    std::array<std::int32_t, device::kAwgEntries> m_awgSend{}; // thread only

    NewFrameFlags m_newFrame;
    std::atomic<std::uint32_t> m_screenUpdates{0};
    std::atomic<bool> m_loopEnded{false};
    std::atomic<std::uint32_t> m_displayedFrames{0};
    std::atomic<std::uint32_t> m_singleShotsEnded{0};
    std::jthread m_thread;
};

} // namespace kx::acquisition
