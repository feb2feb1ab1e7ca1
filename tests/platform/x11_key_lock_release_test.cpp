// The X11 keyboard lock against a real X server: the program's own window, pumping, releasing, a lock that
// dies; without a display; and the translation of X keys.
#include <gtest/gtest.h>

#include "platform/x11/x11_key_lock.h"
#include "shell/lock_keys.h"

// Last: Xlib's macros (None, Bool, True …) would break the headers above.
#include "x11_lock_fixture.h"

namespace zuvela {
namespace {

using namespace x11_test;

// --- the program's own window, pump, release ---

TEST_F(X11KeyLockTest, SwallowsAnswersForTheProgramsOwnWindowOnlyWhileTheLockIsInForce) {
    X11KeyLock own;
    const LockedKey shift{0, 256, 16, 0};
    const LockedKey p{0, 256, 'P', 0};
    EXPECT_FALSE(own.swallows(shift));
    const int handle = own.install(lock_keys_hook);
    ASSERT_NE(handle, 0);
    EXPECT_TRUE(own.swallows(shift));
    EXPECT_FALSE(own.swallows(p));
    EXPECT_TRUE(own.swallows(LockedKey{0, 260, 'P', 0x20}));
    own.release(handle);
    EXPECT_FALSE(own.in_force());
    EXPECT_FALSE(own.swallows(shift));
}

TEST_F(X11KeyLockTest, AThrowingCallbackPassesTheKey) {
    ASSERT_NE(install([](const LockedKey&) -> bool { throw std::runtime_error("no"); }), 0);
    tap(menu);
    barrier();
    EXPECT_EQ(focus.count(menu), 2);
}

TEST_F(X11KeyLockTest, PumpReturnsAtOnceWhenNothingCame) {
    ASSERT_NE(install(), 0);
    EXPECT_GE(lock->connection_fd(), 0);
    // A pump that waited for events would hang here; no time is asserted.
    for (int i = 0; i < 100; ++i) lock->pump();
}

TEST_F(X11KeyLockTest, AfterReleaseEveryoneGetsTheirKeysAgain) {
    wm_grab(tab, Mod1Mask);
    const int handle = install();
    ASSERT_NE(handle, 0);
    alt_tab();
    barrier();
    EXPECT_TRUE(wm.seen.empty());

    lock->release(handle);
    EXPECT_FALSE(lock->in_force());
    lock->release(handle);  // again: nothing happens
    alt_tab();
    tap(shift_l);
    tap(menu);
    barrier();
    EXPECT_EQ(wm.count(tab, true), 1);
    EXPECT_EQ(focus.count(shift_l), 2);
    EXPECT_EQ(focus.count(menu), 2);
}

TEST_F(X11KeyLockTest, ReleasingWhileAKeyIsWithTheLockFreesTheKeyboard) {
    const int handle = install();
    ASSERT_NE(handle, 0);
    fake(shift_l, true);  // the keyboard waits for the lock's answer
    lock->release(handle);
    fake(shift_l, false);
    tap(menu);
    barrier();
    EXPECT_EQ(focus.count(menu), 2);
}

TEST_F(X11KeyLockTest, ReinstallingGivesANewHandleAndTheOldOneReleasesNothing) {
    const int first = install();
    ASSERT_NE(first, 0);
    const int second = lock->install(lock_keys_hook);
    ASSERT_NE(second, 0);
    EXPECT_NE(second, first);
    lock->release(first);
    EXPECT_TRUE(lock->in_force());
    tap(menu);
    barrier();
    EXPECT_EQ(focus.count(menu), 0);
    lock->release(second);
    EXPECT_FALSE(lock->in_force());
}

TEST_F(X11KeyLockTest, TheDestructorGivesTheKeysBack) {
    wm_grab(tab, Mod1Mask);
    ASSERT_NE(install(), 0);
    lock.reset();
    alt_tab();
    barrier();
    EXPECT_EQ(wm.count(tab, true), 1);
}

TEST_F(X11KeyLockTest, WhenTheLockingProcessIsKilledTheGrabsGoWithIt) {
    wm_grab(tab, Mod1Mask);
    XSync(focus.display, False);
    XSync(faker.display, False);

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A connection of its own; the parent's are never touched here.
        ::close(ready[0]);
        X11KeyLock child_lock;
        const int handle = child_lock.install(lock_keys_hook);
        const char answer = handle != 0 ? 'y' : 'n';
        if (::write(ready[1], &answer, 1) != 1) ::_exit(2);
        for (;;) {
            pollfd p{child_lock.connection_fd(), POLLIN, 0};
            ::poll(&p, 1, 100);
            child_lock.pump();
        }
    }
    ::close(ready[1]);
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid > 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
    } reaper{child};
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(answer, 'y');

