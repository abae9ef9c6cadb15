// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <QFrame>

#include <functional>

class QToolButton;

namespace kx::app {

// Panel_Gen_Ctrl along the bottom of the window: the generator's ON button with its
// function buttons. The frequency, level and shape controls join it with the generator panel.
class GeneratorBar : public QFrame {
public:
    GeneratorBar(QWidget* parent, std::function<void(bool)> onToggled, std::function<void()> awgRun);
    void sync(const core::InstrumentState& s, bool awgLoaded, std::uint32_t gridFrameColor);

private:
    QToolButton* m_on = nullptr;
    QToolButton* m_awgRun = nullptr;
    QFrame* m_awgRunPanel = nullptr;
    QToolButton* m_mod = nullptr;
    QToolButton* m_pulse = nullptr;
    QToolButton* m_sweep = nullptr;
    QToolButton* m_awg = nullptr;
};

} // namespace kx::app
