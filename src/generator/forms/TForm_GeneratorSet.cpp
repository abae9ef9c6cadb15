// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/forms/TForm_GeneratorSet.h"

#include "generator/GeneratorTexts.h"
#include "generator/forms/ShapeIcons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kx::generator {

namespace {

constexpr std::array<const char*, 4> kDcModeNames{"SpeedButton_DC_Positiv", "SpeedButton_DC_Mean",
                                                  "SpeedButton_DC_Negativ", "SpeedButton_DC_Symmetrical"};
constexpr std::array<const char*, 4> kModTypeNames{"SpeedButton_AM", "SpeedButton_FM", "SpeedButton_PM",
                                                   "SpeedButton_SUM"};
constexpr std::array<const char*, kModSources> kSourceNames{
    "SpeedButton_Src_Int", "SpeedButton_Src_A1",    "SpeedButton_Src_A2",
    "SpeedButton_Src_D1",  "SpeedButton_Src_D2",    "SpeedButton_Src_D3",
    "SpeedButton_Src_D4",  "SpeedButton_Src_Pulse", "SpeedButton_Src_AWG"};
constexpr std::array<const char*, kModRanges> kModRangeNames{"SpeedButton_MF_10K", "SpeedButton_MF_100K",
                                                             "SpeedButton_MF_1M", "SpeedButton_MF_10M",
                                                             "SpeedButton_MF_100M"};
// In MF_Shape order.
struct ShapeButton {
    const char* name;
    core::GenShape glyph;
};
constexpr std::array<ShapeButton, kModShapes> kModShapeButtons{
    {{"SpeedButton_MF_Sin", core::GenShape::Sine},
     {"SpeedButton_MF_Up_Trian", core::GenShape::RisingRamp},
     {"SpeedButton_MF_Dn_Trian", core::GenShape::FallingRamp},
     {"SpeedButton_MF_Rect", core::GenShape::Rectangle},
     {"SpeedButton_MF_Trian", core::GenShape::Triangle}}};
constexpr std::array<const char*, 2> kDeviationNames{"SpeedButton_DF_10K", "SpeedButton_DF_100K"};

constexpr int kBarWidth = 300;

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}
QString qs(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Sin(x)/x correction: clear 0, ticked 2, greyed 1.
Qt::CheckState sinxState(int v) {
    return v == 0 ? Qt::Unchecked : (v == 2 ? Qt::Checked : Qt::PartiallyChecked);
}
int sinxValue(Qt::CheckState s) {
    return s == Qt::Unchecked ? 0 : (s == Qt::Checked ? 2 : 1);
}

void check(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id)) {
        b->setChecked(true);
        return;
    }
    // No item down: an exclusive group has to let go of its checked one first.
    if (QAbstractButton* b = group->checkedButton()) {
        group->setExclusive(false);
        b->setChecked(false);
        group->setExclusive(true);
    }
}

} // namespace

TForm_GeneratorSet::TForm_GeneratorSet(QWidget* parent, core::InstrumentState& state,
                                       std::function<void()> settingsChanged,
                                       std::function<void()> raisePhaseSync)
    : QDialog(parent), m_state(state), m_settingsChanged(std::move(settingsChanged)),
      m_raisePhaseSync(std::move(raisePhaseSync)), m_opened(genDialogFields(state.generator)) {
    setObjectName(QStringLiteral("TForm_GeneratorSet"));
    setModal(true);

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("Button_OK"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &TForm_GeneratorSet::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* right = new QVBoxLayout;
    right->addWidget(buildDcGroup());
    right->addWidget(buildAdvancedGroup());
    right->addStretch(1);
    auto* groups = new QHBoxLayout;
    groups->addWidget(buildModulationGroup(), 1);
    groups->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(groups);
    outer->addLayout(buttons);

    applyCaptions();
    refresh();
}

QToolButton* TForm_GeneratorSet::makeButton(QWidget* parent, const char* name, bool checkable) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setCheckable(checkable);
    b->setMinimumWidth(40);
    return b;
}

