#include "shell/lock_keys.h"

namespace zuvela {

namespace {

constexpr int k_shortcut_shift_state = 2;  // exactly Ctrl
constexpr int k_key_p = 80;
constexpr int k_key_x = 88;
constexpr int k_key_r = 82;

}  // namespace

bool is_locked_key(int virtual_key) {
    switch (virtual_key) {
        case k_vk_shift:
        case k_vk_alt:
        case k_vk_left_super:
        case k_vk_right_super:
        case k_vk_menu:
            return true;
        default:
            return false;
    }
}

bool lock_examines(const LockedKey& event) {
    if (event.code != 0) return false;
    switch (event.message) {
        case k_key_message_down:
        case k_key_message_up:
        case k_key_message_sys_down:
        case k_key_message_sys_up:
            return true;
        default:
            return false;
    }
}

bool lock_keys_hook(const LockedKey& event) {
    if (!lock_examines(event)) return false;
    return (event.flags & k_key_flag_alt_down) != 0 || is_locked_key(event.key);
}

Shortcut shortcut_for(int key_code, int shift_state) {
    if (shift_state != k_shortcut_shift_state) return Shortcut::None;
    switch (key_code) {
        case k_key_p:
            return Shortcut::Print;
        case k_key_x:
            return Shortcut::Exit;
        case k_key_r:
            return Shortcut::Info;
        default:
            return Shortcut::None;
    }
}

}  // namespace zuvela
