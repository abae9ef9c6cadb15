// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/forms/GeneratorPanel.h"

#include "display/Colors.h"
#include "generator/forms/ShapeIcons.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <vector>

namespace kx::generator {

namespace {

using core::GenFunction;
using core::GenShape;

constexpr std::array<const char*, kRangeButtons> kRangeNames{
    "SpeedButton_10K_5S",  "SpeedButton_100K_500mS", "SpeedButton_1M_50mS",
    "SpeedButton_10M_5mS", "SpeedButton_100M_500uS", "SpeedButton_50uS_Noise"};
constexpr std::array<const char*, kShapeButtons> kShapeNames{"SpeedButton_Sin", "SpeedButton_Rect",
                                                             "SpeedButton_Trian", "SpeedButton_Up_Trian",
                                                             "SpeedButton_Dn_Trian"};
// Function buttons in core::GenFunction order; Plain has none.
struct FunctionButton {
    GenFunction function;
    const char* name;
    const char* caption; // until the window's captions replace it
};
constexpr std::array<FunctionButton, 4> kFunctionButtonsShown{
    {{GenFunction::Modulation, "SpeedButton_Mod", "Mod."},
     {GenFunction::Pulse, "SpeedButton_Pulse", "Pulse"},
     {GenFunction::Sweep, "SpeedButton_Sweep", "Swp."},
     {GenFunction::Awg, "SpeedButton_AWG", "AWG"}}};

constexpr int kButtonHeight = 22;
constexpr int kValueBarWidth = 100;

void setText(QLabel* label, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (label->text() != t) label->setText(t);
}

void setText(QToolButton* button, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (button->text() != t) button->setText(t);
}

void setBar(QScrollBar* bar, const ScrollBarView& v) {
    if (bar->minimum() != v.min || bar->maximum() != v.max) bar->setRange(v.min, v.max);
    if (bar->value() != v.value) bar->setValue(v.value);
}

void setBackground(QWidget* w, QRgb color) {
    QPalette p = w->palette();
    if (p.color(QPalette::Window) == QColor(color)) return;
    p.setColor(QPalette::Window, QColor(color));
    w->setPalette(p);
}

void setColors(QLabel* label, QRgb background, QRgb text) {
    QPalette p = label->palette();
    if (p.color(QPalette::Window) == QColor(background) && p.color(QPalette::WindowText) == QColor(text))
        return;
    p.setColor(QPalette::Window, QColor(background));
    p.setColor(QPalette::WindowText, QColor(text));
    label->setPalette(p);
}

} // namespace

GeneratorPanel::GeneratorPanel(QWidget* parent, GeneratorPanelActions actions)
    : QFrame(parent), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("Panel_Gen_Ctrl"));
    setFrameShape(QFrame::StyledPanel);
    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel_Gen"));
    m_panel->setAutoFillBackground(true);
    m_panel->installEventFilter(this);

    m_on = makeButton("SpeedButton_GenOn", true);
    m_on->setText(QStringLiteral("ON"));
    QFont bold = m_on->font();
    bold.setBold(true);
    m_on->setFont(bold);
    m_on->setMinimumSize(52, 2 * kButtonHeight);
    connect(m_on, &QToolButton::toggled, this, [this](bool on) {
        if (!m_syncing && m_actions.generatorOn) m_actions.generatorOn(on);
    });

    auto* ranges = new QGridLayout;
    ranges->setSpacing(1);
    for (int i = 0; i < kRangeButtons; ++i) {
        QToolButton* b = makeButton(kRangeNames[static_cast<std::size_t>(i)], true);
        b->setMinimumWidth(52);
        connect(b, &QToolButton::clicked, this, [this, i] {
            if (!m_syncing && m_actions.range) m_actions.range(i);
        });
        m_range[static_cast<std::size_t>(i)] = b;
        ranges->addWidget(b, i / 3, i % 3);
    }

    auto* shapes = new QHBoxLayout;
    shapes->setSpacing(1);
    for (int i = 0; i < kShapeButtons; ++i) {
        QToolButton* b = makeButton(kShapeNames[static_cast<std::size_t>(i)], true);
        const auto shape = static_cast<GenShape>(i);
        b->setIcon(shapeIcon(shape));
        b->setIconSize(QSize(22, 14));
        connect(b, &QToolButton::clicked, this, [this, shape] {
            if (!m_syncing && m_actions.shape) m_actions.shape(shape);
        });
        m_shape[static_cast<std::size_t>(i)] = b;
        shapes->addWidget(b);
    }
    auto* functions = new QHBoxLayout;
    functions->setSpacing(1);
    for (const FunctionButton& f : kFunctionButtonsShown) {
        QToolButton* b = makeButton(f.name, true);
        b->setText(QString::fromUtf8(f.caption));
        b->setMinimumWidth(52);
        const GenFunction fn = f.function;
        connect(b, &QToolButton::clicked, this, [this, fn](bool down) {
            if (!m_syncing && m_actions.function) m_actions.function(fn, down);
        });
        m_function[static_cast<std::size_t>(fn)] = b;
        functions->addWidget(b);
    }
    auto* shapeColumn = new QVBoxLayout;
    shapeColumn->setSpacing(1);
    shapeColumn->addLayout(shapes);
    shapeColumn->addLayout(functions);

    m_labelF = makeLabel("Label_F");
    m_first = new QScrollBar(Qt::Horizontal, m_panel);
    m_first->setObjectName(QStringLiteral("ScrollBar_TF_1"));
    m_second = new QScrollBar(Qt::Horizontal, m_panel);
    m_second->setObjectName(QStringLiteral("ScrollBar_TF_0"));
    for (QScrollBar* bar : {m_first, m_second}) {
        bar->setRange(0, kValueMax);
        bar->setPageStep(100);
        bar->setMinimumWidth(kValueBarWidth);
    }
    connect(m_first, &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncing && m_actions.firstValue) m_actions.firstValue(v);
    });
    connect(m_second, &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncing && m_actions.secondValue) m_actions.secondValue(v);
    });
    m_labelMod = makeLabel("Label_Mod");
    m_labelPulse = makeLabel("Label_Pulse");
    auto* values = new QVBoxLayout;
    values->setSpacing(1);
    values->addWidget(m_labelF);
    values->addWidget(m_first);
    values->addWidget(m_second);
    auto* below = new QHBoxLayout;
    below->addWidget(m_labelMod, 1);
    below->addWidget(m_labelPulse, 1);
    values->addLayout(below);

    m_labelV = makeLabel("Label_V");
    m_labelVrms = makeLabel("Label_Vrms");
    m_labelV->setMinimumWidth(70);
    m_amplitude = new QScrollBar(Qt::Vertical, m_panel);
    m_amplitude->setObjectName(QStringLiteral("ScrollBar_Amplitude"));
    m_amplitude->setRange(0, kAmplitudeMax);
    m_amplitude->setSingleStep(10);
    m_amplitude->setPageStep(200);
    connect(m_amplitude, &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncing && m_actions.amplitude) m_actions.amplitude(v);
    });
    auto* levels = new QVBoxLayout;
    levels->setSpacing(1);
    levels->addWidget(m_labelV);
    levels->addWidget(m_labelVrms);
    levels->addStretch(1);

    m_marks = new QComboBox(m_panel);
    m_marks->setObjectName(QStringLiteral("ComboBox_AWG"));
    m_marks->setMinimumWidth(150);
    m_marks->setFocusPolicy(Qt::NoFocus);
    connect(m_marks, &QComboBox::activated, this, [this](int i) {
        if (!m_syncing && m_actions.awgMark) m_actions.awgMark(i);
    });
    m_awgRun = makeButton("SpeedButton_AWG_Run", false);
    m_awgRun->setText(QStringLiteral("RUN"));
    m_awgRun->setMinimumWidth(52);
    connect(m_awgRun, &QToolButton::clicked, this, [this] {
        if (m_actions.awgRun) m_actions.awgRun();
    });
    m_awgRunPanel = new QFrame(m_panel);
    m_awgRunPanel->setObjectName(QStringLiteral("Panel_AWG_Run"));
    m_awgRunPanel->setFixedSize(10, kButtonHeight);
    m_awgRunPanel->setFrameShape(QFrame::Panel);
    m_awgRunPanel->setAutoFillBackground(true);
    auto* run = new QHBoxLayout;
    run->setSpacing(2);
    run->addWidget(m_awgRun);
    run->addWidget(m_awgRunPanel);
    run->addStretch(1);
    // The AWG function has no ranges: its controls take their place.
    auto* rangePage = new QWidget(m_panel);
    rangePage->setLayout(ranges);
    ranges->setContentsMargins(0, 0, 0, 0);
    auto* awgPage = new QWidget(m_panel);
    auto* awg = new QVBoxLayout(awgPage);
    awg->setContentsMargins(0, 0, 0, 0);
    awg->setSpacing(1);
    awg->addWidget(m_marks);
    awg->addLayout(run);
    awg->addStretch(1);
    m_rangeOrAwg = new QStackedWidget(m_panel);
    m_rangeOrAwg->addWidget(rangePage);
    m_rangeOrAwg->addWidget(awgPage);

    auto* row = new QHBoxLayout(m_panel);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(6);
    row->addWidget(m_on, 0, Qt::AlignTop);
    row->addWidget(m_rangeOrAwg, 0, Qt::AlignTop);
    row->addLayout(shapeColumn);
    row->addLayout(values, 1);
    row->addWidget(m_amplitude);
    row->addLayout(levels);
    row->setAlignment(shapeColumn, Qt::AlignTop);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_panel);

    // Controls that come and go with the function keep their place, so nothing jumps.
    std::vector<QWidget*> keep{m_labelMod, m_labelPulse, m_labelVrms, m_marks, m_awgRun, m_awgRunPanel};
    keep.insert(keep.end(), m_range.begin(), m_range.end());
    keep.insert(keep.end(), m_shape.begin(), m_shape.end());
    for (QWidget* w : keep) {
        QSizePolicy p = w->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        w->setSizePolicy(p);
    }
}