QScrollBar* TForm_GeneratorSet::makeBar(QWidget* parent, const char* name, int min, int max,
                                        GenControl control) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(min, max);
    bar->setPageStep(std::max(1, (max - min) / 50));
    bar->setMinimumWidth(kBarWidth);
    connect(bar, &QScrollBar::valueChanged, this, [this, control](int v) { onControl(control, v); });
    return bar;
}

QButtonGroup* TForm_GeneratorSet::makeGroup(GenControl control) {
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    connect(group, &QButtonGroup::idClicked, this, [this, control](int id) { onControl(control, id); });
    return group;
}

QGroupBox* TForm_GeneratorSet::buildDcGroup() {
    m_dcGroup = new QGroupBox(this);
    m_dcGroup->setObjectName(QStringLiteral("GroupBox_DC"));
    m_dcLabel = new QLabel(m_dcGroup);
    m_dcLabel->setObjectName(QStringLiteral("Label_DAC_SHIFT"));
    m_dcShift = makeBar(m_dcGroup, "ScrollBar_DAC_SHIFT", kDcShiftMin, kDcShiftMax, GenControl::DcShift);
    m_dcZero = new QPushButton(m_dcGroup);
    m_dcZero->setObjectName(QStringLiteral("Button_DC_Zero"));
    connect(m_dcZero, &QPushButton::clicked, this, [this] { onControl(GenControl::DcZero, 0); });
    m_dcModes = makeGroup(GenControl::DcMode);
    auto* modes = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        QToolButton* b = makeButton(m_dcGroup, kDcModeNames[static_cast<std::size_t>(i)], true);
        m_dcModes->addButton(b, i);
        modes->addWidget(b);
    }
    modes->addStretch(1);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_dcShift, 1);
    bar->addWidget(m_dcZero);
    auto* layout = new QVBoxLayout(m_dcGroup);
    layout->addWidget(m_dcLabel);
    layout->addLayout(bar);
    layout->addLayout(modes);
    return m_dcGroup;
}

QGroupBox* TForm_GeneratorSet::buildModulationGroup() {
    m_modGroup = new QGroupBox(this);
    m_modGroup->setObjectName(QStringLiteral("GroupBox_Mod"));
    auto* layout = new QVBoxLayout(m_modGroup);

    m_modTypes = makeGroup(GenControl::ModType);
    auto* types = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        QToolButton* b = makeButton(m_modGroup, kModTypeNames[static_cast<std::size_t>(i)], true);
        m_modTypes->addButton(b, i);
        types->addWidget(b);
    }
    types->addStretch(1);
    layout->addLayout(types);

    m_sourceLabel = new QLabel(m_modGroup);
    m_sourceLabel->setObjectName(QStringLiteral("Label_Mod_Src"));
    layout->addWidget(m_sourceLabel);
    m_sources = makeGroup(GenControl::ModSource);
    auto* sources = new QGridLayout;
    sources->setSpacing(2);
    for (int i = 0; i < kModSources; ++i) {
        QToolButton* b = makeButton(m_modGroup, kSourceNames[static_cast<std::size_t>(i)], true);
        m_sources->addButton(b, i);
        sources->addWidget(b, i / 5, i % 5);
    }
    m_inversion = new QCheckBox(m_modGroup);
    m_inversion->setObjectName(QStringLiteral("CheckBox_Inv"));
    connect(m_inversion, &QCheckBox::clicked, this,
            [this](bool on) { onControl(GenControl::Inversion, on ? 1 : 0); });
    sources->addWidget(m_inversion, 1, 4);
    layout->addLayout(sources);

    m_mfLabel = new QLabel(m_modGroup);
    m_mfLabel->setObjectName(QStringLiteral("Label_MF"));
    layout->addWidget(m_mfLabel);
    m_modRanges = makeGroup(GenControl::ModRange);
    auto* ranges = new QHBoxLayout;
    for (int i = 0; i < kModRanges; ++i) {
        QToolButton* b = makeButton(m_modGroup, kModRangeNames[static_cast<std::size_t>(i)], true);
        m_modRanges->addButton(b, i);
        ranges->addWidget(b);
    }
    ranges->addStretch(1);
    layout->addLayout(ranges);
    m_modShapes = makeGroup(GenControl::ModShape);
    auto* shapes = new QHBoxLayout;
    for (int i = 0; i < kModShapes; ++i) {
        const ShapeButton& s = kModShapeButtons[static_cast<std::size_t>(i)];
        QToolButton* b = makeButton(m_modGroup, s.name, true);
        b->setIcon(shapeIcon(s.glyph));
        b->setIconSize(QSize(22, 14));
        m_modShapes->addButton(b, i);
        shapes->addWidget(b);
    }
    m_noise = makeButton(m_modGroup, "SpeedButton_MF_Noise", true);
    connect(m_noise, &QToolButton::clicked, this,
            [this](bool down) { onControl(GenControl::ModNoise, down ? 1 : 0); });
    shapes->addWidget(m_noise);
    shapes->addStretch(1);
    layout->addLayout(shapes);
    m_mfFast = makeBar(m_modGroup, "ScrollBar_MF_Fast", 0, 10000, GenControl::MfFast);
    m_mfSlow = makeBar(m_modGroup, "ScrollBar_MF_Slow", 0, 10000, GenControl::MfSlow);
    layout->addWidget(m_mfFast);
    layout->addWidget(m_mfSlow);

    m_paramLabel = new QLabel(m_modGroup);
    m_paramLabel->setObjectName(QStringLiteral("Label_Mod_Param"));
    layout->addWidget(m_paramLabel);
    m_param = makeBar(m_modGroup, "ScrollBar_Mod_Param", 0, kModParamMax, GenControl::ModParam);
    layout->addWidget(m_param);
    m_deviation = makeGroup(GenControl::DeviationRange);
    auto* deviation = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        QToolButton* b = makeButton(m_modGroup, kDeviationNames[static_cast<std::size_t>(i)], true);
        m_deviation->addButton(b, i);
        deviation->addWidget(b);
    }
    deviation->addStretch(1);
    m_syncPhase = new QPushButton(m_modGroup);
    m_syncPhase->setObjectName(QStringLiteral("Button_Sync_Ph"));
    connect(m_syncPhase, &QPushButton::clicked, this, [this] {
        if (m_loading) return;
        if (m_raisePhaseSync) m_raisePhaseSync();
        if (m_settingsChanged) m_settingsChanged();
    });
    deviation->addWidget(m_syncPhase);
    layout->addLayout(deviation);
    layout->addStretch(1);
    return m_modGroup;
}

