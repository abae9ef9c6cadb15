// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/TriggerTexts.h"

#include <gtest/gtest.h>

#include <string>

namespace kx::trigger {
namespace {

using core::TriggerState;

TEST(TriggerTexts, ModeLabelByKindAndSource) {
    struct Case {
        int mode;
        int src;
        const char* en;
        const char* ru;
    };
    const Case cases[] = {
        {1, 0, "Pulse Time Trigger", "Синхронизация по длительности импульса"},
        {2, 3, "Period Trigger", "Синхронизация по периоду"},
        {3, 0, "Runt Time Trigger", "Синхронизация по длительности ранта"},
        {3, 1, "Runt Time Trigger", "Синхронизация по длительности ранта"},
        {3, 2, "Not applicable to D chanel (T = 0)", "Неприменимо к цифровому каналу (T = 0)"},
        {4, 1, "Slew Time Trigger", "Синхронизация по длительности перепада"},
        {4, 5, "Not applicable to D chanel (T = 0)", "Неприменимо к цифровому каналу (T = 0)"},
        {5, 2, "Pulse N Trigger (T separated)", "По номеру импульса с разделением временем T"},
        {6, 0, "Pulse N Trigger (En separated)", "По номеру импульса с разделением сигналом En"},
        {10, 4, "Video Line Trigger (PAL/SECAM/NTSC)", "По номеру строки видео PAL/SECAM/NTSC"},
        {0, 0, "", ""},
        {7, 0, "", ""}, // not a kind
    };
    for (const Case& c : cases) {
        EXPECT_EQ(modeLabel(c.mode, c.src, false), c.en) << c.mode << " src " << c.src;
        EXPECT_EQ(modeLabel(c.mode, c.src, true), c.ru) << c.mode << " src " << c.src;
    }
}

TEST(TriggerTexts, TimeConditionText) {
    struct Case {
        int mode, tmode, tmin, tmax, tmult;
        const char* en;
        const char* ru;
    };
    const Case cases[] = {
        {1, 0, 1000, 1200, 2, "T = any", "T не учитывается"},
        {6, 1, 1000, 1200, 2, "T - Not applicable in this mode", "T - Неприменимо в данном режиме"},
        {10, 2, 1000, 1200, 2, "T - Not applicable in this mode", "T - Неприменимо в данном режиме"},
        {1, 1, 1000, 1200, 2, "T inside   500.0 uS ... 600.0 uS", "T в интервале   500.0 uS ... 600.0 uS"},
        {5, 2, 1000, 1200, 2, "T outside   500.0 uS ... 600.0 uS", "T вне интервала   500.0 uS ... 600.0 uS"},
        // Nothing is shorter than the kind's minimum: the condition cannot hold, or always does.
        {1, 1, 0, 1, 0, " T < 5 nS - never true", " T < 5 nS - невыполнимо"},
        {1, 2, 0, 1, 0, " T >= 5 nS - always true", " T >= 5 nS - всегда верно"},
        {2, 1, 0, 2, 0, " T < 10 nS - never true", " T < 10 nS - невыполнимо"},
        // The lower limit below the minimum starts the interval at the minimum.
        {2, 1, 1, 3, 0, "T inside   10 nS ... 15 nS", "T в интервале   10 nS ... 15 nS"},
        {2, 2, 1, 3, 0, " T >= 15 nS", " T >= 15 nS"},
        {1, 2, 1, 4, 0, " T >= 20 nS", " T >= 20 nS"},
        {1, 1, 1, 4, 0, "T inside   5 nS ... 20 nS", "T в интервале   5 nS ... 20 nS"},
        {1, 1, 3, 5, 0, "T inside   15 nS ... 25 nS", "T в интервале   15 nS ... 25 nS"},
        // Slew has no minimum, and a lower limit of zero means "shorter than".
        {4, 1, 0, 3, 0, " T < 15 nS", " T < 15 nS"},
        {4, 1, 1, 3, 0, "T inside   5 nS ... 15 nS", "T в интервале   5 nS ... 15 nS"},
        // The top of the longest range.
        {1, 1, 1999, 2000, 5, "T inside   999.5 mS ... 1.0000 S", "T в интервале   999.5 mS ... 1.0000 S"},
        // Settings-file values beyond the scroll bars are shown as the scroll bars show them.
        {1, 1, -40, 99999, 9, "T inside   5 nS ... 1.0000 S", "T в интервале   5 nS ... 1.0000 S"},
    };
    for (const Case& c : cases) {
        TriggerState t;
        t.Mode = c.mode;
        t.T_Mode = c.tmode;
        t.Tmin = c.tmin;
        t.Tmax = c.tmax;
        t.Tmult = c.tmult;
        EXPECT_EQ(timeConditionText(t, false), c.en)
            << c.mode << " " << c.tmode << " " << c.tmin << " " << c.tmax;
        EXPECT_EQ(timeConditionText(t, true), c.ru)
            << c.mode << " " << c.tmode << " " << c.tmin << " " << c.tmax;
    }
}

TEST(TriggerTexts, LevelBoxesAndEnLabel) {
    EXPECT_EQ(levelBoxText(0, 0, 0x3F), "A1");
    EXPECT_EQ(levelBoxText(1, 0x02, 0x02), "A2=1");
    EXPECT_EQ(levelBoxText(2, 0x04, 0x00), "D1=0");
    EXPECT_EQ(levelBoxText(5, 0x20, 0x1F), "D4=0");

    struct Case {
        int mask, levels, enabled;
        const char* text;
    };
    const Case cases[] = {
        {0x00, 0x00, 0x3F, "En = 1"},
        {0x05, 0x01, 0x3F, "En = A1 && ~D1"},
        {0x3F, 0x2A, 0x3F, "En = ~A1 && A2 && ~D1 && D2 && ~D3 && D4"},
        {0x05, 0x05, 0x3E, "En = D1"},  // A1 is the trigger source
        {0x04, 0x04, 0x3B, "En = 1"},   // only the source is in the mask
        {0x00, 0x3F, 0x3F, "En = 1"},   // levels outside the mask count for nothing
        {0x22, 0x00, 0x3D, "En = ~D4"}, // A2 hidden
    };
    for (const Case& c : cases) EXPECT_EQ(enableLabel(c.mask, c.levels, c.enabled), c.text) << c.mask;
}

TEST(TriggerTexts, CountLabel) {
    struct Case {
        int mode, tmode, count;
        bool levelCondition;
        const char* en;
        const char* ru;
    };
    const Case cases[] = {
        {5, 1, 7, false, "N = 7", "N = 7"},
        {5, 2, 1000, false, "N = 1000", "N = 1000"},
        {5, 0, 7, true, "N = 1 (Always true. T should be defined)",
         "N = 1 (Всегда верно. T должно быть задано)"},
        {6, 0, 3, true, "N = 3", "N = 3"},
        {6, 1, 3, false, "N = ... (Never true. En should be defined)",
         "N = ... (Невыполнимо. En должен быть задан)"},
        {10, 0, 600, false, "Video Line = 600  (NTSC  75)", "Номер строки видеосигнала = 600  (NTSC  75)"},
        {10, 0, 525, false, "Video Line = 525", "Номер строки видеосигнала = 525"},
        {10, 0, 526, false, "Video Line = 526  (NTSC  1)", "Номер строки видеосигнала = 526  (NTSC  1)"},
        {1, 1, 5, true, "N - Not applicable in this mode", "N - Неприменимо в данном режиме"},
        {0, 0, 5, true, "N - Not applicable in this mode", "N - Неприменимо в данном режиме"},
    };
    for (const Case& c : cases) {
        TriggerState t;
        t.Mode = c.mode;
        t.T_Mode = c.tmode;
        t.Extra_N = c.count;
        EXPECT_EQ(countLabel(t, c.levelCondition, false), c.en) << c.mode << " " << c.count;
        EXPECT_EQ(countLabel(t, c.levelCondition, true), c.ru) << c.mode << " " << c.count;
    }
}

TEST(TriggerTexts, ThresholdLabels) {
    EXPECT_EQ(thresholdLabelD123(165), "D1 - D3 = 1.65 V");
    EXPECT_EQ(thresholdLabelD4(165), "D4 = 1.65 V");
    EXPECT_EQ(thresholdLabelD123(50), "D1 - D3 = 500 mV");
    EXPECT_EQ(thresholdLabelD4(1300), "D4 = 13.00 V");
}

TEST(TriggerTexts, NoiseRejectItems) {
    const char* nr[] = {"Off",     "0.1 Div", "0.2 Div", "0.5 Div", "1 Div",
                        "1.5 Div", "2 Div",   "2.5 Div", "3 Div",   "3.5 Div"};
    for (std::size_t i = 0; i < caption::kNoiseRejectItems.size(); ++i)
        EXPECT_STREQ(caption::kNoiseRejectItems[i].pick(false), nr[i]) << i;
}

} // namespace
} // namespace kx::trigger
