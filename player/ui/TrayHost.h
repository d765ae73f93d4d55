#pragma once
// Whether the desktop would show a tray icon: a StatusNotifier host
// registered with the session's watcher (for an indicator), or an X system
// tray (for a GtkStatusIcon). Needs GTK initialised.

namespace player {

bool HasStatusNotifierHost();
bool HasXSystemTray();

} // namespace player
