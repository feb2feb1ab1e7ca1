// A long run of random input against the whole program on the fake platform. After every event the screens,
// the panels and the palette must be in a state the program can be in, and nothing may escape a handler.
// ZUVELA_SOAK_SEED and ZUVELA_SOAK_EVENTS choose the run; a failure names its seed and event.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "app/application.h"
#include "coloring/palette.h"
#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "screens/screens.h"
#include "support/installed_assets.h"
#include "support/sanitizers.h"

namespace zuvela {
namespace {

std::uint64_t from_environment(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return std::strtoull(text, nullptr, 10);
}

long resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// One start of the program, past its start-up.
struct Session {
    Session() {
        install_all_assets(fake);
        try {
            app.run();
        } catch (const ScriptFinished&) {
            started = true;
        }
    }
    // The fakes remember every call; a long run keeps only what the checks need.
    void forget_history() {
        fake.log.clear();
        fake.files.loads.clear();
        fake.sounds.played.clear();
        fake.sounds.spoken.clear();
        fake.printer.printed.clear();
        fake.browser.opened.clear();
    }

    FakePlatform fake;
    std::ostringstream diagnostics;
    Application app{fake.platform, AppConfig{}, diagnostics};
    bool started = false;
};

struct PanelMemory {
    // Both panels were open at once since the last time none was: closing one of them thawed the screen
    // under the other.
    bool both_seen = false;
};

std::string check_palette(ProgramState& state) {
    int selected = 0;
    for (int slot = 1; slot <= k_palette_slots; ++slot) {
        if (state.palette_selected[std::size_t(slot - 1)] == 0) continue;
        if (state.palette_selected[std::size_t(slot - 1)] != 1) return "a palette flag holds neither 0 nor 1";
        ++selected;
        if (Color(state.current_color) != palette_colors[std::size_t(slot - 1)].color)
            return "the selected swatch " + std::to_string(slot) + " is not the current colour";
    }
    return selected > 1 ? "more than one swatch selected" : "";
}

std::string check_screens(FormaMain& window, PanelMemory& memory) {
    const Scene& scene = window.scene();
    const auto shown = [&](ControlId id) { return scene.control(id).visible; };
    const auto enabled = [&](ControlId id) { return scene.control(id).enabled; };

    const bool exit_open = shown(ControlId::Izlaz), info_open = shown(ControlId::Registered);
    if (shown(ControlId::Da) != exit_open || shown(ControlId::Ne) != exit_open)
        return "exit panel partly shown";
    if (shown(ControlId::visit_site) != info_open || shown(ControlId::Firma) != info_open ||
        shown(ControlId::Zatvori) != info_open)
        return "info panel partly shown";
    if (shown(ControlId::PrintPict)) return "the printing notice stayed on screen";
    const bool panel_open = exit_open || info_open;
    if (!panel_open) memory.both_seen = false;
    if (exit_open && info_open) memory.both_seen = true;

    const int mode = window.state().screen_mode;
    if (mode != 0 && mode != 1) return "screen_mode is " + std::to_string(mode);
    const bool gallery = mode == 1;
    bool frozen = false;
    if (!gallery) {
        frozen = !enabled(ControlId::Slika);
        for (ControlId id : k_main_screen_set) {
            if (id == ControlId::Papir) {
                if (shown(id) == frozen) return frozen ? "Papir shown on a frozen screen" : "Papir hidden";
                continue;
            }
            if (!shown(id)) return "main screen control " + std::to_string(index_of(id)) + " hidden";
            if (enabled(id) == frozen) return "main screen partly frozen";
        }
        if (shown(ControlId::Back)) return "Back on the main screen";
        for (int k = 1; k <= k_gallery_tiles; ++k)
            if (shown(gallery_tile(k))) return "tile " + std::to_string(k) + " on the main screen";
    } else {
        for (ControlId id : k_main_screen_set)
            if (shown(id)) return "main screen control " + std::to_string(index_of(id)) + " in the gallery";
        if (!shown(ControlId::Back)) return "gallery without Back";
        frozen = !enabled(ControlId::Back);
        for (int k = 1; k <= k_gallery_tiles; ++k) {
            if (!shown(gallery_tile(k))) return "tile " + std::to_string(k) + " missing from the gallery";
            if (enabled(gallery_tile(k)) == frozen) return "gallery partly frozen (Back and tiles differ)";
        }
    }
    if (frozen && !panel_open) return "screen frozen with no panel open";
    if (!frozen && panel_open && !memory.both_seen) return "panel open over a live screen";
    return "";
}

class EventMaker {
  public:
    explicit EventMaker(std::uint64_t seed) : m_random(seed) {}
    // A new program starts with every button up.
    void restart() { m_held = 0; }

