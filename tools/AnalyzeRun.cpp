// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalyzeRun.h"

#include "SettingsInput.h"
#include "app/ApplySettings.h"
#include "app/ModelFeatures.h"
#include "device/DeviceOpen.h"

#include <chrono>
#include <cstdio>

namespace kx::tool {

namespace fh = core::fh;

AnalyzeRun::AnalyzeRun() : ToolGui(m_link.flags, m_link.registers, m_link.board) {
    m_engine = std::make_unique<app::AnalyzerEngine>(m_link.registers, m_link.flags, *m_link.frame);
}

AnalyzeRun::~AnalyzeRun() {
    close();
}

bool AnalyzeRun::open(const char* command, const std::string& settingsFile,
                      const std::function<void(core::InstrumentState&)>& prepare) {
    if (!openInstrument(command, m_binding, m_connection, m_event, m_prompt)) return false;
    m_opened = true;
    if (!settingsFile.empty() && !readAnySettingsFile(settingsFile, state)) return false;
    acquisition::ScopeThreadParts parts{
        m_binding,        m_connection,  m_event, m_link.flags, m_link.stats,        m_link.board,
        m_link.registers, *m_link.frame, *this,   *this,        m_link.fpga.bytes(), nullptr};
    m_engine->installHooks(parts.hooks);
    m_thread = std::make_unique<acquisition::ScopeThread>(parts);
    setThread(m_thread.get());
    {
        std::lock_guard lock(mutex);
        app::applyModelFeatures(state);
        prepare(state);
        settingsChanged();
    }
    m_link.flags.ReconfigureRequest = true;
    m_thread->start();
    return true;
}

bool AnalyzeRun::waitConfigured() {
    return waitFor([this] { return m_link.flags.DeviceConfigured.load() && m_link.flags.DeviceReady.load(); },
                   10);
}

void AnalyzeRun::gui(const std::function<void()>& call) {
    std::lock_guard lock(mutex);
    call();
}

bool AnalyzeRun::waitFor(const std::function<bool()>& done, int seconds) {
    // Frames wake the wait; without any, the flags are looked at every 50 ms.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::unique_lock lock(mutex);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        m_changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    return true;
}

bool AnalyzeRun::takeSweep(int kind, core::FrameRecord& out, int seconds) {
    {
        std::lock_guard lock(mutex);
        m_wantKind = kind;
        m_keep = &out;
        m_kept = false;
    }
    const bool ok = waitFor([this] { return m_kept; }, seconds);
    std::lock_guard lock(mutex);
    m_wantKind = 0;
    m_keep = nullptr;
    return ok;
}

void AnalyzeRun::signalAreaUpdate() {
    const core::FrameHeader& h = m_link.frame->header;
    ++m_frames;
    const bool complete = h[fh::CaptureLength] > 0 && h[fh::AnalogCount] == h[fh::CaptureLength];
    if (m_keep != nullptr && !m_kept && complete && static_cast<int>(h[fh::AnalyzerMode]) == m_wantKind) {
        m_keep->header = h;
        m_keep->points = m_link.frame->points;
        m_kept = true;
    }
    m_changed.notify_all();
}

void AnalyzeRun::singleShotEnded() {
    state.scope.Running = false;
    state.scope.SingleMode = false;
    settingsChanged();
    m_changed.notify_all();
}

void AnalyzeRun::close() {
    if (!m_opened) return;
    m_opened = false;
    ToolGui::close();
    if (m_thread) m_thread->stop();
    if (m_thread && m_link.flags.DeviceReady) {
        std::lock_guard lock(mutex);
        state.scope.Running = false;
        state.scope.SingleMode = false;
        m_link.flags.Running = false;
        m_link.flags.SingleMode = false;
        app::applySettings(state, m_link.registers);
        m_thread->link().sendSettings();
    }
    m_binding.close(m_connection.handle.load());
}

} // namespace kx::tool
