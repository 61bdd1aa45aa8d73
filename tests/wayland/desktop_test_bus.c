/* The desktops' own D-Bus services for the Wayland tests, on the session bus:
 *
 *   desktop_test_bus key
 *       a key (X) pressed and released through mutter's remote desktop
 *       (org.gnome.Mutter.RemoteDesktop): the input a user would give
 *   desktop_test_bus move DX DY
 *       relative pointer motion through the same
 *   desktop_test_bus kwin-screenshot FILE.ppm
 *       the active output as KWin's ScreenShot2 gives it, written as a PPM
 *       (needs KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 in KWin's environment)
 *
 * Status 0 once done; 1 with one line on stderr when the service fails.
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static GDBusConnection* bus;

static int fail_with(const char* what, GError* error) {
    fprintf(stderr, "desktop_test_bus: %s: %s\n", what, error ? error->message : "failed");
    return 1;
}

static GVariant* call(const char* service, const char* path, const char* interface, const char* method,
                      GVariant* parameters, GError** error) {
    return g_dbus_connection_call_sync(bus, service, path, interface, method, parameters, NULL, G_DBUS_CALL_FLAGS_NONE,
                                       5000, NULL, error);
}

/* A remote-desktop session, started, given the input, stopped. */
static int remote_desktop(int argc, char** argv) {
    const char* service = "org.gnome.Mutter.RemoteDesktop";
    const char* session_interface = "org.gnome.Mutter.RemoteDesktop.Session";
    GError* error = NULL;
    GVariant* reply = call(service, "/org/gnome/Mutter/RemoteDesktop", service, "CreateSession", NULL, &error);
    if (reply == NULL) return fail_with("CreateSession", error);
    const char* path = NULL;
    g_variant_get(reply, "(&o)", &path);
    gchar* session = g_strdup(path);
    g_variant_unref(reply);
    if ((reply = call(service, session, session_interface, "Start", NULL, &error)) == NULL)
        return fail_with("Start", error);
    g_variant_unref(reply);
    /* mutter makes the session's virtual device with its first event, and
     * clients get their wl_keyboard or wl_pointer after that: the first
     * event goes to no one, so a key is given twice, 300 ms apart; motion
     * three times, as the second brings the pointer's enter at the place
     * it moved to. */
    const int rounds = strcmp(argv[0], "key") == 0 ? 2 : 3;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0) g_usleep(300000);
        if (strcmp(argv[0], "key") == 0) {
            for (int pressed = 1; pressed >= 0; --pressed) {
                reply = call(service, session, session_interface, "NotifyKeyboardKeycode",
                             g_variant_new("(ub)", (guint32)KEY_X, (gboolean)pressed), &error);
                if (reply == NULL) return fail_with("NotifyKeyboardKeycode", error);
                g_variant_unref(reply);
            }
        } else if (argc == 3) {
            reply = call(service, session, session_interface, "NotifyPointerMotionRelative",
                         g_variant_new("(dd)", atof(argv[1]), atof(argv[2])), &error);
            if (reply == NULL) return fail_with("NotifyPointerMotionRelative", error);
            g_variant_unref(reply);
        } else {
            return fail_with("usage", NULL);
        }
    }
    /* Stopped once the events have reached the clients. */
    g_usleep(300000);
    if ((reply = call(service, session, session_interface, "Stop", NULL, &error)) != NULL) g_variant_unref(reply);
    g_free(session);
    return 0;
}

static int kwin_screenshot(const char* file) {
    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0) return fail_with("pipe", NULL);
    GUnixFDList* fds = g_unix_fd_list_new_from_array(&pipe_fds[1], 1);
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE("a{sv}"));
    GError* error = NULL;
    GVariant* reply = g_dbus_connection_call_with_unix_fd_list_sync(
        bus, "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureActiveScreen",
        g_variant_new("(a{sv}h)", &options, 0), G_VARIANT_TYPE("(a{sv})"), G_DBUS_CALL_FLAGS_NONE, 10000, fds, NULL,
        NULL, &error);
    g_object_unref(fds);
    if (reply == NULL) return fail_with("ScreenShot2 CaptureActiveScreen", error);
    guint32 width = 0, height = 0, stride = 0, format = 0;
    GVariant* results = g_variant_get_child_value(reply, 0);
    g_variant_lookup(results, "width", "u", &width);
    g_variant_lookup(results, "height", "u", &height);
    g_variant_lookup(results, "stride", "u", &stride);
    g_variant_lookup(results, "format", "u", &format);
    g_variant_unref(results);
    g_variant_unref(reply);
    size_t size = (size_t)stride * height, got = 0;
    if (width == 0 || height == 0 || stride < width * 4) return fail_with("ScreenShot2 gave no 32-bit image", NULL);
    unsigned char* pixels = malloc(size);
    while (got < size) {
        ssize_t n = read(pipe_fds[0], pixels + got, size - got);
        if (n <= 0) break;
        got += (size_t)n;
    }
    if (got < size) return fail_with("ScreenShot2 sent a short image", NULL);
    /* QImage's 32-bit formats (RGB32, ARGB32 and premultiplied: 4, 5, 6) are
     * 0xAARRGGBB words, so B, G, R, A in memory here. */
    if (format < 4 || format > 6) return fail_with("ScreenShot2 sent an image format other than QImage's 32-bit", NULL);
    FILE* out = fopen(file, "wb");
    if (out == NULL) return fail_with(file, NULL);
    fprintf(out, "P6\n%u %u\n255\n", width, height);
    for (guint32 y = 0; y < height; ++y)
        for (guint32 x = 0; x < width; ++x) {
            const unsigned char* p = pixels + (size_t)y * stride + (size_t)x * 4;
            fputc(p[2], out);
            fputc(p[1], out);
            fputc(p[0], out);
        }
    fclose(out);
    free(pixels);
    return 0;
}

int main(int argc, char** argv) {
    const char* usage = "desktop_test_bus key | move DX DY | kwin-screenshot FILE.ppm";
    if (argc < 2) return fail_with(usage, NULL);
    GError* error = NULL;
    bus = g_bus_get_sync(G_BUS_TYPE_SESSION, NULL, &error);
    if (bus == NULL) return fail_with("session bus", error);
    if (strcmp(argv[1], "key") == 0 || strcmp(argv[1], "move") == 0) return remote_desktop(argc - 1, argv + 1);
    if (strcmp(argv[1], "kwin-screenshot") == 0 && argc == 3) return kwin_screenshot(argv[2]);
    return fail_with(usage, NULL);
}
