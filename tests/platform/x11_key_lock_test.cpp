// The X11 keyboard lock against a real X server: a private Xvfb, a focused window, a client standing in for
// the window manager with its own passive grabs, and keys faked with XTest.
#include "platform/x11/x11_key_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "shell/lock_keys.h"

// Last: Xlib's macros (None, Bool, True …) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace zuvela {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// One Xvfb for the whole run of this executable, on a display number it picks itself.
class XvfbEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        m_pid = ::fork();
        ASSERT_GE(m_pid, 0);
        if (m_pid == 0) {
            // A test killed by a timeout takes its server with it (one stalled by a flood ignores SIGTERM).
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::close(fds[0]);
            const int quiet = ::open("/dev/null", O_WRONLY);
            if (quiet >= 0) ::dup2(quiet, 2);
            const std::string fd = std::to_string(fds[1]);
            // -noreset: between tests every client goes, and a server resetting then refuses the next one.
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset", "-screen", "0",
                     "320x240x24", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        const auto deadline = Clock::now() + 20s;
        while (Clock::now() < deadline) {
            pollfd p{fds[0], POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char c = 0;
            if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start (the xvfb package installs it)";
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    void TearDown() override {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGTERM);
        const auto deadline = Clock::now() + 2s;
        while (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(10ms);
        }
        m_pid = -1;
    }

  private:
    pid_t m_pid = -1;
};

const auto* const k_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

int ignore_x_errors(Display*, XErrorEvent*) {
    return 0;
}

struct Seen {
    bool press;
    int keycode;
    unsigned state;
};

// A client of the test's X server and the key events it has been given.
class Client {
  public:
    Client() : display(XOpenDisplay(nullptr)) {}
    ~Client() {
        if (display) XCloseDisplay(display);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    void drain() {
        while (XPending(display) > 0) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == KeyPress || e.type == KeyRelease) {
                seen.push_back({e.type == KeyPress, int(e.xkey.keycode), e.xkey.state});
            }
        }
    }
    int count(int keycode, std::optional<bool> press = std::nullopt) const {
        int n = 0;
        for (const Seen& s : seen) n += s.keycode == keycode && (!press || s.press == *press);
        return n;
    }
    std::vector<Seen> presses() const {
        std::vector<Seen> out;
        for (const Seen& s : seen) {
            if (s.press) out.push_back(s);
        }
        return out;
    }

    Display* display;
    std::vector<Seen> seen;
};

