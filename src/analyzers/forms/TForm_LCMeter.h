// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/LcMeterView.h"
#include <cstdint>

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kx::analyzers {

// What the LC meter's dialog asks of the program.
struct LcMeterHooks {
    std::function<void(bool selfC)> calibrate;
    std::function<void()> start;
    std::function<void(bool selfCChanged)> stop;
    std::function<LcMeterView()> view;
    bool russian = false;
    bool selfCShown = false; // debug mode on the normal front end
};

// "LC Meter": the buttons drive the run; the memo, result and progress follow the run's view,
// which the acquisition thread changes (polled here, redrawn when its revision moves).
class TForm_LCMeter : public QDialog {
public:
    TForm_LCMeter(QWidget* parent, LcMeterHooks hooks);

private:
    void refresh();

    LcMeterHooks m_hooks;
    QPushButton* m_calibrate = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_exit = nullptr;
    QCheckBox* m_selfC = nullptr;
    QProgressBar* m_progress = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLabel* m_result = nullptr;
    QTimer* m_timer = nullptr;
    std::uint32_t m_revision = ~0u;
};

} // namespace kx::analyzers
