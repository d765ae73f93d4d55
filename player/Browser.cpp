#include "player/Browser.h"

#include "platform/crt/WideString.h"

bool OpenUrlInBrowser(win::UriLauncher& launcher, std::u16string_view address)
{
    if (address.empty())
        return false;
    return launcher.Launch(crt::ToUtf8(address));
}
