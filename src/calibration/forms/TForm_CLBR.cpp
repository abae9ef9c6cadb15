// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/forms/TForm_CLBR.h"
#include "calibration/forms/NumberEdit.h"
#include "calibration/forms/OkCancelRow.h"

#include "calibration/CalibrationTexts.h"
#include "calibration/FreqCalibration.h"
#include "calibration/SystemTestModes.h"
#include "calibration/SystemTexts.h"
#include "core/DeviceModel.h"
#include "core/NumberFormat.h"
#include "core/Rounding.h"
#include "ui/DialogPlacement.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kx::calibration {

namespace {

// Block bytes of a channel's converter trims: gain of each converter, then the offsets.
constexpr std::size_t kTrimAt[2][4] = {{8, 9, 10, 11}, {12, 13, 14, 15}};
const char* const kTrimNames[2][4] = {
    {"ScrollBar_ADC0_GAIN", "ScrollBar_ADC1_GAIN", "ScrollBar_ADC0_OFFSET", "ScrollBar_ADC1_OFFSET"},
    {"ScrollBar_ADC2_GAIN", "ScrollBar_ADC3_GAIN", "ScrollBar_ADC2_OFFSET", "ScrollBar_ADC3_OFFSET"}};
constexpr std::size_t kGenAt[3] = {core::kSysGenZero, core::kSysGenNegative, core::kSysGenPositive};
const char* const kGenNames[3] = {"Edit_Gen_Zero", "Edit_Gen_Neg", "Edit_Gen_Pos"};
constexpr std::int32_t kThresholds[3] = {500000, 1500000, 2500000};
const char* const kThresholdCaptions[3] = {"0.5 V", "1.5 V", "2.5 V"};

QString qs(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}

QLabel* label(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}

QProgressBar* progressBar(const char* name, QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    return bar;
}

} // namespace

TForm_CLBR::TForm_CLBR(QWidget* parent, core::InstrumentState& state, SystemCalibrationPort& port)
    : QDialog(parent), m_state(state), m_port(port) {
    setObjectName("TForm_CLBR");
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    left->addWidget(buildGenerator());
    left->addWidget(buildAdc(0));
    left->addWidget(buildAdc(1));
    left->addStretch();
    right->addWidget(buildDither());
    right->addWidget(buildFrequency());
    right->addWidget(buildDigital());
    right->addStretch();
    columns->addLayout(left);
    columns->addLayout(right);
    layout->addLayout(columns);
    layout->addLayout(okCancelRow(this, m_ok, m_cancel));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, [this] { tick(); });
}

QPushButton* TForm_CLBR::modeButton(const char* name, const char* caption, int mode, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setCheckable(true);
    connect(b, &QPushButton::toggled, this, [this, mode](bool on) {
        if (m_loading) return;
        if (on) {
            m_port.setSystemMode(mode);
            m_adcDone = false;
            if (mode == kModeAutoFreq) m_ppm[0]->setFocus();
        } else if (m_port.systemMode() == mode) {
            m_port.setSystemMode(kModeNone);
            m_adcDone = false;
        }
        refresh();
    });
    m_modeButtons.emplace_back(b, mode);
    return b;
}

QScrollBar* TForm_CLBR::blockBar(const char* name, int min, int max, std::size_t at, QWidget* parent) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(min, max);
    bar->setMinimumWidth(160);
    connect(bar, &QScrollBar::valueChanged, this, [this, at](int v) {
        if (m_loading) return;
        m_port.setSystemByte(at, static_cast<std::uint8_t>(v));
        refresh();
    });
    m_blockBars.emplace_back(bar, at);
    return bar;
}

NumberEdit* TForm_CLBR::wordEdit(const char* name, std::size_t at, double scale,
                                 std::function<void()> entered, QWidget* parent) {
    auto* e = new NumberEdit(name, parent);
    e->onValue = [this, at, scale](double v) {
        m_port.setSystemWord(at, core::roundHalfAway<std::int32_t>(v * scale));
        refresh();
    };
    e->onFocus = [this, entered = std::move(entered)] {
        if (m_loading) return;
        entered();
        refresh();
    };
    return e;
}

