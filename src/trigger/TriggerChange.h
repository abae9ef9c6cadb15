// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/TriggerState.h"

#include <cstdint>

namespace kx::trigger {

// The trigger settings as the instrument's "trigger settings changed" once flag sees them: the
// source, the edge, T+ and the additional condition. Pre-trigger, noise reject, the logic
// thresholds and the levels are not part of it.
struct TriggerConditionKey {
    std::int32_t Src = 0;
    bool Edge = false;
    bool TPLUS = false;
    std::int32_t Mode = 0;
    std::int32_t T_Mode = 0;
    std::int32_t Tmin = 0;
    std::int32_t Tmax = 0;
    std::int32_t Tmult = 0;
    std::int32_t Lev_Mask = 0;
    std::int32_t Levels = 0;
    std::int32_t Extra_N = 0;
    bool operator==(const TriggerConditionKey&) const = default;
};

// What was last published, for apply-settings.
struct TriggerMemo {
    bool valid = false;
    TriggerConditionKey key;
    bool video = false; // the video-line condition was chosen
};

// Whether `t` differs from what `memo` last saw, as the once flag counts it; updates the memo.
// The first call always answers yes. The video-line condition leaves the trigger unit's state
// alone: choosing it, and releasing every condition after it, keeps the condition part as it was.
bool triggerChanged(const core::TriggerState& t, TriggerMemo& memo);

} // namespace kx::trigger
