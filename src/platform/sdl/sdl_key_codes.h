// Virtual key codes as the handlers know them, from SDL's key symbol and the key's position.
#pragma once

#include <SDL.h>

namespace zuvela {

// Letters are their upper-case ASCII value, digits their ASCII value, F1.. 0x70.., the modifiers and a few
// others the codes Windows gives the same keys; 0 for a key without one. A key that types a letter outside
// ASCII (a Cyrillic, Greek, Hebrew … layout) counts as the Latin letter at its place on the keyboard, so the
// Ctrl shortcuts work whatever layout is active; a Latin layout keeps the letter printed on the key.
int key_code(SDL_Keycode key, SDL_Scancode position);

}  // namespace zuvela
