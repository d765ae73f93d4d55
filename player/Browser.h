#pragma once
// Opening a web address in the user's browser through the desktop's default
// handler. An empty address opens nothing.

#include <string_view>

#include "platform/win/Launch.h"

// True when the handler was started; false for an empty address and when
// no handler could be started.
bool OpenUrlInBrowser(win::UriLauncher& launcher, std::u16string_view address);
