// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

namespace kx::core {

enum class FileReadStatus {
    Ok,
    Missing,    // cannot be opened, or a folder
    NotRegular, // a device, FIFO or socket: endless or blocking, never a file of ours
    TooLarge,   // longer than the reader's limit
};

// Reads a whole regular file of at most maxBytes into `out` (emptied first). A device or FIFO
// (also through a link) is refused before anything is read, and so is a file that is, or grows,
// beyond the limit, so a reader never takes more memory than its limit.
FileReadStatus readRegularFile(const std::string& path, std::size_t maxBytes, std::string& out);

} // namespace kx::core
