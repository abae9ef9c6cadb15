// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "core/Prompt.h"
#include "files/DecodedCsv.h"
#include "files/ExportFrame.h"
#include "files/ImageFile.h"

#include <string>

namespace kx::files {

struct DataFileNames;

// What every export item needs besides its data. The window marks itself busy around the call.
struct ExportContext {
    core::Prompt& prompt;
    bool russian = false;
    std::string& lastDir;        // the dialogs start here and leave the chosen file's folder
    const DataFileNames& names;  // the data file name is offered with the export's extension
    char decimalSeparator = '.'; // the locale's, for the number formatter
};

enum class ExportStatus {
    Written,
    Cancelled,      // the save dialog was cancelled
    NoData,         // nothing to write; "No data for writing." was shown
    CannotWrite,    // the file could not be created or written; said so
    DescriptionKept // raw binary written, its existing description text was not replaced
};

// The items of File > Export. Each takes a copy of the frame (snapshotFrame) made before the
// call, so no lock is held while a dialog is open.

// "Image...": the screen bitmap with everything drawn on it, PNG or (name ending in .bmp) BMP.
ExportStatus ExportImage(ExportContext& context, const ImagePixels& screen);
// "Text...": the channels shown (`shown`, the Channels menu) and present in the frame.
ExportStatus ExportText(ExportContext& context, const core::FrameRecord& frame, const ChannelSet& shown);
// "A1..." .. "D4...": one channel as raw 16-bit values, with a description text beside it.
ExportStatus ExportRawBinary(ExportContext& context, const core::FrameRecord& frame, core::Channel channel);
// "CSV...", "VCD...", "sigrok Session (*.sr)...".
ExportStatus ExportCsv(ExportContext& context, const core::FrameRecord& frame, const ChannelSet& shown);
ExportStatus ExportVcd(ExportContext& context, const core::FrameRecord& frame, const ChannelSet& shown);
ExportStatus ExportSigrok(ExportContext& context, const core::FrameRecord& frame, const ChannelSet& shown);
// An analyzer's sweep, its text made beforehand (null: the frame holds no sweep): "CSV..." and
// "Touchstone (*.s1p)..." while an analyzer is on.
enum class SweepFormat { Csv, Touchstone };
ExportStatus ExportSweep(ExportContext& context, SweepFormat format, const std::string* text);
// "Save..." of the serial decoder dialog: the decoded characters of both lines as CSV.
ExportStatus ExportDecodedCsv(ExportContext& context, const DecodedTraffic& traffic);

} // namespace kx::files
