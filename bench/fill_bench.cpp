// Our span fill against a queue-based breadth-first fill and the memory floor, on three canvases.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <queue>
#include <string>
#include <vector>

#include <unistd.h>

#include "coloring/flood_fill.h"
#include "coloring/pencil.h"
#include "platform/raster.h"
#include "recording_reporter.h"

#ifndef ZUVELA_ASSET_DIR
#define ZUVELA_ASSET_DIR "assets"
#endif

namespace zuvela {
namespace {

constexpr int k_width = 750;
constexpr int k_height = 600;
constexpr Color k_white = rgb(255, 255, 255);
constexpr Color k_black = rgb(0, 0, 0);
constexpr Color k_yellow = rgb(255, 255, 0);

void breadth_first_fill(Raster& image, Point start, Color color) {
    const Color target = image.at(start.x, start.y);
    if (target == color) return;
    std::queue<Point> queue;
    image.at(start.x, start.y) = color;
    queue.push(start);
    while (!queue.empty()) {
        const Point p = queue.front();
        queue.pop();
        for (const Point n :
             {Point{p.x - 1, p.y}, Point{p.x + 1, p.y}, Point{p.x, p.y - 1}, Point{p.x, p.y + 1}}) {
            if (!image.contains(n.x, n.y) || image.at(n.x, n.y) != target) continue;
            image.at(n.x, n.y) = color;
            queue.push(n);
        }
    }
}

std::optional<Raster> load_gif(const std::string& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return std::nullopt;
    std::optional<Raster> result;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
        const SavedImage& frame = gif->SavedImages[0];
        const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
        if (map) {
            Raster image(gif->SWidth, gif->SHeight, k_white);
            const GifImageDesc& d = frame.ImageDesc;
            for (int y = 0; y < d.Height; ++y)
                for (int x = 0; x < d.Width; ++x) {
                    const int index = frame.RasterBits[y * d.Width + x];
                    if (index >= map->ColorCount || !image.contains(d.Left + x, d.Top + y)) continue;
                    const GifColorType c = map->Colors[index];
                    image.at(d.Left + x, d.Top + y) = rgb(c.Red, c.Green, c.Blue);
                }
            result = std::move(image);
        }
    }
    DGifCloseFile(gif, &error);
    return result;
}

// Stands in for a picture while the artwork is missing: rings, strokes and a wavy band, all with 3 px
// outlines, around one large background area.
Raster synthetic_outline_picture() {
    Raster image(k_width, k_height, k_white);
    const auto ring = [&](double cx, double cy, double r) {
        constexpr int k_segments = 90;
        Point previous{int(cx + r), int(cy)};
        for (int i = 1; i <= k_segments; ++i) {
            const double a = 2 * std::numbers::pi * i / k_segments;
            const Point p{int(std::lround(cx + r * std::cos(a))), int(std::lround(cy + r * std::sin(a)))};
            draw_pencil_segment(image, previous, p, k_black);
            previous = p;
        }
    };
    ring(375, 300, 220);
    ring(375, 300, 140);
    ring(300, 260, 40);
    ring(450, 260, 40);
    ring(120, 110, 70);
    ring(640, 480, 80);
    ring(630, 100, 55);
    ring(110, 500, 60);
    for (int i = 0; i < 12; ++i) draw_pencil_segment(image, {20 + 60 * i, 590}, {60 * i + 50, 540}, k_black);
    draw_pencil_segment(image, {300, 360}, {450, 360}, k_black);
    Point previous{0, 30};
    for (int x = 10; x < k_width; x += 10) {
        const Point p{x, 30 + int(std::lround(12 * std::sin(x / 40.0)))};
        draw_pencil_segment(image, previous, p, k_black);
        previous = p;
    }
    return image;
}

// One-pixel white teeth between black ones, joined along the bottom row: every span is a single pixel.
Raster comb() {
    Raster image(k_width, k_height, k_white);
    for (int y = 0; y < k_height - 1; ++y)
        for (int x = 1; x < k_width; x += 2) image.at(x, y) = k_black;
    return image;
}

struct Scene {
    std::string name;
    Raster image;
    Point start;
    std::size_t region_pixels = 0;
};

Point first_white_pixel(const Raster& image) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if ((image.at(x, y) & k_color_mask) == k_white) return {x, y};
    return {0, 0};
}