QGroupBox* TForm_CLBR::buildGenerator() {
    m_generator = new QGroupBox(this);
    m_generator->setObjectName("GroupBox_Generator");
    auto* grid = new QGridLayout(m_generator);
    for (int i = 0; i < 3; ++i) {
        NumberEdit* e = wordEdit(
            kGenNames[i], kGenAt[i], 10000.0, [this, i] { m_port.focusGeneratorPoint(i); }, m_generator);
        grid->addWidget(e, 0, i);
        m_genEdits[static_cast<std::size_t>(i)] = e;
        m_genFullOnly.push_back(e);
    }
    m_genStatus = label("Label_Gen_Status", m_generator);
    grid->addWidget(m_genStatus, 0, 3, 1, 2);
    m_genFullOnly.push_back(m_genStatus);
    m_set = modeButton("Button_SET", "SET", kModeSet, m_generator);
    QPushButton* buttons[5] = {m_set, modeButton("Button_Test0V", "Test 0V", kModeTest0V, m_generator),
                               modeButton("Button_3VGain", "3V Gain", kModeGain3V, m_generator),
                               modeButton("Button_TestM3V", "Test -3V", kModeTestMinus3V, m_generator),
                               modeButton("Button_Test3V", "Test 3V", kModeTestPlus3V, m_generator)};
    for (int i = 0; i < 5; ++i) grid->addWidget(buttons[i], 1, i);
    m_genFullOnly.push_back(buttons[0]);
    m_genFullOnly.push_back(buttons[3]);
    m_genFullOnly.push_back(buttons[4]);
    return m_generator;
}

QGroupBox* TForm_CLBR::buildAdc(int channel) {
    auto* box = new QGroupBox(this);
    box->setObjectName(channel == 0 ? "GroupBox_ADC_A1" : "GroupBox_ADC_A2");
    auto* grid = new QGridLayout(box);
    const auto ch = static_cast<std::size_t>(channel);
    m_adcMatching[ch] = label(channel == 0 ? "Label_Matching_A1" : "Label_Matching_A2", box);
    grid->addWidget(m_adcMatching[ch], 0, 0, 1, 2);
    for (int i = 0; i < 4; ++i)
        grid->addWidget(
            blockBar(kTrimNames[channel][i], i < 2 ? 0 : -128, i < 2 ? 255 : 127, kTrimAt[channel][i], box),
            1 + i, 0);
    m_adcStatus[ch] = label(channel == 0 ? "Label_ADC_A1" : "Label_ADC_A2", box);
    m_adcStatus[ch]->setMinimumWidth(200);
    grid->addWidget(m_adcStatus[ch], 1, 1, 4, 1);
    auto* row = new QHBoxLayout;
    if (channel == 0) {
        row->addWidget(modeButton("Button_1KHz_A1", "1 KHz", kModeVerify1k, box));
        row->addWidget(modeButton("Button_HFFFT_A1", "HF FFT", kModeHfFftA1, box));
        row->addWidget(modeButton("Button_Auto_A1", "Auto", kModeAutoAdc, box));
        m_adcProgress = progressBar("ProgressBar_ADC", box);
        row->addWidget(m_adcProgress);
    } else {
        row->addWidget(modeButton("Button_HFFFT_A2", "HF FFT", kModeHfFftA2, box));
        row->addStretch();
    }
    grid->addLayout(row, 5, 0, 1, 2);
    m_adc[ch] = box;
    return box;
}

