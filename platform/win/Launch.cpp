#include "platform/win/Launch.h"

#include <gio/gio.h>

#include <string>

namespace win {

bool DefaultUriLauncher::Launch(std::string_view uri)
{
    if (uri.empty())
        return false;
    GError* error = nullptr;
    const bool started = g_app_info_launch_default_for_uri(std::string(uri).c_str(), nullptr, &error);
    if (error)
        g_error_free(error);
    return started;
}

} // namespace win
