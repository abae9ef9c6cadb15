// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

namespace kx::analyzers {

// Window setting of the spectrum view, in the order of the settings dialog.
enum class FftWindow {
    Rectangular = 0,
    Hann = 1,
    FlatTop = 2,
    Hamming = 3,
    Blackman = 4,
    BlackmanHarris = 5,
    Nuttall = 6,
    BlackmanNuttall = 7,
    Triangular = 8,
};
constexpr int kFftWindowCount = 9;

// Window out of a stored setting; unknown values fall back to the rectangular window.
FftWindow fftWindowFromIndex(int index);

// Fills w[0..size-1] with the symmetric window (period size - 1) and returns the sum of its values.
// A window of fewer than two points is a single 1.
double fillWindow(FftWindow window, std::span<double> w);

// Equivalent noise bandwidth of the window, in bins.
double windowNoiseBandwidth(FftWindow window);

} // namespace kx::analyzers
