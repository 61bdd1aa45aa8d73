/* A Wayland client for the Wayland tests, two jobs:
 *
 *   wayland_test_client pointer COMMAND...
 *   wayland_test_client pointer -
 *       a virtual pointer (wlr-virtual-pointer) on the compositor's seat that
 *       runs the commands in order, each delivered before the next:
 *         move DX DY      relative motion in pixels
 *         press BUTTON    left, right or middle, pressed and released
 *         scroll N        N wheel steps down (negative: up)
 *         sleep MS
 *       and is removed when they are done. With "-" the commands come as lines
 *       on stdin, each answered with "ok" once delivered, until stdin ends: the
 *       pointer stays plugged in meanwhile, as a real one does.
 *
 *   wayland_test_client window
 *       a full-screen xdg_toplevel filled with white (wl_shm), which prints
 *       "shown" once its first buffer is on the screen, "key CODE" for each
 *       key pressed while it has the keyboard, and stays until killed.
 *
 *   wayland_test_client keys N CODE
 *       a virtual keyboard (virtual-keyboard-unstable-v1, with the "us" keymap)
 *       that presses and releases evdev key CODE N times in a burst (50 keys
 *       every 5 ms), then prints "sent N" once the compositor has them.
 *
 *   wayland_test_client caps-lock MS
 *       a virtual keyboard like the one above with Caps Lock locked, for MS ms.
 *
 *   wayland_test_client kwin-input key | move DX DY
 *       a key (X) pressed and released, or relative pointer motion (twice), through
 *       KWin's fake input (org_kde_kwin_fake_input: KWin offers no virtual
 *       keyboard or pointer protocol; it lists this one only with
 *       KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 in its environment).
 */
#define _GNU_SOURCE
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

static struct wl_compositor* compositor;
static struct wl_shm* shm;
static struct xdg_wm_base* wm_base;
static struct wl_seat* seat;
static struct zwlr_virtual_pointer_manager_v1* pointer_manager;
static struct wl_proxy* fake_input;
static struct wl_proxy* keyboard_manager;

/* KWin's fake input, version 4, described here by hand: its requests up to
 * keyboard_key in their order (opcodes 0 to 10), no events. */
enum { FAKE_AUTHENTICATE = 0, FAKE_POINTER_MOTION = 1, FAKE_KEYBOARD_KEY = 10 };
static const struct wl_message fake_input_requests[] = {
    {"authenticate", "ss", NULL},  {"pointer_motion", "ff", NULL},
    {"button", "uu", NULL},        {"axis", "uf", NULL},
    {"touch_down", "2uff", NULL},  {"touch_motion", "2uff", NULL},
    {"touch_up", "2u", NULL},      {"touch_cancel", "2", NULL},
    {"touch_frame", "2", NULL},    {"pointer_motion_absolute", "3ff", NULL},
    {"keyboard_key", "4uu", NULL},
};
static const struct wl_interface fake_input_interface = {"org_kde_kwin_fake_input", 4, 11,
                                                         fake_input_requests,       0, NULL};

/* virtual-keyboard-unstable-v1, described here by hand: the manager's one
 * request, and the keyboard's keymap, key and modifiers (opcodes 0 to 2). */
enum { VIRTUAL_KEYMAP = 0, VIRTUAL_KEY = 1, VIRTUAL_MODIFIERS = 2 };
static const struct wl_message virtual_keyboard_requests[] = {
    {"keymap", "uhu", NULL}, {"key", "uuu", NULL}, {"modifiers", "uuuu", NULL}, {"destroy", "", NULL}};
static const struct wl_interface virtual_keyboard_interface = {"zwp_virtual_keyboard_v1", 1, 4,
                                                               virtual_keyboard_requests, 0, NULL};
static const struct wl_interface* create_keyboard_types[] = {&wl_seat_interface, &virtual_keyboard_interface};
static const struct wl_message keyboard_manager_requests[] = {{"create_virtual_keyboard", "on", create_keyboard_types}};
static const struct wl_interface keyboard_manager_interface = {"zwp_virtual_keyboard_manager_v1", 1, 1,
                                                               keyboard_manager_requests,         0, NULL};

static void on_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                      uint32_t version) {
    (void)data;
    if (strcmp(interface, wl_compositor_interface.name) == 0)
        compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 1);
    else if (strcmp(interface, wl_shm_interface.name) == 0)
        shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
    else if (strcmp(interface, xdg_wm_base_interface.name) == 0)
        wm_base = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
    else if (strcmp(interface, wl_seat_interface.name) == 0 && seat == NULL)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        pointer_manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    else if (strcmp(interface, keyboard_manager_interface.name) == 0)
        keyboard_manager = wl_registry_bind(registry, name, &keyboard_manager_interface, 1);
    else if (strcmp(interface, fake_input_interface.name) == 0 && version >= 4)
        fake_input = wl_registry_bind(registry, name, &fake_input_interface, 4);
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

