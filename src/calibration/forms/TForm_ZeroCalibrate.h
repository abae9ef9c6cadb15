// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kx::calibration {

// What the automatic zero calibration dialog asks of the session.
struct ZeroCalibrateHooks {
    enum class Run { Idle, Running, Done, Failed };
    std::function<bool()> deviceReady;
    std::function<bool()> start; // false: the run could not start
    std::function<void()> stop;  // Cancel during a run
    std::function<Run()> run;
    std::function<int()> progress; // frames taken, 0 .. 140
    std::function<void()> accept;  // OK: the table is uploaded
    // The dialog's refresh, called by the session on every frame of a run; empty to detach.
    std::function<void(std::function<void()>)> listen;
};

// The automatic zero calibration: Start measures the seven steps with the inputs disconnected,
// OK keeps the new table (uploaded by the session), Cancel stops a run and keeps the old one.
class TForm_ZeroCalibrate : public QDialog {
public:
    TForm_ZeroCalibrate(QWidget* parent, const core::InstrumentState& state, ZeroCalibrateHooks hooks);
    ~TForm_ZeroCalibrate() override;

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startClick();
    void update();

    const core::InstrumentState& m_state;
    ZeroCalibrateHooks m_hooks;
    bool m_ready = false;
    QLabel* m_info = nullptr;
    QLabel* m_debug = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::calibration
