// The desktop-wide keyboard lock on X11: passive key grabs on the root window, on a connection of its own.
//
// Grabbed keys: every key while Alt is held, the two Super keys, the Menu key, the two Alt keys and the two
// Shift keys (and AltGr, which is the right Alt key elsewhere). A key event that arrives through a grab is
// shown to the installed callback; a swallowed event reaches nothing, a passed one is replayed to where it
// was going (the focus window). While a swallowed key is held, later keys keep coming to the lock first, so
// the E of Super+E reaches the focus window and never a window manager's grab (the X server still reports
// the held modifier in its state: swallowing a key's events does not change the server's modifier state).
//
// The keyboard waits while an event is with the lock: the program calls pump() whenever connection_fd() is
// readable (and on every turn of its loop). Without an X display every call succeeds and nothing is locked.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/services.h"
#include "platform/x11/x11_key_codes.h"

namespace zuvela {

class X11KeyLock final : public KeyLock {
  public:
    // Opens its own connection to `display_name` (nullptr: $DISPLAY). No display: nothing is ever locked.
    explicit X11KeyLock(const char* display_name = nullptr);
    ~X11KeyLock() override;
    X11KeyLock(const X11KeyLock&) = delete;
    X11KeyLock& operator=(const X11KeyLock&) = delete;

    // Grabs the keys and returns a handle > 0 when at least one grab holds; 0 (lock not in force) when none
    // does or there is no display. Installing again replaces the previous lock and its handle.
    int install(std::function<bool(const LockedKey&)> swallow) override;
    // Ungrabs everything when `handle` is the lock in force; another handle or a second call does nothing.
    void release(int handle) override;

    // Handles every key event the grabs have brought in so far, then returns; never waits for new ones.
    void pump();
    // The connection's file descriptor, readable when pump() has work; -1 without a display.
    int connection_fd() const;

    bool in_force() const { return m_handle != 0; }
    // The installed callback's answer for a key the program's own window received; false when the lock is not
    // in force.
    bool swallows(const LockedKey& key) const;

    // Keycodes of which at least one grab is held by another client (the lock misses those combinations).
    const std::vector<int>& contested_keycodes() const { return m_contested; }

  private:
    struct Impl;

    bool grab_all();
    void ungrab_all();
    void ungrab_keys(int min_keycode, int max_keycode);
    void take_what_came_meanwhile();
    void handle_pending();

    std::unique_ptr<Impl> m_x;
    std::function<bool(const LockedKey&)> m_swallow;
    int m_handle = 0;
    int m_next_handle = 1;
    std::vector<int> m_contested;
};

}  // namespace zuvela
