#include "platform/x11/x11_connection_loss.h"

#include <X11/Xlib.h>

#include "platform/desktop/display_loss.h"

namespace zuvela {

namespace {

// Xlib's own handler calls exit(), and every thread that reads the dead connection calls it.
int on_io_error(Display*) {
    end_for_lost_display();
}

}  // namespace

void end_once_when_the_display_is_lost() {
    XSetIOErrorHandler(on_io_error);
}

}  // namespace zuvela
