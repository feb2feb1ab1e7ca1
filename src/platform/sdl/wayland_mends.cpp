// Mends of libwayland as SDL 2.26 uses it. SDL takes these functions' addresses from the global scope, so the
// definitions in the executable are the ones it calls; each forwards to libwayland.
//
// - The connection is noted as SDL makes it, so that its loss can be told from any other failure from the
// very
//   first window on.
// - SDL shows a window by dispatching the compositor's events until the window's first configure arrives,
//   ignoring what the dispatch returns. When the compositor goes away at that moment every dispatch fails at
//   once and the loop never ends: the program spun with no display. A dispatch that failed because the
//   connection has failed ends the program as a lost display does.
#include <dlfcn.h>
#include <wayland-client.h>

#include "platform/desktop/display_loss.h"
#include "platform/sdl/wayland_connection.h"

namespace {

template <typename Function>
Function library_function(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) wl_display* wl_display_connect(const char* name) {
    static const auto library = library_function<wl_display* (*)(const char*)>("wl_display_connect");
    wl_display* display = library ? library(name) : nullptr;
    if (display) zuvela::note_wayland_connected(display);
    return display;
}

__attribute__((visibility("default"))) void wl_display_disconnect(wl_display* display) {
    static const auto library = library_function<void (*)(wl_display*)>("wl_display_disconnect");
    zuvela::note_wayland_disconnected(display);
    if (library) library(display);
}

__attribute__((visibility("default"))) int wl_display_dispatch(wl_display* display) {
    static const auto library = library_function<int (*)(wl_display*)>("wl_display_dispatch");
    const int dispatched = library ? library(display) : -1;
    if (dispatched < 0 && display && wl_display_get_error(display) != 0) zuvela::end_for_lost_display();
    return dispatched;
}

}  // extern "C"
