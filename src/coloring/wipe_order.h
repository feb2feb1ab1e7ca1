// The order in which the paper button's wipe paints the canvas white, and its pacing.
#pragma once

#include <optional>

#include "platform/random.h"
#include "platform/raster.h"

namespace zuvela {

enum class WipePass { RowsDown, ColumnsRight, ColumnsLeft, RowsUp, Interlaced };

struct WipePattern {
    WipePass first;
    std::optional<WipePass> second;
};

constexpr int k_wipe_width = 750;
constexpr int k_wipe_height = 600;
// Every pass has one step per canvas pixel, the interlaced one too: its second half lies below the canvas.
constexpr int k_wipe_pass_steps = k_wipe_width * k_wipe_height;

// Patterns 1 to 8; anything else is treated as pattern 1.
WipePattern wipe_pattern_passes(int pattern);

// The canvas pixel the pass paints at `step` (0 ≤ step < k_wipe_pass_steps). The interlaced pass's second
// half returns rows 600 to 1198, which lie off the canvas.
Point wipe_pass_position(WipePass pass, int step);

// Paints the steps [first_step, end_step) of the pass, as far as they fall inside `screen`, and returns the
// bounding rectangle of the painted pixels.
Rect paint_wipe_steps(Raster& screen, WipePass pass, int first_step, int end_step, Color white);

// A pattern from 1 to 8, each equally likely. The source is re-seeded from the clock after every value it
// gives, so only the first wipe of a run is the same in every run.
int draw_wipe_pattern(RandomSource& random);

// How many steps of a pass should be on screen `elapsed_seconds` after it started, for the pass to take
// `pass_seconds` on any machine.
int wipe_steps_due(double elapsed_seconds, double pass_seconds);

}  // namespace zuvela
