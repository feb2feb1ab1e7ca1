// The X11 keyboard lock against a real X server: what it takes and what it lets pass.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>

#include <atomic>

#include "platform/x11/x11_key_lock.h"
#include "shell/lock_keys.h"

// Last: Xlib's macros (None, Bool, True …) would break the headers above.
#include "x11_lock_fixture.h"

namespace zuvela {
namespace {

using namespace x11_test;

// One Xvfb for the whole run of this executable.
const auto* const k_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

// --- without the lock ---

TEST_F(X11KeyLockTest, WithoutTheLockTheWindowManagerGetsAltTabAndTheWindowTheOtherKeys) {
    wm_grab(tab, Mod1Mask);
    alt_tab();
    tap(shift_l);
    tap(menu);
    barrier();
    EXPECT_EQ(wm.count(tab, true), 1);
    EXPECT_EQ(focus.count(alt_l, true), 1);
    EXPECT_EQ(focus.count(shift_l, true), 1);
    EXPECT_EQ(focus.count(menu, true), 1);
}

// --- what the lock takes ---

TEST_F(X11KeyLockTest, InstallTakesEveryKeyWhenNobodyElseHoldsOne) {
    EXPECT_NE(install(), 0);
    EXPECT_TRUE(lock->in_force());
    EXPECT_TRUE(lock->contested_keycodes().empty());
}

TEST_F(X11KeyLockTest, TheLockedKeysReachNothingAndAreShownWithTheirCodes) {
    ASSERT_NE(install(), 0);
    for (int k : {shift_l, shift_r, super_l, super_r, menu, alt_l, alt_r}) tap(k);
    barrier();
    EXPECT_TRUE(focus_keys().empty()) << focus_keys().size() << " keys reached the window";

    const std::vector<LockedKey> expected = {
        {0, 256, 16, 0},    {0, 257, 16, 0},    {0, 256, 16, 0},    {0, 257, 16, 0},    {0, 256, 91, 0},
        {0, 257, 91, 0},    {0, 256, 92, 0},    {0, 257, 92, 0},    {0, 256, 93, 0},    {0, 257, 93, 0},
        {0, 260, 18, 0x20}, {0, 261, 18, 0x20}, {0, 260, 18, 0x20}, {0, 261, 18, 0x20},
    };
    // The barrier's Z is shown too when it passes through the lock; it is left out here.
    std::vector<LockedKey> locked;
    for (const LockedKey& k : shown) {
        if (k.key != 'Z') locked.push_back(k);
    }
    ASSERT_EQ(locked.size(), expected.size()) << describe(locked);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(same(locked[i], expected[i])) << i << ": " << describe(locked);
    }
}

TEST_F(X11KeyLockTest, AltTabAndAltF4NeverReachTheWindowManagerNorTheWindow) {
    wm_grab(tab, Mod1Mask);
    wm_grab(f4, Mod1Mask);
    ASSERT_NE(install(), 0);
    // The window manager's own combinations are the only grabs it costs the lock.
    EXPECT_EQ(lock->contested_keycodes(), (std::vector<int>{std::min(tab, f4), std::max(tab, f4)}));

    alt_tab();
    alt_tab();
    fake(alt_l, true);
    tap(f4);
    fake(alt_l, false);
    barrier();
    EXPECT_TRUE(wm.seen.empty());
    EXPECT_TRUE(focus_keys().empty());
    // Tab and F4 were shown with the Alt flag.
    bool tab_shown = false;
    for (const LockedKey& k : shown) {
        if (k.key == 0x09) {
            tab_shown = true;
            EXPECT_EQ(k.flags, 0x20);
            EXPECT_TRUE(k.message == 260 || k.message == 261);
        }
    }
    EXPECT_TRUE(tab_shown);
}

TEST_F(X11KeyLockTest, RightAltAndAltWithShiftOrCtrlAreSwallowedToo) {
    wm_grab(tab, Mod1Mask);
    wm_grab(tab, Mod1Mask | ShiftMask);
    ASSERT_NE(install(), 0);
    fake(alt_r, true);
    tap(tab);
    fake(alt_r, false);
    // Ctrl goes through; Ctrl-Alt-P does not.
    fake(control, true);
    fake(alt_l, true);
    tap(key_p);
    fake(alt_l, false);
    fake(control, false);
    // Alt first, then Ctrl and Shift: everything while Alt is down is swallowed.
    fake(alt_l, true);
    fake(shift_l, true);
    tap(tab);
    fake(shift_l, false);
    fake(control, true);
    tap(key_p);
    fake(control, false);
    fake(alt_l, false);
    barrier();
    EXPECT_TRUE(wm.seen.empty());
    const auto keys = focus_keys();
    ASSERT_EQ(keys.size(), 2u) << "only the first Ctrl, down and up";
    EXPECT_EQ(keys[0].keycode, control);
    EXPECT_EQ(keys[1].keycode, control);
}

TEST_F(X11KeyLockTest, KeysPressedWhileAltIsAlreadyDownAreSwallowedWithCapsAndNumLockOn) {
    // Alt went down before the lock: its own grab never saw it, the grabs of each key with Alt catch the
    // rest.
    fake(num_lock, true);
    fake(num_lock, false);  // Num Lock on: Mod2 is in every event's state from now on
    XSync(focus.display, False);
    fake(alt_l, true);
    ASSERT_NE(install(), 0);
    tap(f4);
    tap(key_p);
    fake(alt_l, false);
    fake(num_lock, true);
    fake(num_lock, false);
    barrier();
    for (const Seen& s : focus_keys()) {
        EXPECT_NE(s.keycode, f4);
        EXPECT_NE(s.keycode, key_p);
    }
    EXPECT_EQ(focus.count(alt_l, true), 1) << "the press came before the lock";
}

TEST_F(X11KeyLockTest, SuperPlusKeysNeverReachTheWindowManagersGrab) {
    wm_grab(key_e, Mod4Mask);
    ASSERT_NE(install(), 0);
    // As a hand types: the lock has answered each key before the next one comes.
    for (int super : {super_l, super_r}) {
        fake(super, true);
        barrier();
        for (int i = 0; i < 2; ++i) {
            fake(key_e, true);
            barrier();
            fake(key_e, false);
            barrier();
        }
        fake(super, false);
        barrier();
    }
    EXPECT_TRUE(wm.seen.empty()) << wm.seen.size() << " events reached the window manager";
    // E itself passes, to the focused window; Super reaches nothing.
    EXPECT_EQ(focus.count(key_e, true), 4);
    EXPECT_EQ(focus.count(key_e, false), 4);
    EXPECT_EQ(focus.count(super_l) + focus.count(super_r), 0);
}

TEST_F(X11KeyLockTest, InABurstTheLockedKeysAreStillCaught) {
    // Everything queued at once, as when the program has not pumped for a while. Keys queued behind a
    // replayed one are dealt out by the server before the lock can take the keyboard back, so a window
    // manager's Super+E may see the second E; the locked keys themselves go through the lock's grabs whatever
    // the timing.
    wm_grab(key_e, Mod4Mask);
    wm_grab(tab, Mod1Mask);
    ASSERT_NE(install(), 0);
    fake(super_l, true);
    tap(key_e);
    tap(menu);
    tap(key_e);
    fake(super_l, false);
    alt_tab();
    tap(shift_l);
    fake(super_r, true);
    fake(super_r, false);
    barrier();
    EXPECT_EQ(focus.count(key_e, true), 2 - wm.count(key_e, true));
    EXPECT_EQ(wm.count(tab), 0);
    for (int k : {super_l, super_r, menu, alt_l, shift_l}) {
        EXPECT_EQ(focus.count(k, true), 0) << k;
        EXPECT_EQ(wm.count(k, true), 0) << k;
    }
}

TEST_F(X11KeyLockTest, MenuReachesNothing) {
    ASSERT_NE(install(), 0);
    tap(menu);
    fake(control, true);
    tap(menu);
    fake(control, false);
    barrier();
    EXPECT_EQ(focus.count(menu), 0);
    EXPECT_EQ(wm.count(menu), 0);
    EXPECT_EQ(focus.count(control), 2);
}

TEST_F(X11KeyLockTest, AGrabAnotherClientHoldsCostsOnlyThatKey) {
    // The window manager already has the left Super key alone.
    wm_grab(super_l, 0);
    wm_grab(tab, Mod1Mask);
    ASSERT_NE(install(), 0);
    EXPECT_EQ(lock->contested_keycodes(), (std::vector<int>{std::min(tab, super_l), std::max(tab, super_l)}));

    tap(super_l);  // the window manager's
    tap(super_r);
    tap(menu);
    alt_tab();
    tap(shift_l);
    barrier();
    EXPECT_EQ(wm.count(super_l, true), 1);
    EXPECT_EQ(wm.count(tab), 0);
    EXPECT_EQ(wm.seen.size(), 2u) << "Super_L down and up, nothing else";
    EXPECT_TRUE(focus_keys().empty());

    // With Ctrl held the left Super key is no longer the window manager's combination: the lock has it.
    fake(control, true);
    tap(super_l);
    fake(control, false);
    barrier();
    EXPECT_EQ(wm.count(super_l, true), 1);
    EXPECT_EQ(focus.count(super_l), 0);
}

TEST_F(X11KeyLockTest, AKeyMappedToMenuLaterIsLockedToo) {
    // A keycode with no key on it becomes a second Menu key while the lock is in force.
    int spare = 0;
    int min = 0, max = 0, per = 0;
    XDisplayKeycodes(faker.display, &min, &max);
    KeySym* map = XGetKeyboardMapping(faker.display, KeyCode(min), max - min + 1, &per);
    for (int k = max; k >= min && spare == 0; --k) {
        bool empty = true;
        for (int level = 0; level < per; ++level) empty = empty && map[(k - min) * per + level] == NoSymbol;
        if (empty) spare = k;
    }
    XFree(map);
    ASSERT_NE(spare, 0);

    ASSERT_NE(install(), 0);
    KeySym menu_sym = XK_Menu;
    XChangeKeyboardMapping(faker.display, spare, 1, &menu_sym, 1);
    XSync(faker.display, False);
    // The lock grabs again when its MappingNotify comes; a pump takes it.
    ASSERT_TRUE(pump_until([&] {
        XSync(focus.display, False);
        return true;
    }));
    barrier();
    tap(spare);
    barrier();
    KeySym none = NoSymbol;
    XChangeKeyboardMapping(faker.display, spare, 1, &none, 1);
    XSync(faker.display, False);
    EXPECT_EQ(focus.count(spare), 0);
    EXPECT_TRUE(lock->in_force());
}

namespace {
std::atomic<bool> g_grab_refused{false};
int note_refusal(Display*, XErrorEvent* e) {
    if (e->request_code == 33 /* X_GrabKey */) g_grab_refused = true;
    return 0;
}
}  // namespace

TEST_F(X11KeyLockTest, WhileTheKeymapChangesAnotherClientNeverGetsAKey) {
    // A layout switch, a keyboard plugged in, xdotool typing a symbol the layout lacks: the lock grabs again,
    // and another client trying all the while to grab Super must never find it free in between.
    int min = 0, max = 0, per = 0;
    XDisplayKeycodes(faker.display, &min, &max);
    KeySym* map = XGetKeyboardMapping(faker.display, KeyCode(min), max - min + 1, &per);
    int spare = 0;
    for (int k = max; k >= min && spare == 0; --k) {
        bool empty = true;
        for (int level = 0; level < per; ++level) empty = empty && map[(k - min) * per + level] == NoSymbol;
        if (empty) spare = k;
    }
    XFree(map);
    ASSERT_NE(spare, 0);
    ASSERT_NE(install(), 0);

    int stop[2], got[2];
    ASSERT_EQ(::pipe(stop), 0);
    ASSERT_EQ(::pipe(got), 0);
    const pid_t grabber = ::fork();
    ASSERT_GE(grabber, 0);
    if (grabber == 0) {
        ::close(stop[1]);
        Display* d = XOpenDisplay(nullptr);
        if (!d) ::_exit(1);
        XSetErrorHandler(&note_refusal);
        int taken = 0;
        for (pollfd p{stop[0], POLLIN, 0}; ::poll(&p, 1, 0) == 0;) {
            g_grab_refused = false;
            XGrabKey(d, super_l, 0, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
            XSync(d, False);
            if (g_grab_refused) continue;
            ++taken;
            XUngrabKey(d, super_l, 0, DefaultRootWindow(d));
        }
        (void)::write(got[1], &taken, sizeof taken);
        ::_exit(0);
    }
    ::close(stop[0]);
    ::close(got[1]);

    for (int change = 0; change < 16; ++change) {
        KeySym sym = change % 2 ? NoSymbol : XK_F13;
        XChangeKeyboardMapping(faker.display, spare, 1, &sym, 1);
        XSync(faker.display, False);
        barrier();  // the lock has grabbed again by the time Z is through
    }
    ::close(stop[1]);
    int taken = -1;
    ASSERT_EQ(::read(got[0], &taken, sizeof taken), ssize_t(sizeof taken));
    ::close(got[0]);
    ::waitpid(grabber, nullptr, 0);
    EXPECT_EQ(taken, 0) << "another client grabbed Super while the keymap changed 16 times";
    EXPECT_TRUE(lock->in_force());
}

// --- keys that pass ---

TEST_F(X11KeyLockTest, ShiftPSwallowsTheShiftAndThePReachesTheFocusedWindow) {
    ASSERT_NE(install(), 0);
    // Step by step, as a hand types: the lock deals with each key before the next one comes.
    fake(shift_l, true);
    barrier();
    fake(key_p, true);
    barrier();
    fake(key_p, false);
    barrier();
    fake(shift_l, false);
    barrier();
    const auto keys = focus_keys();
    ASSERT_EQ(keys.size(), 2u) << describe(keys);
    EXPECT_TRUE(keys[0].press);
    EXPECT_EQ(keys[0].keycode, key_p);
    EXPECT_FALSE(keys[1].press);
    EXPECT_EQ(keys[1].keycode, key_p);
    EXPECT_EQ(focus.count(shift_l), 0) << "neither the press nor the release of Shift";
    // The X server still counts Shift as held: the P carries it in its state.
    EXPECT_TRUE(keys[0].state & ShiftMask);
}

TEST_F(X11KeyLockTest, ShiftPInOneBurstStillDeliversTheP) {
    ASSERT_NE(install(), 0);
    // All four events reach the server before the lock has seen the first.
    fake(shift_r, true);
    tap(key_p);
    fake(shift_r, false);
    barrier();
    EXPECT_EQ(focus.count(key_p, true), 1);
    EXPECT_EQ(focus.count(key_p, false), 1);
    EXPECT_EQ(focus.count(shift_r, true), 0);
    // The release of Shift may follow the replayed P to the window: the lock gave the keyboard back with P.
    EXPECT_LE(focus.count(shift_r, false), 1);
}

TEST_F(X11KeyLockTest, CtrlEscapeLettersAndDigitsPassUntouched) {
    ASSERT_NE(install(), 0);
    const int escape = keycode(XK_Escape), one = keycode(XK_1), f1 = keycode(XK_F1);
    fake(control, true);
    tap(key_p);
    fake(control, false);
    for (int k : {escape, one, f1, key_e}) tap(k);
    barrier();
    const auto presses = focus.presses();
    std::vector<int> got;
    for (const Seen& s : presses) got.push_back(s.keycode);
    EXPECT_EQ(got, (std::vector<int>{control, key_p, escape, one, f1, key_e, key_z}));
    // The keys nobody grabs never go through the lock.
    for (const LockedKey& k : shown) EXPECT_EQ(k.key, 'Z') << "shown: " << describe(shown);
}

TEST_F(X11KeyLockTest, KeysTheCallbackPassesReachTheFocusedWindowInOrder) {
    ASSERT_NE(install([](const LockedKey&) { return false; }), 0);
    for (int k : {shift_l, super_r, menu}) tap(k);
    fake(alt_l, true);
    tap(key_p);
    fake(alt_l, false);
    barrier();
    std::vector<std::pair<bool, int>> got;
    for (const Seen& s : focus_keys()) got.emplace_back(s.press, s.keycode);
    const std::vector<std::pair<bool, int>> expected = {
        {true, shift_l}, {false, shift_l}, {true, super_r}, {false, super_r}, {true, menu},
        {false, menu},   {true, alt_l},    {true, key_p},   {false, key_p},   {false, alt_l}};
    EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace zuvela
