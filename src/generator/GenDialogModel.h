// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <array>
#include <cstdint>
#include <string>

// TForm_GeneratorSet as a function of the state: what each control shows and allows, what a
// control does to the state, and what Cancel restores.
namespace kx::generator {

inline constexpr int kDcShiftMin = -3000;
inline constexpr int kDcShiftMax = 3300;
inline constexpr int kModSources = 9; // Int, A1, A2, D1..D4, Pulse, AWG
inline constexpr int kModRanges = 5;  // 10 K .. 100 M
inline constexpr int kModShapes = 5;  // MF_Shape 0..4: sine, rising, falling, rectangle, triangle
inline constexpr int kAuxOutputs = 7; // Gen_Extra_Sel
inline constexpr int kModParamMax = 1000;
inline constexpr int kMatchMin = 16;
inline constexpr int kMatchMax = 240;
inline constexpr int kLoadMax = 1000;
inline constexpr int kLoad50Ohm = 500;

enum class GenControl : std::uint8_t {
    DcShift,        // ScrollBar_DAC_SHIFT: mV
    DcZero,         // the "Zero" button
    DcMode,         // 0..3
    ModType,        // 0 AM, 1 FM, 2 PM, 3 SUM
    ModSource,      // 0..8
    Inversion,      // 0/1
    ModRange,       // MF_Mult 0..4
    ModShape,       // MF_Shape 0..4
    ModNoise,       // the "Noise" button: 1 down, 0 up
    MfFast,         // 0..10000
    MfSlow,         // 0..10000
    ModParam,       // 0..1000
    DeviationRange, // DF_Mult 0..1
    AuxOutput,      // Gen_Extra_Sel 0..6
    AuxInv,         // 0/1
    TimeMatch,      // Gen_Match 16..240
    Load,           // Gen_Load 0..1000
    Load50Ohm,      // the "50 Ohm" button
    SinxCorr,       // 0 clear, 2 ticked, 1 greyed
    DacCorr,        // 0/1
    UpTo200,        // 0/1
    Test,           // 0/1
};

// Stores a control's value (limited to the control's range) and the dialog's implied values that
// follow from it. True when the generator state changed.
bool applyGenControl(core::GeneratorState& g, GenControl control, int value);

// Everything the dialog shows for a state.
struct GenDialogView {
    bool dcGroupVisible = true;
    int dcShift = 0;
    int dcMode = 0;
    bool dcModesEnabled = true;
    std::string dcLabel;

    int modType = 0;
    int modSource = 0;
    std::array<bool, kModSources> sourceVisible{};
    std::array<bool, kModSources> sourceEnabled{};
    bool inversion = false;

    int modRange = 0;
    std::array<std::string, kModRanges> modRangeCaption;
    bool modRangeEnabled = true;
    int modShape = 0; // -1 while "Noise" is down
    std::array<bool, kModShapes> shapeEnabled{};
    bool noiseDown = false;
    bool noiseEnabled = true;
    int mfFast = 0;
    int mfSlow = 0;
    bool mfBarsEnabled = true;
    bool mfLabelEnabled = true;
    std::string mfLabel;

    int modParam = 0;
    std::string modParamLabel;
    int deviationRange = 0;
    std::array<std::string, 2> deviationCaption;
    bool deviationEnabled = false;

    int auxOutput = 0;
    bool auxInv = false;
    int timeMatch = 195;
    std::string timeMatchLabel;
    std::string timeMatchRaw; // Label_Gen_Match_
    int load = kLoadMax;
    std::string loadLabel;
    int sinxCorr = 1;
    bool sinxEnabled = true;
    bool dacCorr = true;
    bool upTo200 = false;
    bool test = false;

    bool debugControlsVisible = false; // "Sync Ph.", the three debug boxes, the raw matching number
};

GenDialogView genDialogView(const core::InstrumentState& s, char decimalSeparator = '.');

// The dialog's own fields, as Cancel restores them.
struct GenDialogFields {
    std::int32_t DC_Shift, GEN_DC_Mode, Mod_Type, Mod_Src, Inv, MF_Fast, MF_Slow, MF_Mult, MF_Shape,
        Mod_Param, DF_Mult, Gen_Extra_Sel;
    bool Gen_Extra_Inv;
    std::int32_t Gen_Match, Gen_Load, Gen_Sinxx_Corr;
    bool Gen_Corr, Gen_200MHz, Gen_Test;
    bool operator==(const GenDialogFields&) const = default;
};
GenDialogFields genDialogFields(const core::GeneratorState& g);

// Opening the dialog: DC_Shift limited to its range. Returns the fields to restore on Cancel.
GenDialogFields openGenDialog(core::GeneratorState& g);

// Cancel: every field back to its value at opening. True when any differed (the settings are then
// applied once more).
bool restoreGenDialog(const GenDialogFields& opened, core::GeneratorState& g);

} // namespace kx::generator
