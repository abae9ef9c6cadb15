// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

namespace kx::ui {

enum class MenuKind : unsigned char {
    Menu,      // opens a submenu; the entries up to its End belong to it
    End,       // closes the innermost open submenu
    Action,    // a plain command item
    Check,     // a check item; with a group, at most one of the group is checked
    Radio,     // one item of an exclusive group
    Separator, // a line; named only where a rule shows or hides it
};

// One line of the main menu tree, in the order the menus show it.
struct MenuEntry {
    MenuKind kind;
    std::string_view name;     // objectName; empty for unnamed separators and End
    std::string_view group;    // radio group, or the pair of mutually exclusive checks
    bool checked = false;      // initial check of the form
    std::string_view shortcut; // key sequence in portable text form, or empty
};

// The whole tree, File first, Help last.
std::span<const MenuEntry> menuTree();

// The entry of a named item or menu, or null.
const MenuEntry* findMenuEntry(std::string_view name);

// Position of a radio item among the radio items of its group (tree order), or -1.
int radioIndex(std::string_view name);

// The name of the radio item at `index` of `group`, or empty.
std::string_view radioName(std::string_view group, int index);

} // namespace kx::ui
