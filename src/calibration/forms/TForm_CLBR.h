// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/SystemCalibrationPort.h"
#include "core/InstrumentState.h"

#include <QDialog>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;

namespace kx::calibration {

class NumberEdit;

// The service dialog of the instrument's analog parts (debug mode): the generator's offset
// points, the interleaved converters' trims, the dither compensation, the reference
// oscillator's tuning table and the logic inputs' thresholds, each with its test modes,
// refreshed by a 100 ms timer. OK uploads the block; Cancel puts the old one back.
class TForm_CLBR : public QDialog {
public:
    TForm_CLBR(QWidget* parent, core::InstrumentState& state, SystemCalibrationPort& port);

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* buildGenerator();
    QGroupBox* buildAdc(int channel);
    QGroupBox* buildDither();
    QGroupBox* buildFrequency();
    QGroupBox* buildDigital();
    // A test-mode button: pressed it selects its mode, released it returns to mode 0.
    QPushButton* modeButton(const char* name, const char* caption, int mode, QWidget* parent);
    // A box of a signed word of the block in units of 1/scale; `entered` runs when it gets the focus.
    NumberEdit* wordEdit(const char* name, std::size_t at, double scale, std::function<void()> entered,
                         QWidget* parent);
    QScrollBar* blockBar(const char* name, int min, int max, std::size_t at, QWidget* parent);
    void applyCaptions();
    void tick();
    void handle(const FreqTableRun::Step& step);
    void refresh();

    core::InstrumentState& m_state;
    SystemCalibrationPort& m_port;
    bool m_loading = false;

    QGroupBox* m_generator = nullptr;
    std::array<NumberEdit*, 3> m_genEdits{};
    std::vector<QWidget*> m_genFullOnly; // hidden on a compact front end
    QPushButton* m_set = nullptr;
    QLabel* m_genStatus = nullptr;

    std::array<QGroupBox*, 2> m_adc{};
    std::array<QLabel*, 2> m_adcMatching{};
    std::array<QLabel*, 2> m_adcStatus{};
    QProgressBar* m_adcProgress = nullptr;
    bool m_adcDone = false;

    QGroupBox* m_dither = nullptr;
    std::array<QLabel*, 2> m_ditherLabel{};
    std::array<QLabel*, 2> m_ditherStatus{};
    std::vector<QWidget*> m_a2Only; // hidden without the A2 input

    QGroupBox* m_frequency = nullptr;
    QLabel* m_refLabel = nullptr;
    NumberEdit* m_refFreq = nullptr;
    QLabel* m_fMeter = nullptr;
    QLabel* m_refValues = nullptr;
    std::array<NumberEdit*, 5> m_ppm{};
    QScrollBar* m_tuning = nullptr;
    QLabel* m_tuningLabel = nullptr;
    QProgressBar* m_freqProgress = nullptr;

    QGroupBox* m_digital = nullptr;
    std::array<QPushButton*, 3> m_thresholds{};
    std::array<QLabel*, 4> m_digitalLines{};

    std::vector<std::pair<QPushButton*, int>> m_modeButtons;
    std::vector<std::pair<QScrollBar*, std::size_t>> m_blockBars;
    QTimer* m_timer = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::calibration
