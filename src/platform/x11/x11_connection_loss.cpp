#include "platform/x11/x11_connection_loss.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>

namespace zuvela {

namespace {

std::atomic<bool> g_display_lost{false};

// Xlib's own handler calls exit(), and every thread that reads the dead connection calls it: two threads
// running the exit handlers at once crash. Here only the first one through ends the process.
int on_io_error(Display*) {
    if (g_display_lost.exchange(true)) {
        for (;;) ::pause();
    }
    static const char k_message[] = "zuvela: the connection to the display was lost\n";
    (void)!::write(STDERR_FILENO, k_message, sizeof k_message - 1);
    ::_exit(k_display_lost_status);
}

}  // namespace

void end_once_when_the_display_is_lost() {
    XSetIOErrorHandler(on_io_error);
}

}  // namespace zuvela
