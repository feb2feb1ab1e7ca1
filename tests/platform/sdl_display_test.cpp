#include "platform/sdl/sdl_display.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/sdl/sdl_key_codes.h"
#include "support/child_process.h"

namespace zuvela {
namespace {

constexpr int k_w = 1024;
constexpr int k_h = 768;
const std::string k_caption = "Zuvela display test";

class SdlDisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        display = std::make_unique<SdlDisplay>();
    }
    void TearDown() override {
        display.reset();
        SDL_Quit();
    }

    // The display keeps its windows to itself; the test finds the main one by its caption.
    SDL_Window* main_window() const {
        for (Uint32 id = 1; id < 64; ++id) {
            SDL_Window* w = SDL_GetWindowFromID(id);
            if (w && SDL_GetWindowTitle(w) == k_caption) return w;
        }
        return nullptr;
    }

    void show_main() {
        display->show_main(k_caption, Raster(32, 32, 0xFF0000FF));
        window = main_window();
        ASSERT_NE(window, nullptr);
    }

    // Puts the window at an exact multiple of the scene so that positions map back without rounding.
    void size_window(int w, int h) {
        SDL_SetWindowSize(window, w, h);
        while (display->wait_event(0.01)) {
        }
    }

    void push_button(Uint32 type, Uint8 button, int x, int y, Uint32 window_id = 0) {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = window_id ? window_id : SDL_GetWindowID(window);
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void push_motion(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = SDL_GetWindowID(window);
        e.motion.x = x;
        e.motion.y = y;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    void push_key(SDL_Keycode key, Uint16 mod, bool down = true) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = SDL_GetWindowID(window);
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        e.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    MouseEvent next_mouse() {
        const auto event = display->wait_event(5.0);
        EXPECT_TRUE(event && std::holds_alternative<MouseEvent>(*event));
        return event && std::holds_alternative<MouseEvent>(*event) ? std::get<MouseEvent>(*event)
                                                                   : MouseEvent{};
    }
    KeyEvent next_key() {
        const auto event = display->wait_event(5.0);
        EXPECT_TRUE(event && std::holds_alternative<KeyEvent>(*event));
        return event && std::holds_alternative<KeyEvent>(*event) ? std::get<KeyEvent>(*event) : KeyEvent{};
    }

    std::unique_ptr<SdlDisplay> display;
    SDL_Window* window = nullptr;
};

TEST_F(SdlDisplayTest, ShowsTheSceneScaledToTheWindow) {
    Raster scene(k_w, k_h, rgb(255, 255, 255));
    display->present(scene, scene.bounds());  // before the window: nothing to show on, nothing happens
    // A GL back buffer is undefined once presented; the software renderer's stays readable.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    show_main();
    size_window(2 * k_w, 2 * k_h);

    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) scene.at(x, y) = rgb(200, 20, 40);
    scene.at(1023, 767) = rgb(0, 0, 255);
    display->present(scene, scene.bounds());

    SDL_Renderer* renderer = SDL_GetRenderer(window);
    ASSERT_NE(renderer, nullptr);
    auto pixel_at = [&](int x, int y) -> Color {
        Uint32 p = 0;
        const SDL_Rect r{x, y, 1, 1};
        EXPECT_EQ(SDL_RenderReadPixels(renderer, &r, SDL_PIXELFORMAT_ABGR8888, &p, 4), 0) << SDL_GetError();
        return p & k_color_mask;
    };
    EXPECT_EQ(pixel_at(100, 100), rgb(200, 20, 40)) << "red stays red";
    EXPECT_EQ(pixel_at(600, 300), rgb(255, 255, 255));
    EXPECT_EQ(pixel_at(2047, 1535), rgb(0, 0, 255));

    // Only the dirty rectangle is uploaded again, from its own place in the scene.
    for (Color& c : scene.pixels) c = rgb(0, 128, 0);
    display->present(scene, Rect{500, 300, 40, 20});
    EXPECT_EQ(pixel_at(2 * 510, 2 * 310), rgb(0, 128, 0));
    // Scaling blends neighbours, so the edges are sampled one scene pixel inside and outside.
    EXPECT_EQ(pixel_at(2 * 501, 2 * 301), rgb(0, 128, 0));
    EXPECT_EQ(pixel_at(2 * 538, 2 * 318), rgb(0, 128, 0));
    EXPECT_EQ(pixel_at(2 * 541, 2 * 310), rgb(255, 255, 255)) << "right of the dirty rectangle";
    EXPECT_EQ(pixel_at(2 * 510, 2 * 321), rgb(255, 255, 255)) << "below the dirty rectangle";
    EXPECT_EQ(pixel_at(2 * 498, 2 * 298), rgb(255, 255, 255)) << "above and left of it";
    EXPECT_EQ(pixel_at(100, 100), rgb(200, 20, 40));

    display->present(scene, Rect{1000, 700, 500, 500});  // reaching past the scene
    EXPECT_EQ(pixel_at(2047, 1535), rgb(0, 128, 0));
}

TEST_F(SdlDisplayTest, MouseEventsArriveInScenePixelsWithTheirButtons) {
    show_main();
    size_window(2 * k_w, 2 * k_h);

    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 10, 10);  // not a button the handlers know
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10,
                SDL_GetWindowID(window) + 100);  // another window
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1000, 600);
    MouseEvent m = next_mouse();
    EXPECT_EQ(m.action, MouseAction::Down);
    EXPECT_EQ(m.button, k_left_button);
    EXPECT_EQ(m.buttons, k_left_button);
    EXPECT_EQ(m.x, 500);
    EXPECT_EQ(m.y, 300);

    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 20, 40);
    m = next_mouse();
    EXPECT_EQ(m.button, k_right_button);
    EXPECT_EQ(m.buttons, k_left_button | k_right_button);
    EXPECT_EQ(m.x, 10);
    EXPECT_EQ(m.y, 20);

    push_motion(2 * 1023 + 1, 2 * 767 + 1);  // the last window pixel: half-way through the last scene pixel
    m = next_mouse();
    EXPECT_EQ(m.action, MouseAction::Move);
    EXPECT_EQ(m.button, 0);
    EXPECT_EQ(m.buttons, k_left_button | k_right_button);
    EXPECT_EQ(m.x, 1023.5);
    EXPECT_EQ(m.y, 767.5);

    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5000, 4000);
    m = next_mouse();
    EXPECT_EQ(m.action, MouseAction::Up);
    EXPECT_EQ(m.button, k_left_button);
    EXPECT_EQ(m.buttons, k_right_button);
    EXPECT_EQ(m.x, 1023) << "beyond the scene maps to its edge";
    EXPECT_EQ(m.y, 767);

    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, -30, -1);
    m = next_mouse();
    EXPECT_EQ(m.button, k_middle_button);
    EXPECT_EQ(m.buttons, k_right_button | k_middle_button);
    EXPECT_EQ(m.x, 0);
    EXPECT_EQ(m.y, 0);

    // A window wider than the scene's shape: the bars beside it map to the nearest edge.
    size_window(2 * k_w + 200, 2 * k_h);
    push_motion(50, 400);
    m = next_mouse();
    EXPECT_EQ(m.x, 0);
    EXPECT_EQ(m.y, 200);
    push_motion(100 + 2 * 300, 400);
    m = next_mouse();
    EXPECT_EQ(m.x, 300);
    push_motion(2 * k_w + 150, 400);
    m = next_mouse();
    EXPECT_EQ(m.x, 1023);
}

