// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/forms/TForm_ZeroCalibrate.h"

#include "calibration/CalibrationTexts.h"
#include "calibration/ZeroCalibration.h"
#include "calibration/ZeroTableText.h"
#include "core/DeviceModel.h"
#include "ui/DialogPlacement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::calibration {

namespace {

QString q(const core::TextPair& t, bool ru) {
    return QString::fromUtf8(t.pick(ru));
}

} // namespace

TForm_ZeroCalibrate::TForm_ZeroCalibrate(QWidget* parent, const core::InstrumentState& state,
                                         ZeroCalibrateHooks hooks)
    : QDialog(parent), m_state(state), m_hooks(std::move(hooks)) {
    setObjectName("TForm_ZeroCalibrate");
    auto* layout = new QVBoxLayout(this);
    m_info = new QLabel(this);
    m_info->setObjectName("Label_Info");
    m_info->setMinimumWidth(380);
    m_info->setWordWrap(true);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("ProgressBar_Zero");
    m_progress->setRange(0, kZeroProgressMax);
    m_progress->setTextVisible(false);
    m_debug = new QLabel(this);
    m_debug->setObjectName("Label_D");
    auto* buttons = new QHBoxLayout;
    m_start = new QPushButton(this);
    m_start->setObjectName("Button_Start");
    m_ok = new QPushButton("OK", this);
    m_ok->setObjectName("Button_OK");
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName("Button_Cancel");
    buttons->addWidget(m_start);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addWidget(m_info);
    layout->addWidget(m_progress);
    layout->addWidget(m_debug);
    layout->addLayout(buttons);
    m_start->setAutoDefault(false);
    m_ok->setAutoDefault(false);
    connect(m_start, &QPushButton::clicked, this, [this] { startClick(); });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TForm_ZeroCalibrate::~TForm_ZeroCalibrate() {
    if (m_hooks.listen) m_hooks.listen({});
}

void TForm_ZeroCalibrate::showEvent(QShowEvent* event) {
    const bool ru = m_state.system.RussianUi;
    setWindowTitle(q(kZeroCaption, ru));
    m_start->setText(q(kStart, ru));
    m_cancel->setText(q(kCancel, ru));
    m_info->setText(q(kZeroDisconnect, ru));
    m_ready = m_hooks.deviceReady && m_hooks.deviceReady();
    m_start->setEnabled(m_ready);
    m_ok->setEnabled(false);
    m_progress->setValue(0);
    if (m_hooks.listen) m_hooks.listen([this] { update(); });
    m_debug->setVisible(m_state.system.DebugMode);
    m_debug->setText(QString::fromUtf8(
        zeroTableText(m_state.calibration.ZeroTable, core::hasA2Input(m_state.system.UiDeviceType)).c_str()));
    adjustSize();
    if (QWidget* p = parentWidget()) ui::centreOver(this, p->window());
    QDialog::showEvent(event);
}

void TForm_ZeroCalibrate::startClick() {
    const bool ru = m_state.system.RussianUi;
    m_start->setEnabled(false);
    m_ok->setEnabled(false);
    m_progress->setValue(0);
    m_info->setText(q(kZeroRunning, ru));
    if (!m_hooks.start || !m_hooks.start()) {
        m_info->setText(q(kZeroFailed, ru));
        m_start->setEnabled(m_ready);
    }
}

void TForm_ZeroCalibrate::update() {
    const bool ru = m_state.system.RussianUi;
    const auto run = m_hooks.run ? m_hooks.run() : ZeroCalibrateHooks::Run::Idle;
    switch (run) {
    case ZeroCalibrateHooks::Run::Running:
        m_progress->setValue(m_hooks.progress ? m_hooks.progress() : 0);
        break;
    case ZeroCalibrateHooks::Run::Done:
        m_progress->setValue(kZeroProgressMax);
        m_debug->setText(QString::fromUtf8(
            zeroTableText(m_state.calibration.ZeroTable, core::hasA2Input(m_state.system.UiDeviceType))
                .c_str()));
        m_info->setText(q(kZeroDone, ru));
        m_ok->setEnabled(true);
        m_start->setEnabled(true);
        break;
    case ZeroCalibrateHooks::Run::Failed:
        m_progress->setValue(0);
        m_info->setText(q(kZeroFailed, ru));
        m_start->setEnabled(m_ready);
        break;
    case ZeroCalibrateHooks::Run::Idle:
        break;
    }
}

void TForm_ZeroCalibrate::accept() {
    if (m_hooks.accept) m_hooks.accept();
    QDialog::accept();
}

void TForm_ZeroCalibrate::reject() {
    if (m_hooks.stop) m_hooks.stop();
    QDialog::reject();
}

} // namespace kx::calibration
