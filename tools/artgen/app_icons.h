// The application icon, shared by the built-in window icon and the desktop's icon theme.
#pragma once

#include <cairo.h>

namespace artgen::ui {

// Drawn in a 32 × 32 box; scale the context for other sizes.
void app_icon(cairo_t* cr);

}  // namespace artgen::ui
