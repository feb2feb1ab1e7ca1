// The outline pictures and their gallery tiles.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "artgen.h"
#include "image_writers.h"
#include "outline_subjects.h"

namespace artgen {

namespace {

using outline::k_height;
using outline::k_width;

// The bucket cannot be aimed at anything smaller: such white specks are closed with ink.
constexpr int k_min_area = 150;

constexpr int k_tile_width = 131;
constexpr int k_tile_height = 122;

// One byte per pixel, 1 = ink.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> ink;
    std::uint8_t at(int x, int y) const { return ink[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

Bitmap render(const outline::Subject& subject) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, k_width, k_height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    subject.draw(cr);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error(std::string("cairo failed drawing ") + subject.name);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    Bitmap bitmap{k_width, k_height, std::vector<std::uint8_t>(std::size_t(k_width) * k_height)};
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < k_height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < k_width; ++x) {
            const std::uint32_t p = row[x];
            const int luma = int(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
            bitmap.ink[std::size_t(y) * k_width + std::size_t(x)] = luma < 3 * 128 ? 1 : 0;
        }
    }
    cairo_surface_destroy(surface);
    return bitmap;
}

struct AreaSummary {
    int large = 0;     // areas of at least 400 pixels
    int closed = 0;    // specks filled with ink
    int smallest = 0;  // smallest area left white
};

// Labels the 4-connected white areas (what one bucket click fills) and inks those under k_min_area.
AreaSummary close_specks(Bitmap& bitmap) {
    const int w = bitmap.width, h = bitmap.height;
    std::vector<int> label(bitmap.ink.size(), -1);
    std::vector<int> stack, members;
    AreaSummary summary;
    summary.smallest = w * h;
    for (int start = 0; start < w * h; ++start) {
        if (bitmap.ink[std::size_t(start)] || label[std::size_t(start)] >= 0) continue;
        members.clear();
        stack.push_back(start);
        label[std::size_t(start)] = start;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            members.push_back(i);
            const int x = i % w, y = i / w;
            const int next[4] = {x > 0 ? i - 1 : -1, x + 1 < w ? i + 1 : -1, y > 0 ? i - w : -1,
                                 y + 1 < h ? i + w : -1};
            for (int j : next) {
                if (j < 0 || bitmap.ink[std::size_t(j)] || label[std::size_t(j)] >= 0) continue;
                label[std::size_t(j)] = start;
                stack.push_back(j);
            }
        }
        const int size = int(members.size());
        if (size < k_min_area) {
            for (int i : members) bitmap.ink[std::size_t(i)] = 1;
            ++summary.closed;
            continue;
        }
        if (size >= 400) ++summary.large;
        summary.smallest = std::min(summary.smallest, size);
    }
    return summary;
}

Image to_image(const Bitmap& bitmap) {
    Image image{bitmap.width, bitmap.height, {}};
    image.argb.reserve(bitmap.ink.size());
    for (std::uint8_t ink : bitmap.ink) image.argb.push_back(ink ? 0xFF000000u : 0xFFFFFFFFu);
    return image;
}

// Box-filter weights for shrinking n source pixels onto m target pixels.
std::vector<std::vector<std::pair<int, double>>> box_weights(int n, int m) {
    using Taps = std::vector<std::pair<int, double>>;
    std::vector<Taps> weights(std::size_t(m), Taps{});
    const double step = double(n) / m;
    for (int t = 0; t < m; ++t) {
        const double a = t * step, b = (t + 1) * step;
        for (int s = int(std::floor(a)); s < int(std::ceil(b)) && s < n; ++s) {
            const double overlap = std::min(b, s + 1.0) - std::max(a, double(s));
            if (overlap > 0) weights[std::size_t(t)].push_back({s, overlap / step});
        }
    }
    return weights;
}

// Ink coverage 0..1 of each pixel of the picture shrunk to w × h.
std::vector<double> shrink(const Bitmap& bitmap, int w, int h) {
    const auto wx = box_weights(bitmap.width, w);
    const auto wy = box_weights(bitmap.height, h);
    std::vector<double> rows(std::size_t(w) * std::size_t(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (auto [s, weight] : wx[std::size_t(x)]) sum += weight * bitmap.at(s, y);
            rows[std::size_t(y) * std::size_t(w) + std::size_t(x)] = sum;
        }
    }
    std::vector<double> out(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (auto [s, weight] : wy[std::size_t(y)])
                sum += weight * rows[std::size_t(s) * std::size_t(w) + std::size_t(x)];
            out[std::size_t(y) * std::size_t(w) + std::size_t(x)] = sum;
        }
    }
    return out;
}

struct Rgb {
    double r, g, b;
};

