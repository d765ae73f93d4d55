#include "player/ui/TrayHost.h"

#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <gio/gio.h>

#include <string>

namespace player {

namespace {

constexpr int kBusTimeoutMs = 1000;

} // namespace

bool HasStatusNotifierHost()
{
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        g_clear_error(&error);
        return false;
    }
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", "org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered"),
        G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kBusTimeoutMs, nullptr, &error);
    g_object_unref(bus);
    if (!reply) {
        g_clear_error(&error);
        return false;
    }
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    const bool registered = value && g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) &&
                            g_variant_get_boolean(value);
    if (value)
        g_variant_unref(value);
    g_variant_unref(reply);
    return registered;
}

bool HasXSystemTray()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return false;
    Display* xDisplay = GDK_DISPLAY_XDISPLAY(display);
    const int screen = XDefaultScreen(xDisplay);
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    const Atom atom = XInternAtom(xDisplay, selection.c_str(), False);
    return XGetSelectionOwner(xDisplay, atom) != None;
}

} // namespace player
