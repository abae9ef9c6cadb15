// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/ScopeThread.h"

#include "core/DeviceModel.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace kx::acquisition {

ScopeThread::ScopeThread(const ScopeThreadParts& parts)
    : m_event(parts.event), m_flags(parts.flags), m_status(parts.status), m_registers(parts.registers),
      m_frame(parts.frame), m_bridge(parts.bridge), m_updates(parts.updates), m_fpgaImage(parts.fpgaImage),
      m_link(parts.binding, parts.connection, parts.flags, parts.stats, parts.status, parts.registers),
      m_work(std::make_unique<AssemblyWorkspace>()) {
    m_link.setEvents(this);
    // Built once: handing them to the bridge per frame then allocates nothing.
    m_syncCall = [this] { synchronizedUpdate(); };
    m_configuredCall = [this] { m_updates.configured(); };
    m_shotEndedCall = [this] { m_updates.singleShotEnded(); };
    m_work->ets = parts.ets;
    m_work->hooks = parts.hooks;
    // Between the transforms of an equivalent-time frame the record still holds the previous
    // frame: let the GUI draw it. The record's lock is let go meanwhile, since a GUI handler
    // waiting for it would never serve the synchronised call.
    m_work->betweenSpectra = [this] {
        if (m_assemblyLock == nullptr) return;
        if (!m_flags.RedrawRequest.load() && !m_flags.StatusRequest.load()) return;
        m_assemblyLock->unlock();
        m_bridge.synchronize(m_syncCall);
        m_assemblyLock->lock();
    };
}

ScopeThread::~ScopeThread() {
    stop();
}

void ScopeThread::start() {
    if (m_thread.joinable()) return;
    m_loopEnded.store(false);
    m_thread = std::jthread([this](std::stop_token stop) { loop(std::move(stop)); });
}

void ScopeThread::stop() {
    if (!m_thread.joinable()) return;
    m_thread.request_stop();
    m_event.signal();
    m_thread.join();
}

void ScopeThread::requestStop() {
    if (!m_thread.joinable()) return;
    m_thread.request_stop();
    m_event.signal();
}

void ScopeThread::notifySettingsChanged() {
    m_link.policy().releaseShot();
    m_flags.RedrawRequest.store(true);
    m_flags.SendSettingsRequest.store(true);
    m_event.signal();
    m_flags.FadeRestartRequest.store(true);
}

void ScopeThread::notifyRefresh() {
    m_flags.RedrawRequest.store(true);
    m_event.signal();
    m_flags.FadeRestartRequest.store(true);
}

void ScopeThread::publishAssembly(const AssemblyContext& context, std::uint32_t pointsPerChannel) {
    {
        std::lock_guard lock(m_inputMutex);
        m_context = context;
    }
    m_link.parser().setPointsPerChannel(pointsPerChannel);
}

void ScopeThread::requestAwgUpload(std::span<const std::int32_t, device::kAwgEntries> table,
                                   bool runAfterUpload) {
    {
        std::lock_guard lock(m_inputMutex);
        std::copy(table.begin(), table.end(), m_awgPending.begin());
        m_awgRunPending = runAfterUpload;
    }
    m_flags.AwgUploadRequest.store(true);
    m_event.signal();
}

AssemblyStats ScopeThread::assemblyStats() const {
    std::lock_guard lock(m_frame.mutex);
    return m_work->stats;
}

