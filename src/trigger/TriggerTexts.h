// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"
#include "core/state/TriggerState.h"

#include <array>
#include <cstdint>
#include <string>

namespace kx::trigger {

// Fixed captions of the trigger settings dialog.
namespace caption {
inline constexpr core::TextPair kTitle{"Trigger Settings", "Настройки синхронизации"};
inline constexpr core::TextPair kPreTrig{"Pre Trigger", "Предзапуск"};
inline constexpr core::TextPair kNoiseReject{"Noise Reject / Double Level",
                                             "Подавление шума / Двойной уровень"};
inline constexpr core::TextPair kSameLev{"=", "="};
inline constexpr core::TextPair kConditions{"Additional Trigger Conditions (T+)",
                                            "Дополнительные условия синхронизации (T+)"};
inline constexpr core::TextPair kOk{"OK", "OK"};
inline constexpr core::TextPair kCancel{"Cancel", "Отмена"};

// Items of the pre-trigger and noise-reject groups, in index order.
inline constexpr std::array<core::TextPair, 10> kPreTrigItems{{
    {"Off", "Выкл."},
    {"1 Div", "1 Дел"},
    {"2 Div", "2 Дел"},
    {"3 Div", "3 Дел"},
    {"4 Div", "4 Дел"},
    {"5 Div", "5 Дел"},
    {"6 Div", "6 Дел"},
    {"7 Div", "7 Дел"},
    {"8 Div", "8 Дел"},
    {"9 Div", "9 Дел"},
}};
inline constexpr std::array<core::TextPair, 10> kNoiseRejectItems{{
    {"Off", "Выкл."},
    {"0.1 Div", "0.1 Дел"},
    {"0.2 Div", "0.2 Дел"},
    {"0.5 Div", "0.5 Дел"},
    {"1 Div", "1 Дел"},
    {"1.5 Div", "1.5 Дел"},
    {"2 Div", "2 Дел"},
    {"2.5 Div", "2.5 Дел"},
    {"3 Div", "3 Дел"},
    {"3.5 Div", "3.5 Дел"},
}};

// The range buttons, named by the span of the 0..2000 limit scale (Tmult 0..5); the units
// are written as the number formatter writes them, in both languages.
inline constexpr std::array<const char*, 6> kRanges{"10 uS", "0.1 mS", "1 mS", "10 mS", "0.1 S", "1 S"};

// Row captions of the condition buttons, in the order of the condition kinds 1..6, 10.
inline constexpr std::array<core::TextPair, 7> kConditionRows{{
    {"Pulse", "Импульс"},
    {"Period", "Период"},
    {"Runt", "Рант"},
    {"Slew", "Перепад"},
    {"Pulse N (T)", "Импульс N (T)"},
    {"Pulse N (En)", "Импульс N (En)"},
    {"Video", "Видео"},
}};
// Captions of the rising and the falling form of a condition button.
inline constexpr const char* kRisingForm = "\u2191";
inline constexpr const char* kFallingForm = "\u2193";
} // namespace caption

// Channel names in the order of the level bits: A1, A2, D1 .. D4.
inline constexpr std::array<const char*, 6> kChannelNames{"A1", "A2", "D1", "D2", "D3", "D4"};

// "D1 - D3 = " / "D4 = " and a threshold given in units of 10 mV.
std::string thresholdLabelD123(std::int32_t threshold10mV);
std::string thresholdLabelD4(std::int32_t threshold10mV);

// Label_Trig_Mode for the condition kind and the trigger source; empty for kind 0.
std::string modeLabel(std::int32_t mode, std::int32_t source, bool russian);

// The time condition check box: what the limits mean for the kind.
std::string timeConditionText(const core::TriggerState& t, bool russian);

// A level check box: the channel name, with "=1" or "=0" when the channel is in the mask.
std::string levelBoxText(int channel, std::int32_t mask, std::int32_t levels);

// Label_Lev: "En = " and the enabled channels of the mask ("1" when none). `enabledChannels`
// has a bit per channel whose check box is enabled.
std::string enableLabel(std::int32_t mask, std::int32_t levels, std::int32_t enabledChannels);

// Label_Trig_Extra_N. `levelCondition`: kind 6 has an enabled level box that is not unchecked.
std::string countLabel(const core::TriggerState& t, bool levelCondition, bool russian);

} // namespace kx::trigger
