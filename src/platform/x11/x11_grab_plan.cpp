#include "platform/x11/x11_grab_plan.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <map>
#include <set>

#include "platform/services.h"
#include "platform/x11/x11_key_codes.h"

namespace zuvela {

static_assert(k_any_modifier == AnyModifier);

namespace {

bool is_always_grabbed(int virtual_key) {
    return virtual_key == k_vk_shift || virtual_key == k_vk_alt || virtual_key == k_vk_left_super ||
           virtual_key == k_vk_right_super || virtual_key == k_vk_menu;
}

bool is_alt_keysym(unsigned long keysym) {
    return keysym == XK_Alt_L || keysym == XK_Alt_R || keysym == XK_Meta_L || keysym == XK_Meta_R;
}

// The first modifier bit set by a key that carries one of `wanted`'s keysyms at any level.
template <typename Wanted>
unsigned first_modifier_with(const KeyboardMapping& m, Wanted wanted, unsigned fallback) {
    for (std::size_t mod = 0; mod < m.modifier_keycodes.size() && mod < 8; ++mod) {
        for (int keycode : m.modifier_keycodes[mod]) {
            if (keycode < m.min_keycode || keycode > m.max_keycode) continue;
            const std::size_t base = std::size_t(keycode - m.min_keycode) * m.keysyms_per_keycode;
            for (int level = 0; level < m.keysyms_per_keycode; ++level) {
                if (base + level < m.keysyms.size() && wanted(m.keysyms[base + level])) return 1u << mod;
            }
        }
    }
    return fallback;
}

}  // namespace

unsigned long KeyboardMapping::keysym_of(int keycode) const {
    if (keycode < min_keycode || keycode > max_keycode) return NoSymbol;
    const std::size_t base = std::size_t(keycode - min_keycode) * keysyms_per_keycode;
    unsigned long first = NoSymbol;
    for (int level = 0; level < keysyms_per_keycode && base + level < keysyms.size(); ++level) {
        const unsigned long keysym = keysyms[base + level];
        if (keysym == NoSymbol) continue;
        if (first == NoSymbol) first = keysym;
        if (virtual_key_for_key(keysym, keycode) != 0) return keysym;
    }
    return first;
}

int KeyboardMapping::virtual_key_of(int keycode) const {
    if (keycode < min_keycode || keycode > max_keycode) return 0;
    const std::size_t base = std::size_t(keycode - min_keycode) * keysyms_per_keycode;
    for (int level = 0; level < keysyms_per_keycode && base + level < keysyms.size(); ++level) {
        const int vk = virtual_key_for_key(keysyms[base + level], keycode);
        if (vk != 0) return vk;
    }
    return 0;
}

unsigned KeyboardMapping::alt_mask() const {
    return first_modifier_with(*this, is_alt_keysym, Mod1Mask);
}

unsigned KeyboardMapping::num_lock_mask() const {
    return first_modifier_with(
        *this, [](unsigned long keysym) { return keysym == XK_Num_Lock; }, Mod2Mask);
}

std::vector<KeyGrab> plan_grabs(const KeyboardMapping& mapping) {
    const unsigned alt = mapping.alt_mask(), num_lock = mapping.num_lock_mask();
    const unsigned ignored[] = {0u, unsigned(LockMask), num_lock, unsigned(LockMask) | num_lock};
    const unsigned with_alt[] = {alt, alt | ShiftMask, alt | ControlMask, alt | ShiftMask | ControlMask};

    std::vector<KeyGrab> always, others;
    for (int keycode = mapping.min_keycode; keycode <= mapping.max_keycode; ++keycode) {
        if (is_always_grabbed(mapping.virtual_key_of(keycode))) {
            always.push_back({keycode, k_any_modifier});
            continue;
        }
        for (unsigned base : with_alt) {
            for (unsigned extra : ignored) others.push_back({keycode, base | extra});
        }
    }
    always.insert(always.end(), others.begin(), others.end());
    return always;
}

std::vector<KeyGrab> every_combination(int keycode) {
    std::vector<KeyGrab> grabs;
    for (unsigned modifiers = 0; modifiers < 256; ++modifiers) grabs.push_back({keycode, modifiers});
    return grabs;
}

std::vector<KeyGrab> releases_after_regrab(const std::vector<KeyGrab>& before,
                                           const std::vector<KeyGrab>& now) {
    std::map<int, std::set<unsigned>> was, is;
    for (const KeyGrab& g : before) was[g.keycode].insert(g.modifiers);
    for (const KeyGrab& g : now) is[g.keycode].insert(g.modifiers);
    std::vector<KeyGrab> releases;
    for (const auto& [keycode, modifiers] : was) {
        const auto kept = is.find(keycode);
        if (kept == is.end()) {
            releases.push_back({keycode, k_any_modifier});
            continue;
        }
        if (kept->second.count(k_any_modifier)) continue;  // covers whatever was held before
        if (modifiers.count(k_any_modifier)) {
            for (const KeyGrab& g : every_combination(keycode)) {
                if (!kept->second.count(g.modifiers)) releases.push_back(g);
            }
            continue;
        }
        for (unsigned m : modifiers) {
            if (!kept->second.count(m)) releases.push_back({keycode, m});
        }
    }
    return releases;
}

}  // namespace zuvela
