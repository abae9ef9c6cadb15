// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <string>

namespace kx::tool {

// Reads a settings file over `state` as the kind its marker names (a program settings file
// also sets the model); false, with the message on stderr, when it is missing or refused.
bool readAnySettingsFile(const std::string& path, core::InstrumentState& state);

} // namespace kx::tool
