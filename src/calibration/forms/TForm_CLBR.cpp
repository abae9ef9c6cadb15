// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/forms/TForm_CLBR.h"
#include "calibration/forms/OkCancelRow.h"

#include "calibration/CalibrationTexts.h"
#include "calibration/SystemTexts.h"
#include "core/DeviceModel.h"

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

constexpr int kModeVerify = 6;
constexpr int kModeAuto = 8;
constexpr double kExpected = 3000000.0;
constexpr int kAutoStart = 10;

// Block bytes of a channel's trims: gain of each converter, then the offsets.
constexpr std::size_t kTrimAt[2][4] = {{8, 9, 10, 11}, {12, 13, 14, 15}};
const char* const kTrimNames[2][4] = {
    {"ScrollBar_ADC0_GAIN", "ScrollBar_ADC1_GAIN", "ScrollBar_ADC0_OFFSET", "ScrollBar_ADC1_OFFSET"},
    {"ScrollBar_ADC2_GAIN", "ScrollBar_ADC3_GAIN", "ScrollBar_ADC2_OFFSET", "ScrollBar_ADC3_OFFSET"}};

} // namespace

TForm_CLBR::TForm_CLBR(QWidget* parent, core::InstrumentState& state, SystemCalibrationHooks hooks)
    : QDialog(parent), m_state(state), m_hooks(std::move(hooks)) {
    setObjectName("TForm_CLBR");
    auto* layout = new QVBoxLayout(this);
    for (int ch = 0; ch < 2; ++ch) {
        m_groups[static_cast<std::size_t>(ch)] = buildGroup(ch);
        layout->addWidget(m_groups[static_cast<std::size_t>(ch)].box);
    }
    QHBoxLayout* buttons = okCancelRow(this, m_ok, m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, [this] { tick(); });
}

TForm_CLBR::AdcGroup TForm_CLBR::buildGroup(int channel) {
    AdcGroup g;
    g.box = new QGroupBox(this);
    g.box->setObjectName(channel == 0 ? "GroupBox_ADC_A1" : "GroupBox_ADC_A2");
    auto* grid = new QGridLayout(g.box);
    g.matching = new QLabel(g.box);
    grid->addWidget(g.matching, 0, 0, 1, 2);
    for (int i = 0; i < 4; ++i) {
        auto* bar = new QScrollBar(Qt::Horizontal, g.box);
        bar->setObjectName(kTrimNames[channel][i]);
        bar->setRange(i < 2 ? 0 : -128, i < 2 ? 255 : 127);
        bar->setMinimumWidth(220);
        grid->addWidget(bar, 1 + i, 0);
        const std::size_t at = kTrimAt[channel][i];
        connect(bar, &QScrollBar::valueChanged, this, [this, at](int v) {
            if (m_loading || !m_hooks.setByte) return;
            m_hooks.setByte(at, static_cast<std::uint8_t>(v));
        });
        g.trims[static_cast<std::size_t>(i)] = bar;
    }
    g.status = new QLabel(g.box);
    g.status->setObjectName(channel == 0 ? "Label_ADC_A1" : "Label_ADC_A2");
    g.status->setMinimumWidth(220);
    grid->addWidget(g.status, 1, 1, 4, 1);
    auto* row = new QHBoxLayout;
    g.verify = new QPushButton("1 KHz", g.box);
    g.verify->setObjectName(channel == 0 ? "Button_1KHz_A1" : "Button_1KHz_A2");
    g.autoRun = new QPushButton("Auto", g.box);
    g.autoRun->setObjectName(channel == 0 ? "Button_Auto_A1" : "Button_Auto_A2");
    g.autoRun->setCheckable(true);
    g.progress = new QProgressBar(g.box);
    g.progress->setObjectName(channel == 0 ? "ProgressBar_ADC_A1" : "ProgressBar_ADC_A2");
    g.progress->setRange(0, 100);
    g.progress->setTextVisible(false);
    row->addWidget(g.verify);
    row->addWidget(g.autoRun);
    row->addWidget(g.progress);
    grid->addLayout(row, 5, 0, 1, 2);
    connect(g.verify, &QPushButton::clicked, this, [this] {
        if (m_hooks.setMode) m_hooks.setMode(kModeVerify);
        tick();
    });
    connect(g.autoRun, &QPushButton::toggled, this, [this](bool on) {
        if (m_loading || !m_hooks.setMode) return;
        // Releasing Auto before its end stops it; OK comes back with a ready instrument.
        m_hooks.setMode(on ? kModeAuto : 0);
        tick();
    });
    return g;
}

void TForm_CLBR::showEvent(QShowEvent* event) {
    const bool ru = m_state.system.RussianUi;
    setWindowTitle(QString::fromUtf8(kSystemCaption.pick(ru)));
    m_cancel->setText(QString::fromUtf8(kCancel.pick(ru)));
    for (int ch = 0; ch < 2; ++ch) {
        AdcGroup& g = m_groups[static_cast<std::size_t>(ch)];
        g.box->setTitle(QString::fromUtf8(kAdcGroup[ch].pick(ru)));
        g.matching->setText(QString::fromUtf8(kAdcMatching[ch].pick(ru)));
        g.progress->setValue(0);
    }
    m_groups[1].box->setVisible(core::hasA2Input(m_state.system.UiDeviceType));
    const bool ready = m_hooks.deviceReady && m_hooks.deviceReady();
    m_ok->setEnabled(ready);
    load();
    if (ready) m_timer->start();
    tick();
    adjustSize();
    if (QWidget* p = parentWidget()) move(p->window()->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TForm_CLBR::hideEvent(QHideEvent* event) {
    m_timer->stop();
    QDialog::hideEvent(event);
}

void TForm_CLBR::load() {
    m_loading = true;
    const core::CalTable& t = m_state.calibration.SystemTable;
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t b = t[kTrimAt[ch][i]];
            m_groups[static_cast<std::size_t>(ch)].trims[static_cast<std::size_t>(i)]->setValue(
                i < 2 ? b : static_cast<std::int8_t>(b));
        }
    m_loading = false;
}

void TForm_CLBR::tick() {
    const int mode = m_hooks.mode ? m_hooks.mode() : 0;
    const int countdown = m_hooks.autoCountdown ? m_hooks.autoCountdown() : 0;
    const bool ready = m_hooks.deviceReady && m_hooks.deviceReady();
    static const SystemResults kNone{};
    const SystemResults& r = m_hooks.results ? m_hooks.results() : kNone;
    load(); // the automatic matching moves the trims
    m_loading = true;
    for (AdcGroup& g : m_groups) {
        g.autoRun->setChecked(mode == kModeAuto);
        g.progress->setValue(mode == kModeAuto ? (kAutoStart - countdown) * 10
                                               : (mode == kModeVerify && g.progress->value() > 0 ? 100 : 0));
    }
    m_loading = false;
    m_ok->setEnabled(ready && mode != kModeAuto);
    for (int ch = 0; ch < 2; ++ch)
        m_groups[static_cast<std::size_t>(ch)].status->setText(QString::fromUtf8(
            adcStatusText(r, m_state.calibration.SystemTable, ch, mode == kModeVerify, kExpected).c_str()));
}

void TForm_CLBR::accept() {
    m_timer->stop();
    if (m_hooks.accept) m_hooks.accept();
    QDialog::accept();
}

} // namespace kx::calibration
