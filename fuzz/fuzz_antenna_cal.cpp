// SPDX-License-Identifier: GPL-3.0-or-later
// The ".kxo" loader over any file, and the terms it accepts used as the antenna analyser does.
#include "analyzers/AntennaCalFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kx::analyzers::AntennaTermTable table;
    const auto status = kx::analyzers::decodeAntennaCalibration(std::span(data, size), table);
    if (status != kx::analyzers::CalFileStatus::Ok) return 0;
    const auto n = static_cast<std::size_t>(table.count);
    if (table.e1.size() != n || table.e2.size() != n || table.e3.size() != n) __builtin_trap();
    for (const double f : {-1e9, 0.0, 1e4, 5e7, 1e8, 3e9})
        for (const auto* terms : {&table.e1, &table.e2, &table.e3})
            (void)kx::analyzers::interpolateTable(*terms, table.startHz, table.spanHz, f);
    const auto bytes = kx::analyzers::encodeAntennaCalibration(table);
    kx::analyzers::AntennaTermTable back;
    if (kx::analyzers::decodeAntennaCalibration(bytes, back) != kx::analyzers::CalFileStatus::Ok)
        __builtin_trap();
    return 0;
}
