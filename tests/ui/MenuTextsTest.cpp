// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuTexts.h"
#include "ui/MenuTree.h"

#include <gtest/gtest.h>

#include <string>

using namespace kx;

namespace {

// A lone "&" would underline the next letter instead of showing.
bool ampersandsDoubled(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') continue;
        if (i + 1 >= s.size() || s[i + 1] != '&') return false;
        ++i;
    }
    return true;
}

} // namespace

TEST(MenuTexts, EveryItemHasBothCaptions) {
    for (const auto& e : ui::menuTree()) {
        if (e.kind == ui::MenuKind::Separator || e.kind == ui::MenuKind::End) continue;
        for (bool hasA2 : {false, true}) {
            const char* en = ui::menuCaption(e.name, false, hasA2);
            const char* ru = ui::menuCaption(e.name, true, hasA2);
            ASSERT_NE(en, nullptr) << e.name;
            EXPECT_STRNE(en, "") << e.name;
            EXPECT_TRUE(ampersandsDoubled(en)) << e.name;
            if (e.name == "Menu_Language") {
                EXPECT_EQ(ru, nullptr);
                continue;
            }
            ASSERT_NE(ru, nullptr) << e.name;
            EXPECT_STRNE(ru, "") << e.name;
            EXPECT_TRUE(ampersandsDoubled(ru)) << e.name;
        }
    }
    EXPECT_EQ(ui::menuCaption("Menu_Nothing", false, true), nullptr);
}

TEST(MenuTexts, A2ItemFollowsTheModel) {
    EXPECT_STREQ(ui::menuCaption("Menu_CH_A2", false, true), "A2");
    EXPECT_STREQ(ui::menuCaption("Menu_CH_A2", true, true), "Канал A2");
    EXPECT_STREQ(ui::menuCaption("Menu_CH_A2", false, false), "A2 (Generator)");
    EXPECT_STREQ(ui::menuCaption("Menu_CH_A2", true, false), "Канал A2 (генератор)");
}

TEST(MenuTexts, ItemsThatKeepTheirCaption) {
    for (const char* name : {"Menu_4820", "Menu_TRM207_M", "Menu_A1_x100", "Menu_Smpl_20000", "Menu_Smpl_Max",
                             "Menu_WPS_24", "Menu_IQ_Zoom_10", "Menu_AA_SWR_Range0", "Menu_AA_Q_Range2",
                             "Menu_AA_Zo", "Menu_AA_G1", "Menu_AA_G3", "Menu_AA_G1_RL", "Menu_AA_G2_Rs",
                             "Menu_AA_G3_Xp", "Menu_AA_G2_Z", "Menu_NA_Ampl", "Menu_English"})
        EXPECT_STREQ(ui::menuCaption(name, true, true), ui::menuCaption(name, false, true)) << name;
}

TEST(MenuTexts, ControlCaptions) {
    struct Row {
        const char* name;
        const char* en;
        const char* ru;
    };
    const Row rows[] = {
        {"Label_TimeDiv", "Time/Div", "Время/Дел"}, {"SpeedButton_Trig", "Trigger", "Синхр."},
        {"SpeedButton_Trig_On", "ON", "Вкл."},      {"SpeedButton_GenOn", "ON", "Вкл."},
        {"SpeedButton_Run", "RUN", "Пуск"},         {"SpeedButton_AWG_Run", "RUN", "Пуск"},
        {"SpeedButton_Sngl", "SINGLE", "Однокр."},  {"SpeedButton_Auto", "Auto", "Авт."},
        {"SpeedButton_Mod", "Mod.", "Мод."},        {"SpeedButton_Pulse", "Pulse", "Имп."},
        {"SpeedButton_Sweep", "Swp.", "ГКЧ"},       {"SpeedButton_AWG", "AWG", "ПФ"},
    };
    ASSERT_EQ(ui::captionedControls().size(), std::size(rows));
    for (const Row& r : rows) {
        EXPECT_STREQ(ui::controlCaption(r.name, false), r.en) << r.name;
        EXPECT_STREQ(ui::controlCaption(r.name, true), r.ru) << r.name;
    }
    for (std::string_view name : ui::captionedControls())
        EXPECT_NE(ui::controlCaption(name, true), nullptr) << name;
    EXPECT_EQ(ui::controlCaption("SpeedButton_Strobo", false), nullptr);
}

TEST(MenuTexts, GraphMenusShowTheirChoice) {
    struct Case {
        int graph, choice;
        bool russian;
        const char* text;
    };
    const Case cases[] = {
        {1, 1, false, "Graph 1 - SWR"},
        {1, 2, false, "Graph 1 - Return Loss"},
        {2, 4, false, "Graph 2 - Phase Z"},
        {3, 0, false, "Graph 3 - Off"},
        {3, 3, false, "Graph 3 - |Z|"},
        {2, 1, true, "Graph 2 - Rs"},
        {3, 7, false, "Graph 3"},
        {1, -1, false, "Graph 1"},
        {0, 1, false, ""},
        {4, 1, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::aaGraphCaption(c.graph, c.choice, c.russian), c.text) << c.graph << "/" << c.choice;
}
