// A keyboard that arrives under Wayland with a keymap that names no layout (an on-screen keyboard, a typing
// or remote-help tool) is looked up by SDL 2.26 key by key in its "current" layout. Until the compositor has
// sent the keyboard's first modifiers, that layout is XKB_LAYOUT_INVALID, and libxkbcommon 1.5 wraps the
// index of a key with one layout to 1, one past its last, and reads beyond the key: a key held as such a
// keyboard comes, or typed before its modifiers, ended the program with a segmentation fault.
//
// SDL takes the function's address from the global scope when it starts its Wayland back end, so the
// definition in the executable is the one it calls. An index that stands for no layout asks for the first
// one; everything else goes to the library unchanged.
#include <dlfcn.h>

#include <cstdint>

struct xkb_keymap;

extern "C" __attribute__((visibility("default"))) int xkb_keymap_key_get_syms_by_level(
    xkb_keymap* keymap, std::uint32_t key, std::uint32_t layout, std::uint32_t level,
    const std::uint32_t** syms_out) {
    using Lookup = int (*)(xkb_keymap*, std::uint32_t, std::uint32_t, std::uint32_t, const std::uint32_t**);
    static const auto library =
        reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "xkb_keymap_key_get_syms_by_level"));
    if (!library || !keymap) {
        if (syms_out) *syms_out = nullptr;
        return 0;
    }
    if (std::int32_t(layout) < 0) layout = 0;
    return library(keymap, key, layout, level, syms_out);
}
