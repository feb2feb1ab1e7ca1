#include "platform/sdl/sdl_display.h"

#include <algorithm>
#include <cmath>

#include "platform/desktop/display_loss.h"
#include "platform/errors.h"
#include "platform/sdl/sdl_key_codes.h"
#include "platform/sdl/wayland_connection.h"

namespace zuvela {

namespace {

constexpr int k_scene_w = 1024;
constexpr int k_scene_h = 768;
// Designed client area of the main window before it takes the screen.
constexpr int k_window_w = 1023;
constexpr int k_window_h = 766;

SDL_Surface* surface_of(const Raster& r) {
    return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<Color*>(r.pixels.data()), r.width, r.height, 32,
                                              r.width * 4, SDL_PIXELFORMAT_ABGR8888);
}

int button_bit(Uint8 sdl_button) {
    switch (sdl_button) {
        case SDL_BUTTON_LEFT:
            return k_left_button;
        case SDL_BUTTON_RIGHT:
            return k_right_button;
        case SDL_BUTTON_MIDDLE:
            return k_middle_button;
        default:
            return 0;
    }
}

}  // namespace

SdlDisplay::SdlDisplay() = default;

SdlDisplay::~SdlDisplay() {
    // The lock's own state may be gone by now: the pointer is let go whatever it says.
    if (m_main) SDL_SetWindowMouseGrab(m_main, SDL_FALSE);
    for (SDL_Cursor* c : m_cursors) SDL_FreeCursor(c);
    hide_splash();
    if (m_scene) SDL_DestroyTexture(m_scene);
    if (m_renderer) SDL_DestroyRenderer(m_renderer);
    if (m_main) SDL_DestroyWindow(m_main);
}

void SdlDisplay::show_splash(const Raster& card, int width, int height) {
    m_splash = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR);
    if (!m_splash) fail(SDL_GetError());
    // The card needs no GPU: drawn in software it is on the screen before a GL driver could have loaded.
    // Where the video driver cannot draw in software without one (Wayland), the default renderer draws it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    m_splash_renderer = SDL_CreateRenderer(m_splash, -1, SDL_RENDERER_SOFTWARE);
    SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    if (!m_splash_renderer) m_splash_renderer = SDL_CreateRenderer(m_splash, -1, 0);
    if (!m_splash_renderer) fail(SDL_GetError());
    if (SDL_Surface* s = surface_of(card)) {
        m_splash_texture = SDL_CreateTextureFromSurface(m_splash_renderer, s);
        SDL_FreeSurface(s);
    }
    if (SDL_Cursor* busy = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT)) {
        m_cursors.push_back(busy);
        SDL_SetCursor(busy);
    }
    redraw_splash();
}

void SdlDisplay::redraw_splash() {
    if (!m_splash_renderer) return;
    SDL_RenderClear(m_splash_renderer);
    if (m_splash_texture) {
        int w = 0, h = 0;
        SDL_QueryTexture(m_splash_texture, nullptr, nullptr, &w, &h);
        const SDL_Rect dst{0, 0, w, h};  // drawn from the corner: the card's last rows fall outside
        SDL_RenderCopy(m_splash_renderer, m_splash_texture, nullptr, &dst);
    }
    SDL_RenderPresent(m_splash_renderer);
}

void SdlDisplay::hide_splash() {
    if (m_splash_texture) SDL_DestroyTexture(m_splash_texture);
    if (m_splash_renderer) SDL_DestroyRenderer(m_splash_renderer);
    if (m_splash) SDL_DestroyWindow(m_splash);
    m_splash_texture = nullptr;
    m_splash_renderer = nullptr;
    m_splash = nullptr;
}

void SdlDisplay::show_main(const std::string& caption, const Raster& icon) {
    m_main = SDL_CreateWindow(caption.c_str(), 0, 0, k_window_w, k_window_h, SDL_WINDOW_BORDERLESS);
    if (!m_main) fail(SDL_GetError());
    if (SDL_Surface* s = surface_of(icon)) {
        SDL_SetWindowIcon(m_main, s);
        SDL_FreeSurface(s);
    }
    m_renderer = SDL_CreateRenderer(m_main, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!m_renderer) m_renderer = SDL_CreateRenderer(m_main, -1, 0);
    if (!m_renderer) fail(SDL_GetError());
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    m_scene = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_XBGR8888, SDL_TEXTUREACCESS_STREAMING, k_scene_w,
                                k_scene_h);
    if (!m_scene) fail(SDL_GetError());
    if (m_wayland && m_pointer_arrived == 0) {
        m_pointer_arrived = SDL_RegisterEvents(1);
        if (m_pointer_arrived == Uint32(-1)) m_pointer_arrived = 0;
        if (m_pointer_arrived != 0) watch_wayland_pointers(m_pointer_arrived);
    }
    update_grabs();
    SDL_RaiseWindow(m_main);
}

