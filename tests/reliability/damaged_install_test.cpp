// Every asset file, damaged five ways, one at a time: the program starts on the fake platform with the real
// picture decoder over a copy of the installation, and the events that read the file are run. Each case runs
// in a child process with its address space limited and a deadline, so a crash, a hang or a runaway
// allocation shows as that case's failure instead of taking the suite down.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "coloring/palette.h"
#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_music.h"
#include "platform/sdl/sdl_music_smf.h"
#include "platform/sdl/sdl_pictures.h"
#include "platform/sdl/sdl_sound_effects.h"
#include "reliability/damaged_files.h"
#include "screens/gallery_layout.h"
#include "shell/asset_lengths.h"
#include "shell/language.h"
#include "shell/language_pictures.h"
#include "support/child_process.h"
#include "support/sanitizers.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

constexpr long k_memory_limit_kb = 300 * 1024;
constexpr rlim_t k_address_space_limit = rlim_t(1) << 30;
constexpr unsigned k_case_deadline_seconds = 60;

// The real decoder, over an installation in a folder of the test's choosing.
class InstalledPictures final : public PictureFiles {
  public:
    explicit InstalledPictures(std::string folder) : m_folder(std::move(folder)) {}
    PictureRef load_picture(const std::string& path) override { return m_sdl.load_picture(path); }
    PictureRef decode_picture(std::span<const std::byte> bytes) override {
        return m_sdl.decode_picture(bytes);
    }
    void save_bitmap(const Raster& picture, const std::string& path) override {
        m_sdl.save_bitmap(picture, path);
    }
    std::uint64_t file_length(const std::string& path) override { return m_sdl.file_length(path); }
    std::string program_folder() override { return m_folder; }
    void change_directory(const std::string&) override {}

  private:
    std::string m_folder;
    SdlPictureFiles m_sdl;
};

// What a child reports about its case.
struct CaseReport {
    int started = 0;       // the start-up check passed
    int exit_status = -1;  // when the program ended
    int display_switched = 0;
    int music_readable = -1;  // the real music back end read the MIDI file (-1: not tried)
    long peak_kb = 0;
    char failure[400] = {};
};

long peak_resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// The events that read every file: rollovers of every button, swatch and tile, every click that loads a
// picture, both panels with their rollovers, the sound and music switches, a print.
class Script {
  public:
    Script(FakeDisplay& display, double start) : m_display(display), m_at(start) {}

    void move(Point p, int buttons = 0) { m_display.post_move(p.x, p.y, buttons, next()); }
    void move_over(ControlId id) { move(centre(spec_of(id).place)); }
    void click(Point p) { m_display.post_click(p.x, p.y, next()); }
    void click(ControlId id) { click(centre(spec_of(id).place)); }
    void press(Point p) {
        m_display.post(
            MouseEvent{MouseAction::Down, k_left_button, k_left_button, 0, double(p.x), double(p.y)}, next());
    }
    void release(Point p) {
        m_display.post(MouseEvent{MouseAction::Up, k_left_button, 0, 0, double(p.x), double(p.y)}, next());
    }
    void ctrl(char key) { m_display.post(KeyEvent{key, k_ctrl_key}, next()); }
    void wait(double seconds) { m_at += seconds; }
    static Point centre(const Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }
    static Point tile_centre(int k) {
        const Point p = tile_position(k);
        return {p.x + 60, p.y + 60};
    }

