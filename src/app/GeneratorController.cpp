// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GeneratorController.h"

#include "app/ScopeSession.h"

namespace kx::app {

void GeneratorController::on(bool down) {
    BusyMark busy(m_s.busyFlag());
    auto& gen = m_s.state().generator;
    gen.On = down;
    if (down && !m_s.probeConnection([this] { m_s.refresh(); })) {
        gen.On = false;
        m_s.apply(Effect::Refresh);
        return;
    }
    if (down) m_s.armWarnings();
    m_s.apply(Effect::SettingsChanged);
}

void GeneratorController::awgRun() {
    if (!m_s.awgLoaded()) return;
    m_s.raiseOnce(device::OnceFlag::AwgRun);
    m_s.apply(Effect::SettingsChanged);
}

} // namespace kx::app
