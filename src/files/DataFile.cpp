// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DataFile.h"
#include "files/FileDialogs.h"

#include "files/DataFileFormat.h"
#include "files/DataFileTexts.h"
#include "files/FileOutput.h"

#include <algorithm>
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

namespace {

void locked(const UnderLock& underLock, const std::function<void()>& work) {
    if (underLock)
        underLock(work);
    else
        work();
}

// A file's records as read, before anything on screen is replaced.
struct Loaded {
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    std::unique_ptr<core::FrameRecord> background;
    std::vector<double> spectrum[2];
};

void copyRecord(const core::FrameRecord& from, core::FrameRecord& to) {
    to.header = from.header;
    to.channels = from.channels;
    to.points = from.points;
    to.loadedFromFile = from.loadedFromFile;
}

} // namespace

DataFileStatus SaveDataFile(const std::string& path, DataFileRecords& records, DataFileNames& names,
                            core::Prompt& prompt, const SaveDataFileOptions& o) {
    const bool ru = o.russian;
    // The bytes are made under the records' lock; the file is written without it.
    std::vector<std::uint8_t> out;
    bool withBackground = false;
    locked(o.underLock, [&] {
        auto& h = records.frame.header;
        for (int i = word::ReservedFirst; i <= word::ReservedLast; ++i) h[i] = 0;
        appendRecord(out, kDataMagic, records.frame);
        if (h[fh::AnalyzerMode] != 0) {
            appendDoubles(out, records.frame.points.re, h[fh::AnalogCount], core::kNoAnalyzerData);
            appendDoubles(out, records.frame.points.im, h[fh::AnalogCount], core::kNoAnalyzerData);
        }
        for (int c = 0; c < 2; ++c)
            if (h[word::FftStateA1 + c] == 1)
                appendDoubles(out, spectrumOf(records, h, c), h[word::FftPoints] / 2, 0.0);
        withBackground = records.background.header[fh::CaptureLength] != 0 && o.backgroundView;
        if (withBackground) appendRecord(out, kBackgroundMagic, records.background);
    });

    File f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        fileMessage(prompt, ru, texts::kSaveTitle, path, texts::kCantWrite, MessageStyle::Error);
        return DataFileStatus::CannotCreate;
    }
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
    // The test leaves an old companion whole; the writer replaces it only by a complete new one.
    if (!mayReplace(settings)) {
        fileMessage(prompt, ru, texts::kCompanionTitle, settings, texts::kCantWrite, MessageStyle::Error);
        return DataFileStatus::CannotCreate;
    }
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

    // Everything is read aside first; what is shown is replaced in one step under the lock.
    Loaded file;
    file.frame->clear();
    for (int c = 0; c < 2; ++c)
        file.spectrum[c].assign((c == 0 ? records.spectrumA1 : records.spectrumA2).size(), 0.0);
    std::vector<double> etsSpectrum(records.etsSpectrum.size(), 0.0);
    DataFileRecords aside{*file.frame,      *file.frame,      records.bgLaneSwap,
                          file.spectrum[0], file.spectrum[1], etsSpectrum};
    DataFileStatus status = DataFileStatus::Ok;
    const core::TextPair* message = nullptr;
    auto& h = file.frame->header;
    bool clearBackgroundToo = false;
    if (!readHeader(in, h) || headerChecksum(h) != h[fh::Checksum]) {
        status = DataFileStatus::CrcError;
        message = &texts::kCrcError;
    } else if (!countsFit(h, aside, true)) {
        status = DataFileStatus::InvalidFormat;
        message = &texts::kInvalidFormat;
    } else {
        readSampleBlocks(in, *file.frame);
        if (h[fh::AnalyzerMode] != 0) {
            readDoubles(in, file.frame->points.re, h[fh::AnalogCount]);
            readDoubles(in, file.frame->points.im, h[fh::AnalogCount]);
        }
        for (int c = 0; c < 2; ++c) {
            if (h[word::FftStateA1 + c] != 1) continue;
            readDoubles(in, spectrumOf(aside, h, c), h[word::FftPoints] / 2);
        }
        std::uint8_t bgMagic[kBackgroundMagic.size() + 1];
        const std::size_t got = in.take(bgMagic);
        const std::string_view bgText = magicText(bgMagic, terminated);
        if (got == sizeof bgMagic && terminated && bgText == kBackgroundMagic) {
            file.background = std::make_unique<core::FrameRecord>();
            file.background->clear();
            auto& bh = file.background->header;
            const bool valid = readHeader(in, bh) && headerChecksum(bh) == bh[fh::Checksum];
            if (!valid || !countsFit(bh, aside, false)) {
                status = valid ? DataFileStatus::InvalidFormat : DataFileStatus::BgCrcError;
                message = valid ? &texts::kInvalidFormat : &texts::kBgCrcError;
                clearBackgroundToo = true;
            } else {
                readSampleBlocks(in, *file.background);
                file.background->loadedFromFile = true;
            }
        }
        file.frame->loadedFromFile = status == DataFileStatus::Ok;
    }

    // A damaged file leaves an empty frame (and background) behind, as a failed read would.
    locked(o.underLock, [&] {
        clearFrame(records, names, o);
        if (clearBackgroundToo) clearBackground(records, names);
        if (status != DataFileStatus::Ok) return;
        copyRecord(*file.frame, records.frame);
        for (int c = 0; c < 2; ++c) {
            if (h[word::FftStateA1 + c] != 1) continue;
            // Only the file's bins are replaced: a short file leaves no stale bins behind.
            const auto from = spectrumOf(aside, h, c);
            const auto to = spectrumOf(records, h, c);
            const std::size_t half =
                std::min<std::size_t>(h[word::FftPoints] / 2, std::min(from.size(), to.size()));
            std::copy_n(from.begin(), half, to.begin());
        }
        names.dataFileName = fileNameOf(path);
        names.dataFileNameKnown = true;
        if (file.background) {
            clearBackground(records, names);
            copyRecord(*file.background, records.background);
            names.bgFileName = backgroundNameOf(names.dataFileName);
            names.bgFileNameKnown = true;
        }
    });
    if (message != nullptr) {
        fileMessage(prompt, ru, texts::kOpenTitle, path, *message, MessageStyle::Error);
        return status;
    }
    if (file.background && o.backgroundLoaded) o.backgroundLoaded();

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
