#include "platform/sdl/sdl_key_codes.h"

#include "platform/services.h"

namespace zuvela {

namespace {

// A key that types a character has that character's Unicode value as its symbol; the others carry
// SDLK_SCANCODE_MASK.
bool types_a_letter_outside_ascii(SDL_Keycode key) {
    return key >= 0x80 && (key & SDLK_SCANCODE_MASK) == 0;
}

}  // namespace

int key_code(SDL_Keycode key, SDL_Scancode position) {
    if (key >= SDLK_a && key <= SDLK_z) return int('A' + (key - SDLK_a));
    if (types_a_letter_outside_ascii(key) && position >= SDL_SCANCODE_A && position <= SDL_SCANCODE_Z)
        return int('A' + (position - SDL_SCANCODE_A));
    if (key >= SDLK_0 && key <= SDLK_9) return int(key);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + int(key - SDLK_F1);
    switch (key) {
        case SDLK_BACKSPACE:
            return 0x08;
        case SDLK_TAB:
            return 0x09;
        case SDLK_RETURN:
            return 0x0D;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return k_vk_shift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return k_vk_control;
        case SDLK_LALT:
        case SDLK_RALT:
            return k_vk_alt;
        case SDLK_ESCAPE:
            return 0x1B;
        case SDLK_SPACE:
            return 0x20;
        case SDLK_LEFT:
            return 0x25;
        case SDLK_UP:
            return 0x26;
        case SDLK_RIGHT:
            return 0x27;
        case SDLK_DOWN:
            return 0x28;
        case SDLK_DELETE:
            return 0x2E;
        case SDLK_LGUI:
            return k_vk_left_super;
        case SDLK_RGUI:
            return k_vk_right_super;
        case SDLK_APPLICATION:
        case SDLK_MENU:
            return k_vk_menu;
        default:
            return 0;
    }
}

}  // namespace zuvela
