// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/CalFileIo.h"
#include "analyzers/CorrectionTables.h"
#include "core/Prompt.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kx::analyzers {

// ".kxc": header, then count complex factors.
std::vector<std::uint8_t> encodeNetworkCalibration(const NetworkCorrectionTable& table);
// Fills the table on success; leaves it untouched otherwise.
CalFileStatus decodeNetworkCalibration(std::span<const std::uint8_t> bytes, NetworkCorrectionTable& table);

CalFileStatus saveNetworkCalibration(const std::string& path, const NetworkCorrectionTable& table);
// On failure the table is emptied (count 0), as the loader promises.
CalFileStatus loadNetworkCalibration(const std::string& path, NetworkCorrectionTable& table);

// The loader with its warning box "Open NA Calibration"; returns true on success. On failure the
// caller clears NA_Clbr_File.
bool loadNetworkCalibrationWithMessage(const std::string& path, NetworkCorrectionTable& table,
                                       core::Prompt& prompt, bool russian);
// Writes the file or shows the error box "Save NA Calibration"; true on success.
bool saveNetworkCalibrationWithMessage(const std::string& path, const NetworkCorrectionTable& table,
                                       core::Prompt& prompt, bool russian);

} // namespace kx::analyzers
