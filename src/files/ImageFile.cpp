// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ImageFile.h"

#include "files/FileOutput.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <filesystem>
#include <vector>

namespace kx::files {

namespace {

bool valid(const ImagePixels& image) {
    return image.data != nullptr && image.width > 0 && image.height > 0 &&
           image.stride >= static_cast<std::size_t>(image.width);
}

void rgbRow(const ImagePixels& image, int y, std::uint8_t* to, bool bgr) {
    const std::uint32_t* row = image.data + static_cast<std::size_t>(y) * image.stride;
    for (int x = 0; x < image.width; ++x) {
        const std::uint32_t p = row[x];
        const auto r = static_cast<std::uint8_t>(p >> 16);
        const auto g = static_cast<std::uint8_t>(p >> 8);
        const auto b = static_cast<std::uint8_t>(p);
        *to++ = bgr ? b : r;
        *to++ = g;
        *to++ = bgr ? r : b;
    }
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void pngToMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void pngFlush(png_structp) {}

// libpng reports failures by jumping back here; nothing with a destructor is created in
// between.
bool encodePng(const ImagePixels& image, std::vector<std::uint8_t>& out, std::vector<std::uint8_t>& row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, &out, pngToMemory, pngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        rgbRow(image, y, row.data(), false);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

ImageFormat imageFormatFor(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext == ".BMP" ? ImageFormat::Bmp : ImageFormat::Png;
}

bool writePng(const std::string& path, const ImagePixels& image) {
    if (!valid(image)) return false;
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width) * 3);
    if (!encodePng(image, out, row)) return false;
    return writeWholeFile(path, out);
}

bool writeBmp(const std::string& path, const ImagePixels& image) {
    if (!valid(image)) return false;
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.height);
    constexpr std::uint32_t kHeaders = 14 + 40;
    constexpr std::uint32_t kPixelsPerMetre = 3780; // 96 dpi
    std::vector<std::uint8_t> out;
    out.reserve(kHeaders + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, kHeaders + pixelBytes);
    put32(out, 0);
    put32(out, kHeaders);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height)); // positive: bottom row first
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // no compression
    put32(out, pixelBytes);
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, 0);
    put32(out, 0);
    std::vector<std::uint8_t> row(rowBytes, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        rgbRow(image, y, row.data(), true);
        out.insert(out.end(), row.begin(), row.end());
    }
    return writeWholeFile(path, out);
}

bool writeImage(const std::string& path, const ImagePixels& image) {
    return imageFormatFor(path) == ImageFormat::Bmp ? writeBmp(path, image) : writePng(path, image);
}

} // namespace kx::files
