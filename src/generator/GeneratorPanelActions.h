// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "generator/GeneratorPanelModel.h"

#include <functional>

namespace kx::generator {

class AwgLoader;

// What the generator panel reports; each runs in the GUI thread.
struct GeneratorPanelActions {
    std::function<void(bool)> generatorOn;                 // SpeedButton_GenOn toggled to the given state
    std::function<void(int)> range;                        // a range button, 0..5 from the left
    std::function<void(core::GenShape)> shape;             // a shape button
    std::function<void(core::GenFunction, bool)> function; // a function button, down after the click
    std::function<void(int)> firstValue;                   // ScrollBar_TF_1 position
    std::function<void(int)> secondValue;                  // ScrollBar_TF_0 position
    std::function<void(int)> amplitude;                    // ScrollBar_Amplitude position
    std::function<void(int)> awgMark;                      // ComboBox_AWG entry chosen
    std::function<void()> awgRun;                          // SpeedButton_AWG_Run
    std::function<void(PanelSpot)> doubleClick;
};

// What the panel's handlers need from the program around them.
struct GeneratorPanelHooks {
    std::function<void()> settingsChanged; // the settings-changed notification
    std::function<void(bool)> generatorOn; // the ON button's handler (connection probe, warnings)
    std::function<void()> generatorDialog; // TForm_GeneratorSet, modal, with the busy mark
    std::function<bool()> awgLoaded;       // the link's AWG-loaded flag
};

// The panel's handlers: each edits the state through the panel model or the AWG loader and
// runs the settings-changed notification when something changed.
GeneratorPanelActions generatorPanelActions(core::InstrumentState& state, AwgLoader& loader,
                                            GeneratorPanelHooks hooks);

} // namespace kx::generator
