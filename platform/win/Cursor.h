#pragma once
// The mouse cursor over the player's windows. Scene objects ask for one of
// the system's cursors by its Windows id; the shapes come from SDL's system
// cursors, made once and kept for the life of the process.

namespace win {

// The Windows ids of the system cursors that scene objects ask for.
inline constexpr int kIdcArrow = 32512;
inline constexpr int kIdcHand = 32649;

// Shows the system cursor `id` (kIdcArrow or kIdcHand). False when the id is
// not one of these or no video display is open (nothing changes then).
bool SetSystemCursor(int id);

} // namespace win
