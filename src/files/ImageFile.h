// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kx::files {

// A picture as 32-bit pixels 0xAARRGGBB (alpha ignored), row after row from the top; `stride`
// is the distance between rows in pixels. The screen bitmap is handed over like this.
struct ImagePixels {
    const std::uint32_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
};

enum class ImageFormat { Png, Bmp };

// BMP when the name ends in ".bmp" in any case, PNG for anything else.
ImageFormat imageFormatFor(const std::string& path);

// False when the file cannot be created or written. BMP: 24-bit, bottom-up, uncompressed.
bool writePng(const std::string& path, const ImagePixels& image);
bool writeBmp(const std::string& path, const ImagePixels& image);
bool writeImage(const std::string& path, const ImagePixels& image);

} // namespace kx::files
