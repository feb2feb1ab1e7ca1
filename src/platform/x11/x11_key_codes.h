// Virtual key codes of X keys: a table of key symbols, and the letter keys' places for layouts that are not
// Latin.
#pragma once

#include "platform/services.h"

namespace zuvela {

// The virtual key code of an X keysym: letters are their upper-case ASCII value, digits their ASCII value,
// Shift 16, Ctrl 17, Alt (and Meta, AltGr) 18, left Super 91, right Super 92, Menu 93, F1.. 0x70.., the
// others the codes Windows gives the same keys; 0 for a keysym without one.
int virtual_key_for_keysym(unsigned long keysym);

// The same for a key the server reported: a letter outside ASCII (a Cyrillic, Greek, Hebrew … layout) on one
// of the 26 Latin letter keys counts as the Latin letter at that place, as SDL's side counts it.
int virtual_key_for_key(unsigned long keysym, int keycode);

// A key event as the lock examines it: `state` is the X modifier state before the event, `alt_mask` the
// modifier bit the Alt keys set (Mod1 normally). Alt held means message 260/261 and flag 0x20; an Alt key
// going down counts as Alt held.
LockedKey locked_key_from_x(unsigned long keysym, int keycode, bool press, unsigned state, unsigned alt_mask);

}  // namespace zuvela
