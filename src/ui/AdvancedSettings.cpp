// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AdvancedSettings.h"

#include "core/NumberFormat.h"

#include <cstdint>
#include <limits>

namespace kx::ui {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Enough to tell any overflow from any underflow; a longer exponent saturates here.
constexpr std::int64_t kExponentCap = 100000;

} // namespace

AdvancedFields advancedFieldsOf(const core::SystemState& s) {
    return {s.AD_Match,       s.Vel_Factor, s.Refl_Cursors, s.Analog_BW_Flt,
            s.Digital_BW_Flt, s.IQ_Win_En,  s.Dither_En,    s.Use_ADC_0};
}

void setAdvancedFields(core::SystemState& s, const AdvancedFields& f) {
    s.AD_Match = f.AD_Match;
    s.Vel_Factor = f.Vel_Factor;
    s.Refl_Cursors = f.Refl_Cursors;
    s.Analog_BW_Flt = f.Analog_BW_Flt;
    s.Digital_BW_Flt = f.Digital_BW_Flt;
    s.IQ_Win_En = f.IQ_Win_En;
    s.Dither_En = f.Dither_En;
    s.Use_ADC_0 = f.Use_ADC_0;
}

AdvancedFields defaultAdvancedFields() {
    return advancedFieldsOf(core::SystemState{});
}

AdvancedNotify restoreAdvancedFields(core::SystemState& s, const AdvancedFields& saved) {
    const AdvancedFields now = advancedFieldsOf(s);
    const bool instrumentChanged =
        now.AD_Match != saved.AD_Match || now.Analog_BW_Flt != saved.Analog_BW_Flt ||
        now.Digital_BW_Flt != saved.Digital_BW_Flt || now.IQ_Win_En != saved.IQ_Win_En ||
        now.Dither_En != saved.Dither_En || now.Use_ADC_0 != saved.Use_ADC_0;
    setAdvancedFields(s, saved);
    return instrumentChanged ? AdvancedNotify::SettingsChanged : AdvancedNotify::Refresh;
}

std::string adMatchReadout(std::int32_t adMatch, bool debugMode, char decimalSeparator) {
    const double ns = (static_cast<double>(adMatch) - 128.0) * 5.0 * 0.125;
    std::string text = core::formatNumber(ns, core::UnitType::Time, 1, decimalSeparator);
    if (debugMode) text += "  (" + std::to_string(adMatch) + ")";
    return text;
}

std::string velocityFactorText(std::int32_t velFactor, char decimalSeparator) {
    return core::formatFixed(static_cast<double>(velFactor) / 10.0, 1, decimalSeparator);
}

std::optional<std::int32_t> velocityFactorFromText(std::string_view text, char decimalSeparator) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && text[i] == ' ') ++i;
    while (end > i && text[end - 1] == ' ') --end;

    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // The mantissa's digits, with the position of the decimal point among them.
    std::string digits;
    std::int64_t point = 0;
    while (i < end && isDigit(text[i])) digits.push_back(text[i++]);
    point = static_cast<std::int64_t>(digits.size());
    if (i < end && text[i] == decimalSeparator) {
        ++i;
        while (i < end && isDigit(text[i])) digits.push_back(text[i++]);
    }
    if (digits.empty()) return std::nullopt;

    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < end && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
        if (i >= end || !isDigit(text[i])) return std::nullopt;
        std::int64_t exponent = 0;
        while (i < end && isDigit(text[i])) {
            if (exponent < kExponentCap) exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        point += expNegative ? -exponent : exponent;
    }
    if (i != end) return std::nullopt;

    // Tenths: the point moves one place right. Rounding is done on the decimal digits, so a
    // text like 66,05 rounds the way it reads.
    point += 1;
    std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    digits.erase(0, first);
    point -= static_cast<std::int64_t>(first);

    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    if (point > 10) return std::nullopt;
    std::int64_t magnitude = 0;
    for (std::int64_t k = 0; k < point; ++k)
        magnitude = magnitude * 10 + (k < static_cast<std::int64_t>(digits.size()) ? digits[k] - '0' : 0);
    if (point >= 0 && point < static_cast<std::int64_t>(digits.size()) && digits[point] >= '5') ++magnitude;
    if (magnitude > kMax + (negative ? 1 : 0)) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace kx::ui
