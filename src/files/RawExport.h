// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kx::files {

// The samples of one channel as signed 16-bit little-endian values: analog codes less 32768,
// digital levels as they are (0 or 256); with the peak detector minimum, then maximum. The
// first position without a sample ends the file.
void buildRawExport(const core::FrameRecord& frame, core::Channel channel, std::vector<std::uint8_t>& out);

// The description text written beside it; `binaryName` is the binary file's name without
// directory.
std::string rawDescription(const core::FrameHeader& h, core::Channel channel, const std::string& binaryName,
                           char decimalSeparator);

} // namespace kx::files
