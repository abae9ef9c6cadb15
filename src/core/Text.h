// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kx::core {

// Every user-visible text exists in English and Russian (UTF-8); RussianUi picks one.
struct TextPair {
    const char* en;
    const char* ru;
    constexpr const char* pick(bool russian) const { return russian ? ru : en; }
};

// The caption of every warning box.
inline constexpr TextPair kWarningCaption{"Warning", "Предупреждение"};

} // namespace kx::core
