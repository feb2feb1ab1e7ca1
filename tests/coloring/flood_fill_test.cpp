#include "coloring/flood_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace zuvela {
namespace {

constexpr Color k_black = rgb(0, 0, 0);
constexpr Color k_white = rgb(255, 255, 255);
constexpr Color k_red = rgb(255, 0, 0);
constexpr Color k_yellow = rgb(255, 255, 0);

// '#' black outline, '.' white, 'r' red.
Raster picture(const std::vector<std::string>& rows) {
    Raster image(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const char c = rows[std::size_t(y)][std::size_t(x)];
            image.at(x, y) = c == '#' ? k_black : c == 'r' ? k_red : k_white;
        }
    return image;
}

// 'Y' where the fill colour is, '.' elsewhere.
std::vector<std::string> filled(const Raster& image, Color color) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height; ++y) {
        std::string row;
        for (int x = 0; x < image.width; ++x) row += image.at(x, y) == color ? 'Y' : '.';
        rows.push_back(row);
    }
    return rows;
}

Rect reference_fill(Raster& image, Point start, Color color) {
    if (!image.contains(start.x, start.y) || image.at(start.x, start.y) == color) return {};
    const Color target = image.at(start.x, start.y);
    Rect changed;
    std::deque<Point> queue{start};
    image.at(start.x, start.y) = color;
    while (!queue.empty()) {
        const Point p = queue.front();
        queue.pop_front();
        changed = changed.united({p.x, p.y, 1, 1});
        for (const Point n :
             {Point{p.x - 1, p.y}, Point{p.x + 1, p.y}, Point{p.x, p.y - 1}, Point{p.x, p.y + 1}}) {
            if (!image.contains(n.x, n.y) || image.at(n.x, n.y) != target) continue;
            image.at(n.x, n.y) = color;
            queue.push_back(n);
        }
    }
    return changed;
}

TEST(FloodFill, StopsAtDiagonalContact) {
    Raster image = picture({
        "...#",
        "...#",
        "###.",
        "#...",
    });
    FloodFill fill;
    EXPECT_EQ(fill.fill(image, {0, 0}, k_yellow), (Rect{0, 0, 3, 2}));
    EXPECT_EQ(filled(image, k_yellow), (std::vector<std::string>{
                                           "YYY.",
                                           "YYY.",
                                           "....",
                                           "....",
                                       }));
    EXPECT_EQ(image.at(3, 2), k_white);
}

TEST(FloodFill, PassesThroughAOnePixelGap) {
    FloodFill fill;
    {
        SCOPED_TRACE("gap in a vertical outline, crossed horizontally");
        Raster image = picture({
            "..#..",
            ".....",
            "..#..",
        });
        EXPECT_EQ(fill.fill(image, {0, 0}, k_yellow), (Rect{0, 0, 5, 3}));
        EXPECT_EQ(image.at(4, 2), k_yellow);
    }
    {
        SCOPED_TRACE("gap in a horizontal outline, crossed vertically");
        Raster image = picture({
            "...",
            "...",
            "#.#",
            "...",
            "...",
        });
        EXPECT_EQ(fill.fill(image, {2, 4}, k_yellow), (Rect{0, 0, 3, 5}));
        EXPECT_EQ(image.at(0, 0), k_yellow);
    }
}

TEST(FloodFill, FollowsRegionsThatTurnBack) {
    // From the seed the region runs down both sides and comes back up beside itself.
    Raster image = picture({
        "#.#...#.#",
        "#.#.#.#.#",
        "#.#.#.#.#",
        "#...#...#",
        "#########",
    });
    FloodFill fill;
    EXPECT_EQ(fill.fill(image, {4, 0}, k_yellow), (Rect{1, 0, 7, 4}));
    EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), k_white), 0);
}