TEST_F(SdlDisplayTest, ATouchScreensTapsAndDragsArriveAsTheLeftButton) {
    // SDL turns a finger into mouse events from its touch device: a motion to the finger, then the left
    // button.
    show_main();
    size_window(2 * k_w, 2 * k_h);
    auto touch = [&](Uint32 type, int x, int y) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.windowID = SDL_GetWindowID(window);
            e.motion.which = SDL_TOUCH_MOUSEID;
            e.motion.x = x;
            e.motion.y = y;
        } else {
            e.button.windowID = SDL_GetWindowID(window);
            e.button.which = SDL_TOUCH_MOUSEID;
            e.button.button = SDL_BUTTON_LEFT;
            e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.button.x = x;
            e.button.y = y;
        }
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    };
    // A tap: the bucket fills where the finger lands.
    touch(SDL_MOUSEMOTION, 700, 900);
    touch(SDL_MOUSEBUTTONDOWN, 700, 900);
    touch(SDL_MOUSEBUTTONUP, 700, 900);
    EXPECT_EQ(next_mouse().action, MouseAction::Move);
    MouseEvent m = next_mouse();
    EXPECT_EQ(m.action, MouseAction::Down);
    EXPECT_EQ(m.button, k_left_button);
    EXPECT_EQ(m.x, 350);
    EXPECT_EQ(m.y, 450);
    EXPECT_EQ(next_mouse().action, MouseAction::Up);

    // A drag: the moves carry the left button, so the pencil draws.
    touch(SDL_MOUSEBUTTONDOWN, 100, 100);
    touch(SDL_MOUSEMOTION, 140, 100);
    touch(SDL_MOUSEBUTTONUP, 140, 100);
    EXPECT_EQ(next_mouse().buttons, k_left_button);
    m = next_mouse();
    EXPECT_EQ(m.action, MouseAction::Move);
    EXPECT_EQ(m.buttons, k_left_button);
    EXPECT_EQ(m.x, 70);
    m = next_mouse();
    EXPECT_EQ(m.action, MouseAction::Up);
    EXPECT_EQ(m.buttons, 0);
}

