// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/FftDialogModel.h"

#include <algorithm>

namespace kx::display {
namespace {

template <class T> bool store(T& field, T value) {
    if (field == value) return false;
    field = value;
    return true;
}

} // namespace

FftControlEffect applyFftControl(core::FftState& f, FftControl control, int value) {
    FftControlEffect e;
    switch (control) {
    case FftControl::Size:
        e.changed = store<std::int32_t>(f.Size, std::clamp(value, 0, 6));
        e.restartAndRecompute = e.changed;
        break;
    case FftControl::Window:
        e.changed = store<std::int32_t>(f.Win, std::clamp(value, 0, 8));
        e.restartAndRecompute = e.changed;
        break;
    case FftControl::Scale:
        e.changed = store<std::int32_t>(f.Scale, std::clamp(value, 0, 3));
        break;
    case FftControl::Db15:
        e.changed = store(f.dB15_div, value != 0);
        break;
    case FftControl::DbvToVolt:
        e.changed = store(f.dbv_v, value != 0);
        break;
    case FftControl::Averaging:
        e.changed = store(f.Ave_On, value != 0);
        e.restartAndRecompute = e.changed;
        break;
    case FftControl::Depth:
        e.changed = store<std::int32_t>(f.Ave, std::clamp(value, 0, 6));
        e.restartAndRecompute = e.changed;
        break;
    case FftControl::Zoom:
        e.changed = store<std::int32_t>(f.Zoom, std::clamp(value, 0, 8));
        break;
    case FftControl::ViewSignal:
        e.changed = store(f.View_Sig, value != 0);
        break;
    case FftControl::CalcBoth:
        e.changed = store(f.Calc_Both, value != 0);
        break;
    }
    return e;
}

int fftControlValue(const core::FftState& f, FftControl control) {
    switch (control) {
    case FftControl::Size:
        return f.Size;
    case FftControl::Window:
        return f.Win;
    case FftControl::Scale:
        return f.Scale;
    case FftControl::Db15:
        return f.dB15_div;
    case FftControl::DbvToVolt:
        return f.dbv_v;
    case FftControl::Averaging:
        return f.Ave_On;
    case FftControl::Depth:
        return f.Ave;
    case FftControl::Zoom:
        return f.Zoom;
    case FftControl::ViewSignal:
        return f.View_Sig;
    case FftControl::CalcBoth:
        return f.Calc_Both;
    }
    return 0;
}

bool restoreFftSettings(const core::FftState& opened, core::FftState& f) {
    const bool spectra =
        f.Size != opened.Size || f.Win != opened.Win || f.Ave_On != opened.Ave_On || f.Ave != opened.Ave;
    const bool a1 = f.View_A1, a2 = f.View_A2;
    f = opened;
    // The channel items are menu items, not the dialog's.
    f.View_A1 = a1;
    f.View_A2 = a2;
    return spectra;
}

bool calcBothAvailable(std::int32_t deviceType) {
    return (deviceType & 0x03) != 0;
}

} // namespace kx::display
