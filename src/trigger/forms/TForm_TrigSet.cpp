// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/forms/TForm_TrigSet.h"

#include "core/DeviceModel.h"
#include "trigger/TriggerTexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace kx::trigger {
namespace {

constexpr std::array<const char*, kCondButtonCount> kCondNames{
    "SpeedButton_Rise_Pul",   "SpeedButton_Fall_Pul",   "SpeedButton_Rise_Per",    "SpeedButton_Fall_Per",
    "SpeedButton_Rise_Runt",  "SpeedButton_Fall_Runt",  "SpeedButton_Rise_Slew",   "SpeedButton_Fall_Slew",
    "SpeedButton_Extra_Rise", "SpeedButton_Extra_Fall", "SpeedButton_Extra2_Rise", "SpeedButton_Extra2_Fall",
    "SpeedButton_Video_Inv",  "SpeedButton_Video",
};
constexpr std::array<const char*, 6> kRangeNames{"SpeedButton_T10uS",  "SpeedButton_T100uS",
                                                 "SpeedButton_T1mS",   "SpeedButton_T10mS",
                                                 "SpeedButton_T100mS", "SpeedButton_T1S"};
constexpr std::array<const char*, 6> kLevelNames{"CheckBox_LevA1", "CheckBox_LevA2", "CheckBox_LevD1",
                                                 "CheckBox_LevD2", "CheckBox_LevD3", "CheckBox_LevD4"};

constexpr int kScrollBarWidth = 260;

// Clicks go unchecked, checked, grayed: "=1" before "=0", inside before outside.
class TriStateBox : public QCheckBox {
public:
    explicit TriStateBox(QWidget* parent) : QCheckBox(parent) { setTristate(true); }

protected:
    void nextCheckState() override {
        switch (checkState()) {
        case Qt::Unchecked:
            setCheckState(Qt::Checked);
            break;
        case Qt::Checked:
            setCheckState(Qt::PartiallyChecked);
            break;
        default:
            setCheckState(Qt::Unchecked);
            break;
        }
    }
};

Qt::CheckState checkStateOf(Mark m) {
    switch (m) {
    case Mark::Checked:
        return Qt::Checked;
    case Mark::Grayed:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

Mark markOf(Qt::CheckState s) {
    switch (s) {
    case Qt::Checked:
        return Mark::Checked;
    case Qt::PartiallyChecked:
        return Mark::Grayed;
    default:
        return Mark::Unchecked;
    }
}

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

TForm_TrigSet::TForm_TrigSet(QWidget* parent, core::InstrumentState& state,
                             std::function<void()> settingsChanged, std::function<void()> raiseTriggerChanged)
    : QDialog(parent), m_state(state), m_settingsChanged(std::move(settingsChanged)),
      m_raiseTriggerChanged(std::move(raiseTriggerChanged)), m_opened(snapshotOf(state)) {
    setObjectName(QStringLiteral("TForm_TrigSet"));
    setModal(true);

    auto* top = new QHBoxLayout;
    m_preBox = buildRadioGroup("RadioGroup_PreTrig", m_pre, TrigControl::PreTrig);
    m_nrBox = buildRadioGroup("RadioGroup_NR", m_nr, TrigControl::NoiseReject);
    top->addWidget(m_preBox);
    top->addWidget(m_nrBox);
    top->addWidget(buildThresholds(), 1);

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("Button_OK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &TForm_TrigSet::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(buildConditions());
    outer->addLayout(buttons);

    applyCaptions();
    refresh();
}

QGroupBox* TForm_TrigSet::buildRadioGroup(const char* name, QButtonGroup*& group, TrigControl control) {
    auto* box = new QGroupBox(this);
    box->setObjectName(QString::fromLatin1(name));
    group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    layout->setSpacing(0);
    for (int i = 0; i < 10; ++i) {
        auto* item = new QRadioButton(box);
        item->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(i));
        group->addButton(item, i);
        layout->addWidget(item);
    }
    connect(group, &QButtonGroup::idClicked, this, [this, control](int id) { onControl(control, id); });
    return box;
}

QScrollBar* TForm_TrigSet::makeScrollBar(const char* name, int min, int max, TrigControl control) {
    auto* bar = new QScrollBar(Qt::Horizontal, this);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(min, max);
    bar->setMinimumWidth(kScrollBarWidth);
    connect(bar, &QScrollBar::valueChanged, this, [this, control](int v) { onControl(control, v); });
    return bar;
}

QToolButton* TForm_TrigSet::makeToolButton(const char* name) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setCheckable(true);
    return button;
}

QWidget* TForm_TrigSet::buildThresholds() {
    auto* box = new QGroupBox(this);
    auto* grid = new QGridLayout(box);
    m_labelD123 = new QLabel(box);
    m_labelD123->setObjectName(QStringLiteral("Label_Lev_D123"));
    m_levD123 = makeScrollBar("ScrollBar_Lev_D123", 0, kThresholdMax, TrigControl::ThresholdD123);
    m_labelD4 = new QLabel(box);
    m_labelD4->setObjectName(QStringLiteral("Label_Lev_D4"));
    m_levD4 = makeScrollBar("ScrollBar_Lev_D4", 0, kThresholdMax, TrigControl::ThresholdD4);
    m_sameLev = makeToolButton("SpeedButton_Same_Lev");
    connect(m_sameLev, &QToolButton::clicked, this,
            [this](bool down) { onControl(TrigControl::SameLev, down ? 1 : 0); });
    grid->addWidget(m_labelD123, 0, 0);
    grid->addWidget(m_levD123, 1, 0);
    grid->addWidget(m_sameLev, 1, 1, 3, 1, Qt::AlignVCenter);
    grid->addWidget(m_labelD4, 2, 0);
    grid->addWidget(m_levD4, 3, 0);
    grid->setRowStretch(4, 1);
    return box;
}

QGroupBox* TForm_TrigSet::buildConditions() {
    m_conditions = new QGroupBox(this);
    auto* buttonGrid = new QGridLayout;
    for (int row = 0; row < kCondButtonCount / 2; ++row) {
        m_rowCaptions[static_cast<std::size_t>(row)] = new QLabel(m_conditions);
        buttonGrid->addWidget(m_rowCaptions[static_cast<std::size_t>(row)], row, 0);
        for (int form = 0; form < 2; ++form) {
            const int b = row * 2 + form;
            QToolButton* button = makeToolButton(kCondNames[static_cast<std::size_t>(b)]);
            button->setText(text(form == 0 ? caption::kRisingForm : caption::kFallingForm));
            connect(button, &QToolButton::clicked, this,
                    [this, b](bool down) { onControl(TrigControl::Condition, down ? b : kNoButton); });
            m_cond[static_cast<std::size_t>(b)] = button;
            buttonGrid->addWidget(button, row, 1 + form);
        }
    }
    buttonGrid->setRowStretch(kCondButtonCount / 2, 1);

    auto* right = new QVBoxLayout;
    m_labelMode = new QLabel(m_conditions);
    m_labelMode->setObjectName(QStringLiteral("Label_Trig_Mode"));
    right->addWidget(m_labelMode);

    m_tMode = new TriStateBox(m_conditions);
    m_tMode->setObjectName(QStringLiteral("CheckBox_Trig_T_Mode"));
    connect(m_tMode, &QCheckBox::clicked, this,
            [this] { onControl(TrigControl::TimeMode, static_cast<int>(markOf(m_tMode->checkState()))); });
    right->addWidget(m_tMode);
    m_tmin = makeScrollBar("ScrollBar_Trig_Tmin", 0, kTminMax, TrigControl::Tmin);
    m_tmax = makeScrollBar("ScrollBar_Trig_Tmax", 1, kTmaxMax, TrigControl::Tmax);
    right->addWidget(m_tmin);
    right->addWidget(m_tmax);
    auto* ranges = new QHBoxLayout;
    for (int r = 0; r < 6; ++r) {
        QToolButton* button = makeToolButton(kRangeNames[static_cast<std::size_t>(r)]);
        button->setText(text(caption::kRanges[static_cast<std::size_t>(r)]));
        connect(button, &QToolButton::clicked, this, [this, r] { onControl(TrigControl::Range, r); });
        m_range[static_cast<std::size_t>(r)] = button;
        ranges->addWidget(button);
    }
    ranges->addStretch(1);
    right->addLayout(ranges);

    auto* levels = new QHBoxLayout;
    for (int c = 0; c < 6; ++c) {
        auto* box = new TriStateBox(m_conditions);
        box->setObjectName(QString::fromLatin1(kLevelNames[static_cast<std::size_t>(c)]));
        const auto control = static_cast<TrigControl>(static_cast<int>(TrigControl::LevelA1) + c);
        connect(box, &QCheckBox::clicked, this,
                [this, box, control] { onControl(control, static_cast<int>(markOf(box->checkState()))); });
        m_level[static_cast<std::size_t>(c)] = box;
        levels->addWidget(box);
    }
    levels->addStretch(1);
    right->addLayout(levels);
    m_labelLev = new QLabel(m_conditions);
    m_labelLev->setObjectName(QStringLiteral("Label_Lev"));
    right->addWidget(m_labelLev);

    m_labelCount = new QLabel(m_conditions);
    m_labelCount->setObjectName(QStringLiteral("Label_Trig_Extra_N"));
    right->addWidget(m_labelCount);
    m_count =
        makeScrollBar("ScrollBar_Trig_Extra_N", 1, countLimit(core::kTrigModePulseWidth), TrigControl::Count);
    right->addWidget(m_count);
    right->addStretch(1);

    auto* layout = new QHBoxLayout(m_conditions);
    layout->addLayout(buttonGrid);
    layout->addSpacing(12);
    layout->addLayout(right, 1);
    return m_conditions;
}

void TForm_TrigSet::applyCaptions() {
    const bool ru = m_russian;
    setWindowTitle(text(caption::kTitle.pick(ru)));
    m_preBox->setTitle(text(caption::kPreTrig.pick(ru)));
    m_nrBox->setTitle(text(caption::kNoiseReject.pick(ru)));
    for (int i = 0; i < 10; ++i) {
        m_pre->button(i)->setText(text(caption::kPreTrigItems[static_cast<std::size_t>(i)].pick(ru)));
        m_nr->button(i)->setText(text(caption::kNoiseRejectItems[static_cast<std::size_t>(i)].pick(ru)));
    }
    m_sameLev->setText(text(caption::kSameLev.pick(ru)));
    m_conditions->setTitle(text(caption::kConditions.pick(ru)));
    for (std::size_t row = 0; row < m_rowCaptions.size(); ++row)
        m_rowCaptions[row]->setText(text(caption::kConditionRows[row].pick(ru)));
    m_ok->setText(text(caption::kOk.pick(ru)));
    m_cancel->setText(text(caption::kCancel.pick(ru)));
}

void TForm_TrigSet::refresh() {
    const TrigDialogView v = viewOf(m_state.trigger, m_a2Channel, m_russian);
    const bool wasLoading = m_loading;
    m_loading = true;

    m_pre->button(v.preTrig)->setChecked(true);
    m_nr->button(v.noiseReject)->setChecked(true);
    m_levD123->setValue(v.thresholdD123);
    m_levD4->setValue(v.thresholdD4);
    m_sameLev->setChecked(v.sameLev);
    m_labelD123->setText(text(v.labelLevD123));
    m_labelD4->setText(text(v.labelLevD4));

    for (int b = 0; b < kCondButtonCount; ++b) {
        QToolButton* button = m_cond[static_cast<std::size_t>(b)];
        button->setChecked(b == v.pressed);
        button->setEnabled(v.buttonEnabled[static_cast<std::size_t>(b)]);
    }
    m_labelMode->setText(text(v.labelTrigMode));

    m_tMode->setCheckState(checkStateOf(v.timeMode));
    m_tMode->setEnabled(v.timeModeEnabled);
    m_tMode->setText(text(v.timeModeText));
    m_tmin->setValue(v.tmin);
    m_tmax->setValue(v.tmax);
    m_tmin->setEnabled(v.limitsEnabled);
    m_tmax->setEnabled(v.limitsEnabled);
    for (int r = 0; r < 6; ++r) {
        QToolButton* button = m_range[static_cast<std::size_t>(r)];
        button->setChecked(r == v.range);
        button->setEnabled(v.limitsEnabled);
    }

    for (std::size_t c = 0; c < m_level.size(); ++c) {
        m_level[c]->setCheckState(checkStateOf(v.level[c]));
        m_level[c]->setEnabled(v.levelEnabled[c]);
        m_level[c]->setVisible(v.levelVisible[c]);
        m_level[c]->setText(text(v.levelText[c]));
    }
    m_labelLev->setText(text(v.labelLev));

    m_count->setRange(1, v.countMax);
    m_count->setValue(v.count);
    m_count->setEnabled(v.countEnabled);
    m_labelCount->setEnabled(v.countEnabled);
    m_labelCount->setText(text(v.labelCount));

    m_loading = wasLoading;
}

void TForm_TrigSet::onControl(TrigControl control, int value) {
    if (m_loading) return;
    m_loading = true;
    const ControlEffect e = applyControl(m_state.trigger, control, value);
    refresh();
    if (e.raiseTriggerChanged && m_raiseTriggerChanged) m_raiseTriggerChanged();
    if (m_settingsChanged) m_settingsChanged();
    m_loading = false;
}

void TForm_TrigSet::showEvent(QShowEvent* event) {
    // A restore from minimised is not a new showing.
    if (!event->spontaneous()) {
        m_russian = m_state.system.RussianUi;
        m_a2Channel = core::hasA2Channel(m_state.system.UiDeviceType);
        m_opened = snapshotOf(m_state);
        applyCaptions();
        refresh();
        // The texts of this showing decide the size, so the size is known only now.
        adjustSize();
        if (QWidget* p = parentWidget()) {
            QRect r(QPoint(), frameGeometry().size());
            r.moveCenter(p->window()->frameGeometry().center());
            move(r.topLeft());
        }
    }
    QDialog::showEvent(event);
}

void TForm_TrigSet::reject() {
    // Only a showing has something to go back to.
    if (isVisible()) {
        const CancelEffect e = cancel(m_opened, m_state);
        refresh();
        if (e.raiseTriggerChanged && m_raiseTriggerChanged) m_raiseTriggerChanged();
        if (e.settingsChanged && m_settingsChanged) m_settingsChanged();
    }
    QDialog::reject();
}

} // namespace kx::trigger
