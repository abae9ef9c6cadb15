// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "display/FftDialogModel.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;

namespace kx::display {

// What the FFT settings dialog asks of the window.
struct FftDialogHooks {
    std::function<void()> refresh;             // refresh notification
    std::function<void()> restartAndRecompute; // both spectra start again (size, window, averaging)
};

// The FFT settings dialog. Every control takes effect at once; OK keeps the values, Cancel (or
// Esc, or closing) restores the ten settings the dialog opened with. exec() shows it modally,
// centred on the parent's window, in the language RussianUi has then.
class TForm_FFTSet : public QDialog {
public:
    TForm_FFTSet(QWidget* parent, core::InstrumentState& state, FftDialogHooks hooks);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* buildGroup(const char* name, QButtonGroup*& group, std::size_t items, FftControl control);
    QCheckBox* buildCheck(const char* name, FftControl control);
    void onControl(FftControl control, int value);
    void load();
    void applyCaptions();

    core::InstrumentState& m_state;
    FftDialogHooks m_hooks;
    core::FftState m_opened;
    bool m_loading = false;

    QGroupBox* m_sizeBox = nullptr;
    QGroupBox* m_windowBox = nullptr;
    QGroupBox* m_scaleBox = nullptr;
    QGroupBox* m_depthBox = nullptr;
    QGroupBox* m_zoomBox = nullptr;
    QButtonGroup* m_size = nullptr;
    QButtonGroup* m_window = nullptr;
    QButtonGroup* m_scale = nullptr;
    QButtonGroup* m_depth = nullptr;
    QButtonGroup* m_zoom = nullptr;
    QCheckBox* m_db15 = nullptr;
    QCheckBox* m_dbvToVolt = nullptr;
    QCheckBox* m_averaging = nullptr;
    QCheckBox* m_viewSignal = nullptr;
    QCheckBox* m_calcBoth = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace kx::display
