// What the X11 keyboard lock's tests stand on: a private Xvfb, a focused window, a client standing in for the
// window manager with its own passive grabs, and keys faked with XTest.
#pragma once

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

namespace zuvela::x11_test {

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

inline int ignore_x_errors(Display*, XErrorEvent*) {
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

inline bool same(const LockedKey& a, const LockedKey& b) {
    return a.code == b.code && a.message == b.message && a.key == b.key && a.flags == b.flags;
}

inline std::string describe(const std::vector<Seen>& keys) {
    std::string out;
    for (const Seen& k : keys) {
        out += std::string(k.press ? "down " : "up ") + std::to_string(k.keycode) + " state " +
               std::to_string(k.state) + "; ";
    }
    return out;
}

inline std::string describe(const std::vector<LockedKey>& keys) {
    std::string out;
    for (const LockedKey& k : keys) {
        // Appended piece by piece: GCC 12 warns, wrongly, about a copy overlapping in "{" + std::string.
        out += '{';
        out += std::to_string(k.message) + "," + std::to_string(k.key) + "," + std::to_string(k.flags) + "} ";
    }
    return out;
}

}  // namespace zuvela::x11_test
