// Where tile k (1..25) of the gallery stands and which pictures it shows. The tile pictures are slices of a
// 9 × 9 grid numbered row by row; the tiles use every other cell of every other row.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "platform/raster.h"

namespace zuvela {

inline constexpr std::array<int, 5> k_tile_column_lefts = {54, 198, 341, 485, 629};
inline constexpr std::array<int, 5> k_tile_row_tops = {48, 185, 322, 459, 596};

constexpr Point tile_position(int k) {
    return {k_tile_column_lefts[std::size_t((k - 1) % 5)], k_tile_row_tops[std::size_t((k - 1) / 5)]};
}

constexpr int tile_slice(int k) {
    const int row = (k - 1) / 5 + 1;
    const int column = (k - 1) % 5 + 1;
    return 18 * (row - 1) + 2 * (column - 1) + 1;
}

enum class TileLook { Normal, Highlighted };

// "/PICTURE/GALERIJA1BELE_21.JPG" for tile 7 at rest, "…ZUTE_21.JPG" lit.
inline std::string tile_picture_literal(TileLook look, int k) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "/PICTURE/GALERIJA1%s_%02d.JPG",
                  look == TileLook::Normal ? "BELE" : "ZUTE", tile_slice(k));
    return buffer;
}

}  // namespace zuvela
