// Losing the X server (it was ended, or the session's connection broke) ends the program once.
#pragma once

namespace zuvela {

// From here on, the first thread that finds an X connection broken ends the process through
// end_for_lost_display(). Call after SDL has opened its display, so that this handler is the one in force.
void end_once_when_the_display_is_lost();

}  // namespace zuvela
