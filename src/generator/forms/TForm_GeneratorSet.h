// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "generator/GenDialogModel.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace kx::generator {

// The generator settings dialog: DC level, modulation and the advanced settings. Every control
// edits the state at once and runs the settings-changed notification; Cancel (also Esc or the
// close box) restores every field the dialog opened with and applies the settings once more if
// any differed. exec() shows it modally, centred on the parent's window, in the language
// RussianUi has at that moment.
class TForm_GeneratorSet : public QDialog {
public:
    TForm_GeneratorSet(QWidget* parent, core::InstrumentState& state, std::function<void()> settingsChanged,
                       std::function<void()> raisePhaseSync);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* buildDcGroup();
    QGroupBox* buildModulationGroup();
    QGroupBox* buildAdvancedGroup();
    QToolButton* makeButton(QWidget* parent, const char* name, bool checkable);
    QScrollBar* makeBar(QWidget* parent, const char* name, int min, int max, GenControl control);
    QButtonGroup* makeGroup(GenControl control);

    void onControl(GenControl control, int value);
    void applyCaptions();
    void refresh();

    core::InstrumentState& m_state;
    std::function<void()> m_settingsChanged;
    std::function<void()> m_raisePhaseSync;
    GenDialogFields m_opened{};
    bool m_loading = false;

    QGroupBox* m_dcGroup = nullptr;
    QScrollBar* m_dcShift = nullptr;
    QLabel* m_dcLabel = nullptr;
    QPushButton* m_dcZero = nullptr;
    QButtonGroup* m_dcModes = nullptr;

    QGroupBox* m_modGroup = nullptr;
    QButtonGroup* m_modTypes = nullptr;
    QLabel* m_sourceLabel = nullptr;
    QButtonGroup* m_sources = nullptr;
    QCheckBox* m_inversion = nullptr;
    QLabel* m_mfLabel = nullptr;
    QButtonGroup* m_modRanges = nullptr;
    QButtonGroup* m_modShapes = nullptr;
    QToolButton* m_noise = nullptr;
    QScrollBar* m_mfFast = nullptr;
    QScrollBar* m_mfSlow = nullptr;
    QLabel* m_paramLabel = nullptr;
    QScrollBar* m_param = nullptr;
    QButtonGroup* m_deviation = nullptr;
    QPushButton* m_syncPhase = nullptr;

    QGroupBox* m_advGroup = nullptr;
    QLabel* m_auxLabel = nullptr;
    QComboBox* m_aux = nullptr;
    QCheckBox* m_auxInv = nullptr;
    QLabel* m_matchLabel = nullptr;
    QLabel* m_matchRaw = nullptr;
    QScrollBar* m_match = nullptr;
    QLabel* m_loadLabel = nullptr;
    QScrollBar* m_load = nullptr;
    QPushButton* m_load50 = nullptr;
    QCheckBox* m_sinx = nullptr;
    QCheckBox* m_dacCorr = nullptr;
    QCheckBox* m_upTo200 = nullptr;
    QCheckBox* m_test = nullptr;

    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::generator
