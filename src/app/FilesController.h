// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/DataFile.h"

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

private:
    files::OpenDataFileOptions openOptions();

    ScopeSession& m_s;
};

} // namespace kx::app
