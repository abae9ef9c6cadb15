// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/Exports.h"

#include "files/DataFile.h"
#include "files/DataFileTexts.h"
#include "files/ExportTexts.h"
#include "files/FileDialogs.h"
#include "files/FileOutput.h"
#include "files/InterchangeExport.h"
#include "files/RawExport.h"
#include "files/TextExport.h"

#include <vector>

namespace kx::files {

namespace fh = core::fh;
using core::MessageStyle;

namespace {

// The save dialog of an export; "" on cancel.
std::string chooseExportFile(ExportContext& x, const FileDialogKind& kind) {
    return chooseFileToSave(x.prompt, x.russian, x.lastDir, kind, offeredExportName(x.names, kind.extension));
}

ExportStatus cannotWrite(ExportContext& x, const std::string& title, const std::string& path) {
    x.prompt.message(title, path + texts::kCantWrite.pick(x.russian), MessageStyle::Error);
    return ExportStatus::CannotWrite;
}

ExportStatus noData(ExportContext& x, const std::string& title) {
    x.prompt.message(title, texts::kNoData.pick(x.russian), MessageStyle::Error);
    return ExportStatus::NoData;
}

// The channels a frame export writes; empty when there is nothing to write.
ChannelSet channelsToWrite(const core::FrameRecord& frame, const ChannelSet& shown) {
    if (frame.header[fh::AnalogCount] == 0) return {};
    return exportedChannels(frame.header, shown);
}

// A text made in memory, written at once.
template <class Build>
ExportStatus exportText(ExportContext& x, const FileDialogKind& kind, const ChannelSet& channels,
                        Build build) {
    const std::string title = kind.title.pick(x.russian);
    if (!anyChannel(channels)) return noData(x, title);
    const std::string path = chooseExportFile(x, kind);
    if (path.empty()) return ExportStatus::Cancelled;
    std::string text;
    build(text);
    if (!writeWholeFile(path, text)) return cannotWrite(x, title, path);
    return ExportStatus::Written;
}

} // namespace

ExportStatus ExportImage(ExportContext& x, const ImagePixels& screen) {
    const FileDialogKind kind{texts::kImageTitle, texts::kImageFilter, ".png"};
    const std::string path = chooseExportFile(x, kind);
    if (path.empty()) return ExportStatus::Cancelled;
    if (!writeImage(path, screen)) return cannotWrite(x, kind.title.pick(x.russian), path);
    return ExportStatus::Written;
}

ExportStatus ExportText(ExportContext& x, const core::FrameRecord& frame, const ChannelSet& shown) {
    const ChannelSet channels = channelsToWrite(frame, shown);
    return exportText(x, {texts::kTextTitle, texts::kTextFilter, ".txt"}, channels,
                      [&](std::string& out) { buildTextExport(frame, channels, x.decimalSeparator, out); });
}

ExportStatus ExportCsv(ExportContext& x, const core::FrameRecord& frame, const ChannelSet& shown) {
    const ChannelSet channels = channelsToWrite(frame, shown);
    return exportText(x, {texts::kCsvTitle, texts::kCsvFilter, ".csv"}, channels,
                      [&](std::string& out) { buildCsvExport(frame, channels, out); });
}

ExportStatus ExportVcd(ExportContext& x, const core::FrameRecord& frame, const ChannelSet& shown) {
    ChannelSet channels = channelsToWrite(frame, shown);
    if (!anyDigital(channels)) channels = {};
    return exportText(x, {texts::kVcdTitle, texts::kVcdFilter, ".vcd"}, channels,
                      [&](std::string& out) { buildVcdExport(frame, channels, out); });
}

ExportStatus ExportSigrok(ExportContext& x, const core::FrameRecord& frame, const ChannelSet& shown) {
    const FileDialogKind kind{texts::kSigrokTitle, texts::kSigrokFilter, ".sr"};
    const std::string title = kind.title.pick(x.russian);
    const ChannelSet channels = channelsToWrite(frame, shown);
    if (!anyChannel(channels)) return noData(x, title);
    const std::string path = chooseExportFile(x, kind);
    if (path.empty()) return ExportStatus::Cancelled;
    if (!writeSigrokSession(path, frame, channels)) return cannotWrite(x, title, path);
    return ExportStatus::Written;
}

ExportStatus ExportSweep(ExportContext& x, SweepFormat format, const std::string* text) {
    const FileDialogKind kind =
        format == SweepFormat::Csv
            ? FileDialogKind{texts::kCsvTitle, texts::kCsvFilter, ".csv"}
            : FileDialogKind{texts::kTouchstoneTitle, texts::kTouchstoneFilter, ".s1p"};
    const std::string title = kind.title.pick(x.russian);
    if (text == nullptr) return noData(x, title);
    const std::string path = chooseExportFile(x, kind);
    if (path.empty()) return ExportStatus::Cancelled;
    if (!writeWholeFile(path, *text)) return cannotWrite(x, title, path);
    return ExportStatus::Written;
}

ExportStatus ExportDecodedCsv(ExportContext& x, const DecodedTraffic& traffic) {
    const FileDialogKind kind{texts::kDecodedTitle, texts::kCsvFilter, ".csv"};
    const std::string title = kind.title.pick(x.russian);
    if (traffic.rxd.empty() && traffic.txd.empty()) return noData(x, title);
    const std::string path = chooseExportFile(x, kind);
    if (path.empty()) return ExportStatus::Cancelled;
    std::string text;
    buildDecodedCsv(traffic, text);
    if (!writeWholeFile(path, text)) return cannotWrite(x, title, path);
    return ExportStatus::Written;
}

ExportStatus ExportRawBinary(ExportContext& x, const core::FrameRecord& frame, core::Channel channel) {
    const bool ru = x.russian;
    const std::string title =
        std::string(texts::kRawTitle.pick(ru)) + std::string(channelName(channel)) + ")";
    const auto& h = frame.header;
    if (h[fh::AnalogCount] == 0 || (h[fh::ChannelMask] & maskBit(channel)) == 0) return noData(x, title);
    // The dialog shows the title with the channel in it.
    const std::string path =
        chooseFileToSave(x.prompt, ru, x.lastDir, {{title.c_str(), title.c_str()}, texts::kRawFilter, ".bin"},
                         offeredExportName(x.names, ".bin"));
    if (path.empty()) return ExportStatus::Cancelled;
    std::vector<std::uint8_t> bytes;
    buildRawExport(frame, channel, bytes);
    if (!writeWholeFile(path, bytes)) return cannotWrite(x, title, path);

    const std::string description = withExtension(path, ".txt");
    const std::string textTitle = texts::kRawTextTitle.pick(ru);
    if (fileExists(description) && x.prompt.message(textTitle, description + texts::kCompanionExists.pick(ru),
                                                    MessageStyle::YesNo) != core::Answer::Yes)
        return ExportStatus::DescriptionKept;
    if (!writeWholeFile(description, rawDescription(h, channel, fileNameOf(path), x.decimalSeparator)))
        return cannotWrite(x, textTitle, description);
    return ExportStatus::Written;
}

} // namespace kx::files