TEST_F(SdlDisplayTest, KeysCarryTheirCodeAndTheModifiersOfTheirOwnEvent) {
    show_main();

    push_key(SDLK_p, KMOD_LCTRL);
    KeyEvent k = next_key();
    EXPECT_EQ(k.code, 'P');
    EXPECT_EQ(k.shift, k_ctrl_key);

    push_key(SDLK_x, KMOD_RSHIFT | KMOD_LALT);
    k = next_key();
    EXPECT_EQ(k.code, 'X');
    EXPECT_EQ(k.shift, k_shift_key | k_alt_key);

    push_key(SDLK_7, KMOD_NONE);
    k = next_key();
    EXPECT_EQ(k.code, '7');
    EXPECT_EQ(k.shift, 0);

    push_key(SDLK_F4, KMOD_LALT);
    k = next_key();
    EXPECT_EQ(k.code, 0x73);
    EXPECT_EQ(k.shift, k_alt_key);

    push_key(SDLK_ESCAPE, KMOD_NONE);
    EXPECT_EQ(next_key().code, 0x1B);
}

TEST_F(SdlDisplayTest, KeysTheLockSwallowsReachNothingNorTheShiftState) {
    std::vector<LockedKey> seen;
    bool in_force = true;
    display->set_key_lock(
        [&](const LockedKey& key) {
            seen.push_back(key);
            return key.key == k_vk_shift || (key.flags & k_key_flag_alt_down);
        },
        [&] { return in_force; }, true);
    show_main();

    push_key(SDLK_LSHIFT, KMOD_LSHIFT);
    push_key(SDLK_p, KMOD_LSHIFT | KMOD_LCTRL);
    KeyEvent k = next_key();
    EXPECT_EQ(k.code, 'P');
    EXPECT_EQ(k.shift, k_ctrl_key) << "Ctrl+Shift+P arrives as Ctrl+P";
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, k_key_message_down);

    push_key(SDLK_F4, KMOD_LALT);
    push_key(SDLK_q, KMOD_NONE);
    EXPECT_EQ(next_key().code, 'Q') << "Alt+F4 never arrived";
    EXPECT_EQ(seen.back().message, k_key_message_down);
    EXPECT_EQ(seen[seen.size() - 2].message, k_key_message_sys_down);

    push_key(SDLK_LSHIFT, KMOD_NONE, false);
    in_force = false;  // released: Shift counts again
    push_key(SDLK_p, KMOD_LSHIFT | KMOD_LCTRL);
    EXPECT_EQ(next_key().shift, k_shift_key | k_ctrl_key);
}

