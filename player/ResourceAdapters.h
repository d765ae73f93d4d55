#pragma once
// Connects the object model's resource lookups to the program's own
// resources and to resource modules ("common_res.dll") of platform/win.

namespace player {

// Installs both finders (ProgramResourceFinder, ModuleResourceFinder).
void InstallResourceFinders();

} // namespace player
