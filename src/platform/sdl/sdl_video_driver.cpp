#include "platform/sdl/sdl_video_driver.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace zuvela {

std::string preferred_video_drivers(const char* wayland_display, const char* user_choice) {
    if (user_choice && *user_choice) return {};
    if (!wayland_display || !*wayland_display) return {};
    // X11 stays as the way back for a compositor SDL cannot use; Xwayland's DISPLAY is set beside it.
    return "wayland,x11";
}

void prefer_session_video_driver() {
    const std::string drivers =
        preferred_video_drivers(std::getenv("WAYLAND_DISPLAY"), std::getenv("SDL_VIDEODRIVER"));
    if (!drivers.empty()) SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
}

bool desktop_wide_key_lock(const char* video_driver) {
    return video_driver && std::strcmp(video_driver, "x11") == 0;
}

}  // namespace zuvela
