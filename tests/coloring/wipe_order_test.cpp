#include "coloring/wipe_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <vector>

namespace zuvela {
namespace {

constexpr Color k_ink = rgb(0, 0, 0);
constexpr Color k_sheet = rgb(255, 255, 255);

// A fixed starting state; each re-seed moves on as if the clock had advanced.
class FakeRandom : public RandomSource {
  public:
    float next_uniform() override {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return float(m_state >> 40) / float(1 << 24);
    }
    void reseed_from_clock() override {
        ++reseeds;
        m_state ^= 0x9E3779B97F4A7C15ULL * std::uint64_t(reseeds);
    }
    int reseeds = 0;

  private:
    std::uint64_t m_state = 12345;
};

class ScriptedRandom : public RandomSource {
  public:
    explicit ScriptedRandom(std::vector<float> values) : m_values(std::move(values)) {}
    float next_uniform() override { return m_values.at(m_next++); }
    void reseed_from_clock() override { ++reseeds; }
    int reseeds = 0;

  private:
    std::vector<float> m_values;
    std::size_t m_next = 0;
};

std::vector<Point> white_pixels(const Raster& screen) {
    std::vector<Point> points;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x)
            if (screen.at(x, y) == k_sheet) points.push_back({x, y});
    return points;
}

// The pixel painted by the step alone, on an otherwise black canvas.
Point painted_by(WipePass pass, int step) {
    Raster screen(k_wipe_width, k_wipe_height, k_ink);
    const Rect rect = paint_wipe_steps(screen, pass, step, step + 1, k_sheet);
    const std::vector<Point> points = white_pixels(screen);
    EXPECT_EQ(points.size(), 1u);
    EXPECT_EQ(rect, (Rect{points.at(0).x, points.at(0).y, 1, 1}));
    return points.at(0);
}

TEST(WipeOrder, EachPatternStartsAndEndsAtItsCorner) {
    struct Expected {
        int pattern;
        Point first;
        Point last;
    };
    const Expected cases[] = {
        {1, {0, 0}, {749, 599}}, {2, {0, 0}, {749, 599}}, {3, {749, 0}, {0, 599}}, {4, {749, 599}, {0, 0}},
        {5, {0, 0}, {749, 599}}, {6, {0, 0}, {749, 599}}, {7, {0, 0}, {0, 599}},   {8, {0, 0}, {0, 0}},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.pattern);
        const WipePattern pattern = wipe_pattern_passes(c.pattern);
        EXPECT_EQ(pattern.second.has_value(), c.pattern >= 5);
        const WipePass last_pass = pattern.second.value_or(pattern.first);
        EXPECT_EQ(painted_by(pattern.first, 0), c.first);
        EXPECT_EQ(painted_by(last_pass, k_wipe_pass_steps - 1), c.last);
    }
    EXPECT_EQ(painted_by(WipePass::ColumnsRight, 1), (Point{0, 1}));
    EXPECT_EQ(painted_by(WipePass::ColumnsLeft, 600), (Point{748, 0}));
    EXPECT_EQ(painted_by(WipePass::RowsUp, 1), (Point{748, 599}));
}

// Corners alone cannot tell rows down from columns right, nor the interlaced pass from rows down: the second
// step and the first step of the second line can.
TEST(WipeOrder, EachPatternRunsItsOwnPassesInOrder) {
    struct Trace {
        Point second_step;
        Point second_line;
    };
    const auto trace = [](WipePass pass) {
        return Trace{
            painted_by(pass, 1),
            painted_by(pass, pass == WipePass::ColumnsRight || pass == WipePass::ColumnsLeft ? k_wipe_height
                                                                                             : k_wipe_width)};
    };
    const Trace rows_down{{1, 0}, {0, 1}}, columns_right{{0, 1}, {1, 0}}, columns_left{{749, 1}, {748, 0}},
        rows_up{{748, 599}, {749, 598}}, interlaced{{1, 0}, {0, 2}};
    struct Expected {
        int pattern;
        Trace first;
        std::optional<Trace> second;
    };
    const Expected cases[] = {
        {1, rows_down, std::nullopt},  {2, columns_right, std::nullopt}, {3, columns_left, std::nullopt},
        {4, rows_up, std::nullopt},    {5, interlaced, columns_right},   {6, interlaced, rows_down},
        {7, interlaced, columns_left}, {8, interlaced, rows_up},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.pattern);
        const WipePattern pattern = wipe_pattern_passes(c.pattern);
        const Trace first = trace(pattern.first);
        EXPECT_EQ(first.second_step, c.first.second_step);
        EXPECT_EQ(first.second_line, c.first.second_line);
        ASSERT_EQ(pattern.second.has_value(), c.second.has_value());
        if (!c.second) continue;
        const Trace second = trace(*pattern.second);
        EXPECT_EQ(second.second_step, c.second->second_step);
        EXPECT_EQ(second.second_line, c.second->second_line);
    }
}

