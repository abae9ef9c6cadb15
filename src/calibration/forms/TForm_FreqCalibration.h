// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QScrollBar;

namespace kx::calibration {

// What the frequency calibration dialog asks of the session.
struct FreqCalibrationHooks {
    std::function<void()> settingsChanged; // the instrument is retuned at once
    std::function<void()> accept;          // OK: the program settings file is written
};

// The user's correction of the reference oscillator, in 0.01 ppm steps through the tuning table.
// Cancel (or Esc) puts back the correction the dialog opened with.
class TForm_FreqCalibration : public QDialog {
public:
    TForm_FreqCalibration(QWidget* parent, core::InstrumentState& state, FreqCalibrationHooks hooks);

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showPpm();

    core::InstrumentState& m_state;
    FreqCalibrationHooks m_hooks;
    std::int32_t m_opened = 0;
    bool m_loading = false;
    QLabel* m_label = nullptr;
    QScrollBar* m_ppm = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::calibration
