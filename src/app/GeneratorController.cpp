// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GeneratorController.h"

#include "app/ScopeSession.h"
#include "app/Supervision.h"

#include <filesystem>

namespace kx::app {

namespace {

std::string listingPath(const std::string& exePath) {
    const std::filesystem::path dir = std::filesystem::path(exePath).parent_path();
    return (dir / "kxg.lst").string();
}

} // namespace

GeneratorController::GeneratorController(ScopeSession& session)
    : m_s(session), m_loader(session.state(), *this, listingPath(session.options().exePath)) {}

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
    m_loader.run();
}

void GeneratorController::openAwgFile() {
    m_loader.openFile();
    m_s.apply(Effect::None);
}

generator::GeneratorPanelActions GeneratorController::panelActions() {
    generator::GeneratorPanelHooks hooks;
    hooks.settingsChanged = [this] { m_s.settingsChanged(); };
    hooks.generatorOn = [this](bool down) { on(down); };
    hooks.generatorDialog = [this] { m_s.showDialog(Dialog::Generator); };
    hooks.awgLoaded = [this] { return m_s.awgLoaded(); };
    return generator::generatorPanelActions(m_s.state(), m_loader, std::move(hooks));
}

generator::AwgPanelStatus GeneratorController::awgStatus() const {
    generator::AwgPanelStatus a;
    a.loaded = m_s.awgLoaded();
    a.statusText = m_loader.statusText();
    if (const Supervisor* sup = m_s.supervisor()) a.statusCountdown = sup->awg().statusCountdown;
    const device::StatusInfo st = m_s.status();
    a.awgState = st.awgStateKnown ? st.awgState : -1;
    return a;
}

core::Prompt& GeneratorController::prompt() {
    return m_s.prompt();
}

void GeneratorController::markBusy(bool on) {
    on ? m_s.busyFlag().mark() : m_s.busyFlag().unmark();
}

bool GeneratorController::awgLoaded() {
    return m_s.awgLoaded();
}

void GeneratorController::uploadAwg(std::span<const std::int32_t, generator::kAwgWords> table,
                                    bool runAfterUpload) {
    if (acquisition::ScopeThread* t = m_s.scopeThread()) t->requestAwgUpload(table, runAfterUpload);
}

void GeneratorController::raiseAwgRun() {
    m_s.raiseOnce(device::OnceFlag::AwgRun);
}

void GeneratorController::settingsChanged() {
    m_s.settingsChanged();
}

void GeneratorController::setStatusCountdown(int ticks) {
    if (Supervisor* sup = m_s.supervisor()) sup->awg().statusCountdown = ticks;
}

} // namespace kx::app
