// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "ui/ColorRoleTable.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QFrame;
class QPushButton;

namespace kx::ui {

// What the colour dialog asks of the window.
struct ColorDialogHooks {
    std::function<void()> refresh;              // the refresh notification
    std::function<void()> writeProgramSettings; // closing with OK
    // The colour chooser: the chosen colour (0x00BBGGRR) or nothing. Empty: the system's.
    std::function<std::optional<std::uint32_t>(std::uint32_t current)> chooseColor;
};

// TForm_ColorSet: edits state.display.colors live, so the screen follows every choice; Cancel
// (or closing the window) puts back the roles in force when it was shown.
class ColorDialog : public QDialog {
public:
    ColorDialog(QWidget* parent, core::InstrumentState& state, ColorDialogHooks hooks = {});

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chooseRole(std::size_t role);
    void setDefaults();
    void applyCaptions();
    void updatePanels();
    void refresh();
    std::optional<std::uint32_t> chooseColor(std::uint32_t current);

    core::InstrumentState& m_state;
    ColorDialogHooks m_hooks;
    core::ColorRoles m_saved;
    bool m_open = false;
    std::array<QPushButton*, kColorRoleCount> m_buttons{};
    std::array<QFrame*, kColorRoleCount> m_panels{};
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_default;
};

} // namespace kx::ui
