#include "shell/lock_keys.h"

#include <gtest/gtest.h>

#include <vector>

namespace zuvela {
namespace {

LockedKey key(int vk, int message = k_key_message_down, int flags = 0, int code = 0) {
    return LockedKey{code, message, vk, flags};
}

const int k_messages[] = {k_key_message_down, k_key_message_up, k_key_message_sys_down, k_key_message_sys_up};

// Every key the lock's table names.
const int k_swallowed[] = {16, 18, 91, 92, 93};

TEST(LockKeysHook, EachLockedKeyIsSwallowedGoingDownAndUp) {
    for (int vk : k_swallowed) {
        for (int message : k_messages) {
            EXPECT_TRUE(lock_keys_hook(key(vk, message))) << "key " << vk << " message " << message;
        }
    }
}

TEST(LockKeysHook, TheNamedConstantsAreTheTablesCodes) {
    EXPECT_EQ(k_vk_shift, 16);
    EXPECT_EQ(k_vk_alt, 18);
    EXPECT_EQ(k_vk_left_super, 91);
    EXPECT_EQ(k_vk_right_super, 92);
    EXPECT_EQ(k_vk_menu, 93);
    EXPECT_EQ(k_key_flag_alt_down, 0x20);
}

TEST(LockKeysHook, AnyKeyCarryingTheAltFlagIsSwallowed) {
    for (int vk = 1; vk < 256; ++vk) {
        for (int message : k_messages) {
            EXPECT_TRUE(lock_keys_hook(key(vk, message, k_key_flag_alt_down))) << vk;
        }
    }
    // Other flag bits beside it change nothing.
    EXPECT_TRUE(lock_keys_hook(key('P', k_key_message_sys_down, 0x20 | 0x01 | 0x80)));
    // Ctrl-Alt-P: the event carries the Alt flag.
    EXPECT_TRUE(lock_keys_hook(key('P', k_key_message_sys_down, k_key_flag_alt_down)));
    // Tab and F4 with Alt.
    EXPECT_TRUE(lock_keys_hook(key(0x09, k_key_message_sys_down, k_key_flag_alt_down)));
    EXPECT_TRUE(lock_keys_hook(key(0x73, k_key_message_sys_down, k_key_flag_alt_down)));
}

TEST(LockKeysHook, OnlyBitFiveIsTheAltFlag) {
    for (int bit = 0; bit < 32; ++bit) {
        if (bit == 5) continue;
        EXPECT_FALSE(lock_keys_hook(key('A', k_key_message_down, int(1u << bit)))) << bit;
    }
}

TEST(LockKeysHook, EveryOtherKeyPasses) {
    for (int vk = 0; vk < 256; ++vk) {
        bool named = false;
        for (int s : k_swallowed) named = named || s == vk;
        if (named) continue;
        for (int message : k_messages) {
            EXPECT_FALSE(lock_keys_hook(key(vk, message))) << "key " << vk << " message " << message;
        }
    }
}

TEST(LockKeysHook, CtrlEscapeLettersAndDigitsPass) {
    for (int vk : {17, 27, int('A'), int('P'), int('X'), int('R'), int('Z'), int('0'), int('9'), 0x09, 0x0D,
                   0x20, 0x73}) {
        EXPECT_FALSE(lock_keys_hook(key(vk, k_key_message_down))) << vk;
        EXPECT_FALSE(lock_keys_hook(key(vk, k_key_message_up))) << vk;
    }
    // The left and right Ctrl and Shift codes (162–165) are not in the table: the platform reports the
    // generic codes for the keys the lock swallows.
    for (int vk : {160, 161, 162, 163, 164, 165}) EXPECT_FALSE(lock_keys_hook(key(vk))) << vk;
}

TEST(LockKeysHook, AnEventWithANonZeroCodePassesUnexamined) {
    for (int code : {1, 2, 3, -1, 0x7fffffff}) {
        for (int vk : k_swallowed) {
            EXPECT_FALSE(lock_keys_hook(key(vk, k_key_message_down, 0, code))) << code;
        }
        EXPECT_FALSE(lock_keys_hook(key('P', k_key_message_sys_down, k_key_flag_alt_down, code))) << code;
        EXPECT_FALSE(lock_examines(key(k_vk_alt, k_key_message_down, 0, code)));
    }
}

TEST(LockKeysHook, OtherMessagesPassUnexamined) {
    for (int message : {0, 1, 255, 258, 259, 262, 263, 512, 0x0100 + 0x10000, -256}) {
        for (int vk : k_swallowed) EXPECT_FALSE(lock_keys_hook(key(vk, message))) << message;
        EXPECT_FALSE(lock_keys_hook(key('P', message, k_key_flag_alt_down))) << message;
        EXPECT_FALSE(lock_examines(key(k_vk_alt, message)));
    }
    for (int message : k_messages) EXPECT_TRUE(lock_examines(key('A', message)));
}

TEST(LockKeysHook, ShiftPSwallowsTheShiftAndPassesTheP) {
    EXPECT_TRUE(lock_keys_hook(key(k_vk_shift, k_key_message_down)));
    EXPECT_FALSE(lock_keys_hook(key('P', k_key_message_down)));
    EXPECT_FALSE(lock_keys_hook(key('P', k_key_message_up)));
    EXPECT_TRUE(lock_keys_hook(key(k_vk_shift, k_key_message_up)));
}

TEST(Shortcuts, CtrlPXRAreTheThreeShortcuts) {
    EXPECT_EQ(shortcut_for(80, 2), Shortcut::Print);
    EXPECT_EQ(shortcut_for(88, 2), Shortcut::Exit);
    EXPECT_EQ(shortcut_for(82, 2), Shortcut::Info);
}

TEST(Shortcuts, TheShiftStateMustBeExactlyCtrl) {
    for (int key_code : {80, 88, 82}) {
        for (int shift = 0; shift < 8; ++shift) {
            if (shift == 2) continue;
            EXPECT_EQ(shortcut_for(key_code, shift), Shortcut::None) << key_code << " shift " << shift;
        }
        EXPECT_EQ(shortcut_for(key_code, 2 | 8), Shortcut::None);  // an unknown bit is not "exactly Ctrl"
    }
}

TEST(Shortcuts, AnyOtherKeyDoesNothing) {
    for (int key_code = 0; key_code < 256; ++key_code) {
        if (key_code == 80 || key_code == 88 || key_code == 82) continue;
        EXPECT_EQ(shortcut_for(key_code, 2), Shortcut::None) << key_code;
    }
    // Lower-case ASCII values are other virtual keys (112 is F1), not the letters.
    EXPECT_EQ(shortcut_for('p', 2), Shortcut::None);
    EXPECT_EQ(shortcut_for('x', 2), Shortcut::None);
    EXPECT_EQ(shortcut_for('r', 2), Shortcut::None);
}

}  // namespace
}  // namespace zuvela
