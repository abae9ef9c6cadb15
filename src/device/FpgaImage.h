// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kx::device {

inline constexpr std::size_t kFpgaImageSize = 337006;
inline constexpr const char* kFpgaImageFile = "kx48zz_fpga.bin";

// The configuration image built into the program.
std::span<const std::uint8_t> embeddedFpgaImage();

// The image to send: kx48zz_fpga.bin when it has exactly the image size (an owner of the
// instrument puts the real one there), otherwise the built-in one.
class FpgaImage {
public:
    // Looks in `dir` (ends with '/'; empty: the executable's folder), then in the user's
    // configuration folder, where an installed program's owner can put it.
    static FpgaImage load(const std::string& dir = {});
    // The first fitting file of `folders` (each ending with '/').
    static FpgaImage loadFrom(std::span<const std::string> folders);

    [[nodiscard]] std::span<const std::uint8_t> bytes() const;
    [[nodiscard]] bool fromFile() const { return !m_file.empty(); }

private:
    std::vector<std::uint8_t> m_file;
};

} // namespace kx::device
