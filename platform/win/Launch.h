#pragma once
// Opening an address with the desktop's default handler for its scheme
// (a web browser for http and https), in place of starting the program that
// the registry names for "http" URLs.

#include <string_view>

namespace win {

class UriLauncher {
public:
    virtual ~UriLauncher() = default;
    // True when the handler was started.
    virtual bool Launch(std::string_view uri) = 0;
};

// GIO's default handler (g_app_info_launch_default_for_uri).
class DefaultUriLauncher final : public UriLauncher {
public:
    bool Launch(std::string_view uri) override;
};

} // namespace win
