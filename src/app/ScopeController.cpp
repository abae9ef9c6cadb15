// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScopeController.h"

#include "app/ScopeSession.h"
#include "core/ScopeControls.h"

namespace kx::app {

namespace {

core::AnalogInput inputOf(int channel) {
    return channel == 0 ? core::AnalogInput::A1 : core::AnalogInput::A2;
}

core::AnalogChannelState& channelOf(core::InstrumentState& s, int channel) {
    return channel == 0 ? s.scope.A1 : s.scope.A2;
}

} // namespace

void ScopeController::run(bool down) {
    BusyMark busy(m_s.busyFlag());
    auto& scope = m_s.state().scope;
    scope.SingleMode = false;
    if (down) {
        if (!m_s.probeConnection()) {
            scope.Running = false;
            m_s.apply(Effect::None);
            return;
        }
        m_s.state().system.ModelCheckPending = true;
        m_s.armWarnings();
    }
    scope.Running = down;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::single(bool down) {
    BusyMark busy(m_s.busyFlag());
    auto& scope = m_s.state().scope;
    if (down) {
        if (!m_s.probeConnection()) {
            scope.Running = false;
            scope.SingleMode = false;
            m_s.apply(Effect::None);
            return;
        }
        m_s.state().system.ModelCheckPending = true;
        m_s.armWarnings();
    }
    scope.Running = down;
    scope.SingleMode = down;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::timeBase(int index) {
    m_s.state().scope.timeBase = index;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::voltsDiv(int channel, int index) {
    core::setVoltsDiv(m_s.state(), inputOf(channel), index);
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::probeTitle(int channel) {
    if (core::toggleProbe(m_s.state(), inputOf(channel))) m_s.apply(Effect::SettingsChanged);
}

void ScopeController::coupling(int channel, bool ac) {
    channelOf(m_s.state(), channel).AC = ac;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::bandwidth(int channel, bool limited) {
    channelOf(m_s.state(), channel).BW = limited;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::strobo() {
    core::clickStrobo(m_s.state());
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::scroll(int position) {
    if (position == m_s.state().scope.X_Pos) return;
    m_s.state().scope.X_Pos = position;
    m_s.apply(Effect::Refresh);
}

void ScopeController::triggerOn(bool on) {
    m_s.state().trigger.On = on;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::triggerSource(int index) {
    // "-" stands for the missing A2 channel and snaps back to A1.
    m_s.state().trigger.Src = (index == 1 && !m_s.features().a2Channel) ? 0 : index;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::triggerEdge(bool falling) {
    m_s.state().trigger.Edge = falling;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::triggerAuto(bool on) {
    m_s.state().trigger.Auto = on;
    m_s.apply(Effect::SettingsChanged);
}

void ScopeController::triggerPlus(bool on) {
    m_s.state().trigger.TPLUS = on;
    m_s.apply(Effect::SettingsChanged);
}

} // namespace kx::app
