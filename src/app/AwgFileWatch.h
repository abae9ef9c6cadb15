// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kx::app {

// Notices an AWG script edited on disk between two looks: the same path with another
// modification time. A file that cannot be looked at has no time and never counts as changed.
class AwgFileWatch {
public:
    // Looks at `path` and remembers it with its time for the next look. True when the path is the
    // one of the previous look and both times are known and differ.
    bool changed(const std::string& path);

private:
    std::string m_path;
    std::optional<std::filesystem::file_time_type> m_time;
};

} // namespace kx::app
