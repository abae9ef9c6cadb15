// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/ScopePanel.h"

#include "app/IndicatorColors.h"
#include "core/DeviceModel.h"
#include "core/ScopeTables.h"
#include "display/Colors.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace kx::app {

namespace {

constexpr const char* kChannelName[2] = {"A1", "A2"};

void setChecked(QAbstractButton* b, bool on) {
    const QSignalBlocker block(b);
    b->setChecked(on);
}

QString colorCss(std::uint32_t c) {
    return QStringLiteral("background-color: %1;").arg(QColor(display::toQRgb(c)).name());
}

// A colour panel: a channel's colour, or the standard button face.
void showColor(QFrame* panel, std::optional<std::uint32_t> c) {
    panel->setStyleSheet(c ? colorCss(*c) : QStringLiteral("background-color: palette(button);"));
}

} // namespace

QToolButton* ScopePanel::makeButton(const char* name, const QString& text, bool checkable) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setCheckable(checkable);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setMinimumWidth(10);
    // The keyboard belongs to the signal area: arrows, Space and Enter step the instrument.
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

ScopePanel::ScopePanel(QWidget* parent, ScopePanelActions actions)
    : QFrame(parent), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("Panel_Scope_Ctrl"));
    setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    // RUN and SINGLE: one group of which at most one is down.
    auto* runRow = new QHBoxLayout;
    m_run = makeButton("SpeedButton_Run", QStringLiteral("RUN"), true);
    m_single = makeButton("SpeedButton_Sngl", QStringLiteral("SINGLE"), true);
    for (QToolButton* b : {m_run, m_single}) {
        QFont f = b->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.3);
        b->setFont(f);
        b->setMinimumHeight(34);
    }
    m_runIndicator = new QFrame(this);
    m_runIndicator->setObjectName(QStringLiteral("Panel_Color_TD"));
    m_runIndicator->setFixedSize(12, 34);
    m_runIndicator->setFrameShape(QFrame::Panel);
    m_runIndicator->setAutoFillBackground(true);
    runRow->addWidget(m_run, 1);
    runRow->addWidget(m_single, 1);
    runRow->addWidget(m_runIndicator);
    column->addLayout(runRow);
    connect(m_run, &QToolButton::toggled, this, [this](bool on) { m_actions.run(on); });
    connect(m_single, &QToolButton::toggled, this, [this](bool on) { m_actions.single(on); });

    // Time base.
    auto* tbHead = new QHBoxLayout;
    auto* tbLabel = new QLabel(QStringLiteral("Time/Div"), this);
    tbLabel->setObjectName(QStringLiteral("Label_TimeDiv"));
    m_strobo = makeButton("SpeedButton_Strobo", QStringLiteral("S"), true);
    m_strobo->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    tbHead->addWidget(tbLabel, 1);
    tbHead->addWidget(m_strobo);
    column->addLayout(tbHead);
    connect(m_strobo, &QToolButton::clicked, this, [this] { m_actions.strobo(); });

    auto* tbGrid = new QGridLayout;
    tbGrid->setSpacing(1);
    auto* tbGroup = new QButtonGroup(this);
    tbGroup->setExclusive(true);
    for (int i = 0; i < static_cast<int>(core::kTimeBases.size()); ++i) {
        const auto& step = core::kTimeBases[static_cast<std::size_t>(i)];
        const std::string name = std::string("SpeedButton_") + step.key;
        QToolButton* b = makeButton(name.c_str(), QString::fromLatin1(step.caption), true);
        tbGroup->addButton(b, i);
        tbGrid->addWidget(b, i / 6, i % 6);
        m_timeBase[static_cast<std::size_t>(i)] = b;
        connect(b, &QToolButton::clicked, this, [this, i] { m_actions.timeBase(i); });
    }
    column->addLayout(tbGrid);

    column->addWidget(buildChannel(0));
    column->addWidget(buildChannel(1));

    // Trigger row.
    auto* trigRow = new QGridLayout;
    trigRow->setSpacing(2);
    m_trig = makeButton("SpeedButton_Trig", QStringLiteral("Trigger"), false);
    m_trigOn = makeButton("SpeedButton_Trig_On", QStringLiteral("ON"), true);
    m_trigSrc = new QComboBox(this);
    m_trigSrc->setObjectName(QStringLiteral("ComboBox_Trig_Src"));
    m_trigSrc->addItems({QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("D1"),
                         QStringLiteral("D2"), QStringLiteral("D3"), QStringLiteral("D4")});
    m_trigEdge = makeButton("SpeedButton_TrigEdge", QStringLiteral("_/\u00AF"), true);
    m_auto = makeButton("SpeedButton_Auto", QStringLiteral("Auto"), true);
    m_tplus = makeButton("SpeedButton_TPLUS", QStringLiteral("T+"), true);
    m_trigColor = new QFrame(this);
    m_trigColor->setObjectName(QStringLiteral("Panel_Color_Trig"));
    m_trigColor->setFixedWidth(10);
    m_trigColor->setFrameShape(QFrame::Panel);
    trigRow->addWidget(m_trig, 0, 0, 1, 2);
    trigRow->addWidget(m_trigOn, 0, 2);
    trigRow->addWidget(m_trigSrc, 1, 0);
    trigRow->addWidget(m_trigEdge, 1, 1);
    trigRow->addWidget(m_auto, 1, 2);
    trigRow->addWidget(m_tplus, 0, 3, 2, 1);
    trigRow->addWidget(m_trigColor, 0, 4, 2, 1);
    column->addLayout(trigRow);
    column->addStretch(1);
    connect(m_trig, &QToolButton::clicked, this, [this] { m_actions.triggerDialog(); });
    connect(m_trigOn, &QToolButton::toggled, this, [this](bool on) { m_actions.triggerOn(on); });
    connect(m_trigSrc, &QComboBox::activated, this, [this](int i) { m_actions.triggerSource(i); });
    connect(m_trigEdge, &QToolButton::toggled, this, [this](bool on) { m_actions.triggerEdge(on); });
    connect(m_auto, &QToolButton::toggled, this, [this](bool on) { m_actions.triggerAuto(on); });
    connect(m_tplus, &QToolButton::toggled, this, [this](bool on) { m_actions.triggerPlus(on); });
}