void SdlDisplay::set_key_lock(std::function<bool(const LockedKey&)> swallows, std::function<bool()> in_force,
                              bool hold_keyboard) {
    m_lock_swallows = std::move(swallows);
    m_lock_in_force = std::move(in_force);
    m_hold_keyboard = hold_keyboard;
}

void SdlDisplay::update_grabs() {
    if (!m_main) return;
    // SDL would otherwise give up the grab, and minimise the window, on Alt+Tab.
    SDL_SetHint(SDL_HINT_ALLOW_ALT_TAB_WHILE_GRABBED, "0");
    const bool locked = m_lock_in_force && m_lock_in_force();
    // On X11 SDL's keyboard grab takes every key from the desktop, its volume and screenshot keys too.
    const bool hold_keyboard = locked && m_hold_keyboard;
    if (bool(SDL_GetWindowKeyboardGrab(m_main)) != hold_keyboard)
        SDL_SetWindowKeyboardGrab(m_main, SDL_bool(hold_keyboard));
    // The pointer is kept on the window, so a second monitor is out of reach, only while the window is there
    // to be used: never over a browser we stepped aside for, nor over whatever took the focus.
    const bool confine = locked && m_focused && !m_minimised;
    if (bool(SDL_GetWindowFlags(m_main) & SDL_WINDOW_MOUSE_GRABBED) != confine)
        SDL_SetWindowMouseGrab(m_main, SDL_bool(confine));
}

std::optional<InputEvent> SdlDisplay::translate_key(const SDL_KeyboardEvent& e) {
    const bool down = e.type == SDL_KEYDOWN;
    const SDL_Keycode sym = e.keysym.sym;
    const bool alt_held = (e.keysym.mod & KMOD_ALT) != 0;
    if (m_lock_swallows && m_lock_in_force && m_lock_in_force()) {
        const int message = alt_held ? (down ? k_key_message_sys_down : k_key_message_sys_up)
                                     : (down ? k_key_message_down : k_key_message_up);
        const LockedKey key{0, message, key_code(sym, e.keysym.scancode), alt_held ? k_key_flag_alt_down : 0};
        if (m_lock_swallows(key)) {
            if (down) m_swallowed.insert(sym);
            if (!down) m_swallowed.erase(sym);
            return std::nullopt;
        }
    }
    if (!down) {
        m_swallowed.erase(sym);
        return std::nullopt;
    }
    return KeyEvent{key_code(sym, e.keysym.scancode), shift_state(e.keysym.mod)};
}

int SdlDisplay::shift_state(Uint16 mod) const {
    // A modifier whose press the lock swallowed never entered the key state.
    auto swallowed = [this](SDL_Keycode a, SDL_Keycode b) {
        return m_swallowed.count(a) || m_swallowed.count(b);
    };
    int state = 0;
    if ((mod & KMOD_SHIFT) && !swallowed(SDLK_LSHIFT, SDLK_RSHIFT)) state |= k_shift_key;
    if ((mod & KMOD_CTRL) && !swallowed(SDLK_LCTRL, SDLK_RCTRL)) state |= k_ctrl_key;
    if ((mod & KMOD_ALT) && !swallowed(SDLK_LALT, SDLK_RALT)) state |= k_alt_key;
    return state;
}

void SdlDisplay::minimise_main() {
    if (!m_main) return;
    m_minimised = true;
    update_grabs();
    SDL_MinimizeWindow(m_main);
}

void SdlDisplay::restore_main() {
    if (!m_main) return;
    // The desktop carries a minimise out in its own time: there is nothing to restore until it has.
    for (int i = 0; i < 25 && !(SDL_GetWindowFlags(m_main) & SDL_WINDOW_MINIMIZED); ++i) {
        SDL_PumpEvents();
        SDL_Delay(10);
    }
    m_minimised = false;
    raise_main();
    update_grabs();
}

