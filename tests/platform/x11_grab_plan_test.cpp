// What the key lock grabs, from keyboard mappings made up here: no X server is asked.
#include "platform/x11/x11_grab_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <X11/X.h>
#include <X11/keysym.h>

namespace zuvela {
namespace {

bool has(const std::vector<KeyGrab>& grabs, KeyGrab g) {
    return std::find(grabs.begin(), grabs.end(), g) != grabs.end();
}

TEST(X11GrabPlan, LockedKeysWithAnyModifierFirstEveryOtherKeyWithAltInEveryLockCombination) {
    // Two levels a key. Alt sits on Mod4 and Num Lock on Mod3 here, as a remapped keyboard may have them.
    KeyboardMapping m;
    m.min_keycode = 8;
    m.max_keycode = 13;
    m.keysyms_per_keycode = 2;
    m.keysyms = {XK_x,        XK_X,     XK_Shift_L,      NoSymbol,        XK_Meta_L, XK_Alt_L,
                 XK_Num_Lock, NoSymbol, XK_Cyrillic_che, XK_Cyrillic_CHE, NoSymbol,  XK_Menu};
    m.modifier_keycodes = {{9}, {}, {}, {}, {}, {11}, {10}, {}};

    const std::vector<KeyGrab> grabs = plan_grabs(m);
    ASSERT_EQ(grabs.size(), 3u + 3u * 16u);
    EXPECT_EQ(grabs[0], (KeyGrab{9, k_any_modifier}));
    EXPECT_EQ(grabs[1], (KeyGrab{10, k_any_modifier}));
    EXPECT_EQ(grabs[2], (KeyGrab{13, k_any_modifier})) << "Menu only on the second level";
    for (int keycode : {8, 11, 12}) {
        for (unsigned with :
             {0u, unsigned(ShiftMask), unsigned(ControlMask), unsigned(ShiftMask | ControlMask)}) {
            for (unsigned ignored :
                 {0u, unsigned(LockMask), unsigned(Mod3Mask), unsigned(LockMask | Mod3Mask)}) {
                EXPECT_TRUE(has(grabs, {keycode, Mod4Mask | with | ignored}))
                    << keycode << " with " << std::hex << (Mod4Mask | with | ignored);
            }
        }
    }
    EXPECT_FALSE(std::any_of(grabs.begin(), grabs.end(), [](KeyGrab g) { return g.modifiers & Mod1Mask; }))
        << "Alt is where the mapping puts it, not where it usually is";

    // A mapping that names neither Alt nor Num Lock: the usual bits.
    m.modifier_keycodes = {};
    EXPECT_EQ(m.alt_mask(), unsigned(Mod1Mask));
    EXPECT_EQ(m.num_lock_mask(), unsigned(Mod2Mask));
    EXPECT_TRUE(has(plan_grabs(m), {8, Mod1Mask | LockMask | Mod2Mask}));

    // A key taken combination by combination gets each of the 256 once.
    std::vector<KeyGrab> each = every_combination(9);
    ASSERT_EQ(each.size(), 256u);
    for (unsigned mods = 0; mods < 256; ++mods) EXPECT_TRUE(has(each, {9, mods}));
}

TEST(X11GrabPlan, KeysAreNamedByTheirFirstLevelWithACodeAndLettersOfOtherScriptsByTheirPlace) {
    KeyboardMapping m;
    m.min_keycode = 50;
    m.max_keycode = 53;
    m.keysyms_per_keycode = 2;
    m.keysyms = {XK_Shift_L, NoSymbol,      XK_Greek_pi,     XK_Greek_PI,
                 NoSymbol,   XK_dead_acute, XK_Cyrillic_che, XK_x};
    EXPECT_EQ(m.virtual_key_of(50), 16);
    EXPECT_EQ(m.virtual_key_of(51), 0) << "keycode 51 is the backslash key: pi there has no letter's place";
    EXPECT_EQ(m.keysym_of(52), static_cast<unsigned long>(XK_dead_acute))
        << "no level with a code: the first";
    EXPECT_EQ(m.virtual_key_of(52), 0);
    EXPECT_EQ(m.keysym_of(53), static_cast<unsigned long>(XK_Cyrillic_che));
    EXPECT_EQ(m.virtual_key_of(53), 'X') << "keycode 53 is the X key";
    EXPECT_EQ(m.virtual_key_of(49), 0);
    EXPECT_EQ(m.virtual_key_of(54), 0);
}

}  // namespace
}  // namespace zuvela