TEST_F(SdlDisplayTest, ThePointerIsKeptOnTheWindowOnlyWhileTheLockHoldsAndTheWindowIsFocused) {
    bool in_force = true;
    // As on X11, where the lock's own grabs hold the locked keys and every other key stays the desktop's.
    display->set_key_lock([](const LockedKey&) { return false; }, [&] { return in_force; }, false);
    show_main();
    auto focus = [&](Uint8 what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SDL_GetWindowID(window);
        e.window.event = what;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
        while (display->wait_event(0.01)) {
        }
    };
    auto confined = [&] { return (SDL_GetWindowFlags(window) & SDL_WINDOW_MOUSE_GRABBED) != 0; };

    EXPECT_FALSE(confined()) << "not before the window has the focus";
    focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(confined());
    EXPECT_FALSE(SDL_GetWindowKeyboardGrab(window)) << "the keyboard stays the desktop's";
    focus(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_FALSE(confined()) << "another window has the focus";
    focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(confined()) << "taken again with the focus";

    display->minimise_main();
    EXPECT_FALSE(confined()) << "let go for the browser";
    focus(SDL_WINDOWEVENT_RESTORED);
    focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(confined()) << "back on the window";

    display->minimise_main();  // a desktop that ignores it, the window keeps the focus
    EXPECT_FALSE(confined());
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10);
    next_mouse();
    EXPECT_TRUE(confined()) << "a press on the window takes the pointer again";
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 10);
    next_mouse();

    in_force = false;
    EXPECT_FALSE(display->wait_event(0));
    EXPECT_FALSE(confined()) << "released with the lock";
    EXPECT_FALSE(SDL_GetWindowKeyboardGrab(window));
    focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_FALSE(confined());
}

TEST_F(SdlDisplayTest, WaitingWithoutEventsTimesOut) {
    show_main();
    while (display->wait_event(0.01)) {
    }
    EXPECT_FALSE(display->wait_event(0.05));
    EXPECT_FALSE(display->wait_event(0));
}

TEST_F(SdlDisplayTest, PointersAndScreenChangesNeverStopTheProgram) {
    display->hide_splash();   // no splash shown
    display->set_pointer(1);  // nothing made yet

    const Raster splash(200, 250, rgb(255, 255, 0));
    display->show_splash(splash, 200, 248);
    display->hide_splash();
    display->hide_splash();

    show_main();
    const Raster arrow(32, 32, 0xFF000000);
    const PointerId made = display->make_pointer(arrow, Point{0, 0});
    const PointerId again = display->make_pointer(arrow, Point{31, 31});
    const PointerId system = display->system_pointer(SystemPointer::Arrow);
    const PointerId busy = display->system_pointer(SystemPointer::Busy);
    for (PointerId id : {made, again, system, busy}) EXPECT_GE(id, 0);
    if (made && again) {
        EXPECT_NE(made, again);
    }
    EXPECT_EQ(display->make_pointer(arrow, Point{40, 5}), 0) << "a hot spot outside the picture makes none";
    for (PointerId id : {0, made, again, system, busy, 99, -1}) display->set_pointer(id);

    EXPECT_NO_THROW(run_trapped([&] { display->enter_fullscreen(); }));
    EXPECT_NO_THROW(run_trapped([&] { display->leave_fullscreen(); }));
    display->minimise_main();

    Raster scene(k_w, k_h, rgb(1, 2, 3));
    display->present(scene, scene.bounds());
    while (display->wait_event(0.01)) {
    }
}