QToolButton* GeneratorPanel::makeButton(const char* name, bool checkable) {
    auto* b = new QToolButton(m_panel);
    b->setObjectName(QString::fromLatin1(name));
    b->setCheckable(checkable);
    b->setMinimumHeight(kButtonHeight);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QLabel* GeneratorPanel::makeLabel(const char* name) {
    auto* l = new QLabel(m_panel);
    l->setObjectName(QString::fromLatin1(name));
    l->setAutoFillBackground(true);
    l->setMargin(2);
    l->installEventFilter(this);
    return l;
}

void GeneratorPanel::update(const core::InstrumentState& s, const AwgPanelStatus& awg,
                            const AwgMarkList& marks, std::uint32_t marksRevision, char decimalSeparator) {
    generatorPanelView(s, awg, m_view, decimalSeparator);
    m_syncing = true;
    if (marksRevision != m_marksRevision) {
        m_marksRevision = marksRevision;
        showMarks(marks);
    }
    showView(s.display.colors);
    m_syncing = false;
}

void GeneratorPanel::showMarks(const AwgMarkList& marks) {
    const QSignalBlocker block(m_marks);
    m_marks->clear();
    for (const AwgMarkEntry& e : marks.entries) m_marks->addItem(QString::fromStdString(e.text), e.value);
    if (!marks.entries.empty()) m_marks->setCurrentIndex(marks.chosen);
}

void GeneratorPanel::showView(const core::ColorRoles& colors) {
    const GeneratorPanelView& v = m_view;
    if (m_on->isChecked() != v.on) {
        const QSignalBlocker block(m_on);
        m_on->setChecked(v.on);
    }
    for (std::size_t i = 0; i < kRangeButtons; ++i) {
        QToolButton* b = m_range[i];
        setText(b, v.rangeCaption[i]);
        b->setVisible(v.rangeVisible[i]);
        b->setChecked(static_cast<int>(i) == v.rangeDown);
    }
    for (std::size_t i = 0; i < kShapeButtons; ++i) {
        QToolButton* b = m_shape[i];
        b->setVisible(v.shapesVisible);
        b->setEnabled(v.shapesEnabled);
        b->setChecked(static_cast<int>(i) == v.shapeDown);
    }
    for (std::size_t f = 0; f < kFunctionButtons; ++f) {
        if (QToolButton* b = m_function[f]) {
            b->setChecked(v.functionDown[f]);
            b->setEnabled(v.functionEnabled[f]);
        }
    }
    setBar(m_first, v.first);
    setBar(m_second, v.second);
    if (m_amplitude->value() != v.amplitudePosition) m_amplitude->setValue(v.amplitudePosition);

    setText(m_labelF, v.labelF);
    setText(m_labelV, v.labelV);
    setText(m_labelMod, v.labelMod);
    setText(m_labelPulse, v.labelPulse);
    setText(m_labelVrms, v.labelVrms);
    m_labelMod->setVisible(v.modVisible);
    m_labelPulse->setVisible(v.pulseVisible);
    m_labelVrms->setVisible(v.vrmsVisible);
    m_rangeOrAwg->setCurrentIndex(v.markListVisible ? 1 : 0);
    m_marks->setVisible(v.markListVisible);
    m_awgRun->setVisible(v.awgRunVisible);
    m_awgRunPanel->setVisible(v.awgRunVisible);

    const QRgb border = display::toQRgb(colors.ColorBorder);
    const std::uint32_t text =
        v.textLit ? colors.ColorGridFrame
                  : display::fade(colors.ColorGridFrame, colors.ColorBorder, kDimmedTextFactor);
    setBackground(m_panel, border);
    for (QLabel* l : {m_labelF, m_labelV, m_labelMod, m_labelPulse, m_labelVrms})
        setColors(l, border, display::toQRgb(text));

    QColor run = palette().color(QPalette::Button);
    if (v.runIndicator == AwgRunIndicator::Full)
        run = QColor(display::toQRgb(colors.ColorGridFrame));
    else if (v.runIndicator == AwgRunIndicator::Faded)
        run = QColor(display::toQRgb(display::fade(colors.ColorGridFrame, 0xFFFFFF, 2.0)));
    setBackground(m_awgRunPanel, run.rgb());
}

bool GeneratorPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && m_actions.doubleClick) {
        PanelSpot spot = PanelSpot::Panel;
        if (watched == m_labelF)
            spot = PanelSpot::LabelF;
        else if (watched == m_labelV)
            spot = PanelSpot::LabelV;
        else if (watched == m_labelMod)
            spot = PanelSpot::LabelMod;
        else if (watched == m_labelPulse)
            spot = PanelSpot::LabelPulse;
        else if (watched == m_labelVrms)
            spot = PanelSpot::LabelVrms;
        else if (watched != m_panel)
            return QFrame::eventFilter(watched, event);
        m_actions.doubleClick(spot);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace kx::generator
