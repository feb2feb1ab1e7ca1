#include "platform/sdl/sdl_video_driver.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace zuvela {

std::string preferred_video_drivers(const char* wayland_display, const char* user_choice) {
    if (user_choice && *user_choice) return {};
    // X11 stays as the way back for a compositor SDL cannot use; Xwayland's DISPLAY is set beside it.
    if (wayland_display && *wayland_display) return "wayland,x11";
    return "x11,wayland";
}

bool open_session_video(const char* app_id) {
    const std::string drivers =
        preferred_video_drivers(std::getenv("WAYLAND_DISPLAY"), std::getenv("SDL_VIDEODRIVER"));
    if (!drivers.empty()) SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    // SDL reads the window class from the environment as its video starts, the Wayland back end the first
    // name and the X11 one the second; it is taken away again so that the programs we start do not inherit
    // it.
    const char* const names[] = {"SDL_VIDEO_WAYLAND_WMCLASS", "SDL_VIDEO_X11_WMCLASS"};
    bool set[2] = {};
    for (int i = 0; i < 2; ++i) set[i] = !std::getenv(names[i]) && ::setenv(names[i], app_id, 0) == 0;
    const bool opened = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0;
    for (int i = 0; i < 2; ++i) {
        if (set[i]) ::unsetenv(names[i]);
    }
    return opened;
}

bool desktop_wide_key_lock(const char* video_driver) {
    return video_driver && std::strcmp(video_driver, "x11") == 0;
}

}  // namespace zuvela