struct TileLook {
    Rgb frame;       // outer band
    Rgb frame_edge;  // its outermost pixel row
    Rgb glow;        // inner rim of the band
    double band;     // width of the band
    Rgb card;
    Rgb paper;
    Rgb ink;
    Rgb page_edge;
};

constexpr TileLook k_resting{{0.50, 0.60, 0.82}, {0.42, 0.52, 0.76}, {0.72, 0.79, 0.93}, 3,
                             {1, 1, 1},          {1, 1, 1},          {0.08, 0.08, 0.10}, {0.78, 0.80, 0.86}};
constexpr TileLook k_lit{{1.00, 0.78, 0.00}, {0.94, 0.52, 0.00}, {1.00, 0.90, 0.36}, 8,
                         {1.00, 0.96, 0.70}, {1.00, 0.99, 0.86}, {0.08, 0.07, 0.02}, {0.95, 0.74, 0.20}};

// The page sits at the same place in both looks, so lighting a tile up does not move the picture.
constexpr int k_page_x = 9, k_page_y = 16, k_page_w = 113, k_page_h = 90;

Image make_tile(const std::vector<double>& coverage, const TileLook& look) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, k_tile_width, k_tile_height);
    cairo_t* cr = cairo_create(surface);
    auto source = [&](const Rgb& c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); };
    auto rounded = [&](double inset, double radius) {
        const double x = inset, y = inset, w = k_tile_width - 2 * inset, h = k_tile_height - 2 * inset;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
        cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
        cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
        cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
        cairo_close_path(cr);
    };
    source(look.frame_edge);
    cairo_paint(cr);
    source(look.frame);
    cairo_rectangle(cr, 1, 1, k_tile_width - 2, k_tile_height - 2);
    cairo_fill(cr);
    source(look.glow);
    rounded(look.band - 2, 9);
    cairo_fill(cr);
    source(look.card);
    rounded(look.band, 8);
    cairo_fill(cr);
    source(look.page_edge);
    cairo_rectangle(cr, k_page_x - 1, k_page_y - 1, k_page_w + 2, k_page_h + 2);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    Image tile{k_tile_width, k_tile_height, {}};
    tile.argb.resize(std::size_t(k_tile_width) * k_tile_height);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < k_tile_height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < k_tile_width; ++x)
            tile.argb[std::size_t(y) * k_tile_width + std::size_t(x)] = row[x];
    }
    cairo_surface_destroy(surface);

    auto channel = [](double v) { return std::uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    for (int y = 0; y < k_page_h; ++y) {
        for (int x = 0; x < k_page_w; ++x) {
            // A 4-pixel outline shrinks to well under a pixel: darken it so it still reads as a line.
            const double t = std::min(1.0, 2.2 * coverage[std::size_t(y) * k_page_w + std::size_t(x)]);
            const Rgb c{look.paper.r + (look.ink.r - look.paper.r) * t,
                        look.paper.g + (look.ink.g - look.paper.g) * t,
                        look.paper.b + (look.ink.b - look.paper.b) * t};
            tile.argb[std::size_t(y + k_page_y) * k_tile_width + std::size_t(x + k_page_x)] =
                0xFF000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
        }
    }
    return tile;
}

std::string two_digits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

}  // namespace

void write_outline_pictures(const OutputDirs& out) {
    const bool report = std::getenv("ZUVELA_ARTGEN_REPORT") != nullptr;
    write_gif_black_white(
        out.picture / "00.GIF",
        Image{k_width, k_height, std::vector<std::uint32_t>(std::size_t(k_width) * k_height, 0xFFFFFFFFu)});
    for (int k = 1; k <= int(outline::k_subjects.size()); ++k) {
        const outline::Subject& subject = outline::k_subjects[std::size_t(k - 1)];
        Bitmap picture = render(subject);
        const AreaSummary areas = close_specks(picture);
        if (report) {
            std::fprintf(stderr, "%02d %-16s large areas %3d, specks closed %3d, smallest area %d\n", k,
                         subject.name, areas.large, areas.closed, areas.smallest);
        }
        write_gif_black_white(out.picture / (two_digits(k) + ".GIF"), to_image(picture));

        const std::vector<double> coverage = shrink(picture, k_page_w, k_page_h);
        const std::string nn = two_digits(18 * ((k - 1) / 5) + 2 * ((k - 1) % 5) + 1);
        write_jpeg(out.picture / ("GALERIJA1BELE_" + nn + ".JPG"), make_tile(coverage, k_resting), 92);
        write_jpeg(out.picture / ("GALERIJA1ZUTE_" + nn + ".JPG"), make_tile(coverage, k_lit), 92);
    }
}

}  // namespace artgen
