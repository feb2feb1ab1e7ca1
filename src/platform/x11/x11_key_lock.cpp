#include "platform/x11/x11_key_lock.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

#include "platform/x11/x11_error_trap.h"
#include "platform/x11/x11_grab_plan.h"

namespace zuvela {

namespace {

// One request of the install: its serial tells which error belongs to it.
struct GrabRequest {
    unsigned long serial;
    int keycode;
    unsigned modifiers;
};

}  // namespace

struct X11KeyLock::Impl {
    Display* display = nullptr;
    Window root = 0;
    int xkb_event = -1;  // the XKB extension's event code, which reports keymap changes
    KeyboardMapping mapping;
    unsigned alt_mask = Mod1Mask;
    unsigned num_lock_mask = Mod2Mask;
    std::vector<int> grabbed;         // keycodes with at least one grab held
    std::vector<KeyGrab> held_grabs;  // the grab requests that held, as they were made
    // Keys whose press was swallowed and whose release has not come: while one is down the keyboard stays
    // with the lock, so the keys pressed with it come here first.
    std::set<int> held;

    // Whose the keyboard is. Free: nobody's as far as the lock knows; the next key event it gets activated
    // one of its passive grabs. Passive: that passive grab, which the server ends itself when `activator`
    // goes up; the lock replaces it with its own at once when it swallows the first key. Active: the lock's
    // own XGrabKeyboard, held while a swallowed key is down; only the lock ends it.
    enum class Grab { Free, Passive, Active };
    Grab grab = Grab::Free;
    int activator = 0;
    // Key events the server had already handed over when the lock's own grab replaced the passive grab that
    // brought them: they are decided, but nothing is left to answer.
    int unanswerable = 0;

