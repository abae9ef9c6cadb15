// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstrumentTables.h"

namespace kx::app {

bool takeInstrumentTables(const device::StatusInfo& status, core::CalibrationState& calibration,
                          TablesTaken& taken) {
    bool changed = false;
    if (status.zeroTableRead && status.zeroTableUpdates != taken.zero) {
        taken.zero = status.zeroTableUpdates;
        changed = changed || calibration.ZeroTable != status.zeroTable;
        calibration.ZeroTable = status.zeroTable;
        calibration.ZeroTableRead = true;
    }
    if (status.systemTableRead && status.systemTableUpdates != taken.system) {
        taken.system = status.systemTableUpdates;
        changed = changed || calibration.SystemTable != status.systemTable;
        calibration.SystemTable = status.systemTable;
        calibration.SystemTableRead = true;
    }
    return changed;
}

} // namespace kx::app