QGroupBox* TForm_CLBR::buildDither() {
    m_dither = new QGroupBox(this);
    m_dither->setObjectName("GroupBox_Dither");
    auto* grid = new QGridLayout(m_dither);
    for (int ch = 0; ch < 2; ++ch) {
        const auto c = static_cast<std::size_t>(ch);
        const int row = ch * 5;
        m_ditherLabel[c] = label(ch == 0 ? "Label_Dither_A1" : "Label_Dither_A2", m_dither);
        grid->addWidget(m_ditherLabel[c], row, 0, 1, 2);
        const std::size_t at = ch == 0 ? 16 : 19;
        grid->addWidget(
            blockBar(ch == 0 ? "ScrollBar_Dith_AMP_A1" : "ScrollBar_Dith_AMP_A2", 0, 255, at, m_dither),
            row + 1, 0);
        grid->addWidget(
            blockBar(ch == 0 ? "ScrollBar_Dith_RC_A1" : "ScrollBar_Dith_RC_A2", 0, 3, at + 1, m_dither),
            row + 2, 0);
        if (ch == 0) grid->addWidget(blockBar("ScrollBar_Dith_PH_A1", 0, 255, 18, m_dither), row + 3, 0);
        m_ditherStatus[c] = label(ch == 0 ? "Label_Dith_A1" : "Label_Dith_A2", m_dither);
        grid->addWidget(m_ditherStatus[c], row + 1, 1, 3, 1);
        QPushButton* fft = modeButton(ch == 0 ? "Button_FFT_Dith_A1" : "Button_FFT_Dith_A2", "FFT",
                                      ch == 0 ? kModeDitherA1 : kModeDitherA2, m_dither);
        grid->addWidget(fft, row + 4, 0);
        if (ch == 1) {
            for (QWidget* w : {static_cast<QWidget*>(m_ditherLabel[c]),
                               static_cast<QWidget*>(m_ditherStatus[c]), static_cast<QWidget*>(fft)})
                m_a2Only.push_back(w);
            m_a2Only.push_back(m_blockBars[m_blockBars.size() - 1].first);
            m_a2Only.push_back(m_blockBars[m_blockBars.size() - 2].first);
        }
    }
    return m_dither;
}

QGroupBox* TForm_CLBR::buildFrequency() {
    m_frequency = new QGroupBox(this);
    m_frequency->setObjectName("GroupBox_Freq");
    auto* grid = new QGridLayout(m_frequency);
    m_refLabel = label("Label_Ref_Freq", m_frequency);
    grid->addWidget(m_refLabel, 0, 0, 1, 3);
    m_refFreq = new NumberEdit("Edit_Ref_Freq", m_frequency);
    m_refFreq->setMaximumWidth(140);
    m_refFreq->onValue = [this](double hz) {
        m_state.system.Ref_Freg = hz;
        refresh();
    };
    grid->addWidget(m_refFreq, 0, 3, 1, 2);
    m_fMeter = label("Label_FMeter", m_frequency);
    grid->addWidget(m_fMeter, 1, 0, 1, 5);
    m_refValues = label("Label_Ref_Values", m_frequency);
    grid->addWidget(m_refValues, 2, 0, 1, 5);
    for (int k = 0; k < 5; ++k) {
        const std::string name = "Edit_FPnt_" + std::to_string(k + 1);
        NumberEdit* e = wordEdit(
            name.c_str(), core::kSysFreqPoints + 2 * static_cast<std::size_t>(k), 100.0,
            [this, k] { m_port.focusTuningPoint(k); }, m_frequency);
        grid->addWidget(e, 3, k);
        m_ppm[static_cast<std::size_t>(k)] = e;
    }
    m_tuning = new QScrollBar(Qt::Horizontal, m_frequency);
    m_tuning->setObjectName("ScrollBar_FREQ_ADJ");
    m_tuning->setRange(0, 65535);
    m_tuning->setPageStep(256);
    connect(m_tuning, &QScrollBar::valueChanged, this, [this](int v) {
        if (m_loading) return;
        m_port.setTuningCode(static_cast<std::uint16_t>(v));
        refresh();
    });
    grid->addWidget(m_tuning, 4, 0, 1, 3);
    m_tuningLabel = label("Label_FREQ_ADJ", m_frequency);
    grid->addWidget(m_tuningLabel, 4, 3, 1, 2);
    auto* zero = new QPushButton("0 PPM", m_frequency);
    zero->setObjectName("Button_0PPM");
    connect(zero, &QPushButton::clicked, this, [this] {
        m_port.tuneToZeroPpm();
        refresh();
    });
    grid->addWidget(zero, 5, 0);
    grid->addWidget(modeButton("Button_Auto_Freq", "Auto", kModeAutoFreq, m_frequency), 5, 1);
    m_freqProgress = progressBar("ProgressBar_Freq", m_frequency);
    grid->addWidget(m_freqProgress, 5, 2, 1, 3);
    return m_frequency;
}

