// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/FpgaImage.h"

#include "device/DeviceOpen.h"

#include <fstream>

namespace kx::device {

namespace detail {
extern const unsigned char kEmbeddedFpgaImage[];
extern const std::size_t kEmbeddedFpgaImageSize;
} // namespace detail

std::span<const std::uint8_t> embeddedFpgaImage() {
    return {reinterpret_cast<const std::uint8_t*>(detail::kEmbeddedFpgaImage),
            detail::kEmbeddedFpgaImageSize};
}

FpgaImage FpgaImage::load(const std::string& dir) {
    FpgaImage image;
    const std::string folder = dir.empty() ? executableDir() : dir;
    if (folder.empty()) return image;
    std::ifstream in(folder + kFpgaImageFile, std::ios::binary | std::ios::ate);
    if (!in) return image;
    if (static_cast<std::size_t>(in.tellg()) != kFpgaImageSize) return image;
    in.seekg(0);
    std::vector<std::uint8_t> bytes(kFpgaImageSize);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return image;
    image.m_file = std::move(bytes);
    return image;
}

std::span<const std::uint8_t> FpgaImage::bytes() const {
    if (!m_file.empty()) return m_file;
    return embeddedFpgaImage();
}

} // namespace kx::device
