// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/FpgaImage.h"

#include "core/ProgramPaths.h"
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
    const std::string folders[] = {dir.empty() ? executableDir() : dir, core::userConfigDir().string() + "/"};
    return loadFrom(folders);
}

FpgaImage FpgaImage::loadFrom(std::span<const std::string> folders) {
    FpgaImage image;
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        std::ifstream in(folder + kFpgaImageFile, std::ios::binary | std::ios::ate);
        if (!in || static_cast<std::size_t>(in.tellg()) != kFpgaImageSize) continue;
        in.seekg(0);
        std::vector<std::uint8_t> bytes(kFpgaImageSize);
        if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
            continue;
        image.m_file = std::move(bytes);
        break;
    }
    return image;
}

std::span<const std::uint8_t> FpgaImage::bytes() const {
    if (!m_file.empty()) return m_file;
    return embeddedFpgaImage();
}

} // namespace kx::device
