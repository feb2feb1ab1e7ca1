// SDL's connection to a Wayland compositor, as the program's mends of libwayland (wayland_mends.cpp) see it
// being made: SDL offers no way to reach it before its first window is up.
#pragma once

namespace zuvela {

// Called as SDL connects to and disconnects from a compositor.
void note_wayland_connected(void* display);
void note_wayland_disconnected(void* display);

// Whether SDL is connected to a compositor and that connection has failed: libwayland has seen an error on
// it, or the compositor has hung up its end (which libwayland learns of only at its next read).
bool wayland_connection_lost();

// From now on, pushes an SDL event of `event_type` whenever a seat gains a pointer (a mouse plugged in, or
// the first one after none), once SDL has taken it in. Only with a connection; call on the event thread.
void watch_wayland_pointers(unsigned event_type);

}  // namespace zuvela
