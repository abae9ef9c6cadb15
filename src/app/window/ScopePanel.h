// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DerivedQuantities.h"
#include "app/ModelFeatures.h"
#include "core/InstrumentState.h"

#include <QFrame>

#include <array>
#include <functional>

class QAbstractButton;
class QComboBox;
class QLabel;
class QToolButton;
class QGridLayout;

namespace kx::app {

// What the scope control panel asks the window to do; each runs in the GUI thread.
struct ScopePanelActions {
    std::function<void(int)> timeBase;        // a time-base button, by index
    std::function<void(int, int)> voltsDiv;   // channel 0/1, volts/div index
    std::function<void(int)> probeTitle;      // the channel title button
    std::function<void(int, bool)> coupling;  // AC button
    std::function<void(int, bool)> bandwidth; // BW button
    std::function<void()> strobo;
    std::function<void(bool)> run;    // SpeedButton_Run toggled to the given state
    std::function<void(bool)> single; // SpeedButton_Sngl
    std::function<void()> triggerDialog;
    std::function<void(bool)> triggerOn;
    std::function<void(int)> triggerSource;
    std::function<void(bool)> triggerEdge;
    std::function<void(bool)> triggerAuto;
    std::function<void(bool)> triggerPlus;
};

// Panel_Scope_Ctrl: RUN and SINGLE, the time-base grid, both analog channels and the trigger
// row. It only shows the state: sync() sets every button from it, and a click goes to the
// window through ScopePanelActions.
class ScopePanel : public QFrame {
public:
    ScopePanel(QWidget* parent, ScopePanelActions actions);

    void sync(const core::InstrumentState& s, const DerivedQuantities& d, const ModelFeatureView& f);
    // The run indicator Panel_Color_TD: the grid-frame colour while armed.
    void setRunIndicator(bool armed, std::uint32_t gridFrameColor);
    QToolButton* runButton() const { return m_run; }
    QToolButton* singleButton() const { return m_single; }

private:
    QWidget* buildChannel(int ch);
    QToolButton* makeButton(const char* name, const QString& text, bool checkable);

    ScopePanelActions m_actions;
    QToolButton* m_run = nullptr;
    QToolButton* m_single = nullptr;
    QFrame* m_runIndicator = nullptr;
    QToolButton* m_strobo = nullptr;
    std::array<QToolButton*, 36> m_timeBase{};
    struct Channel {
        QToolButton* title = nullptr;
        QFrame* color = nullptr;
        QToolButton* ac = nullptr;
        QToolButton* bw = nullptr;
        std::array<QToolButton*, 12> vdiv{};
        QGridLayout* grid = nullptr;
        QWidget* box = nullptr;
    };
    std::array<Channel, 2> m_ch{};
    QToolButton* m_trig = nullptr;
    QToolButton* m_trigOn = nullptr;
    QComboBox* m_trigSrc = nullptr;
    QToolButton* m_trigEdge = nullptr;
    QToolButton* m_auto = nullptr;
    QToolButton* m_tplus = nullptr;
    QFrame* m_trigColor = nullptr;
    int m_lastVdivLayout = -1;
};

} // namespace kx::app
