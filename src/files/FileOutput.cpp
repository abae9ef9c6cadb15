// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileOutput.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kx::files {

namespace fs = std::filesystem;

bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

bool writeWholeFile(const std::string& path, std::string_view text) {
    return writeWholeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool replaceWholeFile(const std::string& path, std::string_view text) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        const fs::path named = fs::canonical(target, ec);
        if (!ec) target = named;
    }
    // A device or folder of that name is never replaced by a file.
    if (fs::exists(target, ec) && !fs::is_regular_file(target, ec)) return false;
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // Hidden, and unique even when two processes save at once.
    std::string name = target.filename().string();
    name.insert(name.begin(), '.');
    name.append(".XXXXXX");
    const std::string pattern = (dir / name).string();
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;

    // The new file keeps the old one's permissions.
    struct stat old {};
    ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    bool ok = true;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.data(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.data());
    return ok;
}

bool mayReplace(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return true;
    return fs::is_regular_file(path, ec) && ::access(path.c_str(), W_OK) == 0;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string fileNameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string withExtension(const std::string& path, const char* extension) {
    return fs::path(path).replace_extension(extension).string();
}

} // namespace kx::files