void SdlDisplay::enter_fullscreen() {
    if (!m_main || SDL_SetWindowFullscreen(m_main, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        fail(std::string("cannot take the screen: ") + SDL_GetError());
    }
    redraw_main();
}

void SdlDisplay::leave_fullscreen() {
    if (!m_main || SDL_SetWindowFullscreen(m_main, 0) != 0) {
        fail(std::string("cannot leave full screen: ") + SDL_GetError());
    }
}

void SdlDisplay::present(const Raster& scene, const Rect& dirty) {
    if (!m_scene) return;
    const Rect area = m_scene_uploaded ? dirty.intersected(scene.bounds()) : scene.bounds();
    if (!area.empty()) {
        const SDL_Rect r{area.x, area.y, area.w, area.h};
        SDL_UpdateTexture(m_scene, &r, scene.row(area.y) + area.x, scene.width * 4);
        m_scene_uploaded = true;
    }
    redraw_main();
}

SDL_Rect SdlDisplay::scene_view() const {
    // The scene scaled to fit the window with its aspect kept; what is left over are black bars.
    int w = 0, h = 0;
    SDL_GetWindowSize(m_main, &w, &h);
    if (w <= 0 || h <= 0) return {0, 0, k_scene_w, k_scene_h};
    const double scale = std::min(double(w) / k_scene_w, double(h) / k_scene_h);
    const int vw = int(std::lround(k_scene_w * scale)), vh = int(std::lround(k_scene_h * scale));
    return {(w - vw) / 2, (h - vh) / 2, vw, vh};
}

void SdlDisplay::redraw_main() {
    if (!m_renderer) return;
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    // The renderer may count in device pixels where the window counts in points.
    int window_w = 0, window_h = 0, output_w = 0, output_h = 0;
    SDL_GetWindowSize(m_main, &window_w, &window_h);
    SDL_GetRendererOutputSize(m_renderer, &output_w, &output_h);
    const double fx = window_w > 0 ? double(output_w) / window_w : 1.0;
    const double fy = window_h > 0 ? double(output_h) / window_h : 1.0;
    const SDL_Rect view = scene_view();
    const SDL_Rect target{int(std::lround(view.x * fx)), int(std::lround(view.y * fy)),
                          int(std::lround(view.w * fx)), int(std::lround(view.h * fy))};
    SDL_RenderCopy(m_renderer, m_scene, nullptr, &target);
    SDL_RenderPresent(m_renderer);
}

PointerId SdlDisplay::make_pointer(const Raster& image, Point hot_spot) {
    SDL_Surface* s = surface_of(image);
    if (!s) return 0;
    SDL_Cursor* cursor = SDL_CreateColorCursor(s, hot_spot.x, hot_spot.y);
    SDL_FreeSurface(s);
    if (!cursor) return 0;
    m_cursors.push_back(cursor);
    return PointerId(m_cursors.size());
}

PointerId SdlDisplay::system_pointer(SystemPointer which) {
    SDL_Cursor* cursor = SDL_CreateSystemCursor(which == SystemPointer::Busy ? SDL_SYSTEM_CURSOR_WAIT
                                                                             : SDL_SYSTEM_CURSOR_ARROW);
    if (!cursor) return 0;
    m_cursors.push_back(cursor);
    return PointerId(m_cursors.size());
}

void SdlDisplay::set_pointer(PointerId pointer) {
    if (pointer >= 1 && std::size_t(pointer) <= m_cursors.size())
        SDL_SetCursor(m_cursors[std::size_t(pointer - 1)]);
}

SdlDisplay::ScenePosition SdlDisplay::to_scene(int x, int y) const {
    // Positions between scene pixels are kept; the bars map to the nearest edge of the scene.
    const SDL_Rect view = scene_view();
    auto map = [](int at, int origin, int extent, int scene_extent) {
        const double v = (at - origin) * double(scene_extent) / extent;
        return v < 0 ? 0.0 : v >= scene_extent ? double(scene_extent - 1) : v;
    };
    return {map(x, view.x, view.w, k_scene_w), map(y, view.y, view.h, k_scene_h)};
}

std::optional<InputEvent> SdlDisplay::translate(const SDL_Event& e) {
    if (m_pointer_arrived != 0 && e.type == m_pointer_arrived) {
        // A mouse that joined the seat after the pointer was confined has no confinement of its own (Wayland
        // binds one to a pointer): it is confined afresh.
        if (m_main && (SDL_GetWindowFlags(m_main) & SDL_WINDOW_MOUSE_GRABBED)) {
            SDL_SetWindowMouseGrab(m_main, SDL_FALSE);
            SDL_SetWindowMouseGrab(m_main, SDL_TRUE);
        }
        return std::nullopt;
    }
    switch (e.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (e.button.windowID != SDL_GetWindowID(m_main)) return std::nullopt;
            const int bit = button_bit(e.button.button);
            if (bit == 0) return std::nullopt;
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            if (down && m_minimised) {
                // Some desktops ignore a request to minimise and say nothing: a press on the window shows it
                // is in use again.
                m_minimised = false;
                update_grabs();
            }
            m_buttons = down ? (m_buttons | bit) : (m_buttons & ~bit);
            SDL_CaptureMouse(m_buttons ? SDL_TRUE : SDL_FALSE);
            const ScenePosition p = to_scene(e.button.x, e.button.y);
            return MouseEvent{down ? MouseAction::Down : MouseAction::Up,
                              bit,
                              m_buttons,
                              shift_state(SDL_GetModState()),
                              p.x,
                              p.y};
        }
        case SDL_MOUSEMOTION: {
            if (e.motion.windowID != SDL_GetWindowID(m_main)) return std::nullopt;
            const ScenePosition p = to_scene(e.motion.x, e.motion.y);
            return MouseEvent{MouseAction::Move, 0, m_buttons, shift_state(SDL_GetModState()), p.x, p.y};
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            // The state when the key went down, not when the queue was read.
            return translate_key(e.key);
        case SDL_WINDOWEVENT:
            if (m_main && e.window.windowID == SDL_GetWindowID(m_main)) track_main_window(e.window.event);
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                if (m_splash && e.window.windowID == SDL_GetWindowID(m_splash)) redraw_splash();
                if (m_main && e.window.windowID == SDL_GetWindowID(m_main)) redraw_main();
            }
            return std::nullopt;
        case SDL_QUIT:
            // SDL says so also when the compositor is gone; closing from the desktop is not a way out.
            if (connection_lost()) end_for_lost_display();
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

void SdlDisplay::track_main_window(Uint8 window_event) {
    switch (window_event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            m_focused = true;
            m_minimised = false;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_focused = false;
            m_swallowed.clear();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            m_minimised = true;
            break;
        case SDL_WINDOWEVENT_RESTORED:
            m_minimised = false;
            break;
        default:
            return;
    }
    update_grabs();
}

std::optional<InputEvent> SdlDisplay::wait_event(double timeout_seconds) {
    m_wakeups.start();
    // The lock may have been released since the last turn; its grabs go with it.
    update_grabs();
    const Uint64 start = SDL_GetTicks64();
    const Uint64 limit = timeout_seconds < 0 ? 0 : Uint64(std::ceil(timeout_seconds * 1000.0));
    for (;;) {
        // An end signal goes before whatever input is queued.
        if (auto end = m_wakeups.take_end_request()) return end;
        SDL_Event e;
        int got = 0;
        if (timeout_seconds < 0) {
            got = SDL_WaitEvent(&e);
        } else {
            const Uint64 spent = SDL_GetTicks64() - start;
            // Out of time: still take what is already queued.
            got = spent >= limit ? SDL_PollEvent(&e) : SDL_WaitEventTimeout(&e, int(limit - spent));
            if (!got && spent >= limit) return std::nullopt;
        }
        if (!got) {
            if (connection_lost()) end_for_lost_display();
            if (timeout_seconds >= 0 && SDL_GetTicks64() - start >= limit) return std::nullopt;
            continue;
        }
        std::optional<InputEvent> woken;
        if (m_wakeups.take(e, woken)) {
            if (woken) return woken;
            continue;
        }
        if (auto event = translate(e)) return event;
    }
}

bool SdlDisplay::connection_lost() const {
    return wayland_connection_lost();
}

void SdlDisplay::fail(const std::string& what) const {
    // A window or renderer that cannot be made on a compositor that has gone is the display's loss, not a
    // failure of the step that asked for it.
    if (connection_lost()) end_for_lost_display();
    throw PlatformError(what);
}

void SdlDisplay::raise_main() {
    if (!m_main) return;
    if (SDL_GetWindowFlags(m_main) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(m_main);
    SDL_RaiseWindow(m_main);
}

}  // namespace zuvela
