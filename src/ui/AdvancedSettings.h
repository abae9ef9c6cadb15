// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/SystemState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx::ui {

// The eight fields the advanced settings dialog edits, as kept for Cancel.
struct AdvancedFields {
    std::int32_t AD_Match = 128;
    std::int32_t Vel_Factor = 1000;
    bool Refl_Cursors = false;
    bool Analog_BW_Flt = true;
    bool Digital_BW_Flt = true;
    bool IQ_Win_En = true;
    bool Dither_En = true;
    bool Use_ADC_0 = true;

    bool operator==(const AdvancedFields&) const = default;
};

AdvancedFields advancedFieldsOf(const core::SystemState& s);
void setAdvancedFields(core::SystemState& s, const AdvancedFields& f);
// The "Default" button's values: the built-in defaults of the state.
AdvancedFields defaultAdvancedFields();

// What the window runs after a change.
enum class AdvancedNotify { Refresh, SettingsChanged };

// Cancel: the fields back from `saved`. The instrument is told again only when a field it uses
// differs from what it has now.
AdvancedNotify restoreAdvancedFields(core::SystemState& s, const AdvancedFields& saved);

// The time-matching scroll bar.
inline constexpr int kAdMatchMin = 16;
inline constexpr int kAdMatchMax = 240;
inline constexpr int kAdMatchPageStep = 8;

// Readout of the time matching: (value - 128) x 0.625 ns through the number formatter, and in
// debug mode the raw value after it.
std::string adMatchReadout(std::int32_t adMatch, bool debugMode, char decimalSeparator);

// The velocity factor (tenths of a percent) as the edit box shows it: percent, one decimal.
std::string velocityFactorText(std::int32_t velFactor, char decimalSeparator);

// The edit box's text as tenths of a percent, rounded half away from zero. Accepts what a
// number reader of the locale accepts: spaces around, a sign, digits with the locale's decimal
// separator only, an exponent. Empty when the text is no number or the tenths leave the field's
// range; the box is then coloured and the field kept.
std::optional<std::int32_t> velocityFactorFromText(std::string_view text, char decimalSeparator);

// The colour of an edit box whose text is no valid number (0x00BBGGRR, fuchsia).
inline constexpr std::uint32_t kInvalidEditColor = 0xFF00FF;

} // namespace kx::ui