    alt_tab();
    barrier();
    EXPECT_TRUE(wm.seen.empty()) << "the child's lock had Alt-Tab";

    // Killed while the keyboard waits for its answer on Shift.
    fake(shift_l, true);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    reaper.pid = -1;
    fake(shift_l, false);

    alt_tab();
    barrier();
    EXPECT_EQ(wm.count(tab, true), 1);
}

// The program pumps only when the connection's descriptor is readable. Keys pressed while install() or
// release() talk to the server are read into Xlib's queue on the way, where the descriptor no longer shows
// them: the lock must not leave any there, or the keyboard would wait for an answer that never comes.
TEST_F(X11KeyLockTest, KeysPressedDuringInstallAndReleaseNeverLeaveTheKeyboardWaiting) {
    std::atomic<bool> typing{false};
    const auto hand = [&] {
        Display* d = XOpenDisplay(nullptr);
        const unsigned m = XKeysymToKeycode(d, XK_Menu);
        // Fast, but a hand: an unending flood while the keyboard waits piles up in the server, which replays
        // its queue from the start after every event and stalls.
        while (typing) {
            XTestFakeKeyEvent(d, m, True, CurrentTime);
            XTestFakeKeyEvent(d, m, False, CurrentTime);
            XSync(d, False);
            std::this_thread::sleep_for(2ms);
        }
        XCloseDisplay(d);
    };
    for (int round = 0; round < 5; ++round) {
        typing = true;
        std::thread during_install(hand);
        lock = std::make_unique<X11KeyLock>();
        const int handle = lock->install(lock_keys_hook);
        typing = false;
        during_install.join();
        ASSERT_NE(handle, 0);
        EXPECT_TRUE(pump_only_when_readable()) << "round " << round << ": stuck after install";

        typing = true;
        std::thread during_release(hand);
        std::this_thread::sleep_for(20ms);
        lock->release(handle);
        typing = false;
        during_release.join();
        EXPECT_TRUE(pump_only_when_readable()) << "round " << round << ": stuck after release";
        lock.reset();
    }
}

// --- no X display ---

TEST(X11KeyLockWithoutDisplay, NothingIsLockedAndNothingBreaks) {
    const char* saved = std::getenv("DISPLAY");
    const std::string display = saved ? saved : "";
    ::unsetenv("DISPLAY");
    {
        X11KeyLock lock;
        EXPECT_EQ(lock.connection_fd(), -1);
        EXPECT_EQ(lock.install(lock_keys_hook), 0);
        EXPECT_FALSE(lock.in_force());
        EXPECT_FALSE(lock.swallows(LockedKey{0, 256, 16, 0}));
        lock.pump();
        lock.release(0);
        lock.release(1);
    }
    {
        X11KeyLock lock("unix:4321");  // a display nobody serves
        EXPECT_EQ(lock.install(lock_keys_hook), 0);
        lock.pump();
    }
    if (saved) ::setenv("DISPLAY", display.c_str(), 1);
}

// --- translation ---

