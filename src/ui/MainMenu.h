// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace kx::ui {

// The device types the TRM items of the device menu depend on, asked for each time the
// menu opens.
struct DeviceTypes {
    bool exeNameStartsWithTrm = false;
    std::int32_t uiDeviceType = 0;
    std::int32_t frameDeviceType = 0;
    std::int32_t reportedDeviceType = 0;
};

// The main window's menu tree, built into a menu bar. Every QMenu and QAction carries its
// item's name as objectName. The widgets belong to the bar; this object must not outlive it.
class MainMenu {
public:
    explicit MainMenu(QMenuBar* bar);
    ~MainMenu();
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    // The item or the submenu's own action by name; null for unknown names.
    QAction* action(std::string_view name) const;
    QMenu* menu(std::string_view name) const;

    // Checks from the state, enabled items from what exists yet, visibility from the model
    // and the debug options (the TRM items are decided when the device menu opens).
    void syncFromState(const core::InstrumentState& state);

    // Captions of every menu item for the language; Menu_CH_A2 depends on the model.
    void applyCaptions(bool russian, bool modelHasA2);

    // Called with the item's name whenever the user triggers an item.
    void onItemTriggered(std::function<void(std::string_view)> handler);
    // Called with the menu's name just before a menu opens (after the menu's own updates).
    void onMenuOpening(std::function<void(std::string_view)> handler);
    // Supplies the device types for the TRM items; without it only their checks count.
    void setDeviceTypesSource(std::function<DeviceTypes()> source);

    // What opening the device menu does to the TRM items and their separator.
    void updateTrmItems();
    // What opening the Tools menu does to the graph menus' captions.
    void updateGraphCaptions();

private:
    void build(QMenuBar* bar);
    void menuOpening(std::string_view name);

    std::unique_ptr<QObject> m_context; // owns the connections, so none outlives this object
    std::map<std::string_view, QAction*> m_actions;
    std::map<std::string_view, QMenu*> m_menus;
    std::function<void(std::string_view)> m_itemHandler;
    std::function<void(std::string_view)> m_openingHandler;
    std::function<DeviceTypes()> m_deviceTypes;
    std::array<int, 3> m_aaGraphs{1, 1, 2};
    bool m_russian = false;
};

// Captions of the main window's labelled controls (Label_TimeDiv, the RUN/SINGLE/trigger/
// generator buttons) that exist under `root`.
void applyControlCaptions(QWidget* root, bool russian);

} // namespace kx::ui
