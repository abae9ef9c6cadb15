// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::app {

class ScopeSession;

// The generator panel's handlers.
class GeneratorController {
public:
    explicit GeneratorController(ScopeSession& session) : m_s(session) {}

    // SpeedButton_GenOn.
    void on(bool down);
    // SpeedButton_AWG_Run: acts only when an AWG table is loaded.
    void awgRun();

private:
    ScopeSession& m_s;
};

} // namespace kx::app
