// A keyboard and a mouse for kwin, through its fake-input global, driven by one command a line on standard
// input (the same commands the sway test's virtual input takes):
//   down CODE, up CODE  a key by its evdev code
//   move DX DY          relative pointer motion
//   to X Y              the pointer to a point of the screen
//   click               the left button pressed and released
//   sync                answer "ok" on standard output once kwin has seen everything before it
// The interface is described here by hand, request by request in the order the compositor numbers them, so
// that no protocol file has to be installed for the test.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

static const struct wl_message fake_input_requests[] = {
    {"authenticate", "ss", NULL},  {"pointer_motion", "ff", NULL},
    {"button", "uu", NULL},        {"axis", "uf", NULL},
    {"touch_down", "2uff", NULL},  {"touch_motion", "2uff", NULL},
    {"touch_up", "2u", NULL},      {"touch_cancel", "2", NULL},
    {"touch_frame", "2", NULL},    {"pointer_motion_absolute", "3ff", NULL},
    {"keyboard_key", "4uu", NULL},
};
enum {
    request_authenticate = 0,
    request_pointer_motion = 1,
    request_button = 2,
    request_pointer_motion_absolute = 9,
    request_keyboard_key = 10,
};
static const struct wl_interface fake_input_interface = {
    "org_kde_kwin_fake_input", 4, sizeof fake_input_requests / sizeof fake_input_requests[0],
    fake_input_requests,       0, NULL};

static struct wl_proxy* fake_input;

static void on_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                      uint32_t version) {
    (void)data;
    if (!strcmp(interface, fake_input_interface.name) && !fake_input && version >= 4)
        fake_input = wl_registry_bind(registry, name, &fake_input_interface, 4);
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

enum { btn_left = 0x110, released = 0, pressed = 1 };

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "fake_input: no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!fake_input) {
        fprintf(stderr, "fake_input: the compositor offers no org_kde_kwin_fake_input of version 4\n");
        return 1;
    }
    wl_proxy_marshal(fake_input, request_authenticate, "zuvela tests", "keys and clicks of a test");

    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        char command[32];
        double x = 0, y = 0;
        unsigned code = 0;
        if (sscanf(line, "%31s", command) != 1) continue;
        if ((!strcmp(command, "down") || !strcmp(command, "up")) && sscanf(line, "%*s %u", &code) == 1) {
            wl_proxy_marshal(fake_input, request_keyboard_key, code,
                             !strcmp(command, "down") ? pressed : released);
        } else if (!strcmp(command, "move") && sscanf(line, "%*s %lf %lf", &x, &y) == 2) {
            wl_proxy_marshal(fake_input, request_pointer_motion, wl_fixed_from_double(x),
                             wl_fixed_from_double(y));
        } else if (!strcmp(command, "to") && sscanf(line, "%*s %lf %lf", &x, &y) == 2) {
            wl_proxy_marshal(fake_input, request_pointer_motion_absolute, wl_fixed_from_double(x),
                             wl_fixed_from_double(y));
        } else if (!strcmp(command, "click")) {
            wl_proxy_marshal(fake_input, request_button, btn_left, pressed);
            wl_proxy_marshal(fake_input, request_button, btn_left, released);
        } else if (!strcmp(command, "sync")) {
            if (wl_display_roundtrip(display) < 0) {
                fprintf(stderr, "fake_input: the compositor went away\n");
                return 1;
            }
            printf("ok\n");
            fflush(stdout);
        } else {
            fprintf(stderr, "fake_input: unknown command %s", line);
        }
        if (wl_display_flush(display) < 0) {
            fprintf(stderr, "fake_input: the compositor went away\n");
            return 1;
        }
    }
    wl_display_disconnect(display);
    return 0;
}
