// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/GeneratorBar.h"

#include "display/Colors.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>

namespace kx::app {

namespace {

QToolButton* button(QWidget* parent, const char* name, const char* text, bool checkable) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromUtf8(text));
    b->setCheckable(checkable);
    b->setMinimumWidth(52);
    b->setMinimumHeight(28);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

GeneratorBar::GeneratorBar(QWidget* parent, std::function<void(bool)> onToggled, std::function<void()> awgRun)
    : QFrame(parent) {
    setObjectName(QStringLiteral("Panel_Gen_Ctrl"));
    setFrameShape(QFrame::StyledPanel);
    auto* gen = new QFrame(this);
    gen->setObjectName(QStringLiteral("Panel_Gen"));
    auto* row = new QHBoxLayout(gen);
    row->setContentsMargins(4, 2, 4, 2);
    m_on = button(gen, "SpeedButton_GenOn", "ON", true);
    QFont f = m_on->font();
    f.setBold(true);
    m_on->setFont(f);
    m_mod = button(gen, "SpeedButton_Mod", "Mod.", true);
    m_pulse = button(gen, "SpeedButton_Pulse", "Pulse", true);
    m_sweep = button(gen, "SpeedButton_Sweep", "Swp.", true);
    m_awg = button(gen, "SpeedButton_AWG", "AWG", true);
    m_awgRun = button(gen, "SpeedButton_AWG_Run", "RUN", false);
    m_awgRunPanel = new QFrame(gen);
    m_awgRunPanel->setObjectName(QStringLiteral("Panel_AWG_Run"));
    m_awgRunPanel->setFixedSize(10, 28);
    m_awgRunPanel->setFrameShape(QFrame::Panel);
    m_awgRunPanel->setAutoFillBackground(true);
    row->addWidget(m_on);
    row->addSpacing(8);
    for (QToolButton* b : {m_mod, m_pulse, m_sweep, m_awg}) {
        // The generator's functions arrive with its panel.
        b->setEnabled(false);
        row->addWidget(b);
    }
    row->addSpacing(8);
    row->addWidget(m_awgRun);
    row->addWidget(m_awgRunPanel);
    row->addStretch(1);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(gen);
    connect(m_on, &QToolButton::toggled, this, [onToggled = std::move(onToggled)](bool on) { onToggled(on); });
    connect(m_awgRun, &QToolButton::clicked, this, [awgRun = std::move(awgRun)] { awgRun(); });
}

void GeneratorBar::sync(const core::InstrumentState& s, bool awgLoaded, std::uint32_t gridFrameColor) {
    {
        const QSignalBlocker block(m_on);
        m_on->setChecked(s.generator.On);
    }
    m_mod->setChecked(s.generator.Function == core::GenFunction::Modulation);
    m_pulse->setChecked(s.generator.Function == core::GenFunction::Pulse);
    m_sweep->setChecked(s.generator.Function == core::GenFunction::Sweep);
    m_awg->setChecked(s.generator.Function == core::GenFunction::Awg);
    m_awgRun->setEnabled(awgLoaded);
    QPalette p = m_awgRunPanel->palette();
    p.setColor(QPalette::Window,
               awgLoaded ? QColor(display::toQRgb(gridFrameColor)) : palette().color(QPalette::Button));
    m_awgRunPanel->setPalette(p);
}

} // namespace kx::app