    void everything() {
        const Point canvas = centre(spec_of(ControlId::Slika).place);
        for (const ControlId id : {ControlId::MoreImages, ControlId::Rubber, ControlId::Papir,
                                   ControlId::MuteWave, ControlId::MusicOn}) {
            move_over(id);
            move(canvas);
        }
        for (int slot = 1; slot <= k_palette_slots; ++slot)
            move_over(palette_colors[std::size_t(slot - 1)].swatch);
        for (int slot = 1; slot <= k_palette_slots; ++slot)
            click(palette_colors[std::size_t(slot - 1)].swatch);
        move(canvas);

        click(ControlId::olovka);
        press(canvas);
        move({canvas.x + 40, canvas.y + 30}, k_left_button);
        release({canvas.x + 40, canvas.y + 30});
        click(ControlId::kapljica);
        press(canvas);
        release(canvas);
        click(ControlId::Papir);
        wait(3);
        click(ControlId::Rubber);
        wait(3);

        click(ControlId::MuteWave);
        move(canvas);
        move_over(ControlId::MuteWave);
        click(ControlId::MuteWave);
        click(ControlId::MusicOn);
        wait(1.2);  // the restart timer ticks
        move(canvas);
        move_over(ControlId::MusicOn);
        click(ControlId::MusicOn);

        for (int k = 1; k <= k_gallery_tiles; ++k) {
            click(ControlId::MoreImages);
            if (k == 1) {
                for (int j = 1; j <= k_gallery_tiles; ++j) move(tile_centre(j));
                move_over(ControlId::Back);
                click(ControlId::Back);
                click(ControlId::MoreImages);
            }
            move(tile_centre(k));
            click(tile_centre(k));
            click(ControlId::Back);  // in case the tile could not be chosen
            move(canvas);
        }

        ctrl('R');
        for (const ControlId id :
             {ControlId::visit_site, ControlId::Firma, ControlId::Zatvori, ControlId::Registered})
            move_over(id);
        click(ControlId::visit_site);
        click(ControlId::Zatvori);
        ctrl('X');
        for (const ControlId id : {ControlId::Da, ControlId::Ne, ControlId::Izlaz}) move_over(id);
        click(ControlId::Ne);
        ctrl('P');
        wait(4);
    }

  private:
    double next() { return m_at += 0.01; }
    FakeDisplay& m_display;
    double m_at;
};

void fail(CaseReport& report, const std::string& why) {
    if (report.failure[0]) return;
    std::snprintf(report.failure, sizeof report.failure, "%s", why.c_str());
}

// The damaged sound through the real back end, on SDL's dummy audio driver.
void play_through_real_sound(const std::string& path, CaseReport& report) {
    try {
        SdlAudio audio;
        SdlSoundEffects sounds(audio);
        sounds.play(path);
        sounds.speak(path);
        sounds.play(path);
    } catch (const std::exception& e) {
        fail(report, std::string("the sound back end threw: ") + e.what());
    }
}

bool read_through_real_music(const std::string& path, CaseReport& report) {
    const Bytes bytes = read_bytes(path);
    try {
        (void)with_release_tail(bytes, SdlMusic::k_release_seconds);
    } catch (const PlatformError&) {
    }
    bool readable = false;
    try {
        SdlAudio audio;
        SdlMusic music(audio);
        music.create_performance();
        try {
            const int segment = music.load_segment(path);
            readable = true;
            const int playback = music.play_segment(segment);
            (void)music.is_playing(segment, playback);
            music.stop(segment, playback);
        } catch (const PlatformError&) {
        }
        music.close_down();
    } catch (const std::exception& e) {
        fail(report, std::string("the music back end threw: ") + e.what());
    }
    return readable;
}

