#include "platform/x11/x11_key_codes.h"

#include <X11/keysym.h>

#include <algorithm>
#include <array>

namespace zuvela {

namespace {

constexpr int k_vk_numpad0 = 0x60;
constexpr int k_vk_f1 = 0x70;

struct KeysymCode {
    unsigned long keysym;
    int code;
};

// Every keysym outside the letter, digit, function-key and keypad-digit ranges that has a code. Keypad keys
// share the codes of the keys they stand for with Num Lock off; the punctuation is the US layout's (Windows'
// OEM codes).
constexpr KeysymCode k_keysym_codes[] = {
    {XK_Shift_L, k_vk_shift},
    {XK_Shift_R, k_vk_shift},
    {XK_Control_L, k_vk_control},
    {XK_Control_R, k_vk_control},
    {XK_Alt_L, k_vk_alt},
    {XK_Alt_R, k_vk_alt},
    {XK_Meta_L, k_vk_alt},
    {XK_Meta_R, k_vk_alt},
    {XK_ISO_Level3_Shift, k_vk_alt},  // AltGr: the right Alt key where the layout has one
    {XK_Super_L, k_vk_left_super},
    {XK_Super_R, k_vk_right_super},
    {XK_Menu, k_vk_menu},
    {XK_BackSpace, 0x08},
    {XK_Tab, 0x09},
    {XK_ISO_Left_Tab, 0x09},
    {XK_Clear, 0x0C},
    {XK_KP_Begin, 0x0C},
    {XK_Return, 0x0D},
    {XK_KP_Enter, 0x0D},
    {XK_Pause, 0x13},
    {XK_Caps_Lock, 0x14},
    {XK_Escape, 0x1B},
    {XK_space, 0x20},
    {XK_KP_Space, 0x20},
    {XK_Prior, 0x21},
    {XK_KP_Prior, 0x21},
    {XK_Next, 0x22},
    {XK_KP_Next, 0x22},
    {XK_End, 0x23},
    {XK_KP_End, 0x23},
    {XK_Home, 0x24},
    {XK_KP_Home, 0x24},
    {XK_Left, 0x25},
    {XK_KP_Left, 0x25},
    {XK_Up, 0x26},
    {XK_KP_Up, 0x26},
    {XK_Right, 0x27},
    {XK_KP_Right, 0x27},
    {XK_Down, 0x28},
    {XK_KP_Down, 0x28},
    {XK_Print, 0x2C},
    {XK_Insert, 0x2D},
    {XK_KP_Insert, 0x2D},
    {XK_Delete, 0x2E},
    {XK_KP_Delete, 0x2E},
    {XK_KP_Multiply, 0x6A},
    {XK_KP_Add, 0x6B},
    {XK_KP_Subtract, 0x6D},
    {XK_KP_Decimal, 0x6E},
    {XK_KP_Separator, 0x6E},
    {XK_KP_Divide, 0x6F},
    {XK_Num_Lock, 0x90},
    {XK_Scroll_Lock, 0x91},
    {XK_semicolon, 0xBA},
    {XK_colon, 0xBA},
    {XK_equal, 0xBB},
    {XK_plus, 0xBB},
    {XK_comma, 0xBC},
    {XK_less, 0xBC},
    {XK_minus, 0xBD},
    {XK_underscore, 0xBD},
    {XK_period, 0xBE},
    {XK_greater, 0xBE},
    {XK_slash, 0xBF},
    {XK_question, 0xBF},
    {XK_grave, 0xC0},
    {XK_asciitilde, 0xC0},
    {XK_bracketleft, 0xDB},
    {XK_braceleft, 0xDB},
    {XK_backslash, 0xDC},
    {XK_bar, 0xDC},
    {XK_bracketright, 0xDD},
    {XK_braceright, 0xDD},
    {XK_apostrophe, 0xDE},
    {XK_quotedbl, 0xDE},
};

// The Latin letter keys by their place: the evdev codes (an X keycode less 8) of Q..P, A..L and Z..M.
constexpr std::array<int, 26> k_letter_positions = {
    30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,  // A B C D E F G H I J K L M
    49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44,  // N O P Q R S T U V W X Y Z
};
constexpr int k_evdev_offset = 8;

// Keysyms below 0xfd00 are characters (Latin-1 from 0xa0 on, then the legacy national sets); from 0x1000000
// on they are Unicode code points.
bool types_a_character_outside_ascii(unsigned long keysym) {
    return (keysym >= 0xa0 && keysym < 0xfd00) || (keysym >= 0x1000080 && keysym <= 0x110ffff);
}

}  // namespace

int virtual_key_for_keysym(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return int('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z) return int(keysym);
    if (keysym >= XK_0 && keysym <= XK_9) return int(keysym);
    if (keysym >= XK_F1 && keysym <= XK_F24) return k_vk_f1 + int(keysym - XK_F1);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return k_vk_numpad0 + int(keysym - XK_KP_0);
    const auto* found = std::find_if(std::begin(k_keysym_codes), std::end(k_keysym_codes),
                                     [&](const KeysymCode& k) { return k.keysym == keysym; });
    return found != std::end(k_keysym_codes) ? found->code : 0;
}

int virtual_key_for_key(unsigned long keysym, int keycode) {
    if (types_a_character_outside_ascii(keysym)) {
        const auto* place =
            std::find(k_letter_positions.begin(), k_letter_positions.end(), keycode - k_evdev_offset);
        if (place != k_letter_positions.end()) return int('A' + (place - k_letter_positions.begin()));
    }
    return virtual_key_for_keysym(keysym);
}

LockedKey locked_key_from_x(unsigned long keysym, int keycode, bool press, unsigned state,
                            unsigned alt_mask) {
    LockedKey key;
    key.code = 0;
    key.key = virtual_key_for_key(keysym, keycode);
    const bool alt_held = (state & alt_mask) != 0 || (press && key.key == k_vk_alt);
    if (alt_held) {
        key.message = press ? k_key_message_sys_down : k_key_message_sys_up;
        key.flags = k_key_flag_alt_down;
    } else {
        key.message = press ? k_key_message_down : k_key_message_up;
    }
    return key;
}

}  // namespace zuvela
