// The byte length of every picture file the program was made with, in checking order.
#pragma once

#include <array>
#include <cstdint>

namespace zuvela {

struct AssetLength {
    const char* literal;  // below app_dir, e.g. "/PICTURE/01.GIF"
    std::uint32_t length;
};

extern const std::array<AssetLength, 147> asset_lengths;

}  // namespace zuvela