TEST(WipeOrder, InterlacedPassPaintsEvenRowsThenStandsStill) {
    Raster screen(k_wipe_width, k_wipe_height, k_ink);
    EXPECT_EQ(paint_wipe_steps(screen, WipePass::Interlaced, 0, k_wipe_pass_steps / 2, k_sheet),
              (Rect{0, 0, 750, 599}));
    for (int y = 0; y < k_wipe_height; ++y)
        for (int x = 0; x < k_wipe_width; x += 149) ASSERT_EQ(screen.at(x, y), y % 2 == 0 ? k_sheet : k_ink);
    EXPECT_EQ(white_pixels(screen).size(), 225000u);

    const Raster half = screen;
    EXPECT_TRUE(
        paint_wipe_steps(screen, WipePass::Interlaced, k_wipe_pass_steps / 2, k_wipe_pass_steps, k_sheet)
            .empty());
    EXPECT_EQ(screen.pixels, half.pixels);
    EXPECT_EQ(wipe_pass_position(WipePass::Interlaced, 224999), (Point{749, 598}));
    EXPECT_EQ(wipe_pass_position(WipePass::Interlaced, 225000), (Point{0, 600}));
    EXPECT_EQ(wipe_pass_position(WipePass::Interlaced, k_wipe_pass_steps - 1), (Point{749, 1198}));
}

TEST(WipeOrder, FullPassesPaintEveryPixelOnceInPassOrder) {
    std::mt19937 random(3);
    for (const WipePass pass :
         {WipePass::RowsDown, WipePass::ColumnsRight, WipePass::ColumnsLeft, WipePass::RowsUp}) {
        SCOPED_TRACE(int(pass));
        std::vector<int> hits(std::size_t(k_wipe_pass_steps), 0);
        for (int step = 0; step < k_wipe_pass_steps; ++step) {
            const Point p = wipe_pass_position(pass, step);
            ASSERT_TRUE(p.x >= 0 && p.x < k_wipe_width && p.y >= 0 && p.y < k_wipe_height);
            ++hits[std::size_t(p.y * k_wipe_width + p.x)];
        }
        EXPECT_TRUE(std::all_of(hits.begin(), hits.end(), [](int n) { return n == 1; }));

        // Painting frame by frame, in chunks that end mid-row and mid-column, shows exactly the steps so far.
        Raster screen(k_wipe_width, k_wipe_height, k_ink);
        Raster expected = screen;
        for (int step = 0; step < k_wipe_pass_steps;) {
            const int end = std::min(k_wipe_pass_steps, step + 1 + int(random() % 60000));
            Rect bounding;
            for (int s = step; s < end; ++s) {
                const Point p = wipe_pass_position(pass, s);
                expected.at(p.x, p.y) = k_sheet;
                bounding = bounding.united({p.x, p.y, 1, 1});
            }
            ASSERT_EQ(paint_wipe_steps(screen, pass, step, end, k_sheet), bounding);
            ASSERT_EQ(screen.pixels, expected.pixels) << "after step " << end;
            step = end;
        }
    }
}

TEST(WipeOrder, PaintingStaysInsideASmallerScreen) {
    Raster screen(100, 50, k_ink);
    EXPECT_EQ(paint_wipe_steps(screen, WipePass::RowsUp, 0, k_wipe_pass_steps, k_sheet), screen.bounds());
    EXPECT_EQ(white_pixels(screen).size(), 5000u);
    EXPECT_TRUE(paint_wipe_steps(screen, WipePass::RowsDown, 200, 100, k_sheet).empty());
}

TEST(WipeOrder, PatternDrawNeverGivesZeroAndReseedsAfterEachDraw) {
    {
        ScriptedRandom random({0.05f, 0.1f, 0.5f});
        EXPECT_EQ(draw_wipe_pattern(random), 4);
        EXPECT_EQ(random.reseeds, 3);
    }
    {
        ScriptedRandom random({0.99999994f, 0.111112f, 0.0f, 0.888888f});
        EXPECT_EQ(draw_wipe_pattern(random), 8);
        EXPECT_EQ(draw_wipe_pattern(random), 1);
        EXPECT_EQ(draw_wipe_pattern(random), 7);
    }
    {
        FakeRandom random;
        std::set<int> seen;
        for (int i = 0; i < 2000; ++i) {
            const int pattern = draw_wipe_pattern(random);
            ASSERT_GE(pattern, 1);
            ASSERT_LE(pattern, 8);
            seen.insert(pattern);
        }
        EXPECT_EQ(seen.size(), 8u);
    }
    {
        FakeRandom first_run, second_run;
        EXPECT_EQ(draw_wipe_pattern(first_run), draw_wipe_pattern(second_run));
    }
}

TEST(WipeOrder, StepsDueSpreadAPassOverItsDuration) {
    EXPECT_EQ(wipe_steps_due(0.0, 1.2), 0);
    EXPECT_EQ(wipe_steps_due(-0.5, 1.2), 0);
    EXPECT_NEAR(wipe_steps_due(0.6, 1.2), 225000, 1);
    EXPECT_EQ(wipe_steps_due(1.2, 1.2), k_wipe_pass_steps);
    EXPECT_EQ(wipe_steps_due(30.0, 1.2), k_wipe_pass_steps);
    EXPECT_EQ(wipe_steps_due(0.1, 0.0), k_wipe_pass_steps);
    int previous = 0;
    for (double t = 0; t < 1.3; t += 1.0 / 60) {
        const int due = wipe_steps_due(t, 1.2);
        EXPECT_GE(due, previous);
        EXPECT_LT(due - previous, 10000);
        previous = due;
    }
}

}  // namespace
}  // namespace zuvela