QGroupBox* TForm_CLBR::buildDigital() {
    m_digital = new QGroupBox(this);
    m_digital->setObjectName("GroupBox_Digital");
    auto* grid = new QGridLayout(m_digital);
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(kThresholdCaptions[i], m_digital);
        b->setObjectName(i == 0 ? "Button_Thr_05V" : i == 1 ? "Button_Thr_15V" : "Button_Thr_25V");
        b->setCheckable(true);
        const std::int32_t t = kThresholds[i];
        connect(b, &QPushButton::clicked, this, [this, t] {
            m_port.setDigitalThreshold(t);
            refresh();
        });
        grid->addWidget(b, 0, i);
        m_thresholds[static_cast<std::size_t>(i)] = b;
    }
    static constexpr const char* kCaptions[5] = {"10 KHz", "100 KHz", "1 MHz", "10 MHz", "50 MHz"};
    static constexpr const char* kNames[5] = {"Button_Dig_10K", "Button_Dig_100K", "Button_Dig_1M",
                                              "Button_Dig_10M", "Button_Dig_50M"};
    for (int i = 0; i < 5; ++i)
        grid->addWidget(modeButton(kNames[i], kCaptions[i], kModeDigital10k + i, m_digital), 1, i);
    for (int d = 0; d < 4; ++d) {
        const std::string name = "Label_D" + std::to_string(d + 1);
        m_digitalLines[static_cast<std::size_t>(d)] = label(name.c_str(), m_digital);
        grid->addWidget(m_digitalLines[static_cast<std::size_t>(d)], 2 + d / 2, (d % 2) * 3, 1, 3);
    }
    return m_digital;
}

void TForm_CLBR::applyCaptions() {
    const bool ru = m_state.system.RussianUi;
    setWindowTitle(qs(kSystemCaption.pick(ru)));
    m_cancel->setText(qs(kCancel.pick(ru)));
    m_generator->setTitle(qs(kGeneratorGroup.pick(ru)));
    for (int ch = 0; ch < 2; ++ch) {
        const auto c = static_cast<std::size_t>(ch);
        m_adc[c]->setTitle(qs(kAdcGroup[ch].pick(ru)));
        m_adcMatching[c]->setText(qs(kAdcMatching[ch].pick(ru)));
        m_ditherLabel[c]->setText(qs(kDitherLabel[ch].pick(ru)));
    }
    m_frequency->setTitle(qs(kFrequencyGroup.pick(ru)));
    m_refLabel->setText(qs(kReferenceFrequency.pick(ru)));
    m_refValues->setText(qs(kReferenceValues.pick(ru)));
}

void TForm_CLBR::showEvent(QShowEvent* event) {
    const std::int32_t model = m_state.system.UiDeviceType;
    const bool compact = core::hasCompactFrontEnd(model);
    applyCaptions();
    m_adc[1]->setVisible(core::hasA2Input(model));
    for (QWidget* w : m_a2Only) w->setVisible(core::hasA2Input(model));
    m_generator->setVisible(core::hasGenerator(model));
    for (QWidget* w : m_genFullOnly) w->setVisible(!compact);
    m_ok->setEnabled(m_port.systemMeasures());
    m_adcDone = false;
    m_adcProgress->setValue(0);
    m_freqProgress->setValue(0);
    m_ok->setFocus();
    if (m_port.systemMeasures()) m_timer->start();
    refresh();
    adjustSize();
    if (QWidget* p = parentWidget()) ui::centreOver(this, p->window());
    QDialog::showEvent(event);
}

void TForm_CLBR::tick() {
    const int before = m_port.systemMode();
    handle(m_port.systemTick());
    // The automatic matching ends in the 1 kHz verification with its bar full.
    if (before == kModeAutoAdc && m_port.systemMode() == kModeVerify1k) m_adcDone = true;
    refresh();
}

