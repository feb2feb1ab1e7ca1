// The keyboard lock's decision and the three Ctrl shortcuts, as pure functions.
#pragma once

#include "platform/services.h"

namespace zuvela {

// The keys the lock swallows; every other key passes unless Alt is held.
bool is_locked_key(int virtual_key);

// Whether the lock looks at an event at all: the events whose 20 bytes the platform copies into `key_event`
// (code 0 and a key going down or up, with or without Alt). Every other event passes unexamined.
bool lock_examines(const LockedKey& event);

// The lock's callback (`lock_keys_hook`): true swallows the event, false passes it on. An examined event is
// swallowed when it carries the Alt flag (0x20) or its key is one of the locked keys; anything else passes.
// Key releases are decided like key presses. It keeps no state.
bool lock_keys_hook(const LockedKey& event);

// Include before any X11 header: Xlib defines None as a macro.
enum class Shortcut { None, Print, Exit, Info };

// The key-down handlers' three tests: P (80) prints, X (88) opens the leave confirmation, R (82) opens the
// info panel, each only when the shift state is exactly Ctrl (2). `key_code` is the virtual key code
// (letters are their upper-case ASCII value, whatever the case typed); `shift_state` the bit set 1 Shift,
// 2 Ctrl, 4 Alt.
Shortcut shortcut_for(int key_code, int shift_state);

}  // namespace zuvela
