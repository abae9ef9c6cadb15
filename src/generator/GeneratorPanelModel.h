// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The generator panel of the main window as a function of the state: what every control shows,
// and what a click, a scroll or a double click on it does to the state.
namespace kx::generator {

inline constexpr int kRangeButtons = 6;    // SpeedButton_10K_5S .. SpeedButton_50uS_Noise
inline constexpr int kShapeButtons = 5;    // in core::GenShape order
inline constexpr int kFunctionButtons = 5; // in core::GenFunction order; Plain has no button
inline constexpr int kAmplitudeMax = 4000;
inline constexpr int kValueMax = 10000; // both value scroll bars

// What the AWG loader and the link add to the panel.
struct AwgPanelStatus {
    bool loaded = false;         // the last AWG upload was acknowledged whole
    std::string_view statusText; // the loader's status text
    int statusCountdown = 0;     // ticks left for it
    int awgState = -1;           // AWG state bits of the status packet, -1 while not known
};

// Colour of Panel_AWG_Run.
enum class AwgRunIndicator : std::uint8_t { ButtonFace, Faded, Full };

struct ScrollBarView {
    int min = 0;
    int max = kValueMax;
    int value = 0;
};

// Everything the panel shows. Kept by the caller and filled again at every update, so its texts
// keep their capacity from one frame to the next.
struct GeneratorPanelView {
    bool on = false;

    std::array<std::string, kRangeButtons> rangeCaption;
    std::array<bool, kRangeButtons> rangeVisible{};
    int rangeDown = -1; // none

    bool shapesVisible = true;
    bool shapesEnabled = true;
    int shapeDown = 0; // core::GenShape

    std::array<bool, kFunctionButtons> functionDown{};
    std::array<bool, kFunctionButtons> functionEnabled{};

    ScrollBarView first;       // ScrollBar_TF_1
    ScrollBarView second;      // ScrollBar_TF_0
    int amplitudePosition = 0; // ScrollBar_Amplitude, 0..4000, inverted

    std::string labelF, labelV, labelMod, labelPulse, labelVrms;
    bool modVisible = false;
    bool pulseVisible = false;
    bool vrmsVisible = false;

    bool awgRunVisible = false;
    bool markListVisible = false;
    bool textLit = false; // label text in ColorGridFrame; otherwise mixed towards ColorBorder
    AwgRunIndicator runIndicator = AwgRunIndicator::ButtonFace;
};

// The panel for the state after apply-settings (implied values enforced).
void generatorPanelView(const core::InstrumentState& s, const AwgPanelStatus& awg, GeneratorPanelView& out,
                        char decimalSeparator = '.');

// The label colour mixing factor while the generator is off.
inline constexpr double kDimmedTextFactor = 1.5;

// Control events. Each edits the state as the control does and returns whether anything changed
// (then the settings-changed notification follows).
// A range button: the pulse range in pulse function, otherwise the frequency range.
bool clickRange(core::GeneratorState& g, int button);
bool clickShape(core::GeneratorState& g, core::GenShape shape);
// A function button after its click: down selects its function, up returns to plain.
bool clickFunction(core::GeneratorState& g, core::GenFunction function, bool down);
// ScrollBar_TF_1 and ScrollBar_TF_0. In sweep and pulse the first value never passes the second:
// moving one across the other takes the other along.
bool scrollFirst(core::GeneratorState& g, int position);
bool scrollSecond(core::GeneratorState& g, int position);
// ScrollBar_Amplitude runs from the top: Ampl = max + min - position.
bool scrollAmplitude(core::GeneratorState& g, int position);

// Where a double click landed and what it opens.
enum class PanelSpot : std::uint8_t { Panel, LabelF, LabelV, LabelMod, LabelPulse, LabelVrms };
enum class PanelDoubleClick : std::uint8_t {
    None,
    GeneratorDialog,
    AwgFileDialog,
    DefaultPeriod,
    DefaultAmplitude
};
PanelDoubleClick doubleClickAction(const core::GeneratorState& g, PanelSpot spot, bool awgLoaded);

} // namespace kx::generator