QWidget* ScopePanel::buildChannel(int ch) {
    auto* box = new QFrame(this);
    box->setFrameShape(QFrame::StyledPanel);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(2);
    Channel& c = m_ch[static_cast<std::size_t>(ch)];
    c.box = box;
    const std::string n = kChannelName[ch];

    auto* head = new QHBoxLayout;
    c.color = new QFrame(box);
    c.color->setObjectName(QString::fromStdString("Panel_Color_" + n));
    c.color->setFixedSize(10, 20);
    c.color->setFrameShape(QFrame::Panel);
    c.title = makeButton(("SpeedButton_VoltsDiv_" + n).c_str(), QString(), false);
    c.ac = makeButton(("SpeedButton_AC_" + n).c_str(), QStringLiteral("AC"), true);
    c.bw = makeButton(("SpeedButton_BW_" + n).c_str(), QStringLiteral("BW"), true);
    for (QToolButton* b : {c.title, c.ac, c.bw}) b->setParent(box);
    c.ac->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    c.bw->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    head->addWidget(c.color);
    head->addWidget(c.title, 1);
    head->addWidget(c.ac);
    head->addWidget(c.bw);
    v->addLayout(head);
    connect(c.title, &QToolButton::clicked, this, [this, ch] { m_actions.probeTitle(ch); });
    connect(c.ac, &QToolButton::toggled, this, [this, ch](bool on) { m_actions.coupling(ch, on); });
    connect(c.bw, &QToolButton::toggled, this, [this, ch](bool on) { m_actions.bandwidth(ch, on); });

    c.grid = new QGridLayout;
    c.grid->setSpacing(1);
    auto* group = new QButtonGroup(box);
    group->setExclusive(true);
    for (int i = 0; i < static_cast<int>(core::kVoltsDiv.size()); ++i) {
        const std::string name =
            std::string("SpeedButton_") + core::kVoltsDiv[static_cast<std::size_t>(i)].key + "_" + n;
        QToolButton* b = makeButton(name.c_str(), QString(), true);
        b->setParent(box);
        group->addButton(b, i);
        c.vdiv[static_cast<std::size_t>(i)] = b;
        connect(b, &QToolButton::clicked, this, [this, ch, i] { m_actions.voltsDiv(ch, i); });
    }
    v->addLayout(c.grid);
    return box;
}

