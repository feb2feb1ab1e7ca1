// Losing the X server (it was ended, or the session's connection broke) ends the program once.
#pragma once

namespace zuvela {

// The exit status of a program whose display went away.
inline constexpr int k_display_lost_status = 3;

// From here on, the first thread that finds an X connection broken writes one line on standard error and
// ends the process with k_display_lost_status at once; any other thread finding it too waits for that end.
// No exit handler runs: other threads are still inside Xlib, and there is no screen or key left to give
// back. Call after SDL has opened its display, so that this handler is the one in force.
void end_once_when_the_display_is_lost();

}  // namespace zuvela