QGroupBox* TForm_GeneratorSet::buildAdvancedGroup() {
    m_advGroup = new QGroupBox(this);
    m_advGroup->setObjectName(QStringLiteral("GroupBox_Advanced"));
    auto* layout = new QVBoxLayout(m_advGroup);

    m_auxLabel = new QLabel(m_advGroup);
    m_auxLabel->setObjectName(QStringLiteral("Label_Gen_Extra_Sel"));
    m_aux = new QComboBox(m_advGroup);
    m_aux->setObjectName(QStringLiteral("ComboBox_Gen_Extra_Sel"));
    for (const char* item : gentext::kAuxItems) m_aux->addItem(qs(item));
    connect(m_aux, &QComboBox::activated, this, [this](int i) { onControl(GenControl::AuxOutput, i); });
    m_auxInv = new QCheckBox(m_advGroup);
    m_auxInv->setObjectName(QStringLiteral("CheckBox_Gen_Extra_Inv"));
    connect(m_auxInv, &QCheckBox::clicked, this,
            [this](bool on) { onControl(GenControl::AuxInv, on ? 1 : 0); });
    auto* aux = new QHBoxLayout;
    aux->addWidget(m_auxLabel);
    aux->addWidget(m_aux);
    aux->addWidget(m_auxInv);
    aux->addStretch(1);
    layout->addLayout(aux);

    m_matchLabel = new QLabel(m_advGroup);
    m_matchLabel->setObjectName(QStringLiteral("Label_Gen_Match"));
    m_matchRaw = new QLabel(m_advGroup);
    m_matchRaw->setObjectName(QStringLiteral("Label_Gen_Match_"));
    auto* match = new QHBoxLayout;
    match->addWidget(m_matchLabel, 1);
    match->addWidget(m_matchRaw);
    layout->addLayout(match);
    m_match = makeBar(m_advGroup, "ScrollBar_Gen_Match", kMatchMin, kMatchMax, GenControl::TimeMatch);
    layout->addWidget(m_match);

    m_loadLabel = new QLabel(m_advGroup);
    m_loadLabel->setObjectName(QStringLiteral("Label_Gen_Load"));
    layout->addWidget(m_loadLabel);
    m_load = makeBar(m_advGroup, "ScrollBar_Gen_Load", 0, kLoadMax, GenControl::Load);
    m_load50 = new QPushButton(m_advGroup);
    m_load50->setObjectName(QStringLiteral("Button_50_Ohm"));
    connect(m_load50, &QPushButton::clicked, this, [this] { onControl(GenControl::Load50Ohm, 0); });
    auto* load = new QHBoxLayout;
    load->addWidget(m_load, 1);
    load->addWidget(m_load50);
    layout->addLayout(load);

    m_sinx = new QCheckBox(m_advGroup);
    m_sinx->setObjectName(QStringLiteral("CheckBox_Sinxx_Corr"));
    m_sinx->setTristate(true);
    connect(m_sinx, &QCheckBox::clicked, this,
            [this] { onControl(GenControl::SinxCorr, sinxValue(m_sinx->checkState())); });
    layout->addWidget(m_sinx);
    const auto debugBox = [this, layout](const char* name, GenControl control) {
        auto* box = new QCheckBox(m_advGroup);
        box->setObjectName(QString::fromLatin1(name));
        connect(box, &QCheckBox::clicked, this, [this, control](bool on) { onControl(control, on ? 1 : 0); });
        layout->addWidget(box);
        return box;
    };
    m_dacCorr = debugBox("CheckBox_Gen_Corr", GenControl::DacCorr);
    m_upTo200 = debugBox("CheckBox_Gen_200MHz", GenControl::UpTo200);
    m_test = debugBox("CheckBox_Gen_Test", GenControl::Test);
    return m_advGroup;
}

