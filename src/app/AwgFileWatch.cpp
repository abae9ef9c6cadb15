// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AwgFileWatch.h"

#include <system_error>

namespace kx::app {

namespace {

std::optional<std::filesystem::file_time_type> modificationTime(const std::string& path) {
    if (path.empty()) return std::nullopt;
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(path, ec);
    if (ec) return std::nullopt;
    return time;
}

} // namespace

bool AwgFileWatch::changed(const std::string& path) {
    const std::optional<std::filesystem::file_time_type> time = modificationTime(path);
    const bool result = path == m_path && time.has_value() && m_time.has_value() && *time != *m_time;
    m_path = path;
    m_time = time;
    return result;
}

} // namespace kx::app