    struct Step {
        std::vector<InputEvent> events;
        double wait = 0.001;
        std::optional<int> palette_slot;  // a click aimed at an enabled swatch
        std::string what;
    };

    Step next(FormaMain& window) {
        Step step;
        const int roll = below(1000);
        if (roll < 300) {
            const Point p = anywhere();
            step.events.push_back(MouseEvent{MouseAction::Move, 0, m_held, 0, double(p.x), double(p.y)});
            step.what = "move to " + at(p) + " holding " + std::to_string(m_held);
        } else if (roll < 380) {
            // A button already held cannot go down again.
            const Point p = anywhere();
            const int button =
                std::array{k_left_button, k_left_button, k_right_button, k_middle_button}[below(4)];
            if (m_held & button) return release_all(p, step);
            m_held |= button;
            step.events.push_back(
                MouseEvent{MouseAction::Down, button, m_held, below(8), double(p.x), double(p.y)});
            step.what = "press of button " + std::to_string(button) + " at " + at(p);
        } else if (roll < 460) {
            return release_all(anywhere(), step);
        } else if (roll < 780) {
            click_on_control(window, step);
        } else if (roll < 880) {
            key(step);
        } else if (roll < 960) {
            step.wait = 0.05 + 1.2 * uniform();  // long enough for the music's timer to tick
            step.what = "timer";
        } else {
            step.wait = 0.05 * uniform();
            step.what = "wait";
        }
        return step;
    }

