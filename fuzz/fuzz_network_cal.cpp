// SPDX-License-Identifier: GPL-3.0-or-later
// The ".kxc" loader over any file, and the table it accepts used as the network analyser does.
#include "analyzers/NetworkCalFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kx::analyzers::NetworkCorrectionTable table;
    const auto status = kx::analyzers::decodeNetworkCalibration(std::span(data, size), table);
    if (status != kx::analyzers::CalFileStatus::Ok) return 0;
    if (table.factors.size() != static_cast<std::size_t>(table.count)) __builtin_trap();
    for (const double f : {-1e9, 0.0, 1e4, 5e7, 1e8, 3e9})
        (void)kx::analyzers::interpolateTable(table.factors, table.startHz, table.spanHz, f);
    const auto bytes = kx::analyzers::encodeNetworkCalibration(table);
    kx::analyzers::NetworkCorrectionTable back;
    if (kx::analyzers::decodeNetworkCalibration(bytes, back) != kx::analyzers::CalFileStatus::Ok)
        __builtin_trap();
    return 0;
}
