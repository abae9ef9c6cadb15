// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Memory.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kx::sim {

// What the instrument keeps when it is unplugged: both calibration tables, its serial number and
// which unit it is (the seed of its ageing, when it has aged).
struct FlashImage {
    CalibrationTable zeroTable{};
    CalibrationTable systemTable{};
    std::uint64_t serialNumber = 0;
    bool drifted = false;
    std::uint64_t driftSeed = 0;
};

// A text file of "key=value" lines with the tables in hexadecimal. Reading gives nullopt when
// the file cannot be opened or any line is not understood; writing replaces the file whole.
std::optional<FlashImage> readFlashFile(const std::string& path);
bool writeFlashFile(const std::string& path, const FlashImage& image);

} // namespace kx::sim
