// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kx::files {

// Byte layout of ".kxd" data files: magic, the 156-word header with its checksum, one block
// of 16-bit samples per channel present, then the optional arrays. Little-endian throughout.
inline constexpr std::string_view kDataMagic = "KXD_KX48zz:";          // followed by one 0x00
inline constexpr std::string_view kBackgroundMagic = "KXD_KX48zz_BG:"; // followed by one 0x00
inline constexpr std::string_view kVersion1Magic = "KXD:";
inline constexpr std::string_view kVersion2Magic = "KXD_KX48:";
inline constexpr std::size_t kHeaderBytes = 4 * core::kFrameHeaderWords;
inline constexpr std::uint16_t kFileNoSample = 0xFFFF;
inline constexpr std::int32_t kLargestCode = 0xFF00;

// Spectrum words of the header that the file uses.
namespace word {
inline constexpr int FftStateA1 = 55;
inline constexpr int FftStateA2 = 56;
inline constexpr int EtsFftChannel = 57;
inline constexpr int FftPoints = 58;
inline constexpr int ReservedFirst = 104;
inline constexpr int ReservedLast = 153;
} // namespace word

// Sum of words 0..154 modulo 2^32.
std::uint32_t headerChecksum(const core::FrameHeader& h);

void appendHeader(std::vector<std::uint8_t>& out, const core::FrameHeader& h);
void appendSampleBlocks(std::vector<std::uint8_t>& out, const core::FrameRecord& record);
// `count` values from `values`; positions beyond the array are written as `filler`.
void appendDoubles(std::vector<std::uint8_t>& out, std::span<const double> values, std::size_t count,
                   double filler);

// A reading position in a file's bytes; reads past the end return false and take nothing.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    // Up to n bytes into `to` (zero-filled beyond what the file holds); returns the count read.
    std::size_t take(std::span<std::uint8_t> to);
    bool u16(std::uint16_t& v);
    bool f64(double& v);
    bool atEnd() const { return m_pos >= m_bytes.size(); }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

// The header from 624 bytes; false when the file ends before it.
bool readHeader(ByteCursor& in, core::FrameHeader& h);
// Sample blocks as the header announces them; a short file leaves the rest at kNoSample.
// The caller has checked the counts against the buffers.
void readSampleBlocks(ByteCursor& in, core::FrameRecord& record);
// Up to `count` doubles into `to`; a short file leaves the rest as they were.
void readDoubles(ByteCursor& in, std::span<double> to, std::size_t count);

// The text of a magic field: bytes up to the first zero, or nothing when no zero is within it.
std::string_view magicText(std::span<const std::uint8_t> field, bool& terminated);

} // namespace kx::files