static uint32_t now_ms(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

static int fail(const char* what) {
    fprintf(stderr, "wayland_test_client: %s\n", what);
    return 2;
}

/* Runs argv[0..argc) on the pointer; 0, or 2 after a bad command. */
static int run_commands(struct wl_display* display, struct zwlr_virtual_pointer_v1* pointer, int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        if (strcmp(argv[i], "move") == 0 && i + 2 < argc) {
            zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_int(atoi(argv[i + 1])),
                                           wl_fixed_from_int(atoi(argv[i + 2])));
            zwlr_virtual_pointer_v1_frame(pointer);
            i += 2;
        } else if (strcmp(argv[i], "press") == 0 && i + 1 < argc) {
            const char* name = argv[++i];
            uint32_t button = strcmp(name, "right") == 0    ? BTN_RIGHT
                              : strcmp(name, "middle") == 0 ? BTN_MIDDLE
                                                            : BTN_LEFT;
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), button, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), button, WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (strcmp(argv[i], "scroll") == 0 && i + 1 < argc) {
            zwlr_virtual_pointer_v1_axis(pointer, now_ms(), WL_POINTER_AXIS_VERTICAL_SCROLL,
                                         wl_fixed_from_int(10 * atoi(argv[++i])));
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (strcmp(argv[i], "sleep") == 0 && i + 1 < argc) {
            usleep((useconds_t)atoi(argv[++i]) * 1000);
        } else {
            return fail("commands: move DX DY | press left|right|middle | scroll N | sleep MS");
        }
        wl_display_roundtrip(display);
    }
    return 0;
}

static int run_pointer(struct wl_display* display, int argc, char** argv) {
    if (pointer_manager == NULL) return fail("the compositor has no wlr-virtual-pointer");
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointer_manager, seat);
    wl_display_roundtrip(display);
    int status = 0;
    if (argc == 1 && strcmp(argv[0], "-") == 0) {
        char line[256];
        while (status == 0 && fgets(line, sizeof line, stdin) != NULL) {
            char* words[16];
            int count = 0;
            for (char* word = strtok(line, " \t\n"); word != NULL && count < 16; word = strtok(NULL, " \t\n"))
                words[count++] = word;
            status = run_commands(display, pointer, count, words);
            printf("ok\n");
            fflush(stdout);
        }
    } else {
        status = run_commands(display, pointer, argc, argv);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    return status;
}

static struct wl_surface* surface;
static struct wl_buffer* buffer;
static int shown;

static struct wl_buffer* white_buffer(int width, int height) {
    const int stride = width * 4, size = stride * height;
    int fd = memfd_create("white", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) return NULL;
    void* pixels = mmap(NULL, (size_t)size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) return NULL;
    memset(pixels, 0xFF, (size_t)size);
    munmap(pixels, (size_t)size);
    struct wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    struct wl_buffer* made = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return made;
}

static int pending_width = 1024, pending_height = 768;

static void on_toplevel_configure(void* data, struct xdg_toplevel* toplevel, int32_t width, int32_t height,
                                  struct wl_array* states) {
    (void)data;
    (void)toplevel;
    (void)states;
    if (width > 0 && height > 0) {
        pending_width = width;
        pending_height = height;
    }
}

static void on_toplevel_close(void* data, struct xdg_toplevel* toplevel) {
    (void)data;
    (void)toplevel;
}

static const struct xdg_toplevel_listener toplevel_listener = {on_toplevel_configure, on_toplevel_close, NULL,
                                                               NULL}; /* bound at version 1 */

static void on_surface_configure(void* data, struct xdg_surface* xdg_surface, uint32_t serial) {
    (void)data;
    xdg_surface_ack_configure(xdg_surface, serial);
    if (buffer != NULL) wl_buffer_destroy(buffer);
    buffer = white_buffer(pending_width, pending_height);
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_damage(surface, 0, 0, pending_width, pending_height);
    wl_surface_commit(surface);
    shown = 1;
}

static const struct xdg_surface_listener surface_listener = {on_surface_configure};

static void on_keymap(void* data, struct wl_keyboard* keyboard, uint32_t format, int fd, uint32_t size) {
    (void)data;
    (void)keyboard;
    (void)format;
    (void)size;
    close(fd);
}

