// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QScrollBar;

namespace kx::calibration {

// What the manual zero-level dialog asks of the session.
struct ZeroCalibrateMHooks {
    std::function<bool()> deviceReady;
    // Stores the shift (limited against the converter offsets) and sends it; returns the label's
    // suffix.
    std::function<std::string(int)> setShift;
    std::function<int()> shift;
    std::function<void()> accept; // OK: the table is uploaded
};

// The manual zero-level shift of the compact front end, judged on the running picture.
class TForm_ZeroCalibrateM : public QDialog {
public:
    TForm_ZeroCalibrateM(QWidget* parent, const core::InstrumentState& state, ZeroCalibrateMHooks hooks);

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showShift(const std::string& suffix);

    const core::InstrumentState& m_state;
    ZeroCalibrateMHooks m_hooks;
    bool m_loading = false;
    QLabel* m_label = nullptr;
    QScrollBar* m_shift = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::calibration
