#pragma once
// The tray icon's balloon as a desktop notification (libnotify), shown
// where a notification server answers.

#include <string>

namespace player {

class NotifyBalloon {
public:
    NotifyBalloon() = default;
    ~NotifyBalloon();
    NotifyBalloon(const NotifyBalloon&) = delete;
    NotifyBalloon& operator=(const NotifyBalloon&) = delete;

    // False when no server took the notification.
    bool Show(const std::string& title, const std::string& text);

private:
    bool initialised_ = false;
};

} // namespace player