void run_case(const std::string& folder, const std::string& literal, CaseReport& report) {
    const std::string path = folder + literal;
    const bool is_music = literal.rfind("/MUSIC/", 0) == 0;
    const bool is_sound = literal.rfind("/SOUND/", 0) == 0;
    if (is_sound) play_through_real_sound(path, report);

    FakePlatform fake;
    InstalledPictures files(folder);
    Platform platform{files,        fake.display,  fake.sounds, fake.music, fake.printer,
                      fake.browser, fake.key_lock, fake.clock,  fake.random};
    if (is_music) {
        const bool readable = read_through_real_music(path, report);
        report.music_readable = readable;
        // The music is found through app_path, whose trailing separator doubles the one of the literal.
        if (!readable) fake.music.missing.insert(folder + "/" + literal);
    }
    std::ostringstream diagnostics;
    // A language's picture is read only under its language ("/PICTURE/DE/YES1.JPG").
    AppConfig config;
    if (literal.rfind("/PICTURE/", 0) == 0 && literal.find('/', 9) != std::string::npos)
        config.language_folder.assign(literal, 9, literal.find('/', 9) - 9);
    Application app(platform, config, diagnostics);
    Script script(fake.display, fake.clock.now + 7);
    script.everything();
    try {
        report.exit_status = app.run();
    } catch (const ScriptFinished&) {
        report.started = 1;
    } catch (const std::exception& e) {
        fail(report, std::string("escaped the program: ") + e.what());
    }
    report.display_switched = fake.logged("enter_fullscreen");
    if (!report.started) return;

    // The rest of the program still works: a colour is chosen and the bucket fills with it.
    FormaMain& window = app.window();
    ProgramState& state = window.state();
    if (state.screen_mode != 0) fail(report, "the run did not end on the main screen");
    // The switch-on stops at the unreadable piece: nothing is played, and the next click switches off.
    if (is_music && (fake.position_of("music_play ") >= 0) != bool(report.music_readable))
        fail(report,
             report.music_readable ? "a readable piece was not played" : "an unreadable piece was played");
    if (is_music && (state.music_playing != 0 || window.scene().timer_enabled()))
        fail(report, "the second click on the music button did not switch it off");
    const Raster& image = app.canvas().image();
    const Color green = palette_colors[1].color;
    Point target{-1, -1};
    for (int y = 5; y < image.height && target.x < 0; y += 7)
        for (int x = 5; x < image.width; x += 7)
            if (!is_outline_color(image.at(x, y)) && (image.at(x, y) & k_color_mask) != green) {
                target = {x, y};
                break;
            }
    if (target.x < 0) {
        fail(report, "no place left on the canvas to fill");
        return;
    }
    const double now = fake.clock.now;
    const Rect canvas = spec_of(ControlId::Slika).place;
    const Point swatch = Script::centre(spec_of(ControlId::PaletaZelena).place);
    const Point bucket = Script::centre(spec_of(ControlId::kapljica).place);
    fake.display.post_click(swatch.x, swatch.y, now);
    fake.display.post_click(bucket.x, bucket.y, now);
    fake.display.post_click(canvas.x + target.x, canvas.y + target.y, now);
    try {
        window.process_events_until(now + 1);
    } catch (...) {
        fail(report, "the final clicks did not run");
        return;
    }
    if (Color(state.current_color) != green) fail(report, "no colour could be chosen");
    if ((image.at(target.x, target.y) & k_color_mask) != green) fail(report, "the bucket did not fill");
}

class DamagedInstall : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/zuvela-damaged-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        s_root = pattern;
        const fs::path pristine = s_root / "pristine";
        fs::create_directories(pristine);
        for (const char* folder : {"PICTURE", "SOUND", "MUSIC"})
            fs::copy(fs::path(ZUVELA_ASSET_DIR) / folder, pristine / folder, fs::copy_options::recursive);
        for (const auto& entry : fs::recursive_directory_iterator(pristine)) {
            if (!entry.is_regular_file()) continue;
            s_assets.push_back("/" + fs::relative(entry.path(), pristine).generic_string());
        }
        std::sort(s_assets.begin(), s_assets.end());
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(s_root, ignored);
    }

    // A copy of the installation that shares every file but the damaged one.
    static std::string make_installation(const std::string& literal, Damage damage, int number) {
        const fs::path pristine = s_root / "pristine";
        const fs::path folder = s_root / ("case" + std::to_string(number));
        fs::remove_all(folder);
        for (const std::string& asset : s_assets) {
            fs::create_directories((folder / asset.substr(1)).parent_path());
            if (asset != literal) fs::create_hard_link(pristine / asset.substr(1), folder / asset.substr(1));
        }
        fs::create_directories(folder / "MY_PICTURE");
        if (damage != Damage::Missing)
            write_bytes(folder / literal.substr(1),
                        damaged(read_bytes(pristine / literal.substr(1)), damage, std::uint32_t(number)));
        return folder.string();
    }

    static fs::path s_root;
    static std::vector<std::string> s_assets;
};

fs::path DamagedInstall::s_root;
std::vector<std::string> DamagedInstall::s_assets;

bool checked_at_start(const std::string& literal) {
    return std::any_of(asset_lengths.begin(), asset_lengths.end(),
                       [&](const AssetLength& entry) { return literal == entry.literal; });
}

