// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AnalyzerScales.h"

#include <gtest/gtest.h>

namespace kx::analyzers {
namespace {

using Q = AntennaQuantity;

struct ScaleCase {
    const char* name;
    AnalyzerScale scale;
    std::array<const char*, 9> labels;
    const char* title;
    bool right;
};

TEST(AnalyzerScales, LabelsPerGridLine) {
    const AntennaRanges r{8, 80, 240};
    const ScaleCase cases[] = {
        {"10 dB/div",
         networkAmplitudeScale(10),
         {"10", "0", "-10", "-20", "-30", "-40", "-50", "-60", "-70"},
         "",
         false},
        {"linear",
         networkAmplitudeScale(0, ','),
         {"1,6", "1,4", "1,2", "1,0", "0,8", "0,6", "0,4", "0,2", "0,0"},
         "",
         false},
        {"return loss",
         antennaScale(Q::ReturnLoss, r),
         {"0", "-10", "-20", "-30", "-40", "-50", "-60", "-70", "-80"},
         "",
         false},
        {"SWR 1..9", antennaScale(Q::Swr, r), {"", "8", "7", "6", "5", "4", "3", "2", "1"}, "SWR", false},
        {"SWR 1..3",
         antennaScale(Q::Swr, {2, 80, 80}),
         {"", "2.75", "2.50", "2.25", "2.00", "1.75", "1.50", "1.25", "1.00"},
         "SWR",
         false},
        {"Q", antennaScale(Q::Q, r), {"", "210", "180", "150", "120", "90", "60", "30", "0"}, "Q", false},
        {"phase",
         antennaScale(Q::Phase, r),
         {"", "135", "90", "45", " 0", "-45", "-90", "-135", "-180"},
         "Ph.",
         true},
        {"|Z| 80", antennaScale(Q::Z, r), {"", "70", "60", "50", "40", "30", "20", "10", "0"}, "", true},
        {"Rs 80", antennaScale(Q::Rs, r), {"", "60", "40", "20", "0", "-20", "-40", "-60", "-80"}, "", true},
        // Milliohms below 0.1 ohm, two decimals where a step of Rmax / 8 needs them.
        {"Xs 0.08",
         antennaScale(Q::Xs, {8, 0.08, 80}),
         {"", "60m", "40m", "20m", "0m", "-20m", "-40m", "-60m", "-80m"},
         "",
         true},
        {"Rp 0.24",
         antennaScale(Q::Rp, {8, 0.24, 80}),
         {"", "0.18", "0.12", "0.06", "0.00", "-0.06", "-0.12", "-0.18", "-0.24"},
         "",
         true},
        {"|Z| 2.4",
         antennaScale(Q::Z, {8, 2.4, 80}),
         {"", "2.1", "1.8", "1.5", "1.2", "0.9", "0.6", "0.3", "0.0"},
         "",
         true},
        // Kilohms above 1000 ohms.
        {"Xp 2400",
         antennaScale(Q::Xp, {8, 2400, 80}),
         {"", "1.8K", "1.2K", "0.6K", "0.0K", "-0.6K", "-1.2K", "-1.8K", "-2.4K"},
         "",
         true},
        {"|Z| 8000",
         antennaScale(Q::Z, {8, 8000, 80}),
         {"", "7K", "6K", "5K", "4K", "3K", "2K", "1K", "0K"},
         "",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(c.scale.labels[i], c.labels[i]) << "line " << i;
        EXPECT_EQ(c.scale.title, c.title);
        EXPECT_EQ(c.scale.right, c.right);
    }
}

TEST(AnalyzerScales, MessagesInOrderOfPrecedence) {
    struct Case {
        const char* name;
        std::uint32_t amplitude, scaleA1, overdrive;
        bool antenna, russian;
        const char* text;
    };
    // 1 V/div: 8000 mV full scale against five times the amplitude code.
    const Case cases[] = {
        {"AA generator off", 0, 1'000'000, 1, true, false, "Generator is Off"},
        {"AA generator off, ru", 0, 1'000'000, 0, true, true, "Генератор выключен"},
        {"AA amplitude low", 1599, 1'000'000, 1, true, false, "Amplitude is low"},
        {"AA amplitude low, ru", 1599, 1'000'000, 0, true, true, "Амплитуда генератора мала"},
        {"AA at the limit", 1600, 1'000'000, 0, true, false, ""},
        {"AA overdriven", 4000, 1'000'000, 1, true, false, "Input is overdriven"},
        {"NA ignores the generator", 0, 1'000'000, 0, false, false, ""},
        {"NA overdriven, ru", 0, 1'000'000, 1, false, true, "Вход перегружен"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        core::FrameHeader h{};
        h[core::fh::GenAmplitudeWord] = c.amplitude;
        h[core::fh::ScaleA1] = c.scaleA1;
        h[core::fh::OverdriveA1] = c.overdrive;
        EXPECT_EQ(analyzerMessage(h, c.antenna, c.russian), c.text);
    }
}

} // namespace
} // namespace kx::analyzers
