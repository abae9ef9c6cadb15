// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AdvancedSettingsDialog.h"

#include "core/DeviceModel.h"
#include "ui/ColorRoleTable.h"
#include "ui/DialogTexts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include <utility>

namespace kx::ui {
namespace {

QString qs(const char* s) {
    return QString::fromUtf8(s);
}

char localeDecimalSeparator() {
    return QLocale().decimalPoint() == QStringLiteral(",") ? ',' : '.';
}

struct FlagRow {
    const char* name;
    bool core::SystemState::*field;
    bool instrument;
};

constexpr FlagRow kFlagRows[] = {
    {"CheckBox_Refl_Cursors", &core::SystemState::Refl_Cursors, false},
    {"CheckBox_Analog_BW_Flt", &core::SystemState::Analog_BW_Flt, true},
    {"CheckBox_Digital_BW_Flt", &core::SystemState::Digital_BW_Flt, true},
    {"CheckBox_IQ_Win_En", &core::SystemState::IQ_Win_En, true},
    {"CheckBox_Dither_En", &core::SystemState::Dither_En, true},
    {"CheckBox_Use_ADC_0", &core::SystemState::Use_ADC_0, true},
};
constexpr std::size_t kAnalogBw = 1, kDigitalBw = 2, kDither = 4, kUseAdc0 = 5;

} // namespace

AdvancedSettingsDialog::AdvancedSettingsDialog(QWidget* parent, core::InstrumentState& state,
                                               AdvancedDialogHooks hooks)
    : QDialog(parent), m_state(state), m_hooks(std::move(hooks)), m_adMatchCaption(new QLabel(this)),
      m_adMatch(new QScrollBar(Qt::Horizontal, this)), m_adMatchValue(new QLabel(this)),
      m_velocityCaption(new QLabel(this)), m_velocity(new QLineEdit(this)),
      m_ok(new QPushButton(qs(kOkCaption), this)), m_cancel(new QPushButton(this)),
      m_default(new QPushButton(this)) {
    setObjectName(QStringLiteral("TForm_ASet"));
    setModal(true);

    m_adMatchCaption->setObjectName(QStringLiteral("Label_AD_Match_"));
    m_adMatch->setObjectName(QStringLiteral("ScrollBar_AD_Match"));
    m_adMatch->setRange(kAdMatchMin, kAdMatchMax);
    m_adMatch->setSingleStep(1);
    m_adMatch->setPageStep(kAdMatchPageStep);
    m_adMatch->setMinimumWidth(320);
    m_adMatchValue->setObjectName(QStringLiteral("Label_AD_Match"));
    m_adMatchValue->setAlignment(Qt::AlignCenter);
    m_velocityCaption->setObjectName(QStringLiteral("Label_Reflectometer"));
    m_velocity->setObjectName(QStringLiteral("Edit_Vel_Factor"));
    m_velocityPalette = m_velocity->palette();
    connect(m_adMatch, &QScrollBar::valueChanged, this, [this](int v) { onAdMatch(v); });
    connect(m_velocity, &QLineEdit::textChanged, this, [this] { onVelocityFactor(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_adMatchCaption);
    layout->addWidget(m_adMatch);
    layout->addWidget(m_adMatchValue);
    auto* velocityRow = new QHBoxLayout;
    velocityRow->addWidget(m_velocityCaption);
    velocityRow->addWidget(m_velocity);
    layout->addLayout(velocityRow);

    for (std::size_t i = 0; i < m_flags.size(); ++i) {
        const FlagRow& row = kFlagRows[i];
        auto* box = new QCheckBox(this);
        box->setObjectName(qs(row.name));
        layout->addWidget(box);
        m_flags[i] = {box, row.field, row.instrument};
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            if (m_loading) return;
            const Flag& f = m_flags[i];
            m_state.system.*f.field = on;
            if (f.instrument)
                settingsChanged();
            else
                refresh();
        });
    }

    m_ok->setObjectName(QStringLiteral("Button_OK"));
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    m_default->setObjectName(QStringLiteral("Button_Default"));
    m_default->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_default, &QPushButton::clicked, this, [this] { onDefault(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_default);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AdvancedSettingsDialog::showEvent(QShowEvent* event) {
    // A restore from minimised is not a new showing.
    if (!event->spontaneous()) {
        m_separator = m_hooks.decimalSeparator ? m_hooks.decimalSeparator : localeDecimalSeparator();
        m_saved = advancedFieldsOf(m_state.system);
        m_open = true;
        const bool compact = core::hasCompactFrontEnd(m_state.system.UiDeviceType);
        const bool debug = m_state.system.DebugMode;
        m_flags[kAnalogBw].box->setVisible(!compact);
        m_flags[kDigitalBw].box->setVisible(!compact);
        m_flags[kDither].box->setVisible(debug);
        m_flags[kUseAdc0].box->setVisible(debug);
        loadControls();
        applyCaptions();
        updateReadouts();
        m_cancel->setFocus();
        // Captions change the size: settle it before the window appears.
        layout()->activate();
    }
    QDialog::showEvent(event);
}

void AdvancedSettingsDialog::done(int result) {
    // Every way of closing ends here once: buttons, Esc and the window's close box.
    if (m_open) {
        m_open = false;
        if (result != QDialog::Accepted) {
            if (restoreAdvancedFields(m_state.system, m_saved) == AdvancedNotify::SettingsChanged)
                settingsChanged();
            else
                refresh();
        }
    }
    QDialog::done(result);
}

void AdvancedSettingsDialog::loadControls() {
    m_loading = true;
    // A value from a settings file may lie outside the bar's range: the bar shows the nearest
    // end, the field keeps its value until the bar is moved.
    m_adMatch->setValue(m_state.system.AD_Match);
    m_velocity->setText(QString::fromStdString(velocityFactorText(m_state.system.Vel_Factor, m_separator)));
    for (const Flag& f : m_flags) f.box->setChecked(m_state.system.*f.field);
    m_loading = false;
}

void AdvancedSettingsDialog::applyCaptions() {
    const bool ru = m_state.system.RussianUi;
    const auto texts = advancedDialogTexts();
    setWindowTitle(qs(dialogText(texts, "window", ru)));
    m_adMatchCaption->setText(qs(dialogText(texts, "Label_AD_Match_", ru)));
    m_velocityCaption->setText(qs(dialogText(texts, "Label_Reflectometer", ru)));
    for (const Flag& f : m_flags)
        f.box->setText(qs(dialogText(texts, f.box->objectName().toStdString(), ru)));
    m_cancel->setText(qs(dialogText(texts, "Button_Cancel", ru)));
    m_default->setText(qs(dialogText(texts, "Button_Default", ru)));
}

void AdvancedSettingsDialog::updateReadouts() {
    m_adMatchValue->setText(QString::fromStdString(
        adMatchReadout(m_state.system.AD_Match, m_state.system.DebugMode, m_separator)));
    const bool valid = velocityFactorFromText(m_velocity->text().toStdString(), m_separator).has_value();
    if (valid) {
        m_velocity->setPalette(m_velocityPalette);
    } else {
        QPalette invalid = m_velocityPalette;
        invalid.setColor(QPalette::Base, QColor::fromRgb(bgrToRgb(kInvalidEditColor)));
        m_velocity->setPalette(invalid);
    }
}

void AdvancedSettingsDialog::onAdMatch(int value) {
    if (m_loading) return;
    m_state.system.AD_Match = value;
    updateReadouts();
    settingsChanged();
}

void AdvancedSettingsDialog::onVelocityFactor() {
    if (m_loading) return;
    if (const auto tenths = velocityFactorFromText(m_velocity->text().toStdString(), m_separator))
        m_state.system.Vel_Factor = *tenths;
    updateReadouts();
    refresh();
}

void AdvancedSettingsDialog::onDefault() {
    setAdvancedFields(m_state.system, defaultAdvancedFields());
    loadControls();
    updateReadouts();
    settingsChanged();
}

void AdvancedSettingsDialog::settingsChanged() {
    if (m_hooks.settingsChanged) m_hooks.settingsChanged();
}

void AdvancedSettingsDialog::refresh() {
    if (m_hooks.refresh) m_hooks.refresh();
}

} // namespace kx::ui