// One file per decoder and per fate (ended at the start-up check, or read while the program runs), each
// damaged every way; ZUVELA_DAMAGED_ALL=1 takes every file, ZUVELA_DAMAGED_ONLY=TEXT the files whose name
// contains it.
std::vector<std::string> files_to_damage(const std::vector<std::string>& assets) {
    const char* only = std::getenv("ZUVELA_DAMAGED_ONLY");
    const char* all = std::getenv("ZUVELA_DAMAGED_ALL");
    std::vector<std::string> chosen;
    std::vector<std::string> kinds_taken;
    for (const std::string& literal : assets) {
        if (only) {
            if (literal.find(only) != std::string::npos) chosen.push_back(literal);
            continue;
        }
        const std::string kind =
            literal.substr(literal.rfind('.')) + (checked_at_start(literal) ? " checked" : " read later");
        if ((all && *all && std::string(all) != "0") ||
            std::find(kinds_taken.begin(), kinds_taken.end(), kind) == kinds_taken.end()) {
            chosen.push_back(literal);
            kinds_taken.push_back(kind);
        }
    }
    return chosen;
}

TEST_F(DamagedInstall, EveryFileDamagedEveryWayEndsAtTheCheckOrLeavesTheRestWorking) {
    // The pictures, the colour sounds, the spoken names in English and every other language, the tune, the
    // pictures with words in every other language.
    ASSERT_EQ(s_assets.size(), 149u + 12u + 12u * (1u + shipped_languages.size()) + 1u +
                                   k_pictures_with_words.size() * shipped_languages.size());
    const std::vector<std::string> files = files_to_damage(s_assets);
    ASSERT_FALSE(files.empty());
    int cases = 0, ended_at_check = 0, kept_working = 0;
    long peak_kb = 0;
    std::string peak_case;
    for (const std::string& literal : files) {
        for (const Damage damage : k_damages) {
            SCOPED_TRACE(literal + ", " + name_of(damage));
            const std::string folder = make_installation(literal, damage, cases);
            const ChildEnd end = run_in_child(
                [&] {
                    // AddressSanitizer reserves terabytes of address space and cannot run under the cap; it
                    // reports an exhausting allocation by itself.
                    if (!k_under_address_sanitizer) {
                        const rlimit limit{k_address_space_limit, k_address_space_limit};
                        ::setrlimit(RLIMIT_AS, &limit);
                    }
                    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
                    CaseReport report;
                    run_case(folder, literal, report);
                    report.peak_kb = peak_resident_kb();
                    return std::string(reinterpret_cast<const char*>(&report), sizeof report);
                },
                k_case_deadline_seconds);
            fs::remove_all(folder);
            ++cases;

            if (!end.exited_cleanly()) {
                ADD_FAILURE() << end.describe();
                continue;
            }
            ASSERT_EQ(end.report.size(), sizeof(CaseReport)) << "the case reported nothing";
            CaseReport report;
            std::memcpy(&report, end.report.data(), sizeof report);
            EXPECT_STREQ(report.failure, "");
            EXPECT_LT(report.peak_kb, k_memory_limit_kb);
            if (report.peak_kb > peak_kb) {
                peak_kb = report.peak_kb;
                peak_case = literal + ", " + name_of(damage);
            }

            const bool length_differs =
                damage == Damage::Missing || damage == Damage::Empty || damage == Damage::Truncated;
            if (checked_at_start(literal) && length_differs) {
                ++ended_at_check;
                EXPECT_FALSE(report.started);
                EXPECT_EQ(report.exit_status, 3);
                EXPECT_FALSE(report.display_switched) << "the check comes before the display is switched";
            } else {
                ++kept_working;
                EXPECT_TRUE(report.started) << "ended with status " << report.exit_status;
                EXPECT_TRUE(report.display_switched);
            }
            if (literal == "/MUSIC/001.MID" && length_differs) {
                EXPECT_EQ(report.music_readable, 0);
            }
        }
    }
    // Both fates were run, whichever files were chosen.
    EXPECT_EQ(cases, int(files.size() * std::size(k_damages)));
    if (files.size() > 1) {
        EXPECT_GT(ended_at_check, 0);
        EXPECT_GT(kept_working, 0);
    }
    if (files.size() == s_assets.size()) {
        EXPECT_EQ(ended_at_check, 147 * 3);
    }
    std::printf(
        "damaged install: %zu files, %d cases run, %d ended at the start-up check, peak resident %ld kB "
        "(%s)\n",
        files.size(), cases, ended_at_check, peak_kb, peak_case.c_str());
}

}  // namespace
}  // namespace zuvela
