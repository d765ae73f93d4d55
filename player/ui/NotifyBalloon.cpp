#include "player/ui/NotifyBalloon.h"

#include <libnotify/notify.h>

#include "player/TrayIcon.h"

namespace player {

namespace {

constexpr const char* kApplicationName = "Orvanta";

} // namespace

NotifyBalloon::~NotifyBalloon()
{
    if (initialised_)
        notify_uninit();
}

bool NotifyBalloon::Show(const std::string& title, const std::string& text)
{
    if (!initialised_)
        initialised_ = notify_init(kApplicationName);
    if (!initialised_)
        return false;
    const std::string iconName(kTrayIconName);
    NotifyNotification* notification = notify_notification_new(title.c_str(), text.c_str(), iconName.c_str());
    GError* error = nullptr;
    const bool shown = notify_notification_show(notification, &error);
    g_clear_error(&error);
    g_object_unref(notification);
    return shown;
}

} // namespace player
