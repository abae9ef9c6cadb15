// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/forms/TForm_ZeroCalibrateM.h"
#include "calibration/forms/OkCancelRow.h"

#include "calibration/CalibrationTexts.h"
#include "ui/DialogPlacement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kx::calibration {

TForm_ZeroCalibrateM::TForm_ZeroCalibrateM(QWidget* parent, const core::InstrumentState& state,
                                           ZeroCalibrateMHooks hooks)
    : QDialog(parent), m_state(state), m_hooks(std::move(hooks)) {
    setObjectName("TForm_ZeroCalibrateM");
    auto* layout = new QVBoxLayout(this);
    m_label = new QLabel(this);
    m_label->setObjectName("Label_ZShift");
    m_label->setMinimumWidth(300);
    m_shift = new QScrollBar(Qt::Horizontal, this);
    m_shift->setObjectName("ScrollBar_ZShift");
    m_shift->setRange(-128, 127);
    QHBoxLayout* buttons = okCancelRow(this, m_ok, m_cancel);
    layout->addWidget(m_label);
    layout->addWidget(m_shift);
    layout->addLayout(buttons);
    connect(m_shift, &QScrollBar::valueChanged, this, [this](int v) {
        if (m_loading) return;
        showShift(m_hooks.setShift ? m_hooks.setShift(v) : std::string());
    });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_ZeroCalibrateM::showEvent(QShowEvent* event) {
    const bool ru = m_state.system.RussianUi;
    setWindowTitle(QString::fromUtf8(kZeroCaption.pick(ru)));
    m_cancel->setText(QString::fromUtf8(kCancel.pick(ru)));
    m_ok->setEnabled(m_hooks.deviceReady && m_hooks.deviceReady());
    m_loading = true;
    m_shift->setValue(m_hooks.shift ? m_hooks.shift() : 0);
    m_loading = false;
    showShift({});
    adjustSize();
    if (QWidget* p = parentWidget()) ui::centreOver(this, p->window());
    QDialog::showEvent(event);
}

void TForm_ZeroCalibrateM::showShift(const std::string& suffix) {
    const int s = m_hooks.shift ? m_hooks.shift() : m_shift->value();
    if (s != m_shift->value()) {
        m_loading = true;
        m_shift->setValue(s);
        m_loading = false;
    }
    m_label->setText(QString::fromUtf8(kZeroLevel.pick(m_state.system.RussianUi)) + QString::number(s) +
                     QString::fromUtf8(suffix.c_str()));
}

void TForm_ZeroCalibrateM::accept() {
    if (m_hooks.accept) m_hooks.accept();
    QDialog::accept();
}

} // namespace kx::calibration