TEST(FloodFill, StopsAtTheImageEdgeAndReportsTheChangedRect) {
    FloodFill fill;
    Raster image = picture({
        "......",
        "..###.",
        "..#..#",
        "..###.",
    });
    EXPECT_EQ(fill.fill(image, {3, 2}, k_yellow), (Rect{3, 2, 2, 1}));
    EXPECT_EQ(fill.fill(image, {5, 3}, k_red), (Rect{5, 3, 1, 1}));
    EXPECT_EQ(fill.fill(image, {0, 3}, k_red), (Rect{0, 0, 6, 4}));
    EXPECT_EQ(image.at(5, 3), k_red);

    Raster blank(750, 600, k_white);
    EXPECT_EQ(fill.fill(blank, {749, 599}, k_yellow), blank.bounds());
    EXPECT_EQ(std::count(blank.pixels.begin(), blank.pixels.end(), k_yellow), 750 * 600);
}

TEST(FloodFill, LeavesAnAreaAlreadyInTheColourAlone) {
    FloodFill fill;
    Raster image = picture({
        "rr#..",
        "r.#..",
    });
    const Raster before = image;
    EXPECT_TRUE(fill.fill(image, {0, 0}, k_red).empty());
    EXPECT_TRUE(fill.fill(image, {-1, 0}, k_yellow).empty());
    EXPECT_TRUE(fill.fill(image, {5, 0}, k_yellow).empty());
    EXPECT_TRUE(fill.fill(image, {0, 2}, k_yellow).empty());
    EXPECT_EQ(image.pixels, before.pixels);
}

TEST(FloodFill, GuardsOnlyBlackAndTheDarkestReds) {
    EXPECT_TRUE(is_outline_color(0));
    EXPECT_TRUE(is_outline_color(9));
    EXPECT_FALSE(is_outline_color(10));
    EXPECT_FALSE(is_outline_color(rgb(0, 1, 0)));
    EXPECT_FALSE(is_outline_color(rgb(0, 0, 1)));
    EXPECT_FALSE(is_outline_color(rgb(30, 30, 30)));
    EXPECT_FALSE(is_outline_color(k_white));
    // A decoded picture's opaque black still counts as an outline.
    EXPECT_TRUE(is_outline_color(0xFF000000));
}

TEST(FloodFill, PaletteBlackAndWhiteCanBeFilledAgain) {
    constexpr Color palette_black = rgb(30, 30, 30);
    FloodFill fill;
    Raster image = picture({
        "..#..",
        "..#..",
    });
    EXPECT_EQ(fill.fill(image, {0, 0}, palette_black), (Rect{0, 0, 2, 2}));
    ASSERT_FALSE(is_outline_color(image.at(0, 0)));
    EXPECT_EQ(fill.fill(image, {1, 1}, k_yellow), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(fill.fill(image, {0, 1}, k_white), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(fill.fill(image, {1, 0}, k_red), (Rect{0, 0, 2, 2}));
    EXPECT_EQ(image.at(3, 0), k_white);
    EXPECT_EQ(image.at(2, 0), k_black);
}

TEST(FloodFill, MatchesABreadthFirstFillOnRandomImages) {
    std::mt19937 random(20240611);
    FloodFill fill;  // one instance throughout, as the canvas keeps it
    for (int round = 0; round < 800; ++round) {
        const int width = 1 + int(random() % 40), height = 1 + int(random() % 30);
        const int colors = 2 + int(random() % 3);
        const double density = 0.2 + 0.5 * double(random() % 100) / 100.0;
        Raster image(width, height);
        for (Color& pixel : image.pixels)
            pixel = double(random() % 1000) / 1000.0 < density ? Color(random() % unsigned(colors)) : k_white;
        if (round % 2 == 1) {
            // Hatching: narrow columns and rows with a few openings, the shapes that are walked straight on.
            const int period = 2 + int(random() % 3);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const bool wall = round % 4 == 1 ? x % period == 1 : y % period == 1;
                    image.at(x, y) = wall && random() % 12 != 0 ? k_black : image.at(x, y) == 0 ? 0 : k_white;
                }
        }
        const Point start{int(random() % unsigned(width)), int(random() % unsigned(height))};
        const Color color = Color(random() % 5);

        Raster expected = image;
        const Rect expected_changed = reference_fill(expected, start, color);
        const Rect changed = fill.fill(image, start, color);
        ASSERT_EQ(image.pixels, expected.pixels) << "round " << round;
        ASSERT_EQ(changed, expected_changed) << "round " << round;
    }
}

}  // namespace
}  // namespace zuvela
