#include "tools/saver_idle/idle_monitor.h"

namespace idle {

namespace {

constexpr const char* kService = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* kInterface = "org.gnome.Mutter.IdleMonitor";

struct IdleMonitorState {
    GDBusConnection* bus = nullptr;
    guint32 watchId = 0;
    void (*onIdle)() = nullptr;
};
IdleMonitorState monitor;

// The reply of a method of the monitor, or null with the reason in *error.
GVariant* CallMonitor(const char* method, GVariant* parameters, const char* replyType, std::string* error) {
    GError* failure = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(monitor.bus, kService, kPath, kInterface, method, parameters,
                                                  G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NO_AUTO_START, 5000,
                                                  nullptr, &failure);
    if (reply == nullptr) {
        *error = std::string("no GNOME idle monitor (") + kService + " " + method + ": " + failure->message + ")";
        g_error_free(failure);
    }
    return reply;
}

void OnWatchFired(GDBusConnection*, const char*, const char*, const char*, const char*, GVariant* parameters,
                  gpointer) {
    guint32 id = 0;
    g_variant_get(parameters, "(u)", &id);
    if (id == monitor.watchId) monitor.onIdle();
}

}  // namespace

bool StartIdleWatch(unsigned seconds, void (*onIdle)(), std::string* error) {
    GError* failure = nullptr;
    monitor.bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &failure);
    if (monitor.bus == nullptr) {
        *error = std::string("no session bus: ") + failure->message;
        g_error_free(failure);
        return false;
    }
    g_dbus_connection_set_exit_on_close(monitor.bus, FALSE);
    monitor.onIdle = onIdle;
    // Subscribed before the watch is added, so that no firing is missed. The
    // sender is not matched by name: the watch's id, given to this connection
    // alone, picks the signal.
    g_dbus_connection_signal_subscribe(monitor.bus, nullptr, kInterface, "WatchFired", kPath, nullptr,
                                       G_DBUS_SIGNAL_FLAGS_NONE, OnWatchFired, nullptr, nullptr);
    GVariant* reply = CallMonitor("GetIdletime", nullptr, "(t)", error);
    if (reply == nullptr) return false;
    g_variant_unref(reply);
    reply = CallMonitor("AddIdleWatch", g_variant_new("(t)", static_cast<guint64>(seconds) * 1000), "(u)", error);
    if (reply == nullptr) return false;
    g_variant_get(reply, "(u)", &monitor.watchId);
    g_variant_unref(reply);
    return true;
}

GDBusConnection* IdleBus() { return monitor.bus; }

}  // namespace idle
