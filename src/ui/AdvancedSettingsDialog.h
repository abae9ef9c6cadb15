// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "ui/AdvancedSettings.h"

#include <QDialog>
#include <QPalette>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace kx::ui {

// What the advanced settings dialog asks of the window.
struct AdvancedDialogHooks {
    std::function<void()> settingsChanged; // for the fields the instrument uses
    std::function<void()> refresh;         // for the readout-only fields
    char decimalSeparator = 0;             // 0: the locale's
};

// TForm_ASet: edits the eight advanced fields of state.system live; Cancel (Esc, the close
// box) puts back the values it was shown with.
class AdvancedSettingsDialog : public QDialog {
public:
    AdvancedSettingsDialog(QWidget* parent, core::InstrumentState& state, AdvancedDialogHooks hooks = {});

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadControls();
    void applyCaptions();
    void updateReadouts();
    void onAdMatch(int value);
    void onVelocityFactor();
    void onDefault();
    void settingsChanged();
    void refresh();

    core::InstrumentState& m_state;
    AdvancedDialogHooks m_hooks;
    char m_separator = '.';
    AdvancedFields m_saved;
    bool m_open = false;
    // Set while the dialog fills its own controls: their change events then do nothing.
    bool m_loading = false;

    QLabel* m_adMatchCaption;
    QScrollBar* m_adMatch;
    QLabel* m_adMatchValue;
    QLabel* m_velocityCaption;
    QLineEdit* m_velocity;
    QPalette m_velocityPalette;
    struct Flag {
        QCheckBox* box;
        bool core::SystemState::*field;
        bool instrument; // the instrument uses it: settings-changed rather than refresh
    };
    std::array<Flag, 6> m_flags{};
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_default;
};

} // namespace kx::ui