void TForm_CLBR::handle(const FreqTableRun::Step& step) {
    if (step.write >= 0) m_ppm[static_cast<std::size_t>(step.write)]->putValue(step.ppm, 3);
    if (step.finished) {
        m_cancel->setFocus();
        m_freqProgress->setValue(m_freqProgress->maximum());
    } else if (step.aborted) {
        m_ok->isEnabled() ? m_ok->setFocus() : m_cancel->setFocus();
    } else if (step.focus >= 0 && step.focus < FreqTableRun::kPoints) {
        m_loading = true; // the run has tuned the point already
        m_ppm[static_cast<std::size_t>(step.focus)]->setFocus();
        m_loading = false;
    }
}

void TForm_CLBR::refresh() {
    const bool ru = m_state.system.RussianUi;
    const core::CalTable& t = m_state.calibration.SystemTable;
    const int mode = m_port.systemMode();
    const bool compact = core::hasCompactFrontEnd(m_state.system.UiDeviceType);
    m_loading = true;
    for (auto& [button, buttonMode] : m_modeButtons) button->setChecked(buttonMode == mode);
    for (auto& [bar, at] : m_blockBars)
        bar->setValue(bar->minimum() < 0 ? static_cast<std::int8_t>(t[at]) : t[at]);
    m_tuning->setValue(m_port.tuningCode());
    for (std::size_t i = 0; i < 3; ++i) {
        m_genEdits[i]->showValue(core::calInt16(t, kGenAt[i]) * 0.0001, 4);
        m_thresholds[i]->setChecked(m_port.digitalThreshold() == kThresholds[i]);
    }
    m_refFreq->showValue(m_state.system.Ref_Freg, 1);
    for (std::size_t k = 0; k < 5; ++k)
        m_ppm[k]->showValue(core::calInt16(t, core::kSysFreqPoints + 2 * k) * 0.01, 2);
    m_loading = false;

    // Generator.
    const GeneratorSpan span = generatorSpan(t);
    m_generator->setTitle(qs(kGeneratorPrefix.pick(ru) + generatorSpanText(span, compact)));
    m_genStatus->setText(span.ok() ? "OK" : "FAILED");
    m_set->setText(qs(setButtonCaption(t)));

    // Converters.
    const SystemResults& r = m_port.systemResults();
    const double expected = m_port.systemExpected();
    for (int ch = 0; ch < 2; ++ch)
        m_adcStatus[static_cast<std::size_t>(ch)]->setText(
            qs(adcStatusText(r, t, ch, mode == kModeVerify1k, expected)));
    if (mode == kModeAutoAdc)
        m_adcProgress->setValue((10 - m_port.autoAdcCountdown()) * 10);
    else
        m_adcProgress->setValue(m_adcDone ? 100 : 0);
    m_ok->setEnabled(m_port.systemMeasures() && mode != kModeAutoAdc);

    // Dither.
    for (int ch = 0; ch < 2; ++ch)
        m_ditherStatus[static_cast<std::size_t>(ch)]->setText(qs(ditherText(t, ch)));

    // Reference oscillator.
    m_fMeter->setText(
        qs(std::string(kFMeter.pick(ru)) + fMeterText(m_port.counterWords(), m_state.system.Ref_Freg)));
    m_tuningLabel->setText(qs(tuningText(m_port.tuningCode())));
    if (mode == kModeAutoFreq) m_freqProgress->setValue(m_port.freqTableProgress(m_freqProgress->maximum()));

    // Logic inputs.
    const std::int32_t threshold = m_port.digitalThreshold();
    m_digital->setTitle(qs(std::string(kDigitalGroup.pick(ru)) + core::formatNumber(threshold, 1, -4) + ")"));
    for (int d = 0; d < 4; ++d)
        m_digitalLines[static_cast<std::size_t>(d)]->setText(
            qs(digitalLine(d, r.lowFraction[static_cast<std::size_t>(d)], threshold)));
}

void TForm_CLBR::accept() {
    m_timer->stop();
    m_port.systemAccept();
    QDialog::accept();
}

void TForm_CLBR::reject() {
    m_timer->stop();
    QDialog::reject();
}

} // namespace kx::calibration
