#include "coloring/flood_fill.h"

#include <algorithm>
#include <bit>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zuvela {

namespace {

// Fills rightwards from x (which holds `target`) and returns the last pixel filled. Long runs are the common
// case, so sixteen pixels are tested and written at a time while they last.
int fill_right(Color* row, int x, int width, Color target, Color color) {
    // Narrow runs are settled pixel by pixel before the block loop is worth starting.
    for (const int end = std::min(width, x + 4); x < end; ++x) {
        if (row[x] != target) return x - 1;
        row[x] = color;
    }
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi32(int(target));
    const __m128i paint = _mm_set1_epi32(int(color));
    for (; x + 16 <= width; x += 16) {
        auto* p = reinterpret_cast<__m128i*>(row + x);
        const __m128i same = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi32(_mm_loadu_si128(p), wanted),
                                                         _mm_cmpeq_epi32(_mm_loadu_si128(p + 1), wanted)),
                                           _mm_and_si128(_mm_cmpeq_epi32(_mm_loadu_si128(p + 2), wanted),
                                                         _mm_cmpeq_epi32(_mm_loadu_si128(p + 3), wanted)));
        if (_mm_movemask_epi8(same) != 0xFFFF) break;
        for (int i = 0; i < 4; ++i) _mm_storeu_si128(p + i, paint);
    }
    for (; x + 4 <= width; x += 4) {
        auto* p = reinterpret_cast<__m128i*>(row + x);
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_loadu_si128(p), wanted)));
        if (mask != 0xFFFF) {
            // Four mask bits per pixel: the run ends at the first pixel that differs.
            const int run = std::countr_one(mask) / 4;
            std::fill(row + x, row + x + run, color);
            return x + run - 1;
        }
        _mm_storeu_si128(p, paint);
    }
#endif
    while (x < width && row[x] == target) row[x++] = color;
    return x - 1;
}

// Fills leftwards from x - 1 and returns the first pixel filled, or x if none was.
int fill_left(Color* row, int x, Color target, Color color) {
    while (x > 0 && row[x - 1] == target) row[--x] = color;
    return x;
}

// Follows a narrow run [left, right] of row y on in direction dy while the next row holds exactly that run
// and nothing beside it, and returns the last row filled. The span list would give the same result, only at a
// much higher cost per row for the one-pixel columns of hatched areas.
int follow_narrow_run(Color* pixels, int width, int height, int y, int dy, int left, int right, Color target,
                      Color color) {
    for (int next = y + dy; next >= 0 && next < height; next += dy) {
        Color* row = pixels + std::ptrdiff_t(next) * width;
        if (left > 0 && row[left - 1] == target) break;
        if (right + 1 < width && row[right + 1] == target) break;
        for (int x = left; x <= right; ++x)
            if (row[x] != target) return y;
        std::fill(row + left, row + right + 1, color);
        y = next;
    }
    return y;
}

constexpr int k_narrow_run = 8;

}  // namespace

Rect FloodFill::fill(Raster& image, Point start, Color color) {
    if (!image.contains(start.x, start.y)) return {};
    const Color target = image.at(start.x, start.y);
    if (target == color) return {};

    const int width = image.width;
    const int height = image.height;
    // Kept in locals: the pixel stores could otherwise alias the image's and the spans' integers.
    Color* const pixels = image.pixels.data();
    const auto row_of = [&](int y) { return pixels + std::ptrdiff_t(y) * width; };
    m_current.clear();
    m_next.clear();
    const auto push = [&](int y, int left, int right, int dy) {
        if (y >= 0 && y < height) m_next.push_back({y, left, right, dy});
    };

    Color* seed_row = row_of(start.y);
    const int seed_left = fill_left(seed_row, start.x, target, color);
    const int seed_right = fill_right(seed_row, start.x, width, target, color);
    push(start.y + 1, seed_left, seed_right, 1);
    push(start.y - 1, seed_left, seed_right, -1);

    int min_x = seed_left, max_x = seed_right, min_y = start.y, max_y = start.y;
    // Spans are taken a generation at a time, so the fill sweeps wide areas row by row, in memory order.
    while (!m_next.empty()) {
        std::swap(m_current, m_next);
        m_next.clear();
        for (const Span span : m_current) {
            Color* row = row_of(span.y);
            int x = span.left;
            while (x <= span.right) {
                if (row[x] != target) {
                    ++x;
                    continue;
                }
                // Only the first run can reach left of the span, only the last one right of it.
                const int a = x == span.left ? fill_left(row, x, target, color) : x;
                const int b = fill_right(row, x, width, target, color);
                const int last_y = b - a < k_narrow_run ? follow_narrow_run(pixels, width, height, span.y,
                                                                            span.dy, a, b, target, color)
                                                        : span.y;
                push(last_y + span.dy, a, b, span.dy);
                // Where the run overhangs the span, the row it came from has not been looked at yet.
                if (a < span.left) push(span.y - span.dy, a, span.left - 1, -span.dy);
                if (b > span.right) push(span.y - span.dy, span.right + 1, b, -span.dy);
                min_x = std::min(min_x, a);
                max_x = std::max(max_x, b);
                min_y = std::min({min_y, span.y, last_y});
                max_y = std::max({max_y, span.y, last_y});
                x = b + 2;
            }
        }
    }
    return {min_x, min_y, max_x - min_x + 1, max_y - min_y + 1};
}

}  // namespace zuvela
