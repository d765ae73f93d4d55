#pragma once
// Starting the player with the user's session: an autostart entry named
// "Animated Wallpaper" whose command is the program's full path in double
// quotes followed by " -d" (the switch that delays start-up until the
// desktop has settled).
//
// The entry counts as set only when its command is exactly the one this
// program would write, whatever the path's length.

#include <string>
#include <string_view>

#include "platform/win/Autostart.h"

inline constexpr std::string_view kAutorunName = "Animated Wallpaper";

class Autorun {
public:
    Autorun(win::AutostartEntry entry, std::string executablePath)
        : entry_(std::move(entry)), executablePath_(std::move(executablePath))
    {
    }

    // The entry for this user and the running program.
    static Autorun ForCurrentUser();

    static std::string CommandFor(std::string_view executablePath);

    bool SetAutorun() const;
    bool IsAutorunSet() const;
    bool RemoveAutorun() const;

private:
    win::AutostartEntry entry_;
    std::string executablePath_;
};
