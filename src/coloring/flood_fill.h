// Bucket fill of the canvas image.
#pragma once

#include <vector>

#include "platform/raster.h"

namespace zuvela {

// Black and the nine darkest pure reds: the outlines of the pictures, which the bucket never fills.
constexpr bool is_outline_color(Color c) {
    return (c & k_color_mask) <= 9;
}

// Scan-line span fill. One instance keeps its span lists between calls, so after the first large fill no call
// allocates.
class FloodFill {
  public:
    // Gives `color` to every pixel of exactly the start pixel's colour that is 4-connected to the start pixel
    // through such pixels. Returns the bounding rectangle of the changed pixels; empty when the start lies
    // outside the image or already has `color`.
    Rect fill(Raster& image, Point start, Color color);

  private:
    // A span of row `y - dy` that is already filled; the row `y` next to it is still to be scanned.
    struct Span {
        int y;
        int left;
        int right;
        int dy;
    };

    std::vector<Span> m_current;
    std::vector<Span> m_next;
};

}  // namespace zuvela