static void on_key_enter(void* data, struct wl_keyboard* keyboard, uint32_t serial, struct wl_surface* surface,
                         struct wl_array* keys) {
    (void)data;
    (void)keyboard;
    (void)serial;
    (void)surface;
    (void)keys;
}

static void on_key_leave(void* data, struct wl_keyboard* keyboard, uint32_t serial, struct wl_surface* surface) {
    (void)data;
    (void)keyboard;
    (void)serial;
    (void)surface;
}

static void on_key(void* data, struct wl_keyboard* keyboard, uint32_t serial, uint32_t time, uint32_t key,
                   uint32_t state) {
    (void)data;
    (void)keyboard;
    (void)serial;
    (void)time;
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) {
        printf("key %u\n", key);
        fflush(stdout);
    }
}

static void on_modifiers(void* data, struct wl_keyboard* keyboard, uint32_t serial, uint32_t depressed,
                         uint32_t latched, uint32_t locked, uint32_t group) {
    (void)data;
    (void)keyboard;
    (void)serial;
    (void)depressed;
    (void)latched;
    (void)locked;
    (void)group;
}

/* Bound at version 1: no repeat_info. */
static const struct wl_keyboard_listener keyboard_listener = {on_keymap, on_key_enter, on_key_leave,
                                                              on_key,    on_modifiers, NULL};

/* The keyboard while the seat has one (virtual keyboards come and go). */
static void on_capabilities(void* data, struct wl_seat* seat_, uint32_t capabilities) {
    static struct wl_keyboard* keyboard;
    (void)data;
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && keyboard == NULL) {
        keyboard = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard, &keyboard_listener, NULL);
    } else if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) == 0 && keyboard != NULL) {
        wl_keyboard_destroy(keyboard);
        keyboard = NULL;
    }
}

static void on_seat_name(void* data, struct wl_seat* seat_, const char* name) {
    (void)data;
    (void)seat_;
    (void)name;
}

static const struct wl_seat_listener seat_listener = {on_capabilities, on_seat_name};

static void on_ping(void* data, struct xdg_wm_base* base, uint32_t serial) {
    (void)data;
    xdg_wm_base_pong(base, serial);
}

static const struct xdg_wm_base_listener wm_base_listener = {on_ping};

static int run_window(struct wl_display* display) {
    if (compositor == NULL || shm == NULL || wm_base == NULL) return fail("the compositor lacks xdg-shell or wl_shm");
    xdg_wm_base_add_listener(wm_base, &wm_base_listener, NULL);
    surface = wl_compositor_create_surface(compositor);
    struct xdg_surface* xdg_surface = xdg_wm_base_get_xdg_surface(wm_base, surface);
    xdg_surface_add_listener(xdg_surface, &surface_listener, NULL);
    struct xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdg_surface);
    xdg_toplevel_add_listener(toplevel, &toplevel_listener, NULL);
    xdg_toplevel_set_title(toplevel, "white");
    xdg_toplevel_set_fullscreen(toplevel, NULL);
    wl_surface_commit(surface);
    if (seat != NULL) wl_seat_add_listener(seat, &seat_listener, NULL);
    while (!shown && wl_display_dispatch(display) >= 0) {
    }
    wl_display_roundtrip(display);
    printf("shown\n");
    fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}

static int run_kwin_input(struct wl_display* display, int argc, char** argv) {
    if (fake_input == NULL) return fail("the compositor offers no org_kde_kwin_fake_input (version 4)");
    wl_proxy_marshal_flags(fake_input, FAKE_AUTHENTICATE, NULL, 4, 0, "wayland_test_client", "tests");
    if (argc == 1 && strcmp(argv[0], "key") == 0) {
        wl_proxy_marshal_flags(fake_input, FAKE_KEYBOARD_KEY, NULL, 4, 0, KEY_X, WL_KEYBOARD_KEY_STATE_PRESSED);
        wl_proxy_marshal_flags(fake_input, FAKE_KEYBOARD_KEY, NULL, 4, 0, KEY_X, WL_KEYBOARD_KEY_STATE_RELEASED);
    } else if (argc == 3 && strcmp(argv[0], "move") == 0) {
        /* KWin adds the fake pointer with this connection: its first motion
         * brings the surface beneath the pointer's enter, the second is motion. */
        for (int round = 0; round < 2; ++round) {
            wl_proxy_marshal_flags(fake_input, FAKE_POINTER_MOTION, NULL, 4, 0, wl_fixed_from_int(atoi(argv[1])),
                                   wl_fixed_from_int(atoi(argv[2])));
            wl_display_roundtrip(display);
            usleep(100000);
        }
    } else {
        return fail("usage: wayland_test_client kwin-input key | move DX DY");
    }
    return wl_display_roundtrip(display) < 0 ? fail("the compositor closed the connection") : 0;
}

