// SPDX-License-Identifier: GPL-3.0-or-later
#include "trigger/TriggerChange.h"

namespace kx::trigger {

bool triggerChanged(const core::TriggerState& t, TriggerMemo& memo) {
    TriggerConditionKey k;
    const bool video = t.Mode == core::kTrigModeVideo;
    const bool leavingVideo = t.Mode == core::kTrigModeNone && memo.video;
    if (memo.valid && (video || leavingVideo)) {
        k = memo.key;
    } else {
        k.Edge = t.Edge;
        k.Mode = t.Mode;
        k.T_Mode = t.T_Mode;
        k.Tmin = t.Tmin;
        k.Tmax = t.Tmax;
        k.Tmult = t.Tmult;
        k.Lev_Mask = t.Lev_Mask;
        k.Levels = t.Levels;
        k.Extra_N = t.Extra_N;
    }
    k.Src = t.Src;
    k.TPLUS = t.TPLUS;
    const bool changed = !memo.valid || !(k == memo.key);
    memo.valid = true;
    memo.key = k;
    memo.video = video;
    return changed;
}

} // namespace kx::trigger
