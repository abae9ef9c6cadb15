// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ToolGui.h"
#include "ToolSupport.h"

#include "acquisition/ScopeThread.h"
#include "app/AnalyzerEngine.h"
#include "core/FrameRecord.h"
#include "device/Connection.h"
#include "device/D2xxBinding.h"
#include "device/DataEvent.h"
#include "device/FpgaImage.h"
#include "device/LinkStatistics.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"
#include "device/StatusInfo.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <string>

namespace kx::tool {

// The instrument running as one of its analyzers, for `kx48zz-tool analyze`: the acquisition
// thread with the analyzers' hooks, the tool's main thread standing in for the GUI.
class AnalyzeRun : public ToolGui {
public:
    AnalyzeRun();
    ~AnalyzeRun() override;

    // Opens the instrument, reads the settings file (if any), lets `prepare` edit the state and
    // starts acquisition; false with the message on stderr.
    bool open(const char* command, const std::string& settingsFile,
              const std::function<void(core::InstrumentState&)>& prepare);
    // Waits until the instrument has been configured; false on time-out.
    bool waitConfigured();
    // Runs `call` as the GUI thread would (the acquisition thread waits meanwhile).
    void gui(const std::function<void()>& call);
    // Waits until `done` holds (checked under the GUI lock after each frame); false on time-out.
    bool waitFor(const std::function<bool()>& done, int seconds);
    // Keeps the next complete analyzer sweep of `kind` (1 network, 2 antenna); false on time-out.
    bool takeSweep(int kind, core::FrameRecord& out, int seconds);
    // The parser's points per channel when a dialog wrote the registers itself.
    void publishPoints(std::uint32_t points) { m_thread->publishAssembly(m_context, points); }
    // Leaves the instrument idle and closes it.
    void close();

    app::AnalyzerEngine& engine() { return *m_engine; }
    device::RequestFlags& flags() { return m_link.flags; }
    device::RegisterImageHolder& registers() { return m_link.registers; }
    StderrPrompt& prompt() { return m_prompt; }

private:
    void signalAreaUpdate() override;
    void singleShotEnded() override;
    void adjustContext(acquisition::AssemblyContext& context) override { m_context = context; }

    device::D2xxBinding m_binding;
    device::Connection m_connection;
    device::DataEvent m_event;
    LinkParts m_link;
    StderrPrompt m_prompt;
    std::unique_ptr<app::AnalyzerEngine> m_engine;
    std::unique_ptr<acquisition::ScopeThread> m_thread;
    std::condition_variable m_changed;
    acquisition::AssemblyContext m_context;
    std::uint32_t m_frames = 0;
    // The sweep asked for by takeSweep.
    int m_wantKind = 0;
    core::FrameRecord* m_keep = nullptr;
    bool m_kept = false;
    bool m_opened = false;
};

} // namespace kx::tool