/* A virtual keyboard with the "us" keymap, or NULL after a line on stderr. */
static struct wl_proxy* make_keyboard(struct wl_display* display, struct xkb_keymap** keymap) {
    if (keyboard_manager == NULL || seat == NULL) {
        fail("the compositor has no virtual-keyboard-unstable-v1");
        return NULL;
    }
    struct xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    *keymap = context ? xkb_keymap_new_from_names(context, NULL, XKB_KEYMAP_COMPILE_NO_FLAGS) : NULL;
    char* text = *keymap ? xkb_keymap_get_as_string(*keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : NULL;
    const size_t size = text ? strlen(text) + 1 : 0;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (text == NULL || fd < 0 || write(fd, text, size) != (ssize_t)size) {
        fail("xkbcommon made no keymap");
        return NULL;
    }
    struct wl_proxy* keyboard =
        wl_proxy_marshal_flags(keyboard_manager, 0, &virtual_keyboard_interface, 1, 0, seat, NULL);
    wl_proxy_marshal_flags(keyboard, VIRTUAL_KEYMAP, NULL, 1, 0, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, (uint32_t)size);
    wl_display_roundtrip(display);
    return keyboard;
}

/* Caps Lock locked on a virtual keyboard for `ms`, then the keyboard goes. */
static int run_caps_lock(struct wl_display* display, int argc, char** argv) {
    if (argc != 1 || atoi(argv[0]) <= 0) return fail("usage: wayland_test_client caps-lock MS");
    struct xkb_keymap* keymap = NULL;
    struct wl_proxy* keyboard = make_keyboard(display, &keymap);
    if (keyboard == NULL) return 2;
    const uint32_t caps = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CAPS);
    wl_proxy_marshal_flags(keyboard, VIRTUAL_MODIFIERS, NULL, 1, 0, 0u, 0u, caps, 0u);
    if (wl_display_roundtrip(display) < 0) return fail("the compositor closed the connection");
    usleep((useconds_t)atoi(argv[0]) * 1000);
    return 0;
}

static int run_keys(struct wl_display* display, int argc, char** argv) {
    if (argc != 2 || atoi(argv[0]) <= 0 || atoi(argv[1]) <= 0) return fail("usage: wayland_test_client keys N CODE");
    struct xkb_keymap* keymap = NULL;
    struct wl_proxy* keyboard = make_keyboard(display, &keymap);
    if (keyboard == NULL) return 2;
    const int count = atoi(argv[0]);
    const uint32_t code = (uint32_t)atoi(argv[1]);
    for (int i = 0; i < count; ++i) {
        wl_proxy_marshal_flags(keyboard, VIRTUAL_KEY, NULL, 1, 0, now_ms(), code, WL_KEYBOARD_KEY_STATE_PRESSED);
        wl_proxy_marshal_flags(keyboard, VIRTUAL_KEY, NULL, 1, 0, now_ms(), code, WL_KEYBOARD_KEY_STATE_RELEASED);
        /* 50 keys every 5 ms, once the compositor has the last 50: 10,000 keys
         * in about a second. Faster, the compositor's buffer towards the
         * focused client fills whenever that client is off the CPU for a
         * moment, and the compositor drops the client. */
        if (i % 50 == 49) {
            if (wl_display_roundtrip(display) < 0) return fail("the compositor closed the connection");
            usleep(5000);
        }
    }
    if (wl_display_roundtrip(display) < 0) return fail("the compositor closed the connection");
    printf("sent %d\n", count);
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2) return fail("usage: wayland_test_client pointer COMMAND... | window");
    struct wl_display* display = wl_display_connect(NULL);
    if (display == NULL) return fail("cannot connect to the Wayland display");
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (strcmp(argv[1], "pointer") == 0) return run_pointer(display, argc - 2, argv + 2);
    if (strcmp(argv[1], "window") == 0) return run_window(display);
    if (strcmp(argv[1], "kwin-input") == 0) return run_kwin_input(display, argc - 2, argv + 2);
    if (strcmp(argv[1], "keys") == 0) return run_keys(display, argc - 2, argv + 2);
    if (strcmp(argv[1], "caps-lock") == 0) return run_caps_lock(display, argc - 2, argv + 2);
    return fail(
        "usage: wayland_test_client pointer COMMAND... | window | keys N CODE | caps-lock MS | kwin-input key|move DX "
        "DY");
}
