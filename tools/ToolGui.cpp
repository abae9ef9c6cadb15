// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolGui.h"

#include "app/ApplySettings.h"
#include "app/AssemblySettings.h"
#include "app/ModelFeatures.h"

namespace kx::tool {

void ToolGui::synchronize(const std::function<void()>& call) {
    std::lock_guard lock(mutex);
    if (!m_closing) call();
}

void ToolGui::post(std::function<void()> call) {
    std::lock_guard lock(mutex);
    if (!m_closing) call();
}

void ToolGui::configured() {
    const device::StatusInfo status = m_board.snapshot();
    if (status.deviceType != 0) {
        state.system.UiDeviceType = status.deviceType;
        app::applyModelFeatures(state);
    }
    m_configured = true;
    settingsChanged();
}

void ToolGui::readoutUpdate() {
    if (m_thread != nullptr &&
        app::takeInstrumentTables(m_board.snapshot(), state.calibration, m_tablesTaken))
        settingsChanged();
}

void ToolGui::settingsChanged() {
    app::takeInstrumentTables(m_board.snapshot(), state.calibration, m_tablesTaken);
    m_flags.Running = state.scope.Running;
    m_flags.SingleMode = state.scope.SingleMode;
    const app::DerivedQuantities derived = app::applySettings(state, m_registers);
    acquisition::AssemblyContext context = app::assemblyContext(state, derived, m_registers.snapshot());
    adjustContext(context);
    m_thread->publishAssembly(context, static_cast<std::uint32_t>(derived.Points));
    m_thread->notifySettingsChanged();
}

void ToolGui::close() {
    std::lock_guard lock(mutex);
    m_closing = true;
}

bool ToolGui::configuredYet() {
    std::lock_guard lock(mutex);
    return m_configured;
}

} // namespace kx::tool
