// What one mouse move costs the program, over the bare window, the palette, the canvas and the gallery tiles:
// the handlers reassign up to nineteen pictures per move, read through the stat-checked cache or decoded
// afresh. Also counts the frames the moves make the program compose.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "app/application.h"
#include "platform/fake/fake_platform.h"
#include "platform/sdl/sdl_pictures.h"
#include "recording_reporter.h"

namespace zuvela {
namespace {

// Decodes every picture from its file, as a program without the cache would.
class UncachedFiles final : public PictureFiles {
  public:
    PictureRef load_picture(const std::string& path) override { return SdlPictureFiles::decode_file(path); }
    PictureRef decode_picture(std::span<const std::byte> bytes) override {
        return m_inner.decode_picture(bytes);
    }
    void save_bitmap(const Raster& picture, const std::string& path) override {
        m_inner.save_bitmap(picture, path);
    }
    std::uint64_t file_length(const std::string& path) override { return m_inner.file_length(path); }
    std::string program_folder() override { return m_inner.program_folder(); }
    void change_directory(const std::string&) override {}

  private:
    SdlPictureFiles m_inner;
};

enum class Over { BareWindow, Palette, Canvas, Tiles };

struct Rig {
    explicit Rig(PictureFiles& files)
        : platform{files,        fake.display,  fake.sounds, fake.music, fake.printer,
                   fake.browser, fake.key_lock, fake.clock,  fake.random},
          app(platform, AppConfig{}, diagnostics) {
        ProgramState& s = app.window().state();
        s.app_dir = ZUVELA_ASSET_DIR;
        s.music_off = 1;
        s.set_sounds_on(1);
        s.screen_mode = 0;
    }
    void move(double x, double y) {
        app.window().router().dispatch(MouseEvent{MouseAction::Move, 0, 0, 0, x, y});
        if (app.window().scene().needs_redraw()) {
            app.window().scene().take_dirty();
            ++frames;
        }
    }
    FakePlatform fake;
    Platform platform;
    std::ostringstream diagnostics;
    Application app;
    long frames = 0;
};

// Two points over the area, visited in turn, so a rollover's target changes on every move where it can.
void moves(benchmark::State& state, bool cached, Over over) {
    SdlPictureFiles cached_files;
    UncachedFiles uncached_files;
    Rig rig(cached ? static_cast<PictureFiles&>(cached_files) : uncached_files);
    if (over == Over::Tiles) rig.app.gallery().MoreImages_Click();
    struct P {
        double x, y;
    };
    P a{}, b{};
    switch (over) {
        case Over::BareWindow:
            a = {800, 100}, b = {810, 120};
            break;
        case Over::Palette:
            a = {130, 700}, b = {215, 700};
            break;
        case Over::Canvas:
            a = {300, 300}, b = {301, 301};
            break;
        case Over::Tiles:
            a = {250, 240}, b = {390, 240};
            break;
    }
    long n = 0;
    for (auto _ : state) {
        const P p = (n++ % 2) ? b : a;
        rig.move(p.x, p.y);
    }
    state.counters["frames"] = double(rig.frames);
    state.counters["moves"] = double(n);
}

}  // namespace
}  // namespace zuvela

int main(int argc, char** argv) {
    using namespace zuvela;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const std::pair<const char*, Over> areas[] = {{"bare_window", Over::BareWindow},
                                                  {"palette", Over::Palette},
                                                  {"canvas", Over::Canvas},
                                                  {"tiles", Over::Tiles}};
    for (const auto& [name, over] : areas) {
        benchmark::RegisterBenchmark((std::string("cached/") + name).c_str(), moves, true, over)
            ->Iterations(10000);
        benchmark::RegisterBenchmark((std::string("uncached/") + name).c_str(), moves, false, over)
            ->Iterations(200);
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\none mouse move (10 000 through the cache, 200 decoding afresh):\n");
    for (const auto& [name, over] : areas) {
        const auto cached = reporter.seconds(std::string("cached/") + name);
        const auto uncached = reporter.seconds(std::string("uncached/") + name);
        if (!cached || !uncached) return 1;
        std::printf("  %-12s cached %7.2f us  uncached %8.1f us  uncached / cached = %5.0fx%s\n", name,
                    *cached * 1e6, *uncached * 1e6, *uncached / *cached,
                    over == Over::BareWindow ? "  (target: cached under 20 us)" : "");
    }
    std::printf(
        "frames composed: see the 'frames' counter of each run (a move that changes nothing composes "
        "none)\n");
    return 0;
}
