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

// ".kxo": header, then count values of E1, of E2 and of E3.
std::vector<std::uint8_t> encodeAntennaCalibration(const AntennaTermTable& table);
// Fills the table on success; leaves it untouched otherwise.
CalFileStatus decodeAntennaCalibration(std::span<const std::uint8_t> bytes, AntennaTermTable& table);

CalFileStatus saveAntennaCalibration(const std::string& path, const AntennaTermTable& table);
// On failure the table is emptied (count 0).
CalFileStatus loadAntennaCalibration(const std::string& path, AntennaTermTable& table);

// The loader with its warning box "Open AA Calibration"; the caller clears AA_Clbr_File on false.
bool loadAntennaCalibrationWithMessage(const std::string& path, AntennaTermTable& table, core::Prompt& prompt,
                                       bool russian);
// Writes the file or shows the error box "Save AA OSL Calibration".
bool saveAntennaCalibrationWithMessage(const std::string& path, const AntennaTermTable& table,
                                       core::Prompt& prompt, bool russian);

} // namespace kx::analyzers
