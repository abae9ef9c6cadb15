// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/StatusInfo.h"
#include "files/SettingsFile.h"

namespace kx::app {

// What the program settings file records of the instrument, from its last status.
files::DeviceRecord deviceRecordFrom(const device::StatusInfo& status, bool ready);

} // namespace kx::app
