#include "coloring/pencil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "coloring/flood_fill.h"

namespace zuvela {
namespace {

constexpr Color k_page = rgb(255, 255, 255);
constexpr Color k_blue = rgb(0, 0, 255);

// Pixel centres within 1.5 px of the segment, decided in integers: 4·d² ≤ 9.
bool under_pen(Point p, Point a, Point b) {
    const std::int64_t dx = b.x - a.x, dy = b.y - a.y;
    const std::int64_t px = p.x - a.x, py = p.y - a.y;
    const std::int64_t length2 = dx * dx + dy * dy;
    const std::int64_t along = px * dx + py * dy;
    if (length2 == 0 || along <= 0) return 4 * (px * px + py * py) <= 9;
    if (along >= length2) {
        const std::int64_t qx = p.x - b.x, qy = p.y - b.y;
        return 4 * (qx * qx + qy * qy) <= 9;
    }
    const std::int64_t cross = px * dy - py * dx;
    return 4 * cross * cross <= 9 * length2;
}

Rect reference_segment(Raster& image, Point a, Point b, Color color) {
    Rect painted;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (under_pen({x, y}, a, b)) {
                image.at(x, y) = color;
                painted = painted.united({x, y, 1, 1});
            }
    return painted;
}

int count(const Raster& image, Color color) {
    return int(std::count(image.pixels.begin(), image.pixels.end(), color));
}

TEST(Pencil, DrawsAThreePixelPen) {
    {
        SCOPED_TRACE("a dot");
        Raster image(10, 10, k_page);
        EXPECT_EQ(draw_pencil_segment(image, {5, 5}, {5, 5}, k_blue), (Rect{4, 4, 3, 3}));
        EXPECT_EQ(count(image, k_blue), 9);
    }
    {
        SCOPED_TRACE("horizontal");
        Raster image(20, 10, k_page);
        EXPECT_EQ(draw_pencil_segment(image, {3, 5}, {12, 5}, k_blue), (Rect{2, 4, 12, 3}));
        EXPECT_EQ(count(image, k_blue), 12 * 3);
    }
    {
        SCOPED_TRACE("vertical");
        Raster image(10, 20, k_page);
        EXPECT_EQ(draw_pencil_segment(image, {5, 14}, {5, 3}, k_blue), (Rect{4, 2, 3, 14}));
        EXPECT_EQ(count(image, k_blue), 3 * 14);
    }
    {
        SCOPED_TRACE("diagonal");
        Raster image(30, 30, k_page);
        draw_pencil_segment(image, {-5, -5}, {35, 35}, k_blue);
        // Across the line, along the other diagonal, three pixels are covered.
        for (int k = -3; k <= 3; ++k)
            EXPECT_EQ(image.at(12 + k, 12 - k), std::abs(k) <= 1 ? k_blue : k_page) << k;
        // And a fill cannot cross it.
        FloodFill fill;
        fill.fill(image, {29, 0}, rgb(255, 0, 0));
        EXPECT_EQ(image.at(0, 29), k_page);
    }
}

TEST(Pencil, MatchesTheRoundPenOnRandomSegments) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        const auto coordinate = [&](int extent) { return int(random() % unsigned(extent + 16)) - 8; };
        const Point a{coordinate(40), coordinate(30)};
        const Point b{coordinate(40), coordinate(30)};
        Raster image(40, 30, k_page);
        Raster expected = image;
        const Rect expected_rect = reference_segment(expected, a, b, k_blue);
        const Rect rect = draw_pencil_segment(image, a, b, k_blue);
        ASSERT_EQ(image.pixels, expected.pixels) << a.x << "," << a.y << " - " << b.x << "," << b.y;
        ASSERT_EQ(rect, expected_rect) << a.x << "," << a.y << " - " << b.x << "," << b.y;
    }
}

TEST(Pencil, JoinsConsecutiveSegmentsWithoutGaps) {
    // A closed stroke with sharp turns must seal its inside against a fill from outside.
    Raster image(40, 40, k_page);
    const Point stroke[] = {{5, 5}, {34, 8}, {8, 12}, {33, 33}, {20, 6}, {6, 34}, {5, 5}};
    for (std::size_t i = 1; i < std::size(stroke); ++i)
        draw_pencil_segment(image, stroke[i - 1], stroke[i], k_blue);
    for (const Point p : stroke)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) EXPECT_EQ(image.at(p.x + dx, p.y + dy), k_blue);
    FloodFill fill;
    fill.fill(image, {0, 39}, rgb(255, 0, 0));
    EXPECT_EQ(image.at(10, 20), k_page);
}

TEST(Pencil, PaintsOnlyTheExactColour) {
    Raster image(50, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) image.at(x, y) = rgb(x * 5, y * 5, 100);
    const Raster before = image;
    const Color color = rgb(17, 200, 3);
    draw_pencil_segment(image, {3, 7}, {44, 29}, color);
    draw_pencil_segment(image, {44, 29}, {10, 45}, color);
    int painted = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        if (image.pixels[i] == color)
            ++painted;
        else
            EXPECT_EQ(image.pixels[i], before.pixels[i]) << i;
    }
    EXPECT_GT(painted, 100);
}

TEST(Pencil, ClipsAtTheImageEdge) {
    Raster image(30, 20, k_page);
    EXPECT_EQ(draw_pencil_segment(image, {-100000, 10}, {100000, 10}, k_blue), (Rect{0, 9, 30, 3}));
    EXPECT_EQ(count(image, k_blue), 90);

    Raster edge(30, 20, k_page);
    EXPECT_TRUE(draw_pencil_segment(edge, {-5, -2}, {40, -2}, k_blue).empty());
    EXPECT_TRUE(draw_pencil_segment(edge, {-100000, -100000}, {100000, -99000}, k_blue).empty());
    EXPECT_TRUE(draw_pencil_segment(edge, {31, 25}, {31, 25}, k_blue).empty());
    EXPECT_EQ(count(edge, k_blue), 0);
    EXPECT_EQ(draw_pencil_segment(edge, {-5, -1}, {40, -1}, k_blue), (Rect{0, 0, 30, 1}));
    EXPECT_EQ(draw_pencil_segment(edge, {30, 19}, {30, 19}, k_blue), (Rect{29, 18, 1, 2}));

    Raster extreme(30, 20, k_page);
    EXPECT_EQ(draw_pencil_segment(extreme, {INT32_MIN, 10}, {INT32_MAX, 10}, k_blue), (Rect{0, 9, 30, 3}));
}

TEST(Pencil, ReentersFromFarOutsideAlongTheSameLine) {
    // A stroke that left the canvas comes back from its last outside point; inside, only the line's own
    // pixels may change, just as if it had started at the edge.
    Raster image(30, 20, k_page);
    Raster expected = image;
    const Rect rect = draw_pencil_segment(image, {-100000, -100000}, {12, 12}, k_blue);
    const Rect expected_rect = reference_segment(expected, {-4, -4}, {12, 12}, k_blue);
    EXPECT_EQ(image.pixels, expected.pixels);
    EXPECT_EQ(rect, expected_rect);
    EXPECT_EQ(rect, (Rect{0, 0, 14, 14}));

    Raster steep(30, 20, k_page);
    Raster steep_expected = steep;
    draw_pencil_segment(steep, {15, 99999}, {16, 5}, k_blue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            if (under_pen({x, y}, {15, 99999}, {16, 5})) steep_expected.at(x, y) = k_blue;
    EXPECT_EQ(steep.pixels, steep_expected.pixels);
}

}  // namespace
}  // namespace zuvela
