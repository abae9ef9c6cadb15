// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DataFile.h"
#include "files/FileDialogs.h"

#include "files/DataFileFormat.h"
#include "files/DataFileTexts.h"
#include "files/FileOutput.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace kx::files {

using core::MessageStyle;
namespace fh = core::fh;
namespace fs = std::filesystem;

namespace {

// Nothing a valid file holds reaches this; larger files are read only this far.
constexpr std::size_t kLargestFile = 8u << 20;
constexpr std::size_t kAnalogBlockCapacity = core::kMaxFramePoints;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string backgroundNameOf(const std::string& dataFileName) {
    const fs::path p(dataFileName);
    return p.stem().string() + "_BG" + p.extension().string();
}

void fileMessage(core::Prompt& prompt, bool ru, const core::TextPair& title, const std::string& path,
                 const core::TextPair& text, MessageStyle style) {
    prompt.message(title.pick(ru), path + text.pick(ru), style);
}

// The spectrum a header's spectrum state refers to.
std::span<double> spectrumOf(DataFileRecords& r, const core::FrameHeader& h, int channel) {
    if (h[word::EtsFftChannel] != 0) return r.etsSpectrum;
    return channel == 0 ? r.spectrumA1 : r.spectrumA2;
}

void appendRecord(std::vector<std::uint8_t>& out, std::string_view magic, core::FrameRecord& record) {
    out.insert(out.end(), magic.begin(), magic.end());
    out.push_back(0);
    record.header[fh::Checksum] = headerChecksum(record.header);
    appendHeader(out, record.header);
    appendSampleBlocks(out, record);
}

// Counts of a header that the buffers can hold.
bool countsFit(const core::FrameHeader& h, DataFileRecords& r, bool withArrays) {
    const std::uint32_t mask = h[fh::ChannelMask];
    if ((mask & 0x03) && h[fh::AnalogCount] > kAnalogBlockCapacity) return false;
    if ((mask & 0x3C) && h[fh::DigitalCount] > kAnalogBlockCapacity) return false;
    if (!withArrays) return true;
    if (h[fh::AnalyzerMode] != 0 && h[fh::AnalogCount] > core::kAnalyzerPoints) return false;
    const std::size_t half = h[word::FftPoints] / 2;
    for (int c = 0; c < 2; ++c)
        if (h[word::FftStateA1 + c] == 1 && half > spectrumOf(r, h, c).size()) return false;
    return true;
}

void clearFrame(DataFileRecords& r, DataFileNames& names, const OpenDataFileOptions& o) {
    r.frame.clear();
    names.dataFileNameKnown = false;
    if (o.frameCleared) o.frameCleared();
}

void clearBackground(DataFileRecords& r, DataFileNames& names) {
    r.background.clear();
    r.bgLaneSwap = false;
    names.bgFileNameKnown = false;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    std::uint8_t chunk[65536];
    while (bytes.size() < kLargestFile) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, f.get());
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return true;
}

void askFft(const OpenDataFileOptions& o, const core::FrameHeader& h) {
    if (o.fftRequests) o.fftRequests(fftRequestsFor(h));
}

} // namespace

FftRequests fftRequestsFor(const core::FrameHeader& h) {
    FftRequests r;
    r.recomputeA1 = h[word::FftStateA1] != 1;
    r.recomputeA2 = h[word::FftStateA2] != 1;
    return r;
}

DataFileStatus SaveDataFile(const std::string& path, DataFileRecords& records, DataFileNames& names,
                            core::Prompt& prompt, const SaveDataFileOptions& o) {
    const bool ru = o.russian;
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        fileMessage(prompt, ru, texts::kSaveTitle, path, texts::kCantWrite, MessageStyle::Error);
        return DataFileStatus::CannotCreate;
    }

    auto& h = records.frame.header;
    for (int i = word::ReservedFirst; i <= word::ReservedLast; ++i) h[i] = 0;
    std::vector<std::uint8_t> out;
    appendRecord(out, kDataMagic, records.frame);
    if (h[fh::AnalyzerMode] != 0) {
        appendDoubles(out, records.frame.points.re, h[fh::AnalogCount], core::kNoAnalyzerData);
        appendDoubles(out, records.frame.points.im, h[fh::AnalogCount], core::kNoAnalyzerData);
    }
    for (int c = 0; c < 2; ++c)
        if (h[word::FftStateA1 + c] == 1)
            appendDoubles(out, spectrumOf(records, h, c), h[word::FftPoints] / 2, 0.0);

    const bool withBackground = records.background.header[fh::CaptureLength] != 0 && o.backgroundView;
    if (withBackground) appendRecord(out, kBackgroundMagic, records.background);

    const bool written = std::fwrite(out.data(), 1, out.size(), f.get()) == out.size();
    const bool closed = std::fclose(f.release()) == 0;
    if (!written || !closed) {
        fileMessage(prompt, ru, texts::kSaveTitle, path, texts::kCantWrite, MessageStyle::Error);
        return DataFileStatus::WriteFailed;
    }
    names.dataFileName = fileNameOf(path);
    names.dataFileNameKnown = true;
    if (withBackground) {
        names.bgFileName = backgroundNameOf(names.dataFileName);
        names.bgFileNameKnown = true;
    }
    if (o.refresh) o.refresh();

    if (!o.writeSettings) return DataFileStatus::Ok;
    const std::string settings = withExtension(path, ".kxs");
    if (fileExists(settings)) {
        const std::string text = settings + texts::kCompanionExists.pick(ru);
        if (prompt.message(texts::kCompanionTitle.pick(ru), text, MessageStyle::YesNo) != core::Answer::Yes)
            return DataFileStatus::CompanionKept;
    }
    File test(std::fopen(settings.c_str(), "wb"));
    if (!test) {
        fileMessage(prompt, ru, texts::kCompanionTitle, settings, texts::kCantWrite, MessageStyle::Error);
        return DataFileStatus::CannotCreate;
    }
    test.reset();
    // The settings writer reports its own failures.
    return o.writeSettings(settings) ? DataFileStatus::Ok : DataFileStatus::CannotCreate;
}