void ScopePanel::sync(const core::InstrumentState& s, const DerivedQuantities& d, const ModelFeatureView& f) {
    const bool ru = s.system.RussianUi;
    setChecked(m_run, s.scope.Running && !s.scope.SingleMode);
    setChecked(m_single, s.scope.Running && s.scope.SingleMode);

    for (int i = 0; i < static_cast<int>(m_timeBase.size()); ++i) {
        QToolButton* b = m_timeBase[static_cast<std::size_t>(i)];
        setChecked(b, i == s.scope.timeBase);
        b->setEnabled(d.fastTimeBasesEnabled || i < core::kTimeBase02ms);
    }
    m_strobo->setVisible(d.stroboVisible);
    setChecked(m_strobo, s.scope.Strobo);

    // The volts/div grids are laid out again only when the offered ranges change.
    const int layoutKey = (f.lowRanges ? 2 : 0) + (f.a1HighRanges ? 1 : 0);
    const bool relayout = layoutKey != m_lastVdivLayout;
    m_lastVdivLayout = layoutKey;
    const std::array<const core::AnalogChannelState*, 2> chans{&s.scope.A1, &s.scope.A2};
    const IndicatorColors indicators = indicatorColors(s, d);
    const std::array<bool, 2> colored{indicators.a1, indicators.a2};
    const std::array<std::uint32_t, 2> colors{s.display.colors.ColorA1, s.display.colors.ColorA2};
    for (int ch = 0; ch < 2; ++ch) {
        Channel& c = m_ch[static_cast<std::size_t>(ch)];
        const core::AnalogChannelState& st = *chans[static_cast<std::size_t>(ch)];
        const bool present = ch == 0 || f.a2Channel;
        c.box->setVisible(present);
        const auto i = static_cast<std::size_t>(ch);
        showColor(c.color, colored[i] ? std::optional(colors[i]) : std::nullopt);
        const int probe = std::clamp(st.probe, 0, 3);
        QString title = QString::fromLatin1(kChannelName[ch]);
        if (probe == 0)
            title += ru ? QStringLiteral(" В/Дел ") : QStringLiteral(" V/Div ");
        else
            title += QStringLiteral("  (") +
                     QString::fromLatin1(core::kProbeKeys[static_cast<std::size_t>(probe)]) +
                     QStringLiteral(")");
        c.title->setText(title);
        setChecked(c.ac, st.AC);
        setChecked(c.bw, st.BW);
        if (ch == 0) {
            c.ac->setEnabled(f.a1AcEnabled && d.a1AcEnabled);
            c.bw->setEnabled(d.a1BwEnabled);
        }

        // The offered ranges, three or four to a row so the rows come out even.
        if (relayout)
            while (c.grid->count() > 0) delete c.grid->takeAt(0);
        int offeredCount = 0;
        for (int i = 0; i < static_cast<int>(c.vdiv.size()); ++i)
            offeredCount += (i < core::kVoltsDiv2mV || f.lowRanges) &&
                            (ch != 0 || i > core::kVoltsDiv02V || f.a1HighRanges);
        const int columns = offeredCount % 4 == 0 ? 4 : 3;
        int slot = 0;
        for (int i = 0; i < static_cast<int>(c.vdiv.size()); ++i) {
            QToolButton* b = c.vdiv[static_cast<std::size_t>(i)];
            bool offered = i < core::kVoltsDiv2mV || f.lowRanges;
            if (ch == 0 && i <= core::kVoltsDiv02V && !f.a1HighRanges) offered = false;
            b->setVisible(offered);
            b->setText(QString::fromLatin1(
                core::kVoltsDivCaptions[static_cast<std::size_t>(probe)][static_cast<std::size_t>(i)]));
            setChecked(b, i == st.voltsDiv);
            if (!offered || !relayout) continue;
            c.grid->addWidget(b, slot / columns, slot % columns);
            ++slot;
        }
    }

    setChecked(m_trigOn, s.trigger.On);
    m_trigOn->setEnabled(d.trigButtonEnabled);
    m_trigSrc->setItemText(1, f.a2Channel ? QStringLiteral("A2") : QStringLiteral("-"));
    {
        const QSignalBlocker block(m_trigSrc);
        m_trigSrc->setCurrentIndex(std::clamp(s.trigger.Src, 0, 5));
    }
    setChecked(m_trigEdge, s.trigger.Edge);
    m_trigEdge->setText(s.trigger.Edge ? QStringLiteral("\u00AF\\_") : QStringLiteral("_/\u00AF"));
    setChecked(m_auto, s.trigger.Auto);
    setChecked(m_tplus, s.trigger.TPLUS);
    m_tplus->setEnabled(d.tPlusEnabled);
    showColor(m_trigColor, indicators.triggerChannel
                               ? std::optional(display::channelColors(
                                     s.display.colors)[static_cast<std::size_t>(*indicators.triggerChannel)])
                               : std::nullopt);
}

void ScopePanel::setRunIndicator(bool armed, std::uint32_t gridFrameColor) {
    QPalette p = m_runIndicator->palette();
    p.setColor(QPalette::Window,
               armed ? QColor(display::toQRgb(gridFrameColor)) : palette().color(QPalette::Button));
    m_runIndicator->setPalette(p);
}

} // namespace kx::app
