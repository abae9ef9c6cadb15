// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kx::files {

// The binary recorder's file: no header, signed 16-bit little-endian values as collected.
// Open from Start to Stop; the synchronised update appends each frame's values with one write.
class BinaryRecorder {
public:
    static constexpr std::size_t kMaxValues = 65536; // one frame's collection at most

    BinaryRecorder() = default;
    ~BinaryRecorder();
    BinaryRecorder(const BinaryRecorder&) = delete;
    BinaryRecorder& operator=(const BinaryRecorder&) = delete;

    // Creates (or empties) the file and starts counting from 0; false when it cannot be created.
    bool start(const std::string& path);
    // Recording off, the file closed.
    void stop();
    [[nodiscard]] bool recording() const { return m_fd >= 0; }

    // One frame's values, written at once; `lost` counts values that never reached the collection.
    // Values the file refuses (a full disk) are counted as lost too. Allocates nothing.
    void append(std::span<const std::int16_t> values, std::uint64_t lost);

    // Values written, and values lost, since start().
    [[nodiscard]] std::uint64_t total() const { return m_total; }
    [[nodiscard]] std::uint64_t lost() const { return m_lost; }

private:
    int m_fd = -1;
    std::uint64_t m_total = 0;
    std::uint64_t m_lost = 0;
    std::array<std::uint8_t, 2 * kMaxValues> m_bytes{};
};

// A count with its digit groups separated by single blanks: 2000 -> "2 000", 1000000 -> "1 000 000".
std::string groupedDigits(std::uint64_t n);

// A duration as the recorder shows it: whole days, two blanks, then hours:minutes:seconds of
// the rest ("0  0:10:00").
std::string recorderDuration(double seconds);

} // namespace kx::files