// The end signals are the process's own: taken in a child of the test, as the program takes them.
TEST(SdlDisplaySignals, AnEndSignalGoesBeforeEveryClickAlreadyQueued) {
    const int answer = answer_in_child([] {
        SdlWakeups::take_end_signals();
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) return 2;
        int result = 1;
        {
            SdlDisplay display;
            display.show_main(k_caption, Raster(32, 32, 0xFF0000FF));
            while (display.wait_event(0.01)) {
            }
            SDL_Window* window = nullptr;
            for (Uint32 id = 1; id < 64 && !window; ++id) {
                SDL_Window* w = SDL_GetWindowFromID(id);
                if (w && SDL_GetWindowTitle(w) == k_caption) window = w;
            }
            if (!window) return 3;
            // A child mashing the button: thousands of clicks wait in the queue when the session ends.
            for (int i = 0; i < 5000; ++i) {
                for (const Uint32 type : {Uint32(SDL_MOUSEBUTTONDOWN), Uint32(SDL_MOUSEBUTTONUP)}) {
                    SDL_Event e{};
                    e.type = type;
                    e.button.windowID = SDL_GetWindowID(window);
                    e.button.button = SDL_BUTTON_LEFT;
                    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
                    e.button.x = 10 + i % 100;
                    e.button.y = 10;
                    SDL_PushEvent(&e);
                }
            }
            ::kill(::getpid(), SIGTERM);
            while (display.end_requested() == 0) ::poll(nullptr, 0, 1);
            const auto first = display.wait_event(0);
            const auto* end = first ? std::get_if<EndRequest>(&*first) : nullptr;
            result = end && end->signal_number == SIGTERM ? 0 : 1;
        }
        SDL_Quit();
        return result;
    });
    EXPECT_EQ(answer, 0) << "1: a queued click came first, 2/3: no display";
}

TEST(SdlKeyCodes, LettersComeFromTheLayoutOrFromTheirPlaceWhenTheLayoutIsNotLatin) {
    // A Latin layout keeps the letter printed on the key (AZERTY's A sits where QWERTY has Q).
    EXPECT_EQ(key_code(SDLK_a, SDL_SCANCODE_Q), 'A');
    EXPECT_EQ(key_code(SDLK_z, SDL_SCANCODE_Y), 'Z');
    EXPECT_EQ(key_code(SDLK_m, SDL_SCANCODE_SEMICOLON), 'M');
    EXPECT_EQ(key_code(SDLK_COMMA, SDL_SCANCODE_M), 0) << "AZERTY's comma on the M key is no letter";
    // Cyrillic che, Greek pi, Hebrew resh, Georgian rae: the letter at the key's place.
    EXPECT_EQ(key_code(0x447, SDL_SCANCODE_X), 'X');
    EXPECT_EQ(key_code(0x3C0, SDL_SCANCODE_P), 'P');
    EXPECT_EQ(key_code(0x5E8, SDL_SCANCODE_R), 'R');
    EXPECT_EQ(key_code(0x10E0, SDL_SCANCODE_R), 'R');
    EXPECT_EQ(key_code(0x445, SDL_SCANCODE_LEFTBRACKET), 0) << "a letter off the Latin letter keys";
    // Digits, function keys and the locked keys keep their codes.
    EXPECT_EQ(key_code(SDLK_7, SDL_SCANCODE_7), '7');
    EXPECT_EQ(key_code(SDLK_F1, SDL_SCANCODE_F1), 0x70);
    EXPECT_EQ(key_code(SDLK_F12, SDL_SCANCODE_F12), 0x7B);
    EXPECT_EQ(key_code(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), k_vk_shift);
    EXPECT_EQ(key_code(SDLK_RALT, SDL_SCANCODE_RALT), k_vk_alt);
    EXPECT_EQ(key_code(SDLK_LGUI, SDL_SCANCODE_LGUI), k_vk_left_super);
}

}  // namespace
}  // namespace zuvela
