// The pencil's line: a 3 px solid pen with round ends.
#pragma once

#include "platform/raster.h"

namespace zuvela {

// Paints every pixel whose centre lies within 1.5 px of the segment from `from` to `to` with exactly `color`
// (no anti-aliasing), so a segment of length zero is a 3 × 3 dot and consecutive segments join without gaps.
// The end points may lie anywhere, far outside the image too; only pixels inside it are painted. Returns the
// bounding rectangle of the painted pixels.
Rect draw_pencil_segment(Raster& image, Point from, Point to, Color color);

}  // namespace zuvela