    bool read_keyboard_mapping();
    void forget_released_keys();
    int queued_key_events() const;
    std::optional<int> take_keyboard();
    void keep_keyboard_while_held();
    void handle_key(const XKeyEvent& e, bool swallow);
};

// Reads the keyboard and modifier mappings; true when they differ, as far as the grabs go, from what was read
// before.
bool X11KeyLock::Impl::read_keyboard_mapping() {
    KeyboardMapping& m = mapping;
    const auto before = std::make_tuple(m.min_keycode, m.max_keycode, m.keysyms_per_keycode, m.keysyms,
                                        alt_mask, num_lock_mask);
    XDisplayKeycodes(display, &m.min_keycode, &m.max_keycode);
    int per = 0;
    KeySym* map =
        XGetKeyboardMapping(display, KeyCode(m.min_keycode), m.max_keycode - m.min_keycode + 1, &per);
    m.keysyms_per_keycode = map ? per : 0;
    m.keysyms.assign(map,
                     map ? map + std::size_t(per) * std::size_t(m.max_keycode - m.min_keycode + 1) : map);
    if (map) XFree(map);

    m.modifier_keycodes.assign(8, {});
    if (XModifierKeymap* mods = XGetModifierMapping(display)) {
        for (int mod = 0; mod < 8; ++mod) {
            for (int i = 0; i < mods->max_keypermod; ++i) {
                const int keycode = mods->modifiermap[mod * mods->max_keypermod + i];
                if (keycode != 0) m.modifier_keycodes[std::size_t(mod)].push_back(keycode);
            }
        }
        XFreeModifiermap(mods);
    }
    alt_mask = m.alt_mask();
    num_lock_mask = m.num_lock_mask();
    return before != std::make_tuple(m.min_keycode, m.max_keycode, m.keysyms_per_keycode, m.keysyms, alt_mask,
                                     num_lock_mask);
}

void X11KeyLock::Impl::forget_released_keys() {
    if (held.empty()) return;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (auto it = held.begin(); it != held.end();) {
        const int keycode = *it;
        const bool down = keycode >= 0 && keycode < 256 && (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
        it = down ? std::next(it) : held.erase(it);
    }
}

// Key events that have come, counted without taking them and without sending anything. QueuedAfterReading
// also takes over what xcb has read but not yet handed to Xlib (a round trip reads everything before its
// reply); QueuedAlready would miss that.
int X11KeyLock::Impl::queued_key_events() const {
    const int queued = XEventsQueued(display, QueuedAfterReading);
    std::vector<XEvent> taken(std::size_t(std::max(queued, 0)));
    int keys = 0;
    for (XEvent& e : taken) {
        XNextEvent(display, &e);  // from the queue: nothing is read or sent
        keys += e.type == KeyPress || e.type == KeyRelease;
    }
    for (auto it = taken.rbegin(); it != taken.rend(); ++it) XPutBackEvent(display, &*it);
    return keys;
}

// Takes the keyboard for the lock itself, frozen, and lets the next key event come to it. Taken while the
// keyboard is with one of the lock's passive grabs, it replaces that grab (the event that activated it stays
// answered); unlike the passive grab it does not end when its first key goes up, only when the lock lets it
// go. Returns the key events the server had handed over before the grab took hold (their passive grab is gone
// with them).
std::optional<int> X11KeyLock::Impl::take_keyboard() {
    if (XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeSync, CurrentTime) != GrabSuccess) {
        return std::nullopt;
    }
    // The grab's reply came after every event sent before it, so they are all queued now.
    const int before = queued_key_events();
    grab = Grab::Active;
    XAllowEvents(display, SyncKeyboard, CurrentTime);
    return before;
}

// After a replay the grab that brought the event is gone; while a swallowed key is still down, the keyboard
// is taken again so that the next key comes to the lock before anyone else, a window manager's grab included.
void X11KeyLock::Impl::keep_keyboard_while_held() {
    // Everything the replay let through has been dealt with; a key event that came here meanwhile activated
    // one of the lock's passive grabs, which has the keyboard now and is answered in turn.
    XSync(display, False);
    if (queued_key_events() > 0) return;
    forget_released_keys();
    if (held.empty()) return;
    // A passive grab that activated between the sync and the grab was replaced by it, its event already here.
    if (const auto before = take_keyboard()) unanswerable = *before;
}

// Answers one key event that came through a grab. Every event gets exactly one answer, so the keyboard is
// never left frozen for nothing. Answers to a passive grab carry the event's time, so the server ignores them
// when that grab has ended and a newer one began; the lock's own grab is answered at CurrentTime (its events
// may be older than the grab).
void X11KeyLock::Impl::handle_key(const XKeyEvent& e, bool swallow) {
    const bool press = e.type == KeyPress;
    const int keycode = int(e.keycode);
    if (grab == Grab::Free) {
        // One of the lock's passive grabs activated with this event.
        grab = Grab::Passive;
        activator = press ? keycode : 0;
        forget_released_keys();
    }
    if (swallow && press) held.insert(keycode);
    if (!press) held.erase(keycode);

    if (unanswerable > 0) {
        --unanswerable;
        return;
    }
    if (!swallow) {
        // On to where it was going, as if the lock's grabs on the root window were not there.
        XAllowEvents(display, ReplayKeyboard, grab == Grab::Active ? CurrentTime : e.time);
        grab = Grab::Free;
        keep_keyboard_while_held();
        return;
    }
    if (grab == Grab::Passive) {
        const bool ended =
            !press && keycode == activator;  // the server ended it as it delivered this release
        // Only this event can be queued before the grab (the passive grab froze the keyboard after it).
        if (!ended && take_keyboard()) return;
        XAllowEvents(display, SyncKeyboard, e.time);  // ignored when the grab is gone
        if (ended) {
            grab = Grab::Free;
            keep_keyboard_while_held();
        }
        return;
    }
    if (held.empty()) {
        // Nothing swallowed is down any more: the keyboard goes back to everyone.
        XUngrabKeyboard(display, CurrentTime);
        grab = Grab::Free;
    } else {
        // Frozen again after the next event, which comes here too and may still be replayed.
        XAllowEvents(display, SyncKeyboard, CurrentTime);
    }
}

X11KeyLock::X11KeyLock(const char* display_name) : m_x(std::make_unique<Impl>()) {
    m_x->display = XOpenDisplay(display_name);
    if (!m_x->display) return;
    m_x->root = DefaultRootWindow(m_x->display);
    // An XKB-aware connection (Xlib makes every one so) hears of keymap changes only when it asks.
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (XkbQueryExtension(m_x->display, &opcode, &event, &error, &major, &minor)) {
        const unsigned long changes = XkbMapNotifyMask | XkbNewKeyboardNotifyMask;
        XkbSelectEvents(m_x->display, XkbUseCoreKbd, changes, changes);
        m_x->xkb_event = event;
    }
}

X11KeyLock::~X11KeyLock() {
    release(m_handle);
    if (m_x->display) XCloseDisplay(m_x->display);
}

int X11KeyLock::connection_fd() const {
    return m_x->display ? ConnectionNumber(m_x->display) : -1;
}

int X11KeyLock::install(std::function<bool(const LockedKey&)> swallow) {
    release(m_handle);
    if (!m_x->display) return 0;
    m_swallow = std::move(swallow);
    m_x->read_keyboard_mapping();
    if (!grab_all()) {
        m_swallow = nullptr;
        take_what_came_meanwhile();
        return 0;
    }
    m_handle = m_next_handle++;
    if (m_next_handle <= 0) m_next_handle = 1;
    take_what_came_meanwhile();
    return m_handle;
}

void X11KeyLock::release(int handle) {
    if (handle == 0 || handle != m_handle) return;
    m_handle = 0;
    m_swallow = nullptr;
    ungrab_all();
    take_what_came_meanwhile();
}

// The round trips of install() and release() read whatever the server had sent on the way, where the
// descriptor no longer announces it. A key event among it holds the keyboard until it is answered, so it is
// answered now rather than at the next wake-up, which might never come.
void X11KeyLock::take_what_came_meanwhile() {
    pump();
}

bool X11KeyLock::swallows(const LockedKey& key) const {
    if (!in_force() || !m_swallow) return false;
    try {
        return m_swallow(key);
    } catch (...) {
        return false;
    }
}

bool X11KeyLock::grab_all() {
    Impl& x = *m_x;
    x.grabbed.clear();
    m_contested.clear();

    std::vector<GrabRequest> requests;
    std::vector<GrabRequest> any_modifier;
    std::set<int> refused;
    {
        ErrorTrap trap(x.display);
        const auto grab = [&](const KeyGrab& g, std::vector<GrabRequest>& into) {
            into.push_back({NextRequest(x.display), g.keycode, g.modifiers});
            XGrabKey(x.display, g.keycode, g.modifiers, x.root, False, GrabModeAsync, GrabModeSync);
        };
        for (const KeyGrab& g : plan_grabs(x.mapping))
            grab(g, g.modifiers == AnyModifier ? any_modifier : requests);
        XSync(x.display, False);

        for (const GrabRequest& r : any_modifier) {
            if (!trap.failed(r.serial)) {
                requests.push_back(r);
                continue;
            }
            for (const KeyGrab& g : every_combination(r.keycode)) grab(g, requests);
        }
        XSync(x.display, False);

        std::set<int> held;
        x.held_grabs.clear();
        for (const GrabRequest& r : requests) {
            if (trap.failed(r.serial)) {
                refused.insert(r.keycode);
                continue;
            }
            held.insert(r.keycode);
            x.held_grabs.push_back({r.keycode, r.modifiers});
        }
        x.grabbed.assign(held.begin(), held.end());
    }
    m_contested.assign(refused.begin(), refused.end());
    if (x.grabbed.empty()) {
        ungrab_all();
        return false;
    }
    return true;
}

void X11KeyLock::ungrab_all() {
    Impl& x = *m_x;
    if (!x.display) return;
    ungrab_keys(x.mapping.min_keycode, x.mapping.max_keycode);
    {
        ErrorTrap trap(x.display);
        // A key still with the lock goes on to nobody; the keyboard is free again.
        XUngrabKeyboard(x.display, CurrentTime);
    }
    x.held.clear();
    x.grab = Impl::Grab::Free;
    x.unanswerable = 0;
}

// The passive grabs only: the keyboard grab of a key being held, and what the lock knows of it, stay.
void X11KeyLock::ungrab_keys(int min_keycode, int max_keycode) {
    Impl& x = *m_x;
    {
        ErrorTrap trap(x.display);
        for (int keycode = min_keycode; keycode <= max_keycode; ++keycode) {
            XUngrabKey(x.display, keycode, AnyModifier, x.root);
        }
    }
    x.grabbed.clear();
    x.held_grabs.clear();
    m_contested.clear();
}

void X11KeyLock::pump() {
    if (!m_x->display) return;
    // The error trap syncs as it goes, which may read more; only a look after it that finds nothing ends.
    do {
        ErrorTrap trap(m_x->display);
        handle_pending();
    } while (XPending(m_x->display) > 0);
}

void X11KeyLock::handle_pending() {
    Impl& x = *m_x;
    for (;;) {
        bool keymap_changed = false;
        // XPending sends what is buffered and takes in what has come, Xlib's own queue and xcb's: it is the
        // only check after which nothing is left read but unhandled, where the descriptor would not show it.
        while (XPending(x.display) > 0) {
            XEvent event;
            XNextEvent(x.display, &event);
            if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);
                keymap_changed = keymap_changed || event.xmapping.request != MappingPointer;
                continue;
            }
            if (event.type == x.xkb_event) {
                keymap_changed = true;
                continue;
            }
            if (event.type != KeyPress && event.type != KeyRelease) continue;
            if (!in_force()) continue;  // came through a grab already released: the keyboard is free again

            const XKeyEvent& e = event.xkey;
            const LockedKey key = locked_key_from_x(x.mapping.keysym_of(int(e.keycode)), int(e.keycode),
                                                    event.type == KeyPress, e.state, x.alt_mask);
            x.handle_key(e, swallows(key));
            // The server has acted on the answer; whatever that released to the lock is in the queue now.
            XSync(x.display, False);
        }
        if (!keymap_changed || !in_force()) return;
        // Notices come also when typing moves from one keyboard to another (or to XTest) with the same keys;
        // only a mapping that really changed (a new layout, remapped keys) is grabbed again, under the same
        // handle, and a key being held stays with the lock. The new grabs are taken while the old ones still
        // hold, and only then is the rest let go: the keys are never free for a moment in between. The round
        // trips may have read more, so the queue is looked at again.
        if (!x.read_keyboard_mapping()) continue;
        const std::vector<KeyGrab> before = x.held_grabs;
        if (!grab_all()) {
            m_handle = 0;
            m_swallow = nullptr;
            ungrab_all();
            continue;
        }
        ErrorTrap trap(x.display);
        for (const KeyGrab& g : releases_after_regrab(before, x.held_grabs))
            XUngrabKey(x.display, g.keycode, g.modifiers, x.root);
    }
}

}  // namespace zuvela
