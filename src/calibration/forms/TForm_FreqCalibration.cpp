// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/forms/TForm_FreqCalibration.h"
#include "calibration/forms/OkCancelRow.h"

#include "calibration/CalibrationTexts.h"
#include "calibration/FreqCalibration.h"
#include "ui/DialogPlacement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kx::calibration {

TForm_FreqCalibration::TForm_FreqCalibration(QWidget* parent, core::InstrumentState& state,
                                             FreqCalibrationHooks hooks)
    : QDialog(parent), m_state(state), m_hooks(std::move(hooks)) {
    setObjectName("TForm_FreqCalibration");
    auto* layout = new QVBoxLayout(this);
    m_label = new QLabel(this);
    m_label->setObjectName("Label_PPM");
    m_label->setMinimumWidth(320);
    m_ppm = new QScrollBar(Qt::Horizontal, this);
    m_ppm->setObjectName("ScrollBar_PPM");
    m_ppm->setRange(kFreqClbrMin, kFreqClbrMax);
    m_ppm->setPageStep(100);
    QHBoxLayout* buttons = okCancelRow(this, m_ok, m_cancel);
    layout->addWidget(m_label);
    layout->addWidget(m_ppm);
    layout->addLayout(buttons);
    connect(m_ppm, &QScrollBar::valueChanged, this, [this](int v) {
        if (m_loading) return;
        m_state.system.Freq_Clbr = v;
        showPpm();
        if (m_hooks.settingsChanged) m_hooks.settingsChanged();
    });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_FreqCalibration::showEvent(QShowEvent* event) {
    const bool ru = m_state.system.RussianUi;
    setWindowTitle(QString::fromUtf8(kFreqCaption.pick(ru)));
    m_cancel->setText(QString::fromUtf8(kCancel.pick(ru)));
    m_opened = m_state.system.Freq_Clbr;
    m_loading = true;
    m_ppm->setValue(std::clamp(m_opened, kFreqClbrMin, kFreqClbrMax));
    m_loading = false;
    showPpm();
    m_ok->setFocus();
    adjustSize();
    if (QWidget* p = parentWidget()) ui::centreOver(this, p->window());
    QDialog::showEvent(event);
}

void TForm_FreqCalibration::showPpm() {
    m_label->setText(QString::fromUtf8(
        ppmLabel(m_state.system.Freq_Clbr, m_state.calibration.SystemTable, m_state.system.DebugMode)
            .c_str()));
}

void TForm_FreqCalibration::accept() {
    if (m_hooks.accept) m_hooks.accept();
    if (m_hooks.settingsChanged) m_hooks.settingsChanged();
    QDialog::accept();
}

void TForm_FreqCalibration::reject() {
    m_state.system.Freq_Clbr = m_opened;
    if (m_hooks.settingsChanged) m_hooks.settingsChanged();
    QDialog::reject();
}

} // namespace kx::calibration
