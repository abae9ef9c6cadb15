// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace kx::core {

// The 36 time-base steps, slowest first: button name suffix, INI key (section "Scope"),
// ns per division and caption.
struct TimeBaseStep {
    const char* key; // also the button name without "SpeedButton_"
    std::int64_t nsPerDiv;
    const char* caption;
};

inline constexpr std::array<TimeBaseStep, 36> kTimeBases{{
    {"1000S", 1'000'000'000'000, "1000 S"},
    {"500S", 500'000'000'000, "500 S"},
    {"200S", 200'000'000'000, "200 S"},
    {"100S", 100'000'000'000, "100 S"},
    {"50S", 50'000'000'000, "50 S"},
    {"20S", 20'000'000'000, "20 S"},
    {"10S", 10'000'000'000, "10 S"},
    {"5S", 5'000'000'000, "5 S"},
    {"2S", 2'000'000'000, "2 S"},
    {"1S", 1'000'000'000, "1 S"},
    {"500mS", 500'000'000, "0.5 S"},
    {"200mS", 200'000'000, "0.2 S"},
    {"100mS", 100'000'000, "0.1 S"},
    {"50mS", 50'000'000, "50 mS"},
    {"20mS", 20'000'000, "20 mS"},
    {"10mS", 10'000'000, "10 mS"},
    {"5mS", 5'000'000, "5 mS"},
    {"2mS", 2'000'000, "2 mS"},
    {"1mS", 1'000'000, "1 mS"},
    {"05mS", 500'000, "0.5 mS"},
    {"02mS", 200'000, "0.2 mS"},
    {"01mS", 100'000, "0.1 mS"},
    {"50uS", 50'000, "50 uS"},
    {"20uS", 20'000, "20 uS"},
    {"10uS", 10'000, "10 uS"},
    {"5uS", 5'000, "5 uS"},
    {"2uS", 2'000, "2 uS"},
    {"1uS", 1'000, "1 uS"},
    {"05uS", 500, "0.5 uS"},
    {"02uS", 200, "0.2 uS"},
    {"01uS", 100, "0.1 uS"},
    {"50nS", 50, "50 nS"},
    {"20nS", 20, "20 nS"},
    {"10nS", 10, "10 nS"},
    {"5nS", 5, "5 nS"},
    {"2nS", 2, "2 nS"},
}};

inline constexpr int kTimeBase1ms = 18;  // default
inline constexpr int kTimeBase02s = 11;  // where the analysers move a fast time base
inline constexpr int kTimeBase01s = 12;  // slowest-to-this: roll mode
inline constexpr int kTimeBase02ms = 20; // first one disabled in the analysers
inline constexpr int kTimeBase02us = 29; // Strobo visible from here on
inline constexpr int kTimeBase01us = 30;
inline constexpr int kTimeBase20ns = 32; // ETS held down from here on

constexpr int timeBaseIndexOf(std::int64_t nsPerDiv) {
    for (int i = 0; i < static_cast<int>(kTimeBases.size()); ++i)
        if (kTimeBases[static_cast<std::size_t>(i)].nsPerDiv == nsPerDiv) return i;
    return -1;
}

// The 12 volts/div steps, least sensitive first: key suffix ("A1_" + suffix in section
// "Scope", button SpeedButton_ + suffix + "_A1"), microvolts per division at probe x1.
struct VoltsDivStep {
    const char* key;
    std::int64_t microVolts;
};

inline constexpr std::array<VoltsDivStep, 12> kVoltsDiv{{
    {"2V", 2'000'000},
    {"1V", 1'000'000},
    {"05V", 500'000},
    {"02V", 200'000},
    {"100mV", 100'000},
    {"50mV", 50'000},
    {"20mV", 20'000},
    {"10mV", 10'000},
    {"5mV", 5'000},
    {"2mV", 2'000},
    {"1mV", 1'000},
    {"05mV", 500},
}};

inline constexpr int kVoltsDiv1V = 1;  // default of both channels
inline constexpr int kVoltsDiv02V = 3; // last range a compact front end hides on A1
inline constexpr int kVoltsDiv01V = 4; // where it moves them
inline constexpr int kVoltsDiv5mV = 8; // where LowVoltsDiv off moves 2 .. 0.5 mV
inline constexpr int kVoltsDiv2mV = 9; // first of the LowVoltsDiv ranges

// Button captions per probe factor (x1, x10, x20, x100).
inline constexpr std::array<std::array<const char*, 12>, 4> kVoltsDivCaptions{{
    {"2 V", "1 V", "0.5 V", "0.2 V", "0.1 V", "50 mV", "20 mV", "10 mV", "5 mV", "2 mV", "1 mV", "0.5 mV"},
    {"20 V", "10 V", "5 V", "2 V", "1 V", "0.5 V", "0.2 V", "0.1 V", "50 mV", "20 mV", "10 mV", "5 mV"},
    {"40 V", "20 V", "10 V", "4 V", "2 V", "1 V", "0.4 V", "0.2 V", "0.1 V", "40 mV", "20 mV", "10 mV"},
    {"200 V", "100 V", "50 V", "20 V", "10 V", "5 V", "2 V", "1 V", "0.5 V", "0.2 V", "0.1 V", "50 mV"},
}};

// Probe menu items Menu_A1_x1 .. Menu_A1_x100 (keys "A1_x1" ...).
inline constexpr std::array<int, 4> kProbeFactors{1, 10, 20, 100};
inline constexpr std::array<const char*, 4> kProbeKeys{"x1", "x10", "x20", "x100"};

// Points menu (keys "Smpl_N_2000" ... "Smpl_N_40000"); the last is "maximum".
inline constexpr std::array<int, 5> kPointChoices{2000, 5000, 10000, 20000, 40000};

// Frame-rate limit menu (keys "WPS_8" ... "WPS_NO_LIM") and its minimum frame period.
inline constexpr std::array<const char*, 5> kWpsKeys{"WPS_8", "WPS_15", "WPS_24", "WPS_40", "WPS_NO_LIM"};
inline constexpr std::array<int, 5> kWpsPeriodMs{125, 66, 41, 25, 0};

} // namespace kx::core