void TForm_GeneratorSet::applyCaptions() {
    const bool ru = m_state.system.RussianUi;
    setWindowTitle(qs(gentext::kTitle.pick(ru)));
    m_dcGroup->setTitle(qs(gentext::kDcGroup.pick(ru)));
    m_dcZero->setText(qs(gentext::kZero.pick(ru)));
    for (int i = 0; i < 4; ++i)
        m_dcModes->button(i)->setText(qs(gentext::kDcModes[static_cast<std::size_t>(i)].pick(ru)));
    m_modGroup->setTitle(qs(gentext::kModGroup.pick(ru)));
    for (int i = 0; i < 4; ++i)
        m_modTypes->button(i)->setText(qs(gentext::kModTypes[static_cast<std::size_t>(i)].pick(ru)));
    m_sourceLabel->setText(qs(gentext::kSourceLabel.pick(ru)));
    for (int i = 0; i < kModSources; ++i)
        m_sources->button(i)->setText(qs(gentext::kSources[static_cast<std::size_t>(i)].pick(ru)));
    m_inversion->setText(qs(gentext::kInversion.pick(ru)));
    m_noise->setText(qs(gentext::kNoiseButton.pick(ru)));
    m_syncPhase->setText(qs(gentext::kSyncPhase.pick(ru)));
    m_advGroup->setTitle(qs(gentext::kAdvancedGroup.pick(ru)));
    m_auxLabel->setText(qs(gentext::kAuxOutput.pick(ru)));
    m_auxInv->setText(qs(gentext::kAuxInv.pick(ru)));
    m_load50->setText(qs(gentext::k50Ohm.pick(ru)));
    m_sinx->setText(qs(gentext::kSinxCorrection.pick(ru)));
    m_dacCorr->setText(qs(gentext::kDacCorrection.pick(ru)));
    m_upTo200->setText(qs(gentext::kUpTo200.pick(ru)));
    m_test->setText(qs(gentext::kTest.pick(ru)));
    m_ok->setText(qs(gentext::kOk.pick(ru)));
    m_cancel->setText(qs(gentext::kCancel.pick(ru)));
}

