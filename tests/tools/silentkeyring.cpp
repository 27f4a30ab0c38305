// A Secret Service that never answers: it owns org.freedesktop.secrets (or the name given) on
// the session bus that DBUS_SESSION_BUS_ADDRESS names and lets every call to it go unanswered.
// It prints "ready" once the name is its own and runs until it is killed.
#include <gio/gio.h>

#include <cstdio>

namespace {

GDBusMessage* swallow(GDBusConnection*, GDBusMessage* message, gboolean incoming, gpointer) {
    if (incoming && g_dbus_message_get_message_type(message) == G_DBUS_MESSAGE_TYPE_METHOD_CALL) {
        g_object_unref(message);
        return nullptr;
    }
    return message;
}

} // namespace

int main(int argc, char** argv) {
    const char* name = argc > 1 ? argv[1] : "org.freedesktop.secrets";
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (bus == nullptr) {
        std::fprintf(stderr, "silentkeyring: %s\n", error->message);
        return 1;
    }
    g_dbus_connection_add_filter(bus, swallow, nullptr, nullptr);
    const guint doNotQueue = 4;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
        g_variant_new("(su)", name, doNotQueue), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1,
        nullptr, &error);
    guint32 owner = 0;
    if (reply != nullptr) {
        g_variant_get(reply, "(u)", &owner);
    }
    if (owner != 1) { // the primary owner
        std::fprintf(stderr, "silentkeyring: the name is not ours\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    g_main_loop_run(g_main_loop_new(nullptr, FALSE));
}
