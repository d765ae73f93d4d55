#pragma once
// ScreenInfo: where the current document's picture lands on the screen.
// The picture scene writes it each time it applies a view; scene objects
// read the picture's size from it (GetScreenInfo) to place themselves.
//
// One record belongs to each document resource manager. The manager class
// lives further up in the render layer; it owns its record by deriving from
// ScreenInfoOwner, which is how GetScreenInfo finds the record of the
// thread's current manager (g_DocResManagerTls) without knowing the class.

#include <cstdint>

#include "render/QuadVertices.h"

struct ScreenInfo {
    // Back-buffer width and height over the view's width and height.
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    // The picture letterboxed into the view, scaled to the back buffer.
    QuadVertices quad;
    // The picture's size in pixels.
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
};

// Base of the class that owns a document's ScreenInfo (the document
// resource manager).
class ScreenInfoOwner {
public:
    ScreenInfo& ScreenInfoRecord() { return m_screenInfo; }
    const ScreenInfo& ScreenInfoRecord() const { return m_screenInfo; }

protected:
    ScreenInfoOwner() = default;
    ScreenInfoOwner(const ScreenInfoOwner&) = default;
    ScreenInfoOwner& operator=(const ScreenInfoOwner&) = default;
    ~ScreenInfoOwner() = default;

private:
    ScreenInfo m_screenInfo;
};

// The ScreenInfo of the resource manager current on this thread. Without
// one, a process-wide default record: scales 0, the default quad, picture
// size 0. Never null. The default is read-only: a view applied while no
// document is current must not change what every later reader sees.
const ScreenInfo& GetScreenInfo();

// The current manager's record for writing, or null when no manager is
// current on this thread.
ScreenInfo* GetCurrentScreenInfoForWriting();
