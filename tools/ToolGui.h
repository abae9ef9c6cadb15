// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/ScopeThread.h"
#include "app/InstrumentTables.h"
#include "core/InstrumentState.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"
#include "device/StatusInfo.h"

#include <functional>
#include <mutex>

namespace kx::tool {

// The tool's main thread plays the GUI thread: a mutex stands for it, and the acquisition
// thread calls in directly while holding it. Subcommands add what they do per frame.
class ToolGui : public acquisition::GuiBridge, public acquisition::GuiUpdates {
public:
    ToolGui(device::RequestFlags& flags, device::RegisterImageHolder& registers, device::StatusBoard& board)
        : m_flags(flags), m_registers(registers), m_board(board) {}

    void setThread(acquisition::ScopeThread* thread) { m_thread = thread; }

    void synchronize(const std::function<void()>& call) override;
    void post(std::function<void()> call) override;
    void configured() override;
    // The instrument's calibration tables, taken as the program takes them.
    void readoutUpdate() override;

    // The settings-changed notification; the mutex is held.
    void settingsChanged();
    // No more calls run once this returns.
    void close();
    bool configuredYet();

    std::mutex mutex;
    core::InstrumentState state;

protected:
    // What assembly should know besides the state (the recorder's flag); the mutex is held.
    virtual void adjustContext(acquisition::AssemblyContext&) {}

    device::RequestFlags& m_flags;
    device::RegisterImageHolder& m_registers;
    device::StatusBoard& m_board;
    acquisition::ScopeThread* m_thread = nullptr;

private:
    app::TablesTaken m_tablesTaken;
    bool m_configured = false;
    bool m_closing = false;
};

} // namespace kx::tool
