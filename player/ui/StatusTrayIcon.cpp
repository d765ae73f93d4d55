// The tray icon as a GtkStatusIcon in an X system tray: the fallback where
// no StatusNotifier host exists. GTK marks the status icon deprecated; it
// is still the one way into an X tray, so its warnings are silenced here.
#define GDK_DISABLE_DEPRECATION_WARNINGS
#include <gtk/gtk.h>

#include <string>

#include "platform/crt/WideString.h"
#include "player/ui/GtkTrayIcon.h"

namespace player {

namespace {

// The mouse message for a button event; 0 for buttons the tray ignores.
win::LPARAM MouseMessage(const GdkEventButton& event)
{
    struct Entry {
        GdkEventType type;
        guint button;
        win::LPARAM message;
    };
    static constexpr Entry kMessages[] = {
        {GDK_BUTTON_PRESS, 1, WM_LBUTTONDOWN},    {GDK_BUTTON_RELEASE, 1, WM_LBUTTONUP},
        {GDK_2BUTTON_PRESS, 1, WM_LBUTTONDBLCLK}, {GDK_BUTTON_PRESS, 3, WM_RBUTTONDOWN},
        {GDK_BUTTON_RELEASE, 3, WM_RBUTTONUP},    {GDK_2BUTTON_PRESS, 3, WM_RBUTTONDBLCLK},
    };
    for (const Entry& entry : kMessages) {
        if (entry.type == event.type && entry.button == event.button)
            return entry.message;
    }
    return 0;
}

class StatusTrayIcon final : public GtkTrayIcon {
public:
    StatusTrayIcon(const TrayIconData& icon, TrayMouseHandler mouse) : mouse_(std::move(mouse))
    {
        const std::string iconName(kTrayIconName);
        status_ = gtk_status_icon_new_from_icon_name(iconName.c_str());
        if (!icon.tip.empty())
            gtk_status_icon_set_tooltip_text(status_, crt::ToUtf8(icon.tip).c_str());
        if (!icon.balloonTitle.empty())
            gtk_status_icon_set_title(status_, crt::ToUtf8(icon.balloonTitle).c_str());
        g_signal_connect(status_, "button-press-event", G_CALLBACK(OnButton), this);
        g_signal_connect(status_, "button-release-event", G_CALLBACK(OnButton), this);
        gtk_status_icon_set_visible(status_, TRUE);
    }

    ~StatusTrayIcon() override
    {
        g_signal_handlers_disconnect_by_data(status_, this);
        gtk_status_icon_set_visible(status_, FALSE);
        g_object_unref(status_);
    }

    StatusTrayIcon(const StatusTrayIcon&) = delete;
    StatusTrayIcon& operator=(const StatusTrayIcon&) = delete;

    // The menu is made anew at every click; nothing stays attached.
    void UpdateMenu(const TrayMenu&) override {}
    GtkTrayMenu* AttachedMenu() override { return nullptr; }

private:
    static gboolean OnButton(GtkStatusIcon*, GdkEventButton* event, gpointer self)
    {
        const win::LPARAM message = MouseMessage(*event);
        if (message != 0)
            static_cast<StatusTrayIcon*>(self)->mouse_(message);
        return TRUE;
    }

    TrayMouseHandler mouse_;
    GtkStatusIcon* status_ = nullptr;
};

} // namespace

std::unique_ptr<GtkTrayIcon> MakeStatusTrayIcon(const TrayIconData& icon, TrayMouseHandler mouse)
{
    return std::make_unique<StatusTrayIcon>(icon, std::move(mouse));
}

} // namespace player
