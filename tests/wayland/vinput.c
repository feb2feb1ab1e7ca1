// A keyboard and a mouse for a headless compositor: one virtual keyboard and one virtual pointer, connected
// for as long as standard input stays open, driven by one command a line:
//   layout NAME        upload the keymap of an XKB layout ("us", "ru", ...), as a real keyboard's would be
//   down CODE, up CODE a key by its evdev code; the modifier state follows through the keymap
//   move DX DY         relative pointer motion, as a real mouse sends it
//   click              the left button pressed and released
//   sync               answer "ok" on standard output once the compositor has seen everything before it
//   unplug keyboard    the keyboard leaves the seat (the mouse stays); "unplug mouse" likewise
//   plug keyboard NAME a new keyboard joins the seat with the keymap of that layout; "plug mouse" a new mouse
// The layout "nameless" is the US one with its layout name left out, as on-screen and typing tools send theirs.
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

static struct wl_seat* seat;
static struct zwp_virtual_keyboard_manager_v1* keyboard_manager;
static struct zwlr_virtual_pointer_manager_v1* pointer_manager;

static void on_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                      uint32_t version) {
    (void)data;
    (void)version;
    if (!strcmp(interface, wl_seat_interface.name) && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (!strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name))
        keyboard_manager = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
    else if (!strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name))
        pointer_manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

static uint32_t now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

static struct xkb_context* xkb;
static struct xkb_state* state;

static int upload_layout(struct zwp_virtual_keyboard_v1* keyboard, const char* layout) {
    const int nameless = !strcmp(layout, "nameless");
    struct xkb_rule_names names = {.rules = "evdev", .model = "pc105", .layout = nameless ? "us" : layout};
    struct xkb_keymap* keymap = xkb_keymap_new_from_names(xkb, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return -1;
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    char* name = nameless ? strstr(text, "name[Group1]") : NULL;
    if (name) {
        char* end = strchr(name, ';');
        if (end) memmove(name, end + 1, strlen(end + 1) + 1);
    }
    const size_t size = strlen(text) + 1;
    int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, (off_t)size) != 0) return -1;
    char* map = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED) return -1;
    memcpy(map, text, size);
    munmap(map, size);
    free(text);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, (uint32_t)size);
    close(fd);
    if (state) xkb_state_unref(state);
    state = xkb_state_new(keymap);
    xkb_keymap_unref(keymap);
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
    return 0;
}

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "vinput: no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!seat || !keyboard_manager || !pointer_manager) {
        fprintf(stderr, "vinput: the compositor offers no virtual keyboard or pointer\n");
        return 1;
    }
    struct zwp_virtual_keyboard_v1* keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboard_manager, seat);
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointer_manager, seat);
    xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!xkb || upload_layout(keyboard, "us") != 0) {
        fprintf(stderr, "vinput: cannot build the keymap\n");
        return 1;
    }
    wl_display_roundtrip(display);

    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        char word[64] = "", arg[64] = "";
        double dx = 0, dy = 0;
        unsigned code = 0;
        if (sscanf(line, "%63s", word) != 1) continue;
        if (!strcmp(word, "layout") && keyboard && sscanf(line, "%*s %63s", arg) == 1) {
            if (upload_layout(keyboard, arg) != 0) fprintf(stderr, "vinput: no layout %s\n", arg);
        } else if (!strcmp(line, "unplug keyboard\n") && keyboard) {
            zwp_virtual_keyboard_v1_destroy(keyboard);
            keyboard = NULL;
        } else if (!strcmp(line, "unplug mouse\n") && pointer) {
            zwlr_virtual_pointer_v1_destroy(pointer);
            pointer = NULL;
        } else if (!strcmp(line, "plug mouse\n") && !pointer) {
            pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointer_manager, seat);
        } else if (!keyboard && sscanf(line, "plug keyboard %63s", arg) == 1) {
            keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboard_manager, seat);
            if (upload_layout(keyboard, arg) != 0) fprintf(stderr, "vinput: no layout %s\n", arg);
        } else if ((!strcmp(word, "down") || !strcmp(word, "up")) && keyboard && sscanf(line, "%*s %u", &code) == 1) {
            const int down = !strcmp(word, "down");
            zwp_virtual_keyboard_v1_key(
                keyboard, now_ms(), code,
                down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
            xkb_state_update_key(state, code + 8, down ? XKB_KEY_DOWN : XKB_KEY_UP);
            zwp_virtual_keyboard_v1_modifiers(keyboard,
                                              xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
                                              xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
                                              xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED),
                                              xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE));
        } else if (!strcmp(word, "move") && pointer && sscanf(line, "%*s %lf %lf", &dx, &dy) == 2) {
            zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_double(dx),
                                           wl_fixed_from_double(dy));
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (!strcmp(word, "click") && pointer) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), 0x110, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), 0x110, WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (!strcmp(word, "sync")) {
            wl_display_roundtrip(display);
            printf("ok\n");
            fflush(stdout);
            continue;
        } else {
            fprintf(stderr, "vinput: cannot read: %s", line);
        }
        if (wl_display_flush(display) < 0) {
            fprintf(stderr, "vinput: the compositor went away\n");
            return 1;
        }
    }
    return 0;
}
