// A platform for tests: every call is recorded in one log, in order; files, events and time are scripted.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zuvela {

using CallLog = std::vector<std::string>;

class FakeClock final : public Clock {
  public:
    double monotonic_seconds() override { return now; }
    void sleep_for(double seconds) override {
        if (seconds > 0) now += seconds;
        ++sleeps;
    }
    int sleeps = 0;
    double now = 100.0;
};

class FakePictureFiles final : public PictureFiles {
  public:
    explicit FakePictureFiles(CallLog& log) : m_log(log) {}

    PictureRef load_picture(const std::string& path) override;
    PictureRef decode_picture(std::span<const std::byte> bytes) override;
    void save_bitmap(const Raster& picture, const std::string& path) override;
    std::uint64_t file_length(const std::string& path) override;
    std::string program_folder() override { return folder; }
    void change_directory(const std::string& path) override;

    // The path a loaded picture came from ("" for anything else).
    std::string path_of(const PictureRef& picture) const;
    std::vector<std::string> loads_since(std::size_t mark) const;

    std::string folder = "/opt/Zuvela";
    std::set<std::string> failing;                 // paths whose load, length or save fails
    std::map<std::string, std::uint64_t> lengths;  // file_length of paths; others are missing
    std::map<std::string, Raster> contents;        // what a path decodes to (default: 2 × 2 white)
    std::vector<std::string> loads;
    std::map<std::string, Raster> saved;

  private:
    CallLog& m_log;
    std::map<const Raster*, std::string> m_origin;
    std::vector<PictureRef> m_keep;
    std::map<std::string, PictureRef> m_kept;
};

class FakeDisplay final : public Display {
  public:
    FakeDisplay(CallLog& log, FakeClock& clock) : m_log(log), m_clock(clock) {}

    void show_splash(const Raster&, int width, int height) override;
    void hide_splash() override { m_log.push_back("hide_splash"); }
    void show_main(const std::string& caption, const Raster&) override;
    void minimise_main() override { m_log.push_back("minimise_main"); }
    void restore_main() override { m_log.push_back("restore_main"); }
    void enter_fullscreen() override;
    void leave_fullscreen() override;
    void present(const Raster& scene, const Rect& dirty) override;
    PointerId make_pointer(const Raster&, Point hot_spot) override;
    PointerId system_pointer(SystemPointer which) override;
    void set_pointer(PointerId pointer) override { pointer_shown = pointer; }
    std::optional<InputEvent> wait_event(double timeout_seconds) override;
    int end_requested() override;

    // Queues an event that arrives once the clock reaches `at` (at once when `at` has passed).
    void post(InputEvent event, double at = 0);
    void post_click(int x, int y, double at = 0);
    void post_move(int x, int y, int buttons = 0, double at = 0);

    bool fail_splash = false;
    bool fail_main = false;
    bool fail_fullscreen = false;
    bool fail_leave_fullscreen = false;
    bool cursors_supported = true;
    int presents = 0;
    Rect last_dirty;
    const Raster* last_frame = nullptr;
    // The colour at `probe` in every frame presented, and when it was presented.
    Point probe{0, 0};
    std::vector<std::pair<double, Color>> probed;
    PointerId pointer_shown = 0;
    std::map<PointerId, Point> pointer_hot_spots;
    std::string caption;

  private:
    struct Pending {
        double at;
        InputEvent event;
    };
    CallLog& m_log;
    FakeClock& m_clock;
    std::deque<Pending> m_events;
    PointerId m_next_pointer = 1;
};

// Raised by wait_event when a test's script has run out and the program would wait for ever.
struct ScriptFinished {};

class FakeSoundEffects final : public SoundEffects {
  public:
    explicit FakeSoundEffects(CallLog& log) : m_log(log) {}
    void play(const std::string& path) override {
        played.push_back(path);
        m_log.push_back("play " + path);
    }
    void speak(const std::string& path) override {
        spoken.push_back(path);
        m_log.push_back("speak " + path);
    }
    std::vector<std::string> played;
    std::vector<std::string> spoken;

  private:
    CallLog& m_log;
};

class FakeMusic final : public Music {
  public:
    explicit FakeMusic(CallLog& log) : m_log(log) {}
    void create_performance() override;
    void set_master_volume(std::int32_t level) override;
    int load_segment(const std::string& path) override;
    int play_segment(int segment) override;
    bool is_playing(int segment, int playback) override;
    void stop(int segment, int playback) override;
    void close_down() override;

    bool fail_create = false;
    bool fail_close_down = false;
    std::set<std::string> missing;  // MIDI files that cannot be read
    bool playing = false;           // what is_playing answers
    int playbacks = 0;

  private:
    CallLog& m_log;
};

class FakePrinter final : public Printer {
  public:
    explicit FakePrinter(CallLog& log) : m_log(log) {}
    void print_landscape(const Raster& picture) override {
        m_log.push_back("print");
        printed.push_back(picture);
    }
    std::vector<Raster> printed;

  private:
    CallLog& m_log;
};

class FakeBrowser final : public Browser {
  public:
    explicit FakeBrowser(CallLog& log) : m_log(log) {}
    void open(const std::string& url) override {
        opened.push_back(url);
        m_log.push_back("open " + url);
    }
    bool open_and_check(const std::string& url) override {
        open(url);
        return !none_installed;
    }
    std::vector<std::string> opened;
    bool none_installed = false;

  private:
    CallLog& m_log;
};

class FakeKeyLock final : public KeyLock {
  public:
    explicit FakeKeyLock(CallLog& log) : m_log(log) {}
    int install(std::function<bool(const LockedKey&)> swallow) override;
    void release(int handle) override;
    bool fail_install = false;
    bool installed = false;
    std::function<bool(const LockedKey&)> callback;

  private:
    CallLog& m_log;
};

// Hands out scripted values, then repeats the last one.
class FakeRandom final : public RandomSource {
  public:
    float next_uniform() override;
    void reseed_from_clock() override { ++reseeds; }
    std::vector<float> values{0.5f};
    std::size_t next = 0;
    int reseeds = 0;
};

struct FakePlatform {
    CallLog log;
    FakeClock clock;
    FakePictureFiles files{log};
    FakeDisplay display{log, clock};
    FakeSoundEffects sounds{log};
    FakeMusic music{log};
    FakePrinter printer{log};
    FakeBrowser browser{log};
    FakeKeyLock key_lock{log};
    FakeRandom random;
    Platform platform{files, display, sounds, music, printer, browser, key_lock, clock, random};

    bool logged(const std::string& entry) const;
    // Position of the first entry starting with `prefix`, or -1.
    int position_of(const std::string& prefix) const;
};

}  // namespace zuvela
