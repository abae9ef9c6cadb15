// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "generator/AwgLoader.h"
#include "generator/GeneratorPanelActions.h"
#include "generator/GeneratorPanelModel.h"

#include <functional>

namespace kx::app {

class ScopeSession;

// The generator panel's handlers and the AWG loader.
class GeneratorController : private generator::AwgLoaderHost {
public:
    explicit GeneratorController(ScopeSession& session);

    // SpeedButton_GenOn: the connection probe and the warnings, then the settings frame.
    void on(bool down);
    // SpeedButton_AWG_Run: acts only when an AWG table is loaded.
    void awgRun();
    // Menu_Open_Gen_Form.
    void openAwgFile();
    // The panel's controls; `dialog` opens TForm_GeneratorSet.
    generator::GeneratorPanelActions panelActions();
    // What the panel shows of the AWG besides the state.
    generator::AwgPanelStatus awgStatus() const;

    generator::AwgLoader& loader() { return m_loader; }

private:
    core::Prompt& prompt() override;
    void markBusy(bool on) override;
    bool awgLoaded() override;
    void uploadAwg(std::span<const std::int32_t, generator::kAwgWords> table, bool runAfterUpload) override;
    void raiseAwgRun() override;
    void settingsChanged() override;
    void setStatusCountdown(int ticks) override;

    ScopeSession& m_s;
    generator::AwgLoader m_loader;
};

} // namespace kx::app
