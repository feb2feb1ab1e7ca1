// The main window and the splash window on SDL2. The 1024 × 768 scene is scaled to the window with its aspect
// kept; pointer positions come back in scene pixels.
#pragma once

#include <SDL.h>

#include <functional>
#include <set>
#include <vector>

#include "platform/display.h"
#include "platform/sdl/sdl_wakeups.h"
#include "platform/services.h"

namespace zuvela {

class SdlDisplay final : public Display {
  public:
    SdlDisplay();
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    void show_splash(const Raster& card, int width, int height) override;
    void hide_splash() override;
    void show_main(const std::string& caption, const Raster& icon) override;
    void minimise_main() override;
    void restore_main() override;
    void enter_fullscreen() override;
    void leave_fullscreen() override;
    void present(const Raster& scene, const Rect& dirty) override;
    PointerId make_pointer(const Raster& image, Point hot_spot) override;
    PointerId system_pointer(SystemPointer which) override;
    void set_pointer(PointerId pointer) override;
    std::optional<InputEvent> wait_event(double timeout_seconds) override;

    // The key lock covers our own window too: while it is in force, a key the lock swallows never reaches the
    // handlers nor their shift state. With `hold_keyboard` (where no lock can reach the desktop's own
    // shortcuts: a Wayland compositor's), the window also holds the keyboard while the lock is in force and
    // the window has the focus, which asks the compositor to leave its shortcuts aside; where the lock's own
    // grabs hold the locked keys (X11), every other key stays the desktop's. While the lock is in force and
    // the window is shown and focused, the pointer is confined to the window (a mouse that comes later is
    // confined as it enters); minimise_main() lets it go until the window has the focus again.
    void set_key_lock(std::function<bool(const LockedKey&)> swallows, std::function<bool()> in_force,
                      bool hold_keyboard);
    // Runs `on_ready` on the event thread whenever `fd` can be read. Only before the first wait.
    void watch_fd(int fd, std::function<void()> on_ready) { m_wakeups.watch_fd(fd, std::move(on_ready)); }

  private:
    std::optional<InputEvent> translate_key(const SDL_KeyboardEvent& e);
    int shift_state(Uint16 mod) const;
    void update_grabs();
    // Whether the connection to a Wayland compositor has failed (an X server's loss ends the program in
    // Xlib's error handler).
    bool connection_lost() const;
    // Throws PlatformError, or ends the program as for a lost display when that is what the failure was.
    [[noreturn]] void fail(const std::string& what) const;
    void track_main_window(Uint8 window_event);
    std::optional<InputEvent> translate(const SDL_Event& e);
    void redraw_main();
    void redraw_splash();
    struct ScenePosition {
        double x;
        double y;
    };
    ScenePosition to_scene(int x, int y) const;
    SDL_Rect scene_view() const;

    SDL_Window* m_splash = nullptr;
    SDL_Renderer* m_splash_renderer = nullptr;
    SDL_Texture* m_splash_texture = nullptr;

    SDL_Window* m_main = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_scene = nullptr;
    bool m_scene_uploaded = false;

    std::vector<SDL_Cursor*> m_cursors;  // PointerId n is m_cursors[n - 1]
    int m_buttons = 0;

    std::function<bool(const LockedKey&)> m_lock_swallows;
    std::function<bool()> m_lock_in_force;
    bool m_hold_keyboard = false;
    std::set<SDL_Keycode> m_swallowed;  // keys held down whose press the lock swallowed
    bool m_focused = false;
    bool m_minimised = false;
    // Wayland binds a pointer confinement to the mouse it was made for; a mouse that joins the seat later is
    // announced by an event of this type.
    const bool m_wayland =
        SDL_strcmp(SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "", "wayland") == 0;
    Uint32 m_pointer_arrived = 0;
    SdlWakeups m_wakeups;

  public:
    int end_requested() override { return m_wakeups.end_signal(); }
    // Brings the main window to the front, restored if it was minimised (a second start asks for it).
    void raise_main();
};

}  // namespace zuvela
