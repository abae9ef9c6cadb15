// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AntennaGraphs.h"

#include "core/Text.h"

namespace kx::analyzers {
namespace {

constexpr core::TextPair kGraph{"Graph", "График"};
constexpr std::array<core::TextPair, 4> kGraph1{{{" - Off", " - Выкл."},
                                                 {" - SWR", " - КСВ"},
                                                 {" - Return Loss", " - Return Loss"},
                                                 {" - Q", " - Добротность"}}};
constexpr std::array<core::TextPair, 7> kGraph23{{{" - Off", " - Выкл."},
                                                  {" - Rs", " - Rs"},
                                                  {" - Xs", " - Xs"},
                                                  {" - |Z|", " - |Z|"},
                                                  {" - Phase Z", " - Фаза Z"},
                                                  {" - Rp", " - Rp"},
                                                  {" - Xp", " - Xp"}}};

} // namespace

std::optional<AntennaQuantity> antennaGraph1Quantity(int selection) {
    switch (selection) {
    case 1:
        return AntennaQuantity::Swr;
    case 2:
        return AntennaQuantity::ReturnLoss;
    case 3:
        return AntennaQuantity::Q;
    default:
        return std::nullopt;
    }
}

std::optional<AntennaQuantity> antennaGraph23Quantity(int selection) {
    switch (selection) {
    case 1:
        return AntennaQuantity::Rs;
    case 2:
        return AntennaQuantity::Xs;
    case 3:
        return AntennaQuantity::Z;
    case 4:
        return AntennaQuantity::Phase;
    case 5:
        return AntennaQuantity::Rp;
    case 6:
        return AntennaQuantity::Xp;
    default:
        return std::nullopt;
    }
}

std::string antennaGraphCaption(int graph, int selection, bool russian) {
    std::string t = std::string(kGraph.pick(russian)) + " " + std::to_string(graph);
    if (graph == 1) {
        const int s = selection >= 0 && selection < 4 ? selection : 0;
        return t + kGraph1[static_cast<std::size_t>(s)].pick(russian);
    }
    const int s = selection >= 0 && selection < 7 ? selection : 0;
    return t + kGraph23[static_cast<std::size_t>(s)].pick(russian);
}

AntennaDrawList antennaDrawOrder(int graph1, int graph2, int graph3) {
    AntennaDrawList list;
    const auto q2 = antennaGraph23Quantity(graph2), q3 = antennaGraph23Quantity(graph3);
    for (const AntennaQuantity q : {AntennaQuantity::Xp, AntennaQuantity::Rp, AntennaQuantity::Phase,
                                    AntennaQuantity::Z, AntennaQuantity::Xs, AntennaQuantity::Rs})
        if (q2 == q || q3 == q) list.items[static_cast<std::size_t>(list.count++)] = q;
    if (const auto q1 = antennaGraph1Quantity(graph1))
        list.items[static_cast<std::size_t>(list.count++)] = *q1;
    return list;
}

} // namespace kx::analyzers
