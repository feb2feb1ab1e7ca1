#include "platform/sdl/wayland_connection.h"

#include <SDL.h>
#include <poll.h>
#include <wayland-client.h>

#include <atomic>
#include <string_view>

namespace zuvela {

namespace {

std::atomic<wl_display*> g_display{nullptr};

// Our own view of the seats, beside SDL's: SDL makes a pointer for a seat that gains one but says nothing.
struct PointerWatch {
    Uint32 event_type = 0;
    wl_registry* registry = nullptr;
};
PointerWatch g_watch;

void on_capabilities(void* data, wl_seat*, uint32_t capabilities) {
    auto* had_pointer = static_cast<bool*>(data);
    const bool has_pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    // Pushed, not acted on here: SDL takes the same news in the same dispatch, perhaps after us.
    if (has_pointer && !*had_pointer) {
        SDL_Event e{};
        e.type = g_watch.event_type;
        SDL_PushEvent(&e);
    }
    *had_pointer = has_pointer;
}

void on_seat_name(void*, wl_seat*, const char*) {}

const wl_seat_listener k_seat_listener{on_capabilities, on_seat_name};

void on_global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::string_view(interface) != wl_seat_interface.name) return;
    auto* seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    // A seat present from the start has its pointer taken in by SDL already; one that comes later is new.
    wl_seat_add_listener(seat, &k_seat_listener, new bool(true));
}

void on_global_remove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener k_registry_listener{on_global, on_global_remove};

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

void watch_wayland_pointers(unsigned event_type) {
    wl_display* display = g_display.load();
    if (!display || g_watch.registry) return;
    g_watch.event_type = event_type;
    g_watch.registry = wl_display_get_registry(display);
    wl_registry_add_listener(g_watch.registry, &k_registry_listener, nullptr);
    wl_display_flush(display);
}

}  // namespace zuvela
