#include "platform/x11/x11_key_lock.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

namespace zuvela {

namespace {

// Windows' codes for the keys that have no letter or digit.
constexpr int k_vk_backspace = 0x08;
constexpr int k_vk_tab = 0x09;
constexpr int k_vk_clear = 0x0C;
constexpr int k_vk_return = 0x0D;
constexpr int k_vk_pause = 0x13;
constexpr int k_vk_caps_lock = 0x14;
constexpr int k_vk_escape = 0x1B;
constexpr int k_vk_space = 0x20;
constexpr int k_vk_page_up = 0x21;
constexpr int k_vk_page_down = 0x22;
constexpr int k_vk_end = 0x23;
constexpr int k_vk_home = 0x24;
constexpr int k_vk_left = 0x25;
constexpr int k_vk_up = 0x26;
constexpr int k_vk_right = 0x27;
constexpr int k_vk_down = 0x28;
constexpr int k_vk_print_screen = 0x2C;
constexpr int k_vk_insert = 0x2D;
constexpr int k_vk_delete = 0x2E;
constexpr int k_vk_numpad0 = 0x60;
constexpr int k_vk_multiply = 0x6A;
constexpr int k_vk_add = 0x6B;
constexpr int k_vk_subtract = 0x6D;
constexpr int k_vk_decimal = 0x6E;
constexpr int k_vk_divide = 0x6F;
constexpr int k_vk_f1 = 0x70;
constexpr int k_vk_num_lock = 0x90;
constexpr int k_vk_scroll_lock = 0x91;

// One request of the install: its serial tells which error belongs to it.
struct GrabRequest {
    unsigned long serial;
    int keycode;
    unsigned modifiers;
};

// Catches the errors of one connection while it lives (a refused grab is BadAccess, which Xlib's default
// handler answers by ending the program) and hands other connections' errors to the handler it replaced. It
// syncs before putting that handler back, so every error of its requests has arrived.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display) : m_display(display), m_outer(s_active) {
        s_active = this;
        m_previous = XSetErrorHandler(&ErrorTrap::on_error);
    }
    ~ErrorTrap() {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
        s_active = m_outer;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed(unsigned long serial) const { return m_failed.count(serial) != 0; }

  private:
    static int on_error(Display* display, XErrorEvent* error) {
        for (ErrorTrap* trap = s_active; trap; trap = trap->m_outer) {
            if (trap->m_display == display) {
                trap->m_failed.insert(error->serial);
                return 0;
            }
        }
        // Another connection's (SDL's): to the handler there was before any trap; an inner trap's previous
        // handler is this function again.
        ErrorTrap* outermost = s_active;
        while (outermost && outermost->m_outer) outermost = outermost->m_outer;
        return outermost && outermost->m_previous ? outermost->m_previous(display, error) : 0;
    }

    static inline ErrorTrap* s_active = nullptr;
    Display* m_display;
    ErrorTrap* m_outer;
    XErrorHandler m_previous = nullptr;
    std::set<unsigned long> m_failed;
};

// The keys taken whatever else is held.
bool is_always_grabbed(int virtual_key) {
    return virtual_key == k_vk_shift || virtual_key == k_vk_alt || virtual_key == k_vk_left_super ||
           virtual_key == k_vk_right_super || virtual_key == k_vk_menu;
}

bool is_alt_keysym(KeySym keysym) {
    return keysym == XK_Alt_L || keysym == XK_Alt_R || keysym == XK_Meta_L || keysym == XK_Meta_R;
}

}  // namespace

