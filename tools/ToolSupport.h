// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "core/InstrumentState.h"
#include "core/Prompt.h"
#include "device/DeviceOpen.h"
#include "device/FpgaImage.h"
#include "device/LinkStatistics.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"
#include "device/StatusInfo.h"

#include <memory>
#include <string>
#include <vector>

namespace kx::tool {

// Messages go to stderr, with "\r\n" as plain line breaks; file dialogs are never shown.
class StderrPrompt : public core::Prompt {
public:
    core::Answer message(const std::string& caption, const std::string& text,
                         core::MessageStyle style) override;
    std::string openFile(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
};

// Messages as StderrPrompt; every save dialog is answered with one path, given on the command line.
class FixedPathPrompt : public StderrPrompt {
public:
    explicit FixedPathPrompt(std::string path) : m_path(std::move(path)) {}
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return m_path;
    }
    const std::string& chosen() const { return m_path; }

private:
    std::string m_path;
};

// A data file opened as the program opens it: the frame, the background, and the state
// after the companion settings file (when there is one).
struct LoadedDataFile {
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    std::unique_ptr<core::FrameRecord> background = std::make_unique<core::FrameRecord>();
    core::InstrumentState state;
    bool bgLaneSwap = false;
    bool companionRead = false;
    // Spectra stored with the frame (shown when it was saved).
    std::vector<double> spectrumA1, spectrumA2, etsSpectrum;
};

// Opens `path`; messages on bad files go to stderr. Returns false when the file was refused.
bool loadDataFile(const std::string& path, LoadedDataFile& out);

// "kx48zz-tool COMMAND: USB Error - N: text" on stderr, with the permission line when it applies.
void printUsbError(const char* command, int status);

// Opens the instrument as the program does, under the tool's caption; false with the USB error
// on stderr.
bool openInstrument(const char* command, device::D2xxBinding& binding, device::Connection& connection,
                    device::DataEvent& event, core::Prompt& prompt);

// What the acquisition thread shares with a command once the instrument is open: the request
// flags, link statistics, status board, register image, an empty frame record (large: on the
// heap) and the FPGA image.
struct LinkParts {
    device::RequestFlags flags;
    device::LinkStatistics stats;
    device::StatusBoard board;
    device::RegisterImageHolder registers;
    std::unique_ptr<core::FrameRecord> frame = emptyFrame();
    const device::FpgaImage fpga = device::FpgaImage::load();

private:
    static std::unique_ptr<core::FrameRecord> emptyFrame() {
        auto f = std::make_unique<core::FrameRecord>();
        f->clear();
        return f;
    }
};

// Parses a whole decimal number; false on anything else.
bool parseInt(const char* text, long long& value);

// Message texts carry "\r\n"; a terminal wants plain line ends.
std::string plainLines(const std::string& text);

} // namespace kx::tool