class X11KeyLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        XSetErrorHandler(&ignore_x_errors);
        ASSERT_NE(focus.display, nullptr);
        ASSERT_NE(wm.display, nullptr);
        ASSERT_NE(faker.display, nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(faker.display, &event, &error, &major, &minor));

        // The focused window: where keys go that nobody grabs.
        Display* d = focus.display;
        window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 100, 100, 0, 0, 0);
        XSelectInput(d, window, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
        XMapWindow(d, window);
        for (XEvent e;;) {
            XNextEvent(d, &e);
            if (e.type == MapNotify) break;
        }
        XSetInputFocus(d, window, RevertToPointerRoot, CurrentTime);
        XSync(d, False);

        shift_l = keycode(XK_Shift_L);
        shift_r = keycode(XK_Shift_R);
        alt_l = keycode(XK_Alt_L);
        alt_r = keycode(XK_Alt_R);
        super_l = keycode(XK_Super_L);
        super_r = keycode(XK_Super_R);
        menu = keycode(XK_Menu);
        control = keycode(XK_Control_L);
        tab = keycode(XK_Tab);
        f4 = keycode(XK_F4);
        key_e = keycode(XK_e);
        key_p = keycode(XK_p);
        key_z = keycode(XK_z);
        num_lock = keycode(XK_Num_Lock);
        for (int k : {shift_l, shift_r, alt_l, alt_r, super_l, super_r, menu, control, tab, f4, key_e, key_p,
                      key_z, num_lock}) {
            ASSERT_NE(k, 0);
        }
    }

    void TearDown() override {
        // No key stays down for the next test (the server outlives it).
        lock.reset();
        char keys[32] = {};
        XQueryKeymap(faker.display, keys);
        for (int k = 8; k < 256; ++k) {
            if (keys[k / 8] & (1 << (k % 8)))
                XTestFakeKeyEvent(faker.display, unsigned(k), False, CurrentTime);
        }
        XSync(faker.display, False);
    }

    int keycode(KeySym keysym) { return XKeysymToKeycode(faker.display, keysym); }

    void fake(int keycode, bool press) {
        XTestFakeKeyEvent(faker.display, unsigned(keycode), press ? True : False, CurrentTime);
        XSync(faker.display, False);
    }
    void tap(int keycode) {
        fake(keycode, true);
        fake(keycode, false);
    }

    // Pumps the lock and collects what the windows were given until `done` holds.
    bool pump_until(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms) {
        const auto deadline = Clock::now() + limit;
        for (;;) {
            if (lock) lock->pump();
            focus.drain();
            wm.drain();
            if (done()) return true;
            if (Clock::now() > deadline) return false;
            std::vector<pollfd> fds{{ConnectionNumber(focus.display), POLLIN, 0}};
            if (lock && lock->connection_fd() >= 0) fds.push_back({lock->connection_fd(), POLLIN, 0});
            ::poll(fds.data(), fds.size(), 10);
        }
    }

    // Z goes through to the focused window after every key faked before it has been dealt with: once it is
    // there, everything else has arrived wherever it was going.
    void barrier() {
        const int before = focus.count(key_z, false);
        tap(key_z);
        ASSERT_TRUE(pump_until([&] { return focus.count(key_z, false) > before; }))
            << "the keyboard is stuck: Z never reached the focused window";
        XSync(wm.display, False);
        wm.drain();
    }

    // The barrier as the program sees it: the lock is pumped only when its descriptor is readable.
    bool pump_only_when_readable() {
        const int before = focus.count(key_z, false);
        tap(key_z);
        const auto deadline = Clock::now() + 3s;
        while (Clock::now() < deadline) {
            pollfd p{lock->connection_fd(), POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) lock->pump();
            focus.drain();
            if (focus.count(key_z, false) > before) return true;
        }
        return false;
    }

    // Keys the focused window got, the barrier's Z left out.
    std::vector<Seen> focus_keys() const {
        std::vector<Seen> out;
        for (const Seen& s : focus.seen) {
            if (s.keycode != key_z) out.push_back(s);
        }
        return out;
    }

    // The window manager's passive grab on the root window, in the four Caps Lock / Num Lock combinations.
    void wm_grab(int keycode, unsigned modifiers) {
        for (unsigned extra : {0u, unsigned(LockMask), unsigned(Mod2Mask), unsigned(LockMask | Mod2Mask)}) {
            XGrabKey(wm.display, keycode, modifiers | extra, DefaultRootWindow(wm.display), False,
                     GrabModeAsync, GrabModeAsync);
        }
        XSync(wm.display, False);
    }

    int install(std::function<bool(const LockedKey&)> swallow = lock_keys_hook) {
        lock = std::make_unique<X11KeyLock>();
        return lock->install([this, swallow](const LockedKey& k) {
            shown.push_back(k);
            return swallow(k);
        });
    }

    void alt_tab() {
        fake(alt_l, true);
        tap(tab);
        fake(alt_l, false);
    }

    Client focus;
    Client wm;
    Client faker;
    Window window = 0;
    std::unique_ptr<X11KeyLock> lock;
    std::vector<LockedKey> shown;
    int shift_l = 0, shift_r = 0, alt_l = 0, alt_r = 0, super_l = 0, super_r = 0, menu = 0, control = 0,
        tab = 0, f4 = 0, key_e = 0, key_p = 0, key_z = 0, num_lock = 0;
};

bool same(const LockedKey& a, const LockedKey& b) {
    return a.code == b.code && a.message == b.message && a.key == b.key && a.flags == b.flags;
}

std::string describe(const std::vector<Seen>& keys) {
    std::string out;
    for (const Seen& k : keys) {
        out += std::string(k.press ? "down " : "up ") + std::to_string(k.keycode) + " state " +
               std::to_string(k.state) + "; ";
    }
    return out;
}

std::string describe(const std::vector<LockedKey>& keys) {
    std::string out;
    for (const LockedKey& k : keys) {
        out += "{" + std::to_string(k.message) + "," + std::to_string(k.key) + "," + std::to_string(k.flags) +
               "} ";
    }
    return out;
}

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
