// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoakPlan.h"

namespace kx::tool {

SoakEvent SoakPlan::next(double after) {
    std::uniform_real_distribution<double> pause(4.0, 15.0);
    std::uniform_int_distribution<int> kind(0, 4);
    std::uniform_int_distribution<int> acks(1, 4);
    SoakEvent e;
    e.atSeconds = after + pause(m_rng);
    e.fault = static_cast<SoakFault>(kind(m_rng));
    switch (e.fault) {
    case SoakFault::Unplug:
        e.make = "unplug";
        e.undo = "replug";
        break;
    case SoakFault::PowerOff:
        e.make = "power=off";
        e.undo = "power=on";
        break;
    case SoakFault::FlashFail:
        e.make = "flash=fail";
        e.undo = "flash=ok";
        break;
    case SoakFault::LostAcks:
        e.make = "drop_acks=" + std::to_string(acks(m_rng));
        break;
    case SoakFault::ErrorBurst:
        // One byte in a hundred damaged for a moment; the background rates return after it.
        e.make = "bit_errors=0.01;bit_errors_in=0.01";
        e.undo = kBackgroundErrors;
        break;
    }
    return e;
}

const char* soakFaultName(SoakFault f) {
    switch (f) {
    case SoakFault::Unplug:
        return "unplug";
    case SoakFault::PowerOff:
        return "power failure";
    case SoakFault::FlashFail:
        return "flash failure";
    case SoakFault::LostAcks:
        return "lost acknowledgements";
    case SoakFault::ErrorBurst:
        return "bit error burst";
    }
    return "?";
}

} // namespace kx::tool
