// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/forms/TForm_SweepCalibration.h"

#include "core/Text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kx::analyzers {

namespace {

constexpr core::TextPair kNaCaption{"NA Calibration", "Калибровка АЦ"};
constexpr core::TextPair kAaCaption{"AA OSL Calibration", "OSL калибровка АА"};
constexpr core::TextPair kResponse{"Response", "Отклик"};
constexpr core::TextPair kStandards[] = {{"Open", "Разомкнуто"}, {"Short", "Замкнуто"}, {"50 Ohm", "50 Ом"}};
constexpr core::TextPair kSave{"Save To File", "Сохранить"};
constexpr core::TextPair kLoad{"Load File", "Открыть"};
constexpr core::TextPair kExit{"Exit", "Выход"};
constexpr core::TextPair kMinus20{"To -20 dB", "Откалибровать на -20 dB"};
constexpr int kPollMs = 100;
constexpr int kPlanPoints = 1000;

QString text(const core::TextPair& t, bool ru) {
    return QString::fromUtf8(t.pick(ru));
}

} // namespace

TForm_SweepCalibration::TForm_SweepCalibration(QWidget* parent, bool antenna, SweepCalibrationHooks hooks)
    : QDialog(parent), m_antenna(antenna), m_hooks(std::move(hooks)) {
    const bool ru = m_hooks.russian;
    setObjectName(antenna ? "TForm_AA_Calibration" : "TForm_NA_Calibration");
    setWindowTitle(text(antenna ? kAaCaption : kNaCaption, ru));
    auto* grid = new QGridLayout;
    const int standards = antenna ? 3 : 1;
    for (int i = 0; i < standards; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        auto* b = new QPushButton(text(antenna ? kStandards[i] : kResponse, ru), this);
        b->setObjectName(antenna ? QString("Button_Standard%1").arg(i) : QString("Button_Response"));
        auto* l = new QLabel("-", this);
        l->setObjectName(QString("Label_Status%1").arg(i));
        l->setMinimumWidth(160);
        grid->addWidget(b, i, 0);
        grid->addWidget(l, i, 1);
        m_measure[idx] = b;
        m_status[idx] = l;
        connect(b, &QPushButton::clicked, this, [this, i] {
            m_hooks.measure(i);
            refresh();
        });
    }
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("ProgressBar");
    m_progress->setRange(0, kPlanPoints);
    m_progress->setTextVisible(false);
    m_use = new QCheckBox(this);
    m_use->setObjectName("CheckBox_Use_Clbr");
    connect(m_use, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) m_hooks.setUse(on);
    });
    if (!antenna) {
        m_minus20 = new QCheckBox(text(kMinus20, ru), this);
        m_minus20->setObjectName("CheckBox_m20_dB");
        connect(m_minus20, &QCheckBox::toggled, this, [this](bool on) {
            if (!m_loading) m_hooks.setMinus20(on);
        });
    }
    m_info = new QLabel(this);
    m_info->setObjectName("Label_Info");
    auto* buttons = new QHBoxLayout;
    m_save = new QPushButton(text(kSave, ru), this);
    m_save->setObjectName("Button_Save");
    m_load = new QPushButton(text(kLoad, ru), this);
    m_load->setObjectName("Button_Load");
    m_exit = new QPushButton(text(kExit, ru), this);
    m_exit->setObjectName("Button_Exit");
    buttons->addWidget(m_save);
    buttons->addWidget(m_load);
    buttons->addStretch();
    buttons->addWidget(m_exit);
    connect(m_save, &QPushButton::clicked, this, [this] {
        m_hooks.save();
        refresh();
    });
    connect(m_load, &QPushButton::clicked, this, [this] {
        m_hooks.load();
        refresh();
    });
    connect(m_exit, &QPushButton::clicked, this, [this] { reject(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_progress);
    layout->addWidget(m_use);
    if (m_minus20) layout->addWidget(m_minus20);
    layout->addWidget(m_info);
    layout->addLayout(buttons);
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, [this] { refresh(); });
    m_timer->start(kPollMs);
    refresh();
}

void TForm_SweepCalibration::reject() {
    if (!m_hooks.mayClose()) return;
    QDialog::reject();
}

void TForm_SweepCalibration::refresh() {
    const SweepCalibrationView v = m_hooks.view();
    m_loading = true;
    const int standards = m_antenna ? 3 : 1;
    for (int i = 0; i < standards; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        m_measure[idx]->setEnabled(v.deviceReady);
        m_status[idx]->setText(QString::fromStdString(v.status[idx]));
    }
    m_progress->setValue(std::min(v.progress, kPlanPoints));
    m_save->setEnabled(v.saveEnabled);
    m_use->setText(QString::fromStdString(v.useCaption));
    m_use->setChecked(v.use);
    m_use->setEnabled(!v.measuring);
    if (m_minus20) {
        m_minus20->setChecked(v.minus20);
        m_minus20->setEnabled(!v.measuring);
    }
    m_info->setText(v.measuring ? QString() : QString::fromStdString(v.info));
    m_loading = false;
}

} // namespace kx::analyzers