TEST(X11KeyTranslation, KeysymsBecomeVirtualKeyCodes) {
    EXPECT_EQ(virtual_key_for_keysym(XK_Shift_L), 16);
    EXPECT_EQ(virtual_key_for_keysym(XK_Shift_R), 16);
    EXPECT_EQ(virtual_key_for_keysym(XK_Control_L), 17);
    EXPECT_EQ(virtual_key_for_keysym(XK_Alt_L), 18);
    EXPECT_EQ(virtual_key_for_keysym(XK_Alt_R), 18);
    EXPECT_EQ(virtual_key_for_keysym(XK_Meta_L), 18);
    EXPECT_EQ(virtual_key_for_keysym(XK_ISO_Level3_Shift), 18);
    EXPECT_EQ(virtual_key_for_keysym(XK_Super_L), 91);
    EXPECT_EQ(virtual_key_for_keysym(XK_Super_R), 92);
    EXPECT_EQ(virtual_key_for_keysym(XK_Menu), 93);
    EXPECT_EQ(virtual_key_for_keysym(XK_p), 'P');
    EXPECT_EQ(virtual_key_for_keysym(XK_P), 'P');
    EXPECT_EQ(virtual_key_for_keysym(XK_7), '7');
    EXPECT_EQ(virtual_key_for_keysym(XK_Tab), 0x09);
    EXPECT_EQ(virtual_key_for_keysym(XK_F4), 0x73);
    EXPECT_EQ(virtual_key_for_keysym(XK_Escape), 0x1B);
    EXPECT_EQ(virtual_key_for_keysym(XK_KP_5), 0x65);
    EXPECT_EQ(virtual_key_for_keysym(NoSymbol), 0);

    // A letter outside ASCII counts as the Latin letter at its key's place (evdev X is 45, keycode 53).
    EXPECT_EQ(virtual_key_for_key(XK_Cyrillic_che, 53), 'X');
    EXPECT_EQ(virtual_key_for_key(XK_Greek_pi, 33), 'P');
    EXPECT_EQ(virtual_key_for_key(XK_hebrew_resh, 27), 'R');
    EXPECT_EQ(virtual_key_for_key(0x10010e0, 27), 'R') << "Georgian rae, a Unicode keysym";
    EXPECT_EQ(virtual_key_for_key(XK_Cyrillic_ha, 34), 0) << "on the bracket key, no letter";
    EXPECT_EQ(virtual_key_for_key(XK_q, 38), 'Q') << "AZERTY's Q where QWERTY has A";
    EXPECT_EQ(virtual_key_for_key(XK_comma, 58), 0xBC) << "AZERTY's comma on the M key";
    EXPECT_EQ(virtual_key_for_key(XK_Alt_L, 64), 18);
    EXPECT_TRUE(
        same(locked_key_from_x(XK_Cyrillic_che, 53, true, Mod1Mask, Mod1Mask), LockedKey{0, 260, 'X', 0x20}));
}

TEST(X11KeyTranslation, AltHeldMakesTheSystemMessageAndTheFlag) {
    const LockedKey p = locked_key_from_x(XK_p, 0, true, 0, Mod1Mask);
    EXPECT_TRUE(same(p, LockedKey{0, 256, 'P', 0}));
    EXPECT_TRUE(same(locked_key_from_x(XK_p, 0, false, ShiftMask, Mod1Mask), LockedKey{0, 257, 'P', 0}));
    EXPECT_TRUE(
        same(locked_key_from_x(XK_Tab, 0, true, Mod1Mask | Mod2Mask, Mod1Mask), LockedKey{0, 260, 9, 0x20}));
    EXPECT_TRUE(same(locked_key_from_x(XK_Tab, 0, false, Mod1Mask, Mod1Mask), LockedKey{0, 261, 9, 0x20}));
    EXPECT_TRUE(same(locked_key_from_x(XK_Alt_L, 0, true, 0, Mod1Mask), LockedKey{0, 260, 18, 0x20}));
    EXPECT_TRUE(same(locked_key_from_x(XK_Alt_L, 0, false, Mod1Mask, Mod1Mask), LockedKey{0, 261, 18, 0x20}));
    EXPECT_TRUE(
        same(locked_key_from_x(XK_Super_L, 0, true, ControlMask, Mod1Mask), LockedKey{0, 256, 91, 0}));
}

}  // namespace
}  // namespace zuvela
