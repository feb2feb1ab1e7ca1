// Which of SDL's video back ends the program opens, and which key lock goes with the one SDL opened.
#pragma once

#include <string>

namespace zuvela {

// The SDL_HINT_VIDEODRIVER value for a session: the desktop's own back ends only, SDL's Wayland one first
// where a compositor is named and X11 (Xwayland) after it; empty where the user named a driver in
// SDL_VIDEODRIVER, whose choice stands. SDL's own list would go on to a display nobody sees (the offscreen
// driver).
std::string preferred_video_drivers(const char* wayland_display, const char* user_choice);

// Opens SDL's video and timers with those back ends, the windows named `app_id` (the Wayland app id and the
// X11 WM_CLASS, by which desktops match a window with its desktop entry). False, with SDL's error set, when
// no display could be opened.
bool open_session_video(const char* app_id);

// Whether the desktop-wide key lock can hold with the video back end SDL opened: only on X11. A Wayland
// compositor hands keys to no other client; there the lock holds for our own window, and the compositor's
// shortcuts are inhibited through SDL's keyboard grab.
bool desktop_wide_key_lock(const char* video_driver);

}  // namespace zuvela
