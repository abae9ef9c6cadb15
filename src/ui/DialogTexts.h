// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"

#include <span>
#include <string_view>

namespace kx::ui {

// A control's caption in both languages; the name "window" stands for the dialog's title.
struct ControlText {
    std::string_view control;
    core::TextPair text;
};

// Captions of the colour dialog that depend on the language (the channel buttons depend on
// the model instead, see ColorRoleTable.h).
std::span<const ControlText> colorDialogTexts();
// Captions of the advanced settings dialog.
std::span<const ControlText> advancedDialogTexts();

// The caption of `control` in `texts`, or null when the table does not have it.
const char* dialogText(std::span<const ControlText> texts, std::string_view control, bool russian);

// Texts that are the same in both languages.
inline constexpr const char* kOkCaption = "OK";

} // namespace kx::ui
