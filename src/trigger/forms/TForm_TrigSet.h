// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "trigger/TrigDialogModel.h"

#include <QDialog>

#include <array>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace kx::trigger {

// The trigger settings dialog. It edits the state live: every control stores its value, the
// dialog refreshes its texts, raises the trigger-changed flag where the control asks for it and
// runs the settings-changed notification. OK keeps the state; Cancel (also Esc or closing the
// window) restores what the dialog opened with. exec() shows it modally, centred on the parent's
// window, in the language RussianUi has at that moment.
class TForm_TrigSet : public QDialog {
public:
    TForm_TrigSet(QWidget* parent, core::InstrumentState& state, std::function<void()> settingsChanged,
                  std::function<void()> raiseTriggerChanged);

    // Cancel, Esc and the close box: restore, then tell the instrument what it must know.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* buildRadioGroup(const char* name, QButtonGroup*& group, TrigControl control);
    QWidget* buildThresholds();
    QGroupBox* buildConditions();
    QScrollBar* makeScrollBar(const char* name, int min, int max, TrigControl control);
    QToolButton* makeToolButton(const char* name);

    void onControl(TrigControl control, int value);
    void applyCaptions();
    void refresh();

    core::InstrumentState& m_state;
    std::function<void()> m_settingsChanged;
    std::function<void()> m_raiseTriggerChanged;
    TrigDialogSnapshot m_opened;
    bool m_russian = false;
    bool m_a2Channel = true;
    bool m_loading = false; // the dialog is filling its own controls or applying one's edit

    QGroupBox* m_preBox = nullptr;
    QButtonGroup* m_pre = nullptr;
    QGroupBox* m_nrBox = nullptr;
    QButtonGroup* m_nr = nullptr;
    QLabel* m_labelD123 = nullptr;
    QScrollBar* m_levD123 = nullptr;
    QToolButton* m_sameLev = nullptr;
    QLabel* m_labelD4 = nullptr;
    QScrollBar* m_levD4 = nullptr;

    QGroupBox* m_conditions = nullptr;
    std::array<QLabel*, kCondButtonCount / 2> m_rowCaptions{};
    std::array<QToolButton*, kCondButtonCount> m_cond{};
    QLabel* m_labelMode = nullptr;
    QCheckBox* m_tMode = nullptr;
    QScrollBar* m_tmin = nullptr;
    QScrollBar* m_tmax = nullptr;
    std::array<QToolButton*, 6> m_range{};
    std::array<QCheckBox*, 6> m_level{};
    QLabel* m_labelLev = nullptr;
    QLabel* m_labelCount = nullptr;
    QScrollBar* m_count = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::trigger
