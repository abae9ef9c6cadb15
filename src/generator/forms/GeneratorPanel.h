// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "generator/AwgCompiler.h"
#include "generator/GeneratorPanelActions.h"
#include "generator/GeneratorPanelModel.h"

#include <QFrame>

#include <array>
#include <cstdint>

class QComboBox;
class QLabel;
class QScrollBar;
class QStackedWidget;
class QToolButton;

namespace kx::generator {

// Panel_Gen_Ctrl along the bottom of the main window: the generator's ON button, ranges, shapes,
// functions, the two value scroll bars, the amplitude, the labels and the AWG controls. It only
// shows what the panel model computes; every click, scroll and double click goes out through
// GeneratorPanelActions.
class GeneratorPanel : public QFrame {
public:
    GeneratorPanel(QWidget* parent, GeneratorPanelActions actions);

    // The generator panel update: the view of the state, the labels' colours, and the AWG mark
    // list when its revision has changed since the last update.
    void update(const core::InstrumentState& s, const AwgPanelStatus& awg, const AwgMarkList& marks,
                std::uint32_t marksRevision, char decimalSeparator = '.');

    // The view shown last (tests read it).
    const GeneratorPanelView& view() const { return m_view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* makeButton(const char* name, bool checkable);
    QLabel* makeLabel(const char* name);
    void showView(const core::ColorRoles& colors);
    void showMarks(const AwgMarkList& marks);

    GeneratorPanelActions m_actions;
    GeneratorPanelView m_view;
    bool m_syncing = false;
    std::uint32_t m_marksRevision = 0xFFFFFFFFu;

    QFrame* m_panel = nullptr; // Panel_Gen
    QToolButton* m_on = nullptr;
    QStackedWidget* m_rangeOrAwg = nullptr; // the range buttons, or in AWG function the AWG controls
    std::array<QToolButton*, kRangeButtons> m_range{};
    std::array<QToolButton*, kShapeButtons> m_shape{};
    std::array<QToolButton*, kFunctionButtons> m_function{}; // no button for Plain
    QScrollBar* m_first = nullptr;
    QScrollBar* m_second = nullptr;
    QScrollBar* m_amplitude = nullptr;
    QLabel* m_labelF = nullptr;
    QLabel* m_labelV = nullptr;
    QLabel* m_labelMod = nullptr;
    QLabel* m_labelPulse = nullptr;
    QLabel* m_labelVrms = nullptr;
    QComboBox* m_marks = nullptr;
    QToolButton* m_awgRun = nullptr;
    QFrame* m_awgRunPanel = nullptr;
};

} // namespace kx::generator
