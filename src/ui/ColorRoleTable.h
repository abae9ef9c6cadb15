// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/DisplayState.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kx::ui {

// One colour role as the colour dialog shows it: its button, its panel and its field.
struct ColorRoleRow {
    std::string_view button;
    std::string_view panel;
    std::uint32_t core::ColorRoles::*field;
    // Channel roles (A1..D4) are captioned by the model, the others by the language.
    bool channel;
    const char* plainCaption;    // channel: without the analysers
    const char* analyzerCaption; // channel: with them; null for the other roles
};

// The fourteen roles in dialog order: A1, A2, D1..D4, then the screen roles.
std::span<const ColorRoleRow> colorRoleRows();
inline constexpr std::size_t kColorRoleCount = 14;
inline constexpr std::size_t kColorRoleA2 = 1;

// Caption of a channel role's button: with the analysers' curves when the model has the generator.
const char* channelButtonCaption(const ColorRoleRow& row, bool modelHasGenerator);

// A chosen colour for one role; the analyser slots that follow it take it too.
void setColorRole(core::ColorRoles& colors, const ColorRoleRow& row, std::uint32_t colour);
// All roles and slots back to the built-in defaults.
void setDefaultColors(core::ColorRoles& colors);
// The fourteen roles from `saved`, the slots set again from them.
void restoreColorRoles(core::ColorRoles& colors, const core::ColorRoles& saved);

// Windows colour values are 0x00BBGGRR; Qt's are 0x00RRGGBB. The top byte is dropped.
constexpr std::uint32_t bgrToRgb(std::uint32_t bgr) {
    return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}
constexpr std::uint32_t rgbToBgr(std::uint32_t rgb) {
    return bgrToRgb(rgb);
}

} // namespace kx::ui
