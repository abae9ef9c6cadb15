// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::app {

class ScopeSession;

// The scope panel and the trigger row: RUN and SINGLE, time base, volts/div, probe, coupling,
// bandwidth, Strobo, the scroll bar and the trigger's on, source, edge, auto and T+.
class ScopeController {
public:
    explicit ScopeController(ScopeSession& session) : m_s(session) {}

    void run(bool down);
    void single(bool down);
    void timeBase(int index);
    void voltsDiv(int channel, int index);
    void probeTitle(int channel);
    void coupling(int channel, bool ac);
    void bandwidth(int channel, bool limited);
    void strobo();
    void scroll(int position);

    void triggerOn(bool on);
    void triggerSource(int index);
    void triggerEdge(bool falling);
    void triggerAuto(bool on);
    void triggerPlus(bool on);

private:
    ScopeSession& m_s;
};

} // namespace kx::app
