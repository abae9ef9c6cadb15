// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "files/ExportFrame.h"

#include <cstddef>
#include <cstdint>

namespace kx::files {

// How the rows of an interchange file run: every digital sample when a digital channel is
// exported, else every analog sample.
struct RowPlan {
    std::size_t rows = 0;
    std::uint64_t periodPs = 0;
    std::int64_t triggerRow = 0;
    std::uint64_t perAnalog = 1; // rows per analog sample
};

RowPlan rowPlan(const core::FrameHeader& h, const ChannelSet& exported);

} // namespace kx::files
