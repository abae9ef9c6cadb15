// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The information block's layout is the link's (device/InfoBlock.h); assembly reads it by the
// same names.
#include "device/InfoBlock.h"

namespace kx::acquisition {
namespace info = device::info;
using device::infoByte;
using device::infoWord16;
using device::infoWord32;
} // namespace kx::acquisition
