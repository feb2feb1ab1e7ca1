#include "coloring/wipe_order.h"

#include <algorithm>
#include <cmath>

namespace zuvela {

WipePattern wipe_pattern_passes(int pattern) {
    switch (pattern) {
        case 2:
            return {WipePass::ColumnsRight, std::nullopt};
        case 3:
            return {WipePass::ColumnsLeft, std::nullopt};
        case 4:
            return {WipePass::RowsUp, std::nullopt};
        case 5:
            return {WipePass::Interlaced, WipePass::ColumnsRight};
        case 6:
            return {WipePass::Interlaced, WipePass::RowsDown};
        case 7:
            return {WipePass::Interlaced, WipePass::ColumnsLeft};
        case 8:
            return {WipePass::Interlaced, WipePass::RowsUp};
        default:
            return {WipePass::RowsDown, std::nullopt};
    }
}

Point wipe_pass_position(WipePass pass, int step) {
    const int along_row = step % k_wipe_width, row = step / k_wipe_width;
    const int along_column = step % k_wipe_height, column = step / k_wipe_height;
    switch (pass) {
        case WipePass::RowsDown:
            return {along_row, row};
        case WipePass::ColumnsRight:
            return {column, along_column};
        case WipePass::ColumnsLeft:
            return {k_wipe_width - 1 - column, along_column};
        case WipePass::RowsUp:
            return {k_wipe_width - 1 - along_row, k_wipe_height - 1 - row};
        case WipePass::Interlaced:
            return {along_row, 2 * row};
    }
    return {};
}

namespace {

bool is_row_pass(WipePass pass) {
    return pass != WipePass::ColumnsRight && pass != WipePass::ColumnsLeft;
}

}  // namespace

Rect paint_wipe_steps(Raster& screen, WipePass pass, int first_step, int end_step, Color white) {
    first_step = std::clamp(first_step, 0, k_wipe_pass_steps);
    end_step = std::clamp(end_step, first_step, k_wipe_pass_steps);
    const int line_length = is_row_pass(pass) ? k_wipe_width : k_wipe_height;
    const Rect bounds = screen.bounds();
    Rect painted;
    // Consecutive steps stay on one row or column until it is done, so a frame's steps are a few straight
    // runs.
    for (int step = first_step; step < end_step;) {
        const int count = std::min(line_length - step % line_length, end_step - step);
        const Point a = wipe_pass_position(pass, step);
        const Point b = wipe_pass_position(pass, step + count - 1);
        const Rect run{std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x) + 1,
                       std::abs(b.y - a.y) + 1};
        const Rect visible = run.intersected(bounds);
        step += count;
        if (visible.empty()) continue;
        for (int y = visible.y; y < visible.bottom(); ++y) {
            Color* row = screen.row(y);
            std::fill(row + visible.x, row + visible.right(), white);
        }
        painted = painted.united(visible);
    }
    return painted;
}

int draw_wipe_pattern(RandomSource& random) {
    for (;;) {
        const int r = int(std::floor(double(random.next_uniform()) * 9.0));
        random.reseed_from_clock();
        if (r >= 1 && r <= 8) return r;
    }
}

int wipe_steps_due(double elapsed_seconds, double pass_seconds) {
    if (!(pass_seconds > 0)) return k_wipe_pass_steps;
    if (!(elapsed_seconds > 0)) return 0;
    const double fraction = elapsed_seconds / pass_seconds;
    if (fraction >= 1) return k_wipe_pass_steps;
    return std::clamp(int(fraction * k_wipe_pass_steps), 0, k_wipe_pass_steps);
}

}  // namespace zuvela
