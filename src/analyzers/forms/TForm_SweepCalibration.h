// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/SweepCalibrationView.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kx::analyzers {

// What the calibration dialogs ask of the program.
struct SweepCalibrationHooks {
    std::function<void(int standard)> measure; // "Response", or "Open", "Short", "50 Ohm"
    std::function<void()> save;
    std::function<void()> load;
    std::function<bool()> mayClose; // asks when a calibration has not been saved
    std::function<void(bool)> setUse;
    std::function<void(bool)> setMinus20;
    std::function<SweepCalibrationView()> view;
    bool russian = false;
};

// The two calibration dialogs share their behaviour: TForm_NA_Calibration ("Response", "To -20
// dB") and TForm_AA_Calibration (open, short and load with a status each).
class TForm_SweepCalibration : public QDialog {
public:
    TForm_SweepCalibration(QWidget* parent, bool antenna, SweepCalibrationHooks hooks);

    void reject() override;

private:
    void refresh();

    bool m_antenna;
    SweepCalibrationHooks m_hooks;
    std::array<QPushButton*, 3> m_measure{};
    std::array<QLabel*, 3> m_status{};
    QPushButton* m_save = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_exit = nullptr;
    QCheckBox* m_use = nullptr;
    QCheckBox* m_minus20 = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_info = nullptr;
    QTimer* m_timer = nullptr;
    bool m_loading = false;
};

} // namespace kx::analyzers
