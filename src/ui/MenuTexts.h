// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace kx::ui {

// Caption of a menu item or menu in the given language (Qt text: a literal "&" is "&&").
// Null when the item keeps the caption it has (Menu_Language in Russian) or has none.
// Menu_CH_A2 depends on whether the model has an A2 input.
const char* menuCaption(std::string_view name, bool russian, bool modelHasA2);

// The labelled controls of the main window that the captions set, and their texts.
std::span<const std::string_view> captionedControls();
const char* controlCaption(std::string_view name, bool russian);

// Caption of an antenna-analyser graph menu (graph 1..3) showing its choice, e.g.
// "Graph 1 - Return Loss". The choice is an index of that graph's radio items.
std::string aaGraphCaption(int graph, int choice, bool russian);

} // namespace kx::ui