void ScopeThread::loop(std::stop_token stop) {
    m_link.setStopToken(stop);
    while (!stop.stop_requested()) {
        // 1. Wait unless something is already asked for.
        if (!m_flags.RedrawRequest.load() && !m_flags.StatusRequest.load() &&
            !m_flags.ReconfigureRequest.load()) {
            m_event.wait(kWaitMs);
            m_event.reset();
        }
        if (stop.stop_requested()) break;
        // 2. The synchronised update; the pause keeps the GUI responsive under back-to-back frames.
        if (m_flags.RedrawRequest.load() || m_flags.StatusRequest.load()) {
            m_bridge.synchronize(m_syncCall);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // 3. Cleared before acting, so a request raised meanwhile is not lost.
        if (m_flags.ReconfigureRequest.exchange(false)) {
            m_link.configureFpga(m_fpgaImage);
            continue;
        }
        // 4. Nothing goes out before the instrument reports ready.
        if (!m_flags.DeviceReady.load()) continue;
        // 5.
        if (m_flags.AwgUploadRequest.load() && m_flags.DeviceConfigured.load()) {
            m_flags.AwgUploadRequest.store(false);
            bool run = false;
            {
                // The loader may compile its next program meanwhile: the upload works on a copy.
                std::lock_guard lock(m_inputMutex);
                m_awgSend = m_awgPending;
                run = std::exchange(m_awgRunPending, false);
            }
            if (m_link.uploadAwg(m_awgSend) && run) m_registers.raise(device::OnceFlag::AwgRun);
            m_link.sendSettings();
            continue;
        }
        // 6.
        if (m_flags.SendSettingsRequest.exchange(false)) {
            m_link.sendSettings();
            continue;
        }
        // 7.
        m_link.readStep();
    }
    m_loopEnded.store(true);
}

void ScopeThread::synchronizedUpdate() {
    if (m_flags.RedrawRequest.exchange(false)) {
        m_flags.StatusRequest.store(false);
        m_updates.signalAreaUpdate();
        m_updates.readoutUpdate();
        m_updates.generatorPanelUpdate();
        m_screenUpdates.fetch_add(1);
        if (m_newFrame.DisplayedFrame.exchange(false)) m_displayedFrames.fetch_add(1);
        // The acquisition thread waits while this runs, so the collection area holds still.
        RecorderCollection& recorder = m_work->recorder;
        if ((recorder.count > 0 || recorder.lost > 0) && m_updates.recordingOn())
            m_updates.appendRecorder(recorder.collected(), recorder.lost);
        recorder.empty();
    }
    if (m_flags.StatusRequest.exchange(false)) m_updates.readoutUpdate();
}

void ScopeThread::dataAccepted(const device::DataPacketView& packet) {
    AssemblyContext context;
    {
        std::lock_guard lock(m_inputMutex);
        context = m_context;
    }
    const device::StatusInfo status = m_status.snapshot();
    context.counterStatus = status.counterState;
    context.counterEvents = status.counterEdges;
    context.counterTicks = status.counterTicks;
    // The scale follows the front end the instrument has, whatever model the menu shows.
    if (status.deviceType != 0) context.compactFrontEnd = core::hasCompactFrontEnd(status.deviceType);
    context.arrivalNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();

    bool complete = false;
    {
        std::unique_lock lock(m_frame.mutex);
        m_assemblyLock = &lock;
        const AssemblyStatus result =
            assembleFrame(packet.info, packet.blockA, packet.blockB, context, *m_work, m_frame);
        m_assemblyLock = nullptr;
        if (!assembled(result)) return;
        m_frame.loadedFromFile = false; // a live frame replaces one read from a data file
        const core::FrameHeader& h = m_frame.header;
        complete = h[core::fh::CaptureLength] > 0 && h[core::fh::AnalogCount] == h[core::fh::CaptureLength];
    }
    m_newFrame.ActivityFrame.store(true);
    m_newFrame.ZeroCalFrame.store(true);
    m_newFrame.DisplayedFrame.store(true);
    m_newFrame.FftFrameArrived.store(true);

    // A single shot ends with its first complete frame. The GUI clears Running and SingleMode in
    // the state and publishes the image with the run bit cleared; until then nothing more is taken.
    if (complete && m_flags.SingleMode.load() && m_flags.Running.load()) {
        m_link.policy().holdAfterShot();
        m_singleShotsEnded.fetch_add(1);
        m_bridge.post(m_shotEndedCall);
    }
    m_flags.RedrawRequest.store(true);
    m_flags.FadeRestartRequest.store(true);
}

void ScopeThread::configurationProgress(int percent) {
    m_bridge.post([this, percent] { m_updates.configurationProgress(percent); });
}

void ScopeThread::configured() {
    // apply-settings belongs to the GUI thread: the notification runs there.
    m_bridge.synchronize(m_configuredCall);
}

} // namespace kx::acquisition