int virtual_key_for_keysym(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return int('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z) return int(keysym);
    if (keysym >= XK_0 && keysym <= XK_9) return int(keysym);
    if (keysym >= XK_F1 && keysym <= XK_F24) return k_vk_f1 + int(keysym - XK_F1);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return k_vk_numpad0 + int(keysym - XK_KP_0);
    switch (keysym) {
        case XK_Shift_L:
        case XK_Shift_R:
            return k_vk_shift;
        case XK_Control_L:
        case XK_Control_R:
            return k_vk_control;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
        case XK_Meta_R:
        case XK_ISO_Level3_Shift:  // AltGr: the right Alt key where the layout has one
            return k_vk_alt;
        case XK_Super_L:
            return k_vk_left_super;
        case XK_Super_R:
            return k_vk_right_super;
        case XK_Menu:
            return k_vk_menu;
        case XK_BackSpace:
            return k_vk_backspace;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return k_vk_tab;
        case XK_Clear:
        case XK_KP_Begin:
            return k_vk_clear;
        case XK_Return:
        case XK_KP_Enter:
            return k_vk_return;
        case XK_Pause:
            return k_vk_pause;
        case XK_Caps_Lock:
            return k_vk_caps_lock;
        case XK_Escape:
            return k_vk_escape;
        case XK_space:
        case XK_KP_Space:
            return k_vk_space;
        case XK_Prior:
        case XK_KP_Prior:
            return k_vk_page_up;
        case XK_Next:
        case XK_KP_Next:
            return k_vk_page_down;
        case XK_End:
        case XK_KP_End:
            return k_vk_end;
        case XK_Home:
        case XK_KP_Home:
            return k_vk_home;
        case XK_Left:
        case XK_KP_Left:
            return k_vk_left;
        case XK_Up:
        case XK_KP_Up:
            return k_vk_up;
        case XK_Right:
        case XK_KP_Right:
            return k_vk_right;
        case XK_Down:
        case XK_KP_Down:
            return k_vk_down;
        case XK_Print:
            return k_vk_print_screen;
        case XK_Insert:
        case XK_KP_Insert:
            return k_vk_insert;
        case XK_Delete:
        case XK_KP_Delete:
            return k_vk_delete;
        case XK_KP_Multiply:
            return k_vk_multiply;
        case XK_KP_Add:
            return k_vk_add;
        case XK_KP_Subtract:
            return k_vk_subtract;
        case XK_KP_Decimal:
        case XK_KP_Separator:
            return k_vk_decimal;
        case XK_KP_Divide:
            return k_vk_divide;
        case XK_Num_Lock:
            return k_vk_num_lock;
        case XK_Scroll_Lock:
            return k_vk_scroll_lock;
        // The US layout's punctuation keys (Windows' OEM codes).
        case XK_semicolon:
        case XK_colon:
            return 0xBA;
        case XK_equal:
        case XK_plus:
            return 0xBB;
        case XK_comma:
        case XK_less:
            return 0xBC;
        case XK_minus:
        case XK_underscore:
            return 0xBD;
        case XK_period:
        case XK_greater:
            return 0xBE;
        case XK_slash:
        case XK_question:
            return 0xBF;
        case XK_grave:
        case XK_asciitilde:
            return 0xC0;
        case XK_bracketleft:
        case XK_braceleft:
            return 0xDB;
        case XK_backslash:
        case XK_bar:
            return 0xDC;
        case XK_bracketright:
        case XK_braceright:
            return 0xDD;
        case XK_apostrophe:
        case XK_quotedbl:
            return 0xDE;
        default:
            return 0;
    }
}

LockedKey locked_key_from_x(unsigned long keysym, bool press, unsigned state, unsigned alt_mask) {
    LockedKey key;
    key.code = 0;
    key.key = virtual_key_for_keysym(keysym);
    const bool alt_held = (state & alt_mask) != 0 || (press && key.key == k_vk_alt);
    if (alt_held) {
        key.message = press ? k_key_message_sys_down : k_key_message_sys_up;
        key.flags = k_key_flag_alt_down;
    } else {
        key.message = press ? k_key_message_down : k_key_message_up;
    }
    return key;
}

struct X11KeyLock::Impl {
    Display* display = nullptr;
    Window root = 0;
    int xkb_event = -1;  // the XKB extension's event code, which reports keymap changes
    int min_keycode = 8;
    int max_keycode = 255;
    int keysyms_per_keycode = 0;
    std::vector<KeySym> keysyms;  // the keyboard mapping, keysyms_per_keycode per keycode from min_keycode
    unsigned alt_mask = Mod1Mask;
    unsigned num_lock_mask = Mod2Mask;
    std::vector<int> grabbed;  // keycodes with at least one grab held
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
    KeySym keysym_of(int keycode) const;
    int virtual_key_of(int keycode) const;
    void forget_released_keys();
    int queued_key_events() const;
    std::optional<int> take_keyboard();
    void keep_keyboard_while_held();
    void handle_key(const XKeyEvent& e, bool swallow);
};

// Reads the keyboard and modifier mappings; true when they differ from what was read before.
bool X11KeyLock::Impl::read_keyboard_mapping() {
    const auto before =
        std::make_tuple(min_keycode, max_keycode, keysyms_per_keycode, keysyms, alt_mask, num_lock_mask);
    XDisplayKeycodes(display, &min_keycode, &max_keycode);
    int per = 0;
    KeySym* map = XGetKeyboardMapping(display, KeyCode(min_keycode), max_keycode - min_keycode + 1, &per);
    keysyms_per_keycode = map ? per : 0;
    keysyms.assign(map, map ? map + std::size_t(per) * std::size_t(max_keycode - min_keycode + 1) : map);
    if (map) XFree(map);

    // The modifier bits the Alt keys and Num Lock set (Mod1 and Mod2 on every common keymap).
    alt_mask = 0;
    num_lock_mask = 0;
    if (XModifierKeymap* mods = XGetModifierMapping(display)) {
        for (int mod = 0; mod < 8; ++mod) {
            for (int i = 0; i < mods->max_keypermod; ++i) {
                const int keycode = mods->modifiermap[mod * mods->max_keypermod + i];
                if (keycode == 0) continue;
                for (int level = 0; level < keysyms_per_keycode; ++level) {
                    const KeySym keysym =
                        keysyms[std::size_t(keycode - min_keycode) * keysyms_per_keycode + level];
                    if (is_alt_keysym(keysym) && !alt_mask) alt_mask = 1u << mod;
                    if (keysym == XK_Num_Lock && !num_lock_mask) num_lock_mask = 1u << mod;
                }
            }
        }
        XFreeModifiermap(mods);
    }
    if (!alt_mask) alt_mask = Mod1Mask;
    if (!num_lock_mask) num_lock_mask = Mod2Mask;
    return before !=
           std::make_tuple(min_keycode, max_keycode, keysyms_per_keycode, keysyms, alt_mask, num_lock_mask);
}

KeySym X11KeyLock::Impl::keysym_of(int keycode) const {
    if (keycode < min_keycode || keycode > max_keycode) return NoSymbol;
    // The first level that names a key we know (the unshifted one on every real key).
    const std::size_t base = std::size_t(keycode - min_keycode) * keysyms_per_keycode;
    KeySym first = NoSymbol;
    for (int level = 0; level < keysyms_per_keycode; ++level) {
        const KeySym keysym = keysyms[base + level];
        if (keysym == NoSymbol) continue;
        if (first == NoSymbol) first = keysym;
        if (virtual_key_for_keysym(keysym) != 0) return keysym;
    }
    return first;
}

int X11KeyLock::Impl::virtual_key_of(int keycode) const {
    if (keycode < min_keycode || keycode > max_keycode) return 0;
    const std::size_t base = std::size_t(keycode - min_keycode) * keysyms_per_keycode;
    for (int level = 0; level < keysyms_per_keycode; ++level) {
        const int vk = virtual_key_for_keysym(keysyms[base + level]);
        if (vk != 0) return vk;
    }
    return 0;
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

    // The keys the lock takes whatever else is held; every other key only while Alt is held.
    std::vector<int> always;
    for (int keycode = x.min_keycode; keycode <= x.max_keycode; ++keycode) {
        if (is_always_grabbed(x.virtual_key_of(keycode))) always.push_back(keycode);
    }
    const auto is_always = [&](int keycode) {
        return std::find(always.begin(), always.end(), keycode) != always.end();
    };
    // Caps Lock and Num Lock change nothing: every grab is made in their four combinations. Alt is also taken
    // together with Shift and Ctrl (Ctrl-Alt-P is swallowed too).
    const unsigned ignored[] = {0u, unsigned(LockMask), x.num_lock_mask,
                                unsigned(LockMask) | x.num_lock_mask};
    const unsigned with_alt[] = {x.alt_mask, x.alt_mask | ShiftMask, x.alt_mask | ControlMask,
                                 x.alt_mask | ShiftMask | ControlMask};

    std::vector<GrabRequest> requests;
    std::vector<GrabRequest> any_modifier;
    std::set<int> refused;
    {
        ErrorTrap trap(x.display);
        const auto grab = [&](int keycode, unsigned modifiers, std::vector<GrabRequest>& into) {
            into.push_back({NextRequest(x.display), keycode, modifiers});
            XGrabKey(x.display, keycode, modifiers, x.root, False, GrabModeAsync, GrabModeSync);
        };
        // One request per key: a grab another client holds refuses only its own request.
        for (int keycode : always) grab(keycode, AnyModifier, any_modifier);
        for (int keycode = x.min_keycode; keycode <= x.max_keycode; ++keycode) {
            if (is_always(keycode)) continue;
            for (unsigned base : with_alt) {
                for (unsigned extra : ignored) grab(keycode, base | extra, requests);
            }
        }
        XSync(x.display, False);

        // AnyModifier fails whole when another client holds any one combination: those keys are taken
        // combination by combination instead, so only the combinations the other client holds are missed.
        for (const GrabRequest& r : any_modifier) {
            if (!trap.failed(r.serial)) {
                requests.push_back(r);
                continue;
            }
            for (unsigned modifiers = 0; modifiers < 256; ++modifiers) grab(r.keycode, modifiers, requests);
        }
        XSync(x.display, False);

        std::set<int> held;
        for (const GrabRequest& r : requests) {
            (trap.failed(r.serial) ? refused : held).insert(r.keycode);
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
    ungrab_keys(x.min_keycode, x.max_keycode);
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
            const LockedKey key =
                locked_key_from_x(x.keysym_of(int(e.keycode)), event.type == KeyPress, e.state, x.alt_mask);
            x.handle_key(e, swallows(key));
            // The server has acted on the answer; whatever that released to the lock is in the queue now.
            XSync(x.display, False);
        }
        if (!keymap_changed || !in_force()) return;
        // Notices come also when typing moves from one keyboard to another (or to XTest) with the same keys;
        // only a mapping that really changed (a new layout, remapped keys) is grabbed again, under the same
        // handle, and a key being held stays with the lock. The round trips may have read more, so the queue
        // is looked at again.
        const int old_min = x.min_keycode, old_max = x.max_keycode;
        if (!x.read_keyboard_mapping()) continue;
        ungrab_keys(old_min, old_max);
        if (!grab_all()) {
            m_handle = 0;
            m_swallow = nullptr;
            ungrab_all();
        }
    }
}

}  // namespace zuvela
