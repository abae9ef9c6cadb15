// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/DataFile.h"
#include "files/Exports.h"

#include <memory>

#include <string>

namespace kx::app {

class ScopeSession;

// Where a file handed to the program came from.
enum class FileOrigin { CommandLine, HandOver, Drop };

// Data and settings files, the files handed to the program, and Help.
class FilesController {
public:
    explicit FilesController(ScopeSession& session) : m_s(session) {}

    // The File menu.
    void openDataWithDialog();
    void saveDataWithDialog();
    void openSettingsWithDialog();
    void saveSettingsWithDialog();
    void help();

    // A file from the command line, a second instance or a drop.
    void dispatch(const std::string& path, FileOrigin origin);
    // A second start handed over `file` with `paramCount` parameters.
    void handOver(const std::string& file, int paramCount);

    void openDataFile(const std::string& path);
    void openSettingsFile(const std::string& path);

    // File > Export: each on a copy of the frame taken first, so no lock is held while a dialog
    // is open.
    // While an analyzer is on, "CSV..." writes its sweep's points instead of the channels.
    enum class Export { Image, Text, Csv, Vcd, Sigrok, Touchstone };
    void exportFrame(Export what);
    void exportRaw(core::Channel channel);
    // Menu_Recorder: the prerequisites, then the recorder dialog.
    void recorder();

private:
    files::ExportContext exportContext();
    void exportSweep(files::ExportContext& context, files::SweepFormat format);
    const core::FrameRecord& frameCopy();
    files::OpenDataFileOptions openOptions();

    ScopeSession& m_s;
    std::unique_ptr<core::FrameRecord> m_copy; // made on the first export and kept
};

} // namespace kx::app
