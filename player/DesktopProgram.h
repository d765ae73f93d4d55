#pragma once
// The desktop program's entry: closes a running instance, builds the
// desktop, the manager window and its host, and runs the main loop until
// the window is destroyed.
//
// Exit code 0 after a normal end (the window closed: "Exit" in the tray
// menu, another instance starting, or a termination signal), 1 when
// start-up failed or an error escaped; what failed goes to standard error.

#include "player/DesktopUi.h"

namespace player {

// The autorun entry starts the program with the single argument "-d",
// which delays start-up until the desktop has settled. Only exactly that
// one argument counts.
bool IsDelayedStart(int argc, const char* const* argv);

inline constexpr int kStartDelayMs = 5000;

int RunDesktopProgram(int argc, const char* const* argv, const DesktopUiToolkit& ui);

} // namespace player