DataFileStatus OpenDataFile(const std::string& path, DataFileRecords& records, DataFileNames& names,
                            core::Prompt& prompt, const OpenDataFileOptions& o) {
    const bool ru = o.russian;
    std::vector<std::uint8_t> bytes;
    if (!readFile(path, bytes)) {
        fileMessage(prompt, ru, texts::kOpenTitle, path, texts::kNotFound, MessageStyle::Error);
        return DataFileStatus::NotFound;
    }
    ByteCursor in(bytes);

    std::uint8_t magic[kDataMagic.size() + 1];
    in.take(magic);
    bool terminated = false;
    const std::string_view text = magicText(magic, terminated);
    if (!terminated || text != kDataMagic) {
        DataFileStatus status = DataFileStatus::InvalidFormat;
        const core::TextPair* message = &texts::kInvalidFormat;
        if (terminated && text == kVersion1Magic) {
            status = DataFileStatus::Version1;
            message = &texts::kVersion1;
        } else if (terminated && text == kVersion2Magic) {
            status = DataFileStatus::Version2;
            message = &texts::kVersion2;
        }
        fileMessage(prompt, ru, texts::kOpenTitle, path, *message, MessageStyle::Error);
        return status;
    }

    clearFrame(records, names, o);
    auto& h = records.frame.header;
    if (!readHeader(in, h) || headerChecksum(h) != h[fh::Checksum]) {
        fileMessage(prompt, ru, texts::kOpenTitle, path, texts::kCrcError, MessageStyle::Error);
        clearFrame(records, names, o);
        return DataFileStatus::CrcError;
    }
    if (!countsFit(h, records, true)) {
        fileMessage(prompt, ru, texts::kOpenTitle, path, texts::kInvalidFormat, MessageStyle::Error);
        clearFrame(records, names, o);
        return DataFileStatus::InvalidFormat;
    }
    readSampleBlocks(in, records.frame);
    if (h[fh::AnalyzerMode] != 0) {
        readDoubles(in, records.frame.points.re, h[fh::AnalogCount]);
        readDoubles(in, records.frame.points.im, h[fh::AnalogCount]);
    }
    for (int c = 0; c < 2; ++c) {
        if (h[word::FftStateA1 + c] != 1) continue;
        auto to = spectrumOf(records, h, c);
        const std::size_t half = h[word::FftPoints] / 2;
        std::fill_n(to.begin(), half, 0.0); // a short file leaves no stale bins behind
        readDoubles(in, to, half);
    }
    names.dataFileName = fileNameOf(path);
    names.dataFileNameKnown = true;

    std::uint8_t bgMagic[kBackgroundMagic.size() + 1];
    const std::size_t got = in.take(bgMagic);
    const std::string_view bgText = magicText(bgMagic, terminated);
    if (got == sizeof bgMagic && terminated && bgText == kBackgroundMagic) {
        clearBackground(records, names);
        auto& bh = records.background.header;
        const bool valid = readHeader(in, bh) && headerChecksum(bh) == bh[fh::Checksum];
        if (!valid || !countsFit(bh, records, false)) {
            fileMessage(prompt, ru, texts::kOpenTitle, path,
                        valid ? texts::kInvalidFormat : texts::kBgCrcError, MessageStyle::Error);
            clearFrame(records, names, o);
            clearBackground(records, names);
            return valid ? DataFileStatus::InvalidFormat : DataFileStatus::BgCrcError;
        }
        readSampleBlocks(in, records.background);
        records.background.loadedFromFile = true;
        names.bgFileName = backgroundNameOf(names.dataFileName);
        names.bgFileNameKnown = true;
        if (o.backgroundLoaded) o.backgroundLoaded();
    }
    records.frame.loadedFromFile = true;

    askFft(o, h);
    if (o.clearModelCheck) o.clearModelCheck();

    const std::uint32_t type = h[fh::FrameDeviceType];
    if (type != 0 && type != o.uiDeviceType && o.switchModel) {
        const std::string model = o.switchModel(type);
        if (o.refresh) o.refresh();
        prompt.message(core::kWarningCaption.pick(ru), texts::kInterfaceChanged.pick(ru) + model + ". ",
                       MessageStyle::Warning);
    } else if (o.refresh) {
        o.refresh();
    }

    const std::string settings = withExtension(path, ".kxs");
    if (fileExists(settings)) {
        if (o.readSettings) o.readSettings(settings);
    } else {
        prompt.message(texts::kOpenSettingsTitle.pick(ru), texts::kSettingsNotFound.pick(ru) + settings,
                       MessageStyle::Warning);
    }
    askFft(o, h);
    if (o.settingsChanged) o.settingsChanged();
    return DataFileStatus::Ok;
}

std::string chooseSaveDataFile(core::Prompt& prompt, bool russian, std::string& lastDir,
                               const DataFileNames& names) {
    const std::string defaultName =
        names.dataFileNameKnown ? withExtension(names.dataFileName, ".kxd") : std::string("*.kxd");
    return chooseFileToSave(prompt, russian, lastDir, {texts::kSaveDialogTitle, texts::kSaveFilter, ".kxd"},
                            defaultName);
}

std::string chooseOpenDataFile(core::Prompt& prompt, bool russian, std::string& lastDir) {
    return chooseFileToOpen(prompt, russian, lastDir, {texts::kOpenDialogTitle, texts::kOpenFilter, ".kxd"});
}

} // namespace kx::files
