// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <complex>
#include <string>

namespace kx::analyzers {

// The antenna analyzer's reflection on a Smith chart: the unit circle of the reflection plane
// fitted into the plot.
struct SmithFrame {
    double cx = 0, cy = 0; // centre in pixels
    double radius = 0;     // of the unit circle, in pixels
};
SmithFrame smithFrame(int left, int top, int width, int height);

// The reflection of impedance z against zo; an open (infinite z) reflects 1.
std::complex<double> smithReflection(std::complex<double> z, double zo);

struct SmithPoint {
    double x = 0, y = 0;
};
// Pixel of a reflection: positive reactance (inductive) up.
SmithPoint smithPoint(const SmithFrame& f, std::complex<double> reflection);

// The grid: circles of constant normalised resistance and of constant normalised reactance (the
// latter for +x and -x, clipped by the unit circle), in reflection-plane coordinates.
inline constexpr std::array<double, 5> kSmithGridValues{0.2, 0.5, 1, 2, 5};
struct SmithCircle {
    std::complex<double> centre;
    double radius = 0;
};
SmithCircle smithResistanceCircle(double r);
SmithCircle smithReactanceCircle(double x);

// The sweep point under a vertical cursor (0..5000 across the plot) of an n-point sweep shown
// with the analyzer zoom: the same frequency as the cursor readout.
int smithCursorIndex(int cursorX, int n, int zoom);

// "Z = 20.0 + j3.51 Ohm", three significant digits per part.
std::string smithImpedanceText(std::complex<double> z, char dec = '.');

} // namespace kx::analyzers
