// The picture cache against a fresh decode, and composing one full frame of the main screen.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "platform/sdl/sdl_pictures.h"
#include "recording_reporter.h"
#include "scene/scene.h"

namespace zuvela {
namespace {

const std::string k_picture = std::string(ZUVELA_ASSET_DIR) + "/PICTURE/GLAVNA-2.JPG";

void cached_load(benchmark::State& state) {
    SdlPictureFiles files;
    const PictureRef shown = files.load_picture(k_picture);  // a picture nobody holds is let go
    for (auto _ : state) benchmark::DoNotOptimize(files.load_picture(k_picture));
}

void fresh_decode(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SdlPictureFiles::decode_file(k_picture));
}

void compose_main_screen(benchmark::State& state) {
    SdlPictureFiles files;
    Scene scene;
    const std::string dir = std::string(ZUVELA_ASSET_DIR) + "/PICTURE/";
    scene.set_background(files.load_picture(dir + "GLAVNA-2.JPG"));
    for (const ControlSpec& c : k_controls) {
        if (!c.first_picture.empty() && c.visible)
            scene.set_picture(c.id, files.load_picture(dir + std::string(c.first_picture)));
    }
    Raster frame(k_scene_width, k_scene_height);
    for (auto _ : state) {
        scene.compose(frame, frame.bounds());
        benchmark::DoNotOptimize(frame.pixels.data());
    }
}

}  // namespace
}  // namespace zuvela

int main(int argc, char** argv) {
    using namespace zuvela;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    for (auto* b : {benchmark::RegisterBenchmark("cached_load", cached_load),
                    benchmark::RegisterBenchmark("fresh_decode", fresh_decode),
                    benchmark::RegisterBenchmark("compose_main_screen", compose_main_screen)}) {
        b->Repetitions(3)->ReportAggregatesOnly(false);
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto cached = reporter.seconds("cached_load");
    const auto fresh = reporter.seconds("fresh_decode");
    const auto compose = reporter.seconds("compose_main_screen");
    if (!cached || !fresh || !compose) return 1;
    std::printf(
        "\nunchanged picture load: cached = %.2f us, fresh decode = %.2f ms, decode / cached = %.0fx "
        "(target >= 1000x)\n",
        *cached * 1e6, *fresh * 1e3, *fresh / *cached);
    std::printf("compose one full frame of the main screen: %.3f ms\n", *compose * 1e3);
    return 0;
}
