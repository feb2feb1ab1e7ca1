// What the X11 key lock grabs, worked out from the keyboard mapping alone, without a server.
#pragma once

#include <vector>

namespace zuvela {

// The server's keyboard mapping as the lock reads it.
struct KeyboardMapping {
    int min_keycode = 8;
    int max_keycode = 255;
    int keysyms_per_keycode = 0;
    std::vector<unsigned long> keysyms;  // keysyms_per_keycode per keycode from min_keycode
    // modifier_keycodes[m] are the keycodes that set modifier bit m (Shift, Lock, Control, Mod1..Mod5).
    std::vector<std::vector<int>> modifier_keycodes;

    // The first level that names a key with a code (the unshifted one on every real key), else the first
    // symbol at all.
    unsigned long keysym_of(int keycode) const;
    // The code of the first level that has one; 0 when none does.
    int virtual_key_of(int keycode) const;
    // The modifier bits the Alt keys and Num Lock set: Mod1 and Mod2 on every common keymap, and those when
    // the mapping names neither.
    unsigned alt_mask() const;
    unsigned num_lock_mask() const;

    bool operator==(const KeyboardMapping&) const = default;
};

struct KeyGrab {
    int keycode;
    unsigned modifiers;

    bool operator==(const KeyGrab&) const = default;
};

// The X protocol's AnyModifier.
inline constexpr unsigned k_any_modifier = 1u << 15;

// One request per key and combination, so a grab another client holds refuses only its own request: the keys
// the lock takes whatever else is held (Shift, Alt, Super, Menu) with any modifier, first; then every other
// key with Alt, alone and with Shift and Ctrl (Ctrl-Alt-P is swallowed too), each in the four combinations of
// Caps Lock and Num Lock, which change nothing.
std::vector<KeyGrab> plan_grabs(const KeyboardMapping& mapping);

// A key whose any-modifier grab was refused (another client holds one of its combinations) is taken
// combination by combination instead, so only the combinations the other client holds are missed.
std::vector<KeyGrab> every_combination(int keycode);

// After a keymap change the new grabs are taken while the old ones still hold. Given the grabs held before
// and those taken now (each as requested: a key with any modifier, or one combination), the ungrab requests
// that let go of the rest and of nothing taken now. A key's any-modifier grab that is no longer wanted is
// given up combination by combination around the ones that are.
std::vector<KeyGrab> releases_after_regrab(const std::vector<KeyGrab>& before,
                                           const std::vector<KeyGrab>& now);

}  // namespace zuvela
