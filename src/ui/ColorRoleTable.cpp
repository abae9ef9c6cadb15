// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorRoleTable.h"

namespace kx::ui {
namespace {

using core::ColorRoles;

constexpr ColorRoleRow kRows[] = {
    {"Button_cl_A1", "Panel_cl_A1", &ColorRoles::ColorA1, true, "A1", "A1, SWR"},
    {"Button_cl_A2", "Panel_cl_A2", &ColorRoles::ColorA2, true, "A2", "A2, Rs"},
    {"Button_cl_D1", "Panel_cl_D1", &ColorRoles::ColorD1, true, "D1", "D1, Ampl, Rp"},
    {"Button_cl_D2", "Panel_cl_D2", &ColorRoles::ColorD2, true, "D2", "D2, Ph"},
    {"Button_cl_D3", "Panel_cl_D3", &ColorRoles::ColorD3, true, "D3", "D3, Xs"},
    {"Button_cl_D4", "Panel_cl_D4", &ColorRoles::ColorD4, true, "D4", "D4, |Z|"},
    {"Button_clBackground", "Panel_clBackground", &ColorRoles::ColorBackground, false, nullptr, nullptr},
    {"Button_clBorder", "Panel_clBorder", &ColorRoles::ColorBorder, false, nullptr, nullptr},
    {"Button_clMarkers", "Panel_clMarkers", &ColorRoles::ColorMarkers, false, nullptr, nullptr},
    {"Button_clGrid", "Panel_clGrid", &ColorRoles::ColorGrid, false, nullptr, nullptr},
    {"Button_clGrid_Frame", "Panel_clGrid_Frame", &ColorRoles::ColorGridFrame, false, nullptr, nullptr},
    {"Button_clTrig_Pos", "Panel_clTrig_Pos", &ColorRoles::ColorTrigPos, false, nullptr, nullptr},
    {"Button_clFFT", "Panel_clFFT", &ColorRoles::ColorFft, false, nullptr, nullptr},
    {"Button_Extra_Info", "Panel_clExtra_Info", &ColorRoles::ColorExtraInfo, false, nullptr, nullptr},
};
static_assert(std::size(kRows) == kColorRoleCount);

} // namespace

std::span<const ColorRoleRow> colorRoleRows() {
    return kRows;
}

const char* channelButtonCaption(const ColorRoleRow& row, bool modelHasGenerator) {
    return modelHasGenerator ? row.analyzerCaption : row.plainCaption;
}

void setColorRole(core::ColorRoles& colors, const ColorRoleRow& row, std::uint32_t colour) {
    colors.*row.field = colour;
    colors.syncAnalyzerSlots();
}

void setDefaultColors(core::ColorRoles& colors) {
    colors = core::ColorRoles{};
}

void restoreColorRoles(core::ColorRoles& colors, const core::ColorRoles& saved) {
    for (const ColorRoleRow& row : kRows) colors.*row.field = saved.*row.field;
    colors.syncAnalyzerSlots();
}

} // namespace kx::ui
