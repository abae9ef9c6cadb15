// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/SystemMeasurement.h"
#include "core/InstrumentState.h"

#include <QDialog>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;

namespace kx::calibration {

// What the system calibration dialog asks of the session.
struct SystemCalibrationHooks {
    std::function<bool()> deviceReady;
    std::function<void(int)> setMode; // 0 none, 6 the 1 kHz verification, 8 automatic matching
    std::function<int()> mode;
    std::function<int()> autoCountdown;
    std::function<void(std::size_t, std::uint8_t)> setByte; // a block byte from a scroll bar
    std::function<const SystemResults&()> results;
    std::function<void()> accept; // OK: the block is uploaded
};

// The service dialog of the converters' matching (debug mode): per channel the gain and offset
// trims of its two interleaved converters, the 1 kHz verification and the automatic matching,
// refreshed by a 100 ms timer.
class TForm_CLBR : public QDialog {
public:
    TForm_CLBR(QWidget* parent, core::InstrumentState& state, SystemCalibrationHooks hooks);

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct AdcGroup {
        QGroupBox* box = nullptr;
        QLabel* matching = nullptr;
        std::array<QScrollBar*, 4> trims{}; // gain, gain, offset, offset
        QLabel* status = nullptr;
        QPushButton* verify = nullptr;
        QPushButton* autoRun = nullptr;
        QProgressBar* progress = nullptr;
    };
    AdcGroup buildGroup(int channel);
    void load();
    void tick();

    core::InstrumentState& m_state;
    SystemCalibrationHooks m_hooks;
    bool m_loading = false;
    std::array<AdcGroup, 2> m_groups;
    QTimer* m_timer = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::calibration
