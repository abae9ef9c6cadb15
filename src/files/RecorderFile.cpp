// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RecorderFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kx::files {

BinaryRecorder::~BinaryRecorder() {
    stop();
}

bool BinaryRecorder::start(const std::string& path) {
    stop();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    m_fd = fd;
    m_total = 0;
    m_lost = 0;
    return true;
}

void BinaryRecorder::stop() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
}

void BinaryRecorder::append(std::span<const std::int16_t> values, std::uint64_t lost) {
    if (m_fd < 0) return;
    m_lost += lost;
    if (values.size() > kMaxValues) {
        m_lost += values.size() - kMaxValues;
        values = values.first(kMaxValues);
    }
    std::uint8_t* p = m_bytes.data();
    for (const std::int16_t v : values) {
        const auto u = static_cast<std::uint16_t>(v);
        *p++ = static_cast<std::uint8_t>(u);
        *p++ = static_cast<std::uint8_t>(u >> 8);
    }
    const std::size_t bytes = 2 * values.size();
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::write(m_fd, m_bytes.data() + done, bytes - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    // A value cut in half by a failed write would shift every later one: step back to a whole value.
    if (done % 2 != 0 && ::lseek(m_fd, -1, SEEK_CUR) >= 0) --done;
    m_total += done / 2;
    m_lost += values.size() - done / 2;
}

std::string groupedDigits(std::uint64_t n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(' ');
        out.push_back(digits[i]);
    }
    return out;
}

std::string recorderDuration(double seconds) {
    if (!(seconds > 0.0)) seconds = 0.0;
    const auto whole = static_cast<std::uint64_t>(std::floor(seconds));
    const std::uint64_t days = whole / 86400;
    const std::uint64_t rest = whole % 86400;
    char text[64];
    std::snprintf(text, sizeof text, "%llu  %llu:%02llu:%02llu", static_cast<unsigned long long>(days),
                  static_cast<unsigned long long>(rest / 3600),
                  static_cast<unsigned long long>(rest / 60 % 60),
                  static_cast<unsigned long long>(rest % 60));
    return text;
}

} // namespace kx::files
