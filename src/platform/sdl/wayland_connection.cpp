#include "platform/sdl/wayland_connection.h"

#include <poll.h>
#include <wayland-client.h>

#include <atomic>

namespace zuvela {

namespace {

std::atomic<wl_display*> g_display{nullptr};

}  // namespace

void note_wayland_connected(void* display) {
    g_display.store(static_cast<wl_display*>(display));
}

void note_wayland_disconnected(void* display) {
    wl_display* expected = static_cast<wl_display*>(display);
    g_display.compare_exchange_strong(expected, nullptr);
}

bool wayland_connection_lost() {
    wl_display* display = g_display.load();
    if (!display) return false;
    if (wl_display_get_error(display) != 0) return true;
    pollfd connection{wl_display_get_fd(display), 0, 0};
    return ::poll(&connection, 1, 0) == 1 && (connection.revents & (POLLHUP | POLLERR)) != 0;
}

}  // namespace zuvela
