// Which of SDL's video back ends the program asks for, and which key lock goes with the one SDL opened.
#pragma once

#include <string>

namespace zuvela {

// The SDL_HINT_VIDEODRIVER value for a session: where a Wayland compositor is named, SDL's Wayland back end
// first and X11 (Xwayland) after it; empty where SDL's own choice stands (the user named a driver in
// SDL_VIDEODRIVER, or there is no compositor).
std::string preferred_video_drivers(const char* wayland_display, const char* user_choice);

// Sets that hint from the environment; call before SDL_Init.
void prefer_session_video_driver();

// Whether the desktop-wide key lock can hold with the video back end SDL opened: only on X11. A Wayland
// compositor hands keys to no other client; there the lock holds for our own window, and the compositor's
// shortcuts are inhibited through SDL's keyboard grab.
bool desktop_wide_key_lock(const char* video_driver);

}  // namespace zuvela