  private:
    int below(int n) { return int(m_random() % std::uint64_t(n)); }
    double uniform() { return double(m_random() % 1000000) / 1e6; }
    static std::string at(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
    Point anywhere() { return {below(k_scene_width), below(k_scene_height)}; }

    Step& release_all(Point p, Step& step) {
        for (const int button : {k_left_button, k_right_button, k_middle_button}) {
            if (!(m_held & button)) continue;
            m_held &= ~button;
            step.events.push_back(MouseEvent{MouseAction::Up, button, m_held, 0, double(p.x), double(p.y)});
        }
        step.what += "release at " + at(p) + "; ";
        return step;
    }

    void click_on_control(FormaMain& window, Step& step) {
        // A quarter of the clicks go to the buttons that leave a panel or a screen, so that every state
        // gets its share of the run.
        static constexpr std::array k_way_out{ControlId::Ne, ControlId::Zatvori, ControlId::MoreImages,
                                              ControlId::Back};
        ControlId id = below(4) == 0 ? k_way_out[std::size_t(below(4))] : ControlId(below(k_control_count));
        // The wipes and the exit hold or end the run; they come rarely.
        const bool slow = id == ControlId::Papir || id == ControlId::Rubber || id == ControlId::Da;
        if (slow && below(25) != 0) id = ControlId::MuteWave;
        const Rect place = window.scene().control(id).place;
        const Point p{place.x + below(std::max(1, place.w)), place.y + below(std::max(1, place.h))};
        if (m_held) release_all(p, step);
        const auto hit = window.scene().control_at(p);
        if (hit && window.scene().control(*hit).enabled) {
            for (int slot = 1; slot <= k_palette_slots; ++slot)
                if (palette_colors[std::size_t(slot - 1)].swatch == *hit) step.palette_slot = slot;
        }
        step.events.push_back(
            MouseEvent{MouseAction::Down, k_left_button, k_left_button, 0, double(p.x), double(p.y)});
        step.events.push_back(MouseEvent{MouseAction::Up, k_left_button, 0, 0, double(p.x), double(p.y)});
        step.what += "click on control " + std::to_string(index_of(id)) + " at " + at(p);
    }

    void key(Step& step) {
        static constexpr int k_ctrl = k_ctrl_key;
        const int roll = below(100);
        KeyEvent key;
        if (roll < 3) {
            key = {'P', k_ctrl};
        } else if (roll < 13) {
            key = {'X', k_ctrl};
        } else if (roll < 23) {
            key = {'R', k_ctrl};
        } else {
            static constexpr std::array<int, 11> k_other_keys{'P', 'X', 'R', 'A', 'Q', ' ',
                                                              13,  27,  9,   37,  112};
            key = {k_other_keys[std::size_t(below(11))], below(8)};
            if (key.shift == k_ctrl && (key.code == 'P' || key.code == 'X' || key.code == 'R')) key.shift = 0;
        }
        step.events.push_back(key);
        step.what = "key " + std::to_string(key.code) + " shift " + std::to_string(key.shift);
    }

    std::mt19937_64 m_random;
    int m_held = 0;  // the mouse buttons down
};

TEST(Soak, RandomInputKeepsTheProgramInAKnownState) {
    const std::uint64_t seed = from_environment("ZUVELA_SOAK_SEED", 20240601);
    const std::uint64_t total = from_environment("ZUVELA_SOAK_EVENTS", 250000);
    EventMaker maker(seed);
    auto session = std::make_unique<Session>();
    ASSERT_TRUE(session->started);
    PanelMemory panels;
    long rss_early = 0;
    int starts = 1;
    std::uint64_t done = 0;
    std::string recent;
    int wipes = 0, prints = 0;
    std::uint64_t in_gallery = 0, with_panel = 0;

    for (std::uint64_t index = 0; index < total; ++index) {
        FormaMain& window = session->app.window();
        FakePlatform& fake = session->fake;
        const EventMaker::Step step = maker.next(window);
        const double now = fake.clock.now;
        for (const InputEvent& event : step.events) fake.display.post(event, now);
        bool ended = false;
        std::string failure;
        try {
            window.process_events_until(now + step.wait);
        } catch (const EndProgram& end) {
            ended = true;
            if (end.exit_status != 0) failure = "ended with status " + std::to_string(end.exit_status);
        } catch (const std::exception& e) {
            failure = std::string("escaped a handler: ") + e.what();
        } catch (...) {
            failure = "something escaped a handler";
        }
        if (failure.empty() && !ended) {
            ProgramState& state = window.state();
            failure = check_screens(window, panels);
            if (failure.empty()) failure = check_palette(state);
            if (failure.empty() && step.palette_slot) {
                const int slot = *step.palette_slot;
                if (Color(state.current_color) != palette_colors[std::size_t(slot - 1)].color ||
                    state.palette_selected[std::size_t(slot - 1)] != 1)
                    failure = "a click on swatch " + std::to_string(slot) + " did not choose it";
            }
        }
        if (!failure.empty()) {
            ADD_FAILURE() << "seed " << seed << ", event " << index << " (" << step.what << "): " << failure
                          << "\nevents before it, oldest first:" << recent;
            break;
        }
        ++done;
        recent = (recent.size() > 2000 ? recent.substr(recent.size() - 1000) : recent) + "\n  " + step.what;
        if (ended) {
            // Yes ends the program: the next child starts it afresh.
            session.reset();
            session = std::make_unique<Session>();
            ASSERT_TRUE(session->started);
            panels = {};
            maker.restart();
            ++starts;
        } else {
            const auto& loads = session->fake.files.loads;
            wipes += int(std::count(loads.begin(), loads.end(), "/opt/Zuvela/PICTURE/00.GIF"));
            prints += int(session->fake.printer.printed.size());
            in_gallery += window.state().screen_mode == 1;
            with_panel += window.scene().control(ControlId::Izlaz).visible ||
                          window.scene().control(ControlId::Registered).visible;
            session->forget_history();
        }
        if (done == 10000) rss_early = resident_kb();
    }
    // A run that seldom reached the gallery, a panel, the printer, a wipe or a restart proves little about
    // them. The shares are a tenth of what the seeded run reaches.
    if (total >= 100000) {
        EXPECT_GE(in_gallery, total / 100);
        EXPECT_GE(with_panel, total / 100);
        EXPECT_GE(std::uint64_t(prints), total / 5000);
        EXPECT_GE(std::uint64_t(wipes), total / 50000);
        EXPECT_GE(std::uint64_t(starts), total / 50000) << "Yes seldom ended the program";
    }
    const long rss_end = resident_kb();
    // AddressSanitizer keeps freed memory in quarantine: the resident size says nothing about leaks there.
    if (rss_early > 0 && !k_under_address_sanitizer) {
        EXPECT_LT(rss_end - rss_early, 16 * 1024)
            << "memory grew from " << rss_early << " kB to " << rss_end << " kB";
    }
    std::printf(
        "soak: seed %llu, %llu events run (%llu in the gallery, %llu with a panel open), %d starts, %d "
        "wipes, "
        "%d prints, resident %ld kB after 10000 events, %ld kB at the end\n",
        static_cast<unsigned long long>(seed), static_cast<unsigned long long>(done),
        static_cast<unsigned long long>(in_gallery), static_cast<unsigned long long>(with_panel), starts,
        wipes, prints, rss_early, rss_end);
}

}  // namespace
}  // namespace zuvela