Scene make_scene(std::string name, Raster image, Point start) {
    Scene scene{std::move(name), std::move(image), start};
    Raster probe = scene.image;
    FloodFill fill;
    fill.fill(probe, start, k_yellow);
    scene.region_pixels = std::size_t(std::count(probe.pixels.begin(), probe.pixels.end(), k_yellow));
    return scene;
}

// Times only the fill: each iteration starts from a fresh copy of the scene, made outside the clock.
void run_timed(benchmark::State& state, const Scene& scene, const std::function<void(Raster&)>& fill) {
    Raster work = scene.image;
    for (auto _ : state) {
        std::copy(scene.image.pixels.begin(), scene.image.pixels.end(), work.pixels.begin());
        benchmark::ClobberMemory();
        const auto started = std::chrono::steady_clock::now();
        fill(work);
        benchmark::ClobberMemory();
        const auto ended = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(ended - started).count());
    }
    benchmark::DoNotOptimize(work.pixels.data());
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(scene.region_pixels));
}

double smallest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

void configure(benchmark::internal::Benchmark* b) {
    b->UseManualTime()
        ->Unit(benchmark::kMicrosecond)
        ->MinTime(0.2)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", smallest);
}

void register_scene(const Scene& scene) {
    static FloodFill span_fill;
    configure(benchmark::RegisterBenchmark((scene.name + "/ours").c_str(), [&scene](benchmark::State& state) {
        run_timed(state, scene, [&](Raster& r) { span_fill.fill(r, scene.start, k_yellow); });
    }));
    configure(benchmark::RegisterBenchmark((scene.name + "/bfs").c_str(), [&scene](benchmark::State& state) {
        run_timed(state, scene, [&](Raster& r) { breadth_first_fill(r, scene.start, k_yellow); });
    }));
    configure(
        benchmark::RegisterBenchmark((scene.name + "/floor").c_str(), [&scene](benchmark::State& state) {
            run_timed(state, scene, [&](Raster& r) {
                std::fill(r.pixels.begin(), r.pixels.begin() + std::ptrdiff_t(scene.region_pixels), k_yellow);
            });
        }));
}

// Keeps each benchmark's time per iteration, in seconds, for the summary: the best repetition when there
// are several, since on a shared machine the others mostly measure the neighbours.

void print_ratios(const RecordingReporter& report, const Scene& scene, bool floor_target, bool time_target) {
    const auto ours = report.seconds(scene.name + "/ours");
    const auto bfs = report.seconds(scene.name + "/bfs");
    const auto floor = report.seconds(scene.name + "/floor");
    if (!ours) return;
    std::string line = scene.name + " (" + std::to_string(scene.region_pixels) + " px):";
    char buffer[160];
    if (floor) {
        std::snprintf(buffer, sizeof buffer, " ours / floor = %.2fx%s;", *ours / *floor,
                      floor_target ? " (target <= 2x)" : "");
        line += buffer;
    }
    if (bfs) {
        std::snprintf(buffer, sizeof buffer, " bfs / ours = %.1fx%s;", *bfs / *ours,
                      time_target ? "" : " (target >= 10x)");
        line += buffer;
    }
    std::snprintf(buffer, sizeof buffer, " ours = %.3f ms%s", *ours * 1e3,
                  time_target ? " (target < 3 ms)" : "");
    line += buffer;
    std::printf("%s\n", line.c_str());
}

}  // namespace
}  // namespace zuvela

int main(int argc, char** argv) {
    using namespace zuvela;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    const std::string picture_path = std::string(ZUVELA_ASSET_DIR) + "/PICTURE/01.GIF";
    std::optional<Raster> picture = load_gif(picture_path);
    const bool real_picture = picture.has_value();
    if (!real_picture) picture = synthetic_outline_picture();
    const Point picture_start = first_white_pixel(*picture);

    const Scene white = make_scene("white canvas", Raster(k_width, k_height, k_white), {375, 300});
    const Scene outline = make_scene(real_picture ? "picture 01 background" : "synthetic picture background",
                                     std::move(*picture), picture_start);
    const Scene teeth = make_scene("comb", comb(), {0, 0});
    std::printf("outline picture: %s\n",
                real_picture ? picture_path.c_str() : "not found, synthetic stand-in");
    register_scene(white);
    register_scene(outline);
    register_scene(teeth);

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    print_ratios(reporter, white, true, false);
    print_ratios(reporter, outline, false, false);
    print_ratios(reporter, teeth, false, true);
    return 0;
}
