// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "files/ExportFrame.h"

#include <cstdint>
#include <string>

namespace kx::files {

// Files that other tools read, made from a frame and the channels exported (shown and present).

// CSV: a heading row, then one row per sample index: time in seconds from the trigger point, then
// each channel in volts (analog) or 0/1 (digital), minimum and maximum columns with the peak
// detector. With a digital channel the rows follow the digital sample period and an analog value
// stands on the row of its own sample time; an empty cell is no sample. Nine significant digits
// give back every 16-bit code.
void buildCsvExport(const core::FrameRecord& frame, const ChannelSet& exported, std::string& out);

// Value change dump (IEEE 1364) of the exported digital channels; the time unit is the largest
// power of ten that divides the digital sample period. False when no digital channel is exported.
bool buildVcdExport(const core::FrameRecord& frame, const ChannelSet& exported, std::string& out);

// A sigrok session file (format version 2): the exported channels as one device, logic channels
// packed one bit each, analog channels as 32-bit floats in volts (NaN where no sample). With
// both kinds at different rates the analog samples are repeated at the digital rate. False when
// the file cannot be written.
bool writeSigrokSession(const std::string& path, const core::FrameRecord& frame, const ChannelSet& exported);

// Seconds of a picosecond count, exactly, without trailing zeros ("-0.000000005").
std::string secondsText(std::int64_t picoseconds);

} // namespace kx::files
