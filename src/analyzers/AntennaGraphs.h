// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/AntennaAnalyzer.h"

#include <array>
#include <optional>
#include <string>

namespace kx::analyzers {

// Graph selections: graph 1 0..3 = Off, SWR, Return Loss, Q; graphs 2 and 3 0..6 = Off, Rs, Xs,
// |Z|, Phase Z, Rp, Xp.
std::optional<AntennaQuantity> antennaGraph1Quantity(int selection);
std::optional<AntennaQuantity> antennaGraph23Quantity(int selection);

// Tools menu caption, e.g. "Graph 1 - Return Loss"; graph is 1..3.
std::string antennaGraphCaption(int graph, int selection, bool russian);

// Quantities in drawing order: those of graphs 2 and 3 (Xp, Rp, phase, |Z|, Xs, Rs, each once),
// then graph 1's.
struct AntennaDrawList {
    std::array<AntennaQuantity, 7> items{};
    int count = 0;
};
AntennaDrawList antennaDrawOrder(int graph1, int graph2, int graph3);

} // namespace kx::analyzers
