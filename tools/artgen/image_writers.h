// File writers shared by the picture generators.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace artgen {

// 0xAARRGGBB pixels, row by row (cairo's ARGB32 layout, premultiplied alpha ignored for opaque images).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

// Baseline JPEG, 4:2:0, fixed quality. Alpha is ignored.
void write_jpeg(const std::filesystem::path& path, const Image& image, int quality = 90);

// Two-colour GIF: a pixel is black when its red, green and blue are all below 128, otherwise white.
void write_gif_black_white(const std::filesystem::path& path, const Image& image);

// Icon file with one uncompressed 32-bit image (with its AND mask), any size up to 256 × 256.
void write_ico(const std::filesystem::path& path, const Image& image);

}  // namespace artgen
