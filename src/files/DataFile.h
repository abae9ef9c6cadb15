// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "core/Prompt.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace kx::files {

// What a data file is made of. The records are touched only inside the options' `underLock`
// (the caller takes the records' mutexes there); messages and dialogs come outside it.
struct DataFileRecords {
    core::FrameRecord& frame;
    core::FrameRecord& background;
    bool& bgLaneSwap;              // cleared with the background record
    std::span<double> spectrumA1;  // A1 spectrum accumulator (power per bin, summed)
    std::span<double> spectrumA2;  // A2 spectrum accumulator
    std::span<double> etsSpectrum; // spectrum of the equivalent-time reconstruction
};

// Remembered names: the window caption, exports and the settings dialog offer them.
struct DataFileNames {
    std::string dataFileName; // without directory
    bool dataFileNameKnown = false;
    std::string bgFileName; // data file name + "_BG" before the extension
    bool bgFileNameKnown = false;
};

enum class DataFileStatus {
    Ok,
    CompanionKept, // data file saved; the existing companion settings file was not replaced
    CannotCreate,  // data or companion file could not be created
    WriteFailed,   // the data file could not be written completely
    NotFound,
    Version1,      // a file of the first format generation
    Version2,      // a file of the second format generation
    InvalidFormat, // unknown magic, or counts beyond the buffers
    CrcError,      // header checksum of the main part
    BgCrcError,    // header checksum of the background part
};

// Spectrum requests after a file was read: restart both; recompute only a spectrum that the
// file does not carry (a stored spectrum is shown as stored).
struct FftRequests {
    bool restartA1 = true;
    bool restartA2 = true;
    bool recomputeA1 = true;
    bool recomputeA2 = true;
};

// Writes or reads the companion ".kxs" user settings file (mode 0); true on success. It shows
// its own messages, e.g. WriteSettingsFile / ReadSettingsFile with SettingsKind::User.
using SettingsFileHook = std::function<bool(const std::string& path)>;

// Runs `work` while the records may be touched (the caller's locks held); empty: directly.
using UnderLock = std::function<void(const std::function<void()>& work)>;

struct SaveDataFileOptions {
    UnderLock underLock;
    bool russian = false;
    bool backgroundView = false;    // Menu_BG_View checked: a background oscillogram is saved too
    SettingsFileHook writeSettings; // empty: no companion file is written
    std::function<void()> refresh;  // refresh notification, once the data file is closed
};

struct OpenDataFileOptions {
    UnderLock underLock;
    bool russian = false;
    std::uint32_t uiDeviceType = 0;
    // The frame record was cleared: raise FftRestartA1/A2 and FftRecomputeA1/A2.
    std::function<void()> frameCleared;
    // A background part was loaded: check Menu_BG_View.
    std::function<void()> backgroundLoaded;
    // After the main part and again after the companion settings: set the spectrum flags.
    std::function<void(const FftRequests&)> fftRequests;
    std::function<void()> clearModelCheck; // ModelCheckPending off
    // The file's device type differs from UiDeviceType: switch the interface to it (model
    // features, layout, geometry, captions) and return the model's name for the warning.
    std::function<std::string(std::uint32_t deviceType)> switchModel;
    std::function<void()> refresh;
    // Companion file: read it (mode 0), take LowVoltsDiv, run model features and geometry and
    // raise the trigger-settings-changed once flag.
    SettingsFileHook readSettings;
    std::function<void()> settingsChanged;
};

// Menu_Save_As after its dialog: the data file, then the companion settings file.
DataFileStatus SaveDataFile(const std::string& path, DataFileRecords& records, DataFileNames& names,
                            core::Prompt& prompt, const SaveDataFileOptions& options);

// Menu_Open after its dialog, and files handed over on the command line, by a second
// instance or dropped on the window.
DataFileStatus OpenDataFile(const std::string& path, DataFileRecords& records, DataFileNames& names,
                            core::Prompt& prompt, const OpenDataFileOptions& options);

// The two dialogs: return the chosen path ("" on cancel) and update lastDir. A name typed
// without extension gets ".kxd".
std::string chooseSaveDataFile(core::Prompt& prompt, bool russian, std::string& lastDir,
                               const DataFileNames& names);
std::string chooseOpenDataFile(core::Prompt& prompt, bool russian, std::string& lastDir);

// FftRequests for a header just read.
FftRequests fftRequestsFor(const core::FrameHeader& h);

} // namespace kx::files
