// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalyzerEngine.h"

#include "analyzers/AnalyzerFrame.h"

#include <mutex>
#include <utility>

namespace kx::app {

AnalyzerEngine::AnalyzerEngine(device::RegisterImageHolder& registers, device::RequestFlags& flags,
                               core::FrameRecord& frame)
    : m_registers(registers), m_flags(flags), m_frame(frame), m_lc(registers, flags) {}

void AnalyzerEngine::installHooks(acquisition::AssemblyHooks& hooks) {
    hooks.analyzerFrame = [this](const acquisition::HookArgs& a) {
        analyzers::AnalyzerCorrections c;
        c.network = &m_network;
        c.useNetwork = m_useNetwork.load();
        c.antenna = &m_antenna;
        c.useAntenna = m_useAntenna.load();
        analyzers::ProcessAnalyzerFrame(a.frame.header, a.frame.channels, c, a.frame.points);
    };
    hooks.lcMeter = [this](const acquisition::HookArgs& a) { m_lc.onFrame(a.frame); };
    hooks.antennaCalibration = [this](const acquisition::HookArgs& a) {
        m_antennaSweep.onFrame(a.frame, m_registers, m_flags);
    };
    hooks.networkCalibration = [this](const acquisition::HookArgs& a) {
        m_networkSweep.onFrame(a.frame, m_registers, m_flags);
    };
}

void AnalyzerEngine::publishUse() {
    const bool off = m_dialogOpen;
    m_useNetwork.store(!off && m_wantNetwork);
    m_useAntenna.store(!off && m_wantAntenna);
}

void AnalyzerEngine::setUse(bool network, bool antenna) {
    m_wantNetwork = network;
    m_wantAntenna = antenna;
    publishUse();
}

void AnalyzerEngine::setDialogOpen(bool open) {
    m_dialogOpen = open;
    publishUse();
}

void AnalyzerEngine::replaceNetworkTable(analyzers::NetworkCorrectionTable table) {
    // Assembly reads the tables under the record's lock.
    std::lock_guard lock(m_frame.mutex);
    m_network = std::move(table);
}

void AnalyzerEngine::replaceAntennaTable(analyzers::AntennaTermTable table) {
    std::lock_guard lock(m_frame.mutex);
    m_antenna = std::move(table);
}

} // namespace kx::app
