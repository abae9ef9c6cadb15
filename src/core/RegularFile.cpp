// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx::core {

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

FileReadStatus readRegularFile(const std::string& path, std::size_t maxBytes, std::string& out) {
    out.clear();
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type is checked on the
    // open descriptor, so a link swapped meanwhile cannot slip a device past the check.
    const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return FileReadStatus::Missing;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return FileReadStatus::Missing;
    if (S_ISDIR(st.st_mode)) return FileReadStatus::Missing;
    if (!S_ISREG(st.st_mode)) return FileReadStatus::NotRegular;
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > maxBytes)
        return FileReadStatus::TooLarge;
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);

    out.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            out.clear();
            return FileReadStatus::Missing;
        }
        if (n == 0) break;
        // The file may have grown since fstat.
        if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
            out.clear();
            return FileReadStatus::TooLarge;
        }
        out.append(chunk, static_cast<std::size_t>(n));
    }
    return FileReadStatus::Ok;
}

} // namespace kx::core
