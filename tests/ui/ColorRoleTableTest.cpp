// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorRoleTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kx;

namespace {

// The analyser slots as they must follow the roles.
void expectSlotsFollow(const core::ColorRoles& c) {
    EXPECT_EQ(c.ColorAaGraph1, c.ColorA1);
    EXPECT_EQ(c.ColorRs, c.ColorA2);
    EXPECT_EQ(c.ColorNaAmpl, c.ColorD1);
    EXPECT_EQ(c.ColorRp, c.ColorD1);
    EXPECT_EQ(c.ColorPhase, c.ColorD2);
    EXPECT_EQ(c.ColorXs, c.ColorD3);
    EXPECT_EQ(c.ColorZ, c.ColorD4);
    EXPECT_EQ(c.ColorXp, c.ColorFft);
}

const ui::ColorRoleRow& rowOf(std::string_view button) {
    for (const ui::ColorRoleRow& r : ui::colorRoleRows())
        if (r.button == button) return r;
    ADD_FAILURE() << button;
    return ui::colorRoleRows()[0];
}

} // namespace

TEST(ColorRoleTable, DefaultsOfEveryRole) {
    struct Case {
        const char* button;
        const char* panel;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"Button_cl_A1", "Panel_cl_A1", 0x00FF00},
        {"Button_cl_A2", "Panel_cl_A2", 0x00FFFF},
        {"Button_cl_D1", "Panel_cl_D1", 0xFFFF00},
        {"Button_cl_D2", "Panel_cl_D2", 0x8CDAFF},
        {"Button_cl_D3", "Panel_cl_D3", 0x0080FF},
        {"Button_cl_D4", "Panel_cl_D4", 0xFF8000},
        {"Button_clBackground", "Panel_clBackground", 0x2D0000},
        {"Button_clBorder", "Panel_clBorder", 0x000000},
        {"Button_clMarkers", "Panel_clMarkers", 0x808080},
        {"Button_clGrid", "Panel_clGrid", 0x800000},
        {"Button_clGrid_Frame", "Panel_clGrid_Frame", 0xC08000},
        {"Button_clTrig_Pos", "Panel_clTrig_Pos", 0x808000},
        {"Button_clFFT", "Panel_clFFT", 0xFF00FF},
        {"Button_Extra_Info", "Panel_clExtra_Info", 0xC08000},
    };
    ASSERT_EQ(ui::colorRoleRows().size(), std::size(cases));
    core::ColorRoles colors;
    colors.ColorA1 = colors.ColorBorder = colors.ColorAaGraph1 = colors.ColorXp = 0x123456;
    ui::setDefaultColors(colors);
    std::vector<std::uint32_t core::ColorRoles::*> fields;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const ui::ColorRoleRow& r = ui::colorRoleRows()[i];
        EXPECT_EQ(r.button, cases[i].button);
        EXPECT_EQ(r.panel, cases[i].panel);
        EXPECT_EQ(colors.*r.field, cases[i].value) << r.button;
        for (auto f : fields) EXPECT_NE(f, r.field) << r.button; // each row its own role
        fields.push_back(r.field);
    }
    expectSlotsFollow(colors);
}

TEST(ColorRoleTable, ChannelCaptionsFollowTheGenerator) {
    struct Case {
        const char* button;
        const char* plain;
        const char* analyzers;
    };
    const Case cases[] = {
        {"Button_cl_A1", "A1", "A1, SWR"},      {"Button_cl_A2", "A2", "A2, Rs"},
        {"Button_cl_D1", "D1", "D1, Ampl, Rp"}, {"Button_cl_D2", "D2", "D2, Ph"},
        {"Button_cl_D3", "D3", "D3, Xs"},       {"Button_cl_D4", "D4", "D4, |Z|"},
    };
    for (const Case& c : cases) {
        const ui::ColorRoleRow& r = rowOf(c.button);
        EXPECT_TRUE(r.channel);
        EXPECT_STREQ(ui::channelButtonCaption(r, false), c.plain);
        EXPECT_STREQ(ui::channelButtonCaption(r, true), c.analyzers);
    }
}

TEST(ColorRoleTable, ARoleTakesItsAnalyzerSlotsAlong) {
    struct Case {
        const char* button;
        std::uint32_t core::ColorRoles::*role;
        std::vector<std::uint32_t core::ColorRoles::*> slots;
    };
    using C = core::ColorRoles;
    const Case cases[] = {
        {"Button_cl_A1", &C::ColorA1, {&C::ColorAaGraph1}},
        {"Button_cl_A2", &C::ColorA2, {&C::ColorRs}},
        {"Button_cl_D1", &C::ColorD1, {&C::ColorNaAmpl, &C::ColorRp}},
        {"Button_cl_D2", &C::ColorD2, {&C::ColorPhase}},
        {"Button_cl_D3", &C::ColorD3, {&C::ColorXs}},
        {"Button_cl_D4", &C::ColorD4, {&C::ColorZ}},
        {"Button_clFFT", &C::ColorFft, {&C::ColorXp}},
        {"Button_clGrid", &C::ColorGrid, {}},
    };
    for (const Case& c : cases) {
        core::ColorRoles colors;
        const core::ColorRoles before = colors;
        ui::setColorRole(colors, rowOf(c.button), 0x010203);
        EXPECT_EQ(colors.*c.role, 0x010203u) << c.button;
        for (auto slot : c.slots) EXPECT_EQ(colors.*slot, 0x010203u) << c.button;
        expectSlotsFollow(colors);
        // No other role moves.
        for (const ui::ColorRoleRow& r : ui::colorRoleRows()) {
            if (r.field == c.role) continue;
            EXPECT_EQ(colors.*r.field, before.*r.field) << c.button << " " << r.button;
        }
    }
}

TEST(ColorRoleTable, RestoreTakesRolesAndResyncsSlots) {
    core::ColorRoles saved;
    saved.ColorA1 = 0x111111;
    saved.ColorD1 = 0x222222;
    saved.ColorFft = 0x333333;
    saved.ColorExtraInfo = 0x444444;
    // Slots of the saved copy are stale on purpose: they are set again from the roles.
    saved.ColorAaGraph1 = 0xABCDEF;

    core::ColorRoles colors;
    ui::setDefaultColors(colors);
    ui::restoreColorRoles(colors, saved);
    for (const ui::ColorRoleRow& r : ui::colorRoleRows())
        EXPECT_EQ(colors.*r.field, saved.*r.field) << r.button;
    expectSlotsFollow(colors);
    EXPECT_EQ(colors.ColorAaGraph1, 0x111111u);
}

TEST(ColorRoleTable, WindowsAndQtColourOrder) {
    struct Case {
        std::uint32_t bgr;
        std::uint32_t rgb;
    };
    const Case cases[] = {
        {0x0000FF, 0xFF0000}, {0x00FF00, 0x00FF00},   {0xFF0000, 0x0000FF},
        {0x8CDAFF, 0xFFDA8C}, {0xFF123456, 0x563412},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::bgrToRgb(c.bgr), c.rgb) << std::hex << c.bgr;
        EXPECT_EQ(ui::rgbToBgr(c.rgb), c.bgr & 0xFFFFFFu) << std::hex << c.rgb;
    }
}
