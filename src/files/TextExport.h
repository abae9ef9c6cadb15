// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "files/ExportFrame.h"

#include <string>

namespace kx::files {

// The column text file of "Text...": a title, the time step, a heading, then one row per
// digital sample index with the analog values on the last row of each analog sample.
// `exported` are the channels written (shown and present). Appends to `out`.
void buildTextExport(const core::FrameRecord& frame, const ChannelSet& exported, char decimalSeparator,
                     std::string& out);

} // namespace kx::files
