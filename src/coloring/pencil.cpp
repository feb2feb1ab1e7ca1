#include "coloring/pencil.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace zuvela {

namespace {

constexpr double k_radius = 1.5;

struct Segment {
    double ax, ay, bx, by;
};

// Cuts the segment to `box` (Liang-Barsky). Outside a box that reaches 2 px beyond the pixel centres no point
// can be within the pen's radius of a pixel, so this loses nothing and keeps the arithmetic at image scale
// however far away the end points are.
std::optional<Segment> clipped(Segment s, double left, double top, double right, double bottom) {
    const double dx = s.bx - s.ax, dy = s.by - s.ay;
    double t0 = 0, t1 = 1;
    const auto edge = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-dx, s.ax - left) || !edge(dx, right - s.ax) || !edge(-dy, s.ay - top) ||
        !edge(dy, bottom - s.ay))
        return std::nullopt;
    return Segment{s.ax + t0 * dx, s.ay + t0 * dy, s.ax + t1 * dx, s.ay + t1 * dy};
}

struct Interval {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();

    void unite(double a, double b) {
        lo = std::min(lo, a);
        hi = std::max(hi, b);
    }
};

void unite_disc(Interval& span, double cx, double cy, double y) {
    const double dy = y - cy;
    const double h2 = k_radius * k_radius - dy * dy;
    if (h2 < 0) return;
    const double h = std::sqrt(h2);
    span.unite(cx - h, cx + h);
}

// The part of row y covered by the rectangle swept by the pen along the segment (without the end discs).
void unite_body(Interval& span, const Segment& s, double y) {
    const double dx = s.bx - s.ax, dy = s.by - s.ay;
    const double length2 = dx * dx + dy * dy;
    if (length2 == 0 || dy == 0) return;  // the discs alone cover a dot or a horizontal segment's rows
    const double ry = y - s.ay;
    // Distance from the line: |(x - ax)·dy − ry·dx| ≤ r·|d|.
    const double reach = k_radius * std::sqrt(length2);
    double lo = (ry * dx - reach) / dy, hi = (ry * dx + reach) / dy;
    if (lo > hi) std::swap(lo, hi);
    // Between the end points along the segment: 0 ≤ (x - ax)·dx + ry·dy ≤ |d|².
    if (dx == 0) {
        const double along = ry * dy;
        if (along < 0 || along > length2) return;
    } else {
        double a = -ry * dy / dx, b = (length2 - ry * dy) / dx;
        if (a > b) std::swap(a, b);
        lo = std::max(lo, a);
        hi = std::min(hi, b);
    }
    if (lo <= hi) span.unite(s.ax + lo, s.ax + hi);
}

}  // namespace

Rect draw_pencil_segment(Raster& image, Point from, Point to, Color color) {
    if (image.width <= 0 || image.height <= 0) return {};
    const auto cut = clipped({double(from.x), double(from.y), double(to.x), double(to.y)}, -2, -2,
                             image.width + 1.0, image.height + 1.0);
    if (!cut) return {};
    const Segment& s = *cut;

    const int top = std::max(0, int(std::ceil(std::min(s.ay, s.by) - k_radius)));
    const int bottom = std::min(image.height - 1, int(std::floor(std::max(s.ay, s.by) + k_radius)));
    Rect painted;
    for (int y = top; y <= bottom; ++y) {
        // The pen's shape is convex, so each row meets it in one run: the hull of what the discs and body
        // cover.
        Interval span;
        unite_disc(span, s.ax, s.ay, y);
        unite_disc(span, s.bx, s.by, y);
        unite_body(span, s, y);
        if (span.lo > span.hi) continue;
        const int left = std::max(0, int(std::ceil(span.lo)));
        const int right = std::min(image.width - 1, int(std::floor(span.hi)));
        if (left > right) continue;
        Color* row = image.row(y);
        std::fill(row + left, row + right + 1, color);
        painted = painted.united({left, y, right - left + 1, 1});
    }
    return painted;
}

}  // namespace zuvela
