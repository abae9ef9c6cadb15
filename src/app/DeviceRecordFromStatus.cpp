// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceRecordFromStatus.h"

namespace kx::app {

files::DeviceRecord deviceRecordFrom(const device::StatusInfo& status, bool ready) {
    files::DeviceRecord d;
    d.ready = ready;
    d.firmwareVersion = status.firmwareVersion;
    d.fpgaVersion = status.fpgaVersion;
    d.reportedDeviceType = status.deviceType;
    d.serialNumber = status.serial;
    d.zeroTableValid = status.zeroTableRead;
    d.systemTableValid = status.systemTableRead;
    d.powerOnCounter = status.powerOnCounter;
    d.flashHash = status.flashHash;
    d.flashFailure = status.flashFailure;
    d.pin = status.pin;
    d.supplyMicrovolts = static_cast<double>(status.supplyMillivolts) * 1000.0;
    if (status.systemTableRead) d.lastValidSystemTable = status.systemTable;
    return d;
}

} // namespace kx::app