void TForm_GeneratorSet::refresh() {
    const GenDialogView v = genDialogView(m_state);
    const bool wasLoading = m_loading;
    m_loading = true;

    m_dcGroup->setVisible(v.dcGroupVisible);
    m_dcShift->setValue(v.dcShift);
    m_dcLabel->setText(qs(v.dcLabel));
    check(m_dcModes, v.dcMode);
    for (QAbstractButton* b : m_dcModes->buttons()) b->setEnabled(v.dcModesEnabled);

    check(m_modTypes, v.modType);
    check(m_sources, v.modSource);
    for (int i = 0; i < kModSources; ++i) {
        QAbstractButton* b = m_sources->button(i);
        b->setVisible(v.sourceVisible[static_cast<std::size_t>(i)]);
        b->setEnabled(v.sourceEnabled[static_cast<std::size_t>(i)]);
    }
    m_inversion->setChecked(v.inversion);

    m_mfLabel->setText(qs(v.mfLabel));
    m_mfLabel->setEnabled(v.mfLabelEnabled);
    check(m_modRanges, v.modRange);
    for (int i = 0; i < kModRanges; ++i) {
        QAbstractButton* b = m_modRanges->button(i);
        b->setText(qs(v.modRangeCaption[static_cast<std::size_t>(i)]));
        b->setEnabled(v.modRangeEnabled);
    }
    check(m_modShapes, v.modShape);
    for (int i = 0; i < kModShapes; ++i)
        m_modShapes->button(i)->setEnabled(v.shapeEnabled[static_cast<std::size_t>(i)]);
    m_noise->setChecked(v.noiseDown);
    m_noise->setEnabled(v.noiseEnabled);
    m_mfFast->setValue(v.mfFast);
    m_mfSlow->setValue(v.mfSlow);
    m_mfFast->setEnabled(v.mfBarsEnabled);
    m_mfSlow->setEnabled(v.mfBarsEnabled);

    m_paramLabel->setText(qs(v.modParamLabel));
    m_param->setValue(v.modParam);
    check(m_deviation, v.deviationRange);
    for (int i = 0; i < 2; ++i) {
        QAbstractButton* b = m_deviation->button(i);
        b->setText(qs(v.deviationCaption[static_cast<std::size_t>(i)]));
        b->setEnabled(v.deviationEnabled);
    }
    m_syncPhase->setVisible(v.debugControlsVisible);

    m_aux->setCurrentIndex(v.auxOutput);
    m_auxInv->setChecked(v.auxInv);
    m_matchLabel->setText(qs(v.timeMatchLabel));
    m_matchRaw->setText(qs(v.timeMatchRaw));
    m_matchRaw->setVisible(v.debugControlsVisible);
    m_match->setValue(v.timeMatch);
    m_loadLabel->setText(qs(v.loadLabel));
    m_load->setValue(v.load);
    m_sinx->setCheckState(sinxState(v.sinxCorr));
    m_sinx->setEnabled(v.sinxEnabled);
    m_dacCorr->setChecked(v.dacCorr);
    m_upTo200->setChecked(v.upTo200);
    m_test->setChecked(v.test);
    for (QCheckBox* b : {m_dacCorr, m_upTo200, m_test}) b->setVisible(v.debugControlsVisible);

    m_loading = wasLoading;
}

void TForm_GeneratorSet::onControl(GenControl control, int value) {
    if (m_loading) return;
    m_loading = true;
    applyGenControl(m_state.generator, control, value);
    // The notification first: apply-settings may imply values that the dialog then shows.
    if (m_settingsChanged) m_settingsChanged();
    refresh();
    m_loading = false;
}

void TForm_GeneratorSet::showEvent(QShowEvent* event) {
    // A restore from minimised is not a new showing.
    if (!event->spontaneous()) {
        m_opened = openGenDialog(m_state.generator);
        applyCaptions();
        refresh();
        adjustSize();
        if (QWidget* p = parentWidget()) {
            QRect r(QPoint(), frameGeometry().size());
            r.moveCenter(p->window()->frameGeometry().center());
            move(r.topLeft());
        }
    }
    QDialog::showEvent(event);
}

void TForm_GeneratorSet::reject() {
    if (isVisible() && restoreGenDialog(m_opened, m_state.generator)) {
        refresh();
        if (m_settingsChanged) m_settingsChanged();
    }
    QDialog::reject();
}

} // namespace kx::generator
