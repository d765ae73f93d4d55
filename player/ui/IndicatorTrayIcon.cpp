// The tray icon as a StatusNotifier item (ayatana-appindicator).
#include <libayatana-appindicator/app-indicator.h>

#include <string>

#include "platform/crt/WideString.h"
#include "player/ui/GtkTrayIcon.h"
#include "player/ui/GtkTrayMenu.h"

namespace player {

namespace {

constexpr const char* kIndicatorId = "orvanta";

class IndicatorTrayIcon final : public GtkTrayIcon {
public:
    IndicatorTrayIcon(const TrayIconData& icon, const TrayMenu& menu, TrayCommandHandler chosen)
        : menu_(menu, std::move(chosen))
    {
        const std::string iconName(kTrayIconName);
        indicator_ = app_indicator_new(kIndicatorId, iconName.c_str(), APP_INDICATOR_CATEGORY_APPLICATION_STATUS);
        if (!indicator_)
            return;
        if (!icon.tip.empty())
            app_indicator_set_title(indicator_, crt::ToUtf8(icon.tip).c_str());
        app_indicator_set_menu(indicator_, GTK_MENU(menu_.Widget()));
        app_indicator_set_status(indicator_, APP_INDICATOR_STATUS_ACTIVE);
    }

    ~IndicatorTrayIcon() override
    {
        if (!indicator_)
            return;
        app_indicator_set_status(indicator_, APP_INDICATOR_STATUS_PASSIVE);
        g_object_unref(indicator_);
    }

    IndicatorTrayIcon(const IndicatorTrayIcon&) = delete;
    IndicatorTrayIcon& operator=(const IndicatorTrayIcon&) = delete;

    bool Valid() const { return indicator_ != nullptr; }
    void UpdateMenu(const TrayMenu& menu) override { menu_.Update(menu); }
    GtkTrayMenu* AttachedMenu() override { return &menu_; }

private:
    GtkTrayMenu menu_;
    AppIndicator* indicator_ = nullptr;
};

} // namespace

std::unique_ptr<GtkTrayIcon> MakeIndicatorTrayIcon(const TrayIconData& icon, const TrayMenu& menu,
                                                   TrayCommandHandler chosen)
{
    auto indicator = std::make_unique<IndicatorTrayIcon>(icon, menu, std::move(chosen));
    if (!indicator->Valid())
        return nullptr;
    return indicator;
}

} // namespace player
