// Losing the display (the X server or the Wayland compositor ended, or the session's connection to it broke)
// ends the program once, the same way whichever it was.
#pragma once

namespace zuvela {

// The exit status of a program whose display went away.
inline constexpr int k_display_lost_status = 3;

// Writes one line on standard error and ends the process with k_display_lost_status at once; any other thread
// that comes here meanwhile waits for that end. No exit handler runs: other threads may still be inside the
// display's library, and there is no screen or key left to give back.
[[noreturn]] void end_for_lost_display() noexcept;

}  // namespace zuvela
