// Pixel buffers shared by the scene, the canvas and the platform back ends.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zuvela {

// One colour packed as red + 256 × green + 65536 × blue. Decoded pictures carry their alpha in the top byte
// (0xFF for opaque pictures); canvas pixels keep it at zero so that colours compare exactly.
using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b) {
    return Color(r) | (Color(g) << 8) | (Color(b) << 16);
}
constexpr int red_of(Color c) {
    return int(c & 0xFF);
}
constexpr int green_of(Color c) {
    return int((c >> 8) & 0xFF);
}
constexpr int blue_of(Color c) {
    return int((c >> 16) & 0xFF);
}
constexpr int alpha_of(Color c) {
    return int(c >> 24);
}
constexpr Color k_color_mask = 0x00FFFFFF;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(Point, Point) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    bool empty() const { return w <= 0 || h <= 0; }
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < right() && p.y < bottom(); }
    Rect translated(int dx, int dy) const { return {x + dx, y + dy, w, h}; }

    Rect united(const Rect& o) const {
        if (empty()) return o;
        if (o.empty()) return *this;
        const int l = std::min(x, o.x), t = std::min(y, o.y);
        return {l, t, std::max(right(), o.right()) - l, std::max(bottom(), o.bottom()) - t};
    }
    Rect intersected(const Rect& o) const {
        const int l = std::max(x, o.x), t = std::max(y, o.y);
        const int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
        if (r <= l || b <= t) return {};
        return {l, t, r - l, b - t};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Raster {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;  // row by row, top to bottom

    Raster() = default;
    Raster(int w, int h, Color fill = 0)
        : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Color& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    Color at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    Color* row(int y) { return pixels.data() + std::size_t(y) * std::size_t(width); }
    const Color* row(int y) const { return pixels.data() + std::size_t(y) * std::size_t(width); }
    Rect bounds() const { return {0, 0, width, height}; }
};

}  // namespace zuvela
