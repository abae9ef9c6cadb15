// SPDX-License-Identifier: GPL-3.0-or-later
#include "Memory.h"

namespace kx::sim {

std::uint32_t regU8(const RegisterFile& r, std::size_t offset) {
    return r[offset];
}
std::uint32_t regU16(const RegisterFile& r, std::size_t offset) {
    return static_cast<std::uint32_t>(r[offset] | (r[offset + 1] << 8));
}
std::uint32_t regU32(const RegisterFile& r, std::size_t offset) {
    return regU16(r, offset) | (regU16(r, offset + 2) << 16);
}
std::uint64_t regU48(const RegisterFile& r, std::size_t offset) {
    return static_cast<std::uint64_t>(regU32(r, offset)) |
           (static_cast<std::uint64_t>(regU16(r, offset + 4)) << 32);
}
std::uint32_t tableU16(const CalibrationTable& t, std::size_t offset) {
    return static_cast<std::uint32_t>(t[offset] | (t[offset + 1] << 8));
}

int regS16(const CalibrationTable& t, std::size_t offset) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(t[offset] | (t[offset + 1] << 8)));
}

std::size_t Memory::write(std::uint16_t address, std::span<const std::uint8_t> data) {
    std::size_t landed = 0;
    std::uint32_t a = address;
    for (const std::uint8_t b : data) {
        if (a >= kRegisterBase && a < kRegisterBase + kRegisterCount) {
            registers[a - kRegisterBase] = b;
            ++landed;
        } else if (a >= kZeroTableBase && a < kZeroTableBase + kTableSize) {
            zeroTable[a - kZeroTableBase] = b;
            ++landed;
        } else if (a >= kSystemTableBase && a < kSystemTableBase + kTableSize) {
            systemTable[a - kSystemTableBase] = b;
            ++landed;
        } else if (a >= kAwgBase && a < kAwgBase + awg.size()) {
            awg[a - kAwgBase] = b;
            ++landed;
        }
        ++a;
    }
    return landed;
}

std::int16_t Memory::awgEntry(std::size_t index) const {
    index %= kAwgEntries;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(awg[2 * index] | (awg[2 * index + 1] << 8)));
}

} // namespace kx::sim
