// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AdvancedSettings.h"

#include <gtest/gtest.h>

#include <optional>

using namespace kx;

TEST(VelocityFactorText, ParsesWithTheLocaleSeparator) {
    struct Case {
        const char* text;
        char separator;
        std::optional<std::int32_t> tenths;
    };
    const Case cases[] = {
        {"66,0", ',', 660},
        {"66.0", '.', 660},
        {"100", ',', 1000},
        // The other separator is no number of this locale.
        {"66.0", ',', std::nullopt},
        {"66,0", '.', std::nullopt},
        // Halves go away from zero, on the digits as written.
        {"66,05", ',', 661},
        {"66.04", '.', 660},
        {"-66.05", '.', -661},
        {"0.05", '.', 1},
        {"0.04", '.', 0},
        {"-0", '.', 0},
        // What a number reader takes besides plain digits.
        {"  75,5  ", ',', 755},
        {"+75", '.', 750},
        {",5", ',', 5},
        {"5,", ',', 50},
        {"1e2", '.', 1000},
        {"6.6E+1", '.', 660},
        {"660e-1", '.', 660},
        {"1e-99999999999", '.', 0},
        {"0e99999999999", '.', 0},
        // No number.
        {"", '.', std::nullopt},
        {"   ", '.', std::nullopt},
        {"-", '.', std::nullopt},
        {".", '.', std::nullopt},
        {"1e", '.', std::nullopt},
        {"1e+", '.', std::nullopt},
        {"e5", '.', std::nullopt},
        {"12a", '.', std::nullopt},
        {"1 2", '.', std::nullopt},
        {"1.2.3", '.', std::nullopt},
        {"--1", '.', std::nullopt},
        {"inf", '.', std::nullopt},
        {"nan", '.', std::nullopt},
        {"0x10", '.', std::nullopt},
        {"1,000.5", '.', std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::velocityFactorFromText(c.text, c.separator), c.tenths)
            << '"' << c.text << "\" " << c.separator;
}

TEST(VelocityFactorText, TenthsOutsideTheFieldAreRejected) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> tenths;
    };
    const Case cases[] = {
        {"214748364.7", 2147483647},
        {"214748364.8", std::nullopt},
        {"214748364.74", 2147483647},
        {"214748364.75", std::nullopt}, // rounds past the top
        {"-214748364.8", -2147483647 - 1},
        {"-214748364.9", std::nullopt},
        {"1e9", std::nullopt},
        {"1e400", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"0000000000000000000001.5", 15},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::velocityFactorFromText(c.text, '.'), c.tenths) << c.text;
}

TEST(VelocityFactorText, ShownAsPercentWithOneDecimal) {
    struct Case {
        std::int32_t tenths;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {1000, '.', "100.0"}, {660, ',', "66,0"}, {755, '.', "75.5"}, {0, '.', "0.0"}, {-5, ',', "-0,5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::velocityFactorText(c.tenths, c.separator), c.text) << c.tenths;
        // What the box shows reads back as the same value.
        EXPECT_EQ(ui::velocityFactorFromText(c.text, c.separator), c.tenths) << c.text;
    }
}

TEST(AdMatchReadout, TimeThroughTheFormatter) {
    struct Case {
        std::int32_t value;
        bool debug;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {128, false, '.', "0.000 nS"},       {136, false, '.', "5.000 nS"},
        {120, false, '.', "-5.000 nS"},      {129, false, ',', "0,625 nS"},
        {16, false, '.', "-70.000 nS"},      {240, false, '.', "70.000 nS"},
        {136, true, '.', "5.000 nS  (136)"}, {0, true, '.', "-80.000 nS  (0)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::adMatchReadout(c.value, c.debug, c.separator), c.text) << c.value;
}

TEST(AdvancedFields, DefaultsAndRoundTrip) {
    const ui::AdvancedFields d = ui::defaultAdvancedFields();
    EXPECT_EQ(d.AD_Match, 128);
    EXPECT_EQ(d.Vel_Factor, 1000);
    EXPECT_FALSE(d.Refl_Cursors);
    EXPECT_TRUE(d.Analog_BW_Flt && d.Digital_BW_Flt && d.IQ_Win_En && d.Dither_En && d.Use_ADC_0);

    const ui::AdvancedFields f{200, 660, true, false, true, false, true, false};
    core::SystemState s;
    ui::setAdvancedFields(s, f);
    EXPECT_EQ(ui::advancedFieldsOf(s), f);
}

TEST(AdvancedFields, CancelTellsTheInstrumentOnlyWhatItUses) {
    const ui::AdvancedFields saved{};
    struct Case {
        const char* what;
        void (*change)(core::SystemState&);
        ui::AdvancedNotify notify;
    };
    const Case cases[] = {
        {"nothing", [](core::SystemState&) {}, ui::AdvancedNotify::Refresh},
        {"Refl_Cursors", [](core::SystemState& s) { s.Refl_Cursors = true; }, ui::AdvancedNotify::Refresh},
        {"Vel_Factor", [](core::SystemState& s) { s.Vel_Factor = 660; }, ui::AdvancedNotify::Refresh},
        {"AD_Match", [](core::SystemState& s) { s.AD_Match = 136; }, ui::AdvancedNotify::SettingsChanged},
        {"Analog_BW_Flt", [](core::SystemState& s) { s.Analog_BW_Flt = false; },
         ui::AdvancedNotify::SettingsChanged},
        {"Digital_BW_Flt", [](core::SystemState& s) { s.Digital_BW_Flt = false; },
         ui::AdvancedNotify::SettingsChanged},
        {"IQ_Win_En", [](core::SystemState& s) { s.IQ_Win_En = false; }, ui::AdvancedNotify::SettingsChanged},
        {"Dither_En", [](core::SystemState& s) { s.Dither_En = false; }, ui::AdvancedNotify::SettingsChanged},
        {"Use_ADC_0", [](core::SystemState& s) { s.Use_ADC_0 = false; }, ui::AdvancedNotify::SettingsChanged},
    };
    for (const Case& c : cases) {
        core::SystemState s;
        ui::setAdvancedFields(s, saved);
        s.DebugMode = true; // not one of the eight: Cancel leaves it
        c.change(s);
        EXPECT_EQ(ui::restoreAdvancedFields(s, saved), c.notify) << c.what;
        EXPECT_EQ(ui::advancedFieldsOf(s), saved) << c.what;
        EXPECT_TRUE(s.DebugMode) << c.what;
    }
}
