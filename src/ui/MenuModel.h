// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <string_view>

namespace kx::ui {

// What the window runs after a menu item has edited the state.
enum class MenuEffect {
    None,            // nothing (or the item changed nothing)
    SettingsChanged, // settings-changed notification: apply-settings, a settings frame, a redraw
    Refresh,         // refresh notification: apply-settings and a redraw, no settings frame
    ModelChanged,    // model feature set, layout and geometry, captions, settings-changed
    LayoutChanged,   // layout, geometry, redraw
    LanguageChanged, // captions in the new language, refresh notification
    FeaturesChanged, // Low_V_Div, Debug: model feature set, layout, geometry, captions, settings-changed
    Command,         // the window handles the item itself (Open..., Exit, Help, dialogs, analysers)
};

// Whether the item shows a check for this state. False for items without a check.
bool menuChecked(const core::InstrumentState& state, std::string_view name);

// Edits the state as clicking the item does and says what the window must run afterwards.
// Radio items choose themselves, check items toggle. Menu_NA and Menu_AA are commands: the
// window runs their presets. After any item the window re-syncs the menu from the state.
MenuEffect onMenuItem(core::InstrumentState& state, std::string_view name);

// Whether the item's function exists in this program yet; the others are shown disabled.
bool menuEnabled(std::string_view name);
// The same, further limited by the state (A1 probe items while the antenna analyser runs).
bool menuEnabled(const core::InstrumentState& state, std::string_view name);

// Whether the model (state.system.UiDeviceType) and the debug options show the item or
// separator. The TRM items are not decided here (see trmMenuItem).
bool menuVisible(const core::InstrumentState& state, std::string_view name);

// The items whose visibility is decided each time the device menu opens.
bool trmMenuItem(std::string_view name);

} // namespace kx::ui
