#include "platform/win/Cursor.h"

#include <SDL.h>

namespace win {
namespace {

// SDL keeps the cursor alive while it is shown; ours live until exit, so no
// shown cursor is ever freed under SDL's feet.
SDL_Cursor* SystemCursor(SDL_SystemCursor shape)
{
    static SDL_Cursor* arrow = nullptr;
    static SDL_Cursor* hand = nullptr;
    SDL_Cursor*& slot = shape == SDL_SYSTEM_CURSOR_HAND ? hand : arrow;
    if (!slot)
        slot = SDL_CreateSystemCursor(shape);
    return slot;
}

} // namespace

bool SetSystemCursor(int id)
{
    if (id != kIdcArrow && id != kIdcHand)
        return false;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    SDL_Cursor* cursor = SystemCursor(id == kIdcHand ? SDL_SYSTEM_CURSOR_HAND : SDL_SYSTEM_CURSOR_ARROW);
    if (!cursor)
        return false;
    SDL_SetCursor(cursor);
    return true;
}

} // namespace win
