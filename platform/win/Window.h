#pragma once
// Our window system: registered classes, a tree of windows with class names,
// styles, rectangles and z-order, window procedures, sent and posted
// messages, WM_PAINT, timers and the WM_QUIT that ends the main loop.
//
// Most windows live only in this tree (the desktop host's windows, models in
// tests). A window of a class registered with WindowSurface::Desktop also has
// an on-screen SDL window (WindowNative.h) at its virtual-screen rectangle,
// shown while the window and its ancestors are visible. A child's position is
// given relative to its parent's top-left corner, as with child windows;
// rectangles are kept and reported in virtual-screen pixels.
//
// Messages. SendMessage calls the procedure at once. PostMessage queues the
// message; the main loop dispatches queued messages in the order they were
// posted. PostMessage may be called from any thread; everything else from the
// main thread only. InvalidateRect marks one window for a WM_PAINT, sent once
// the queue has nothing more urgent; a visible window gets it, a hidden one
// when it is shown. WM_TIMER comes from timers (Timer.h). PostQuitMessage ends
// MainLoop::Run with its code after the messages posted before it.
//
// SDL events (for the on-screen windows) are pumped at every loop iteration
// and, while an on-screen window exists, at least every kSdlPollMs: the
// offscreen driver has no descriptor to wait on, and Xlib may queue events
// without the connection becoming readable, so a short bounded wait is the
// simplest way that never misses them and never spins. Window exposure
// invalidates the window, a close request posts WM_CLOSE to it, and SDL's
// quit request (SIGINT, SIGTERM) posts WM_CLOSE to every on-screen window.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/win/MainLoop.h"
#include "platform/win/Message.h"
#include "platform/win/Timer.h"
#include "platform/win/WindowNative.h"
#include "platform/win/WindowTree.h"
#include "platform/win/WindowTypes.h"

namespace win {

enum class WindowSurface {
    None,    // lives only in the tree
    Desktop, // an on-screen desktop-type SDL window with an OpenGL surface
};

struct WindowClass {
    std::string name;
    WindowProc proc;
    UINT style = 0;
    WindowSurface surface = WindowSurface::None;
};

class WindowSystem final : public WindowTree {
public:
    static constexpr int kSdlPollMs = 100;

    explicit WindowSystem(MainLoop& loop);
    // Releases every window without sending messages: their owners may be gone.
    ~WindowSystem() override;
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    MainLoop& Loop() { return loop_; }
    // Why the last CreateWindow or RegisterClass failed.
    const std::string& LastError() const { return lastError_; }

    // ---- Classes ----
    // A non-zero atom; 0 when the name is empty or taken or the procedure is missing.
    std::uint16_t RegisterClass(WindowClass windowClass);
    bool IsClassRegistered(std::string_view name) const;
    // Removes a class whose windows are all gone (false while any exists),
    // so that its procedure, and whatever it refers to, is never called again.
    bool UnregisterClass(std::string_view name);

    // ---- Windows ----
    // Null when the class is unknown, the parent is not a window or the
    // on-screen window cannot be made (LastError says why).
    HWND CreateWindow(std::string_view className, std::string_view title, DWORD style, int x, int y, int width,
                      int height, HWND parent);
    // Sends WM_DESTROY to the window, then to its descendants, and removes
    // them with their timers and pending paints.
    bool DestroyWindow(HWND window);

    HWND FindWindow(std::string_view className) const override;
    HWND FindWindowEx(HWND parent, HWND childAfter, std::string_view className) const override;
    HWND GetNextWindow(HWND window) const override;
    HWND GetParent(HWND window) const override;
    bool IsWindow(HWND window) const override;
    bool IsWindowVisible(HWND window) const override;
    bool ShowWindow(HWND window, int command) override;
    LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    std::string GetClassName(HWND window) const;
    std::string GetWindowText(HWND window) const;
    DWORD GetStyle(HWND window) const;
    bool GetWindowRect(HWND window, RECT* rect) const;
    // x and y relative to the parent's top-left corner (virtual screen for
    // top-level windows); `insertAfter` HWND_TOP or HWND_BOTTOM.
    bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
    // The on-screen window; null for a window of WindowSurface::None. Holding
    // it keeps the SDL window (and a GL context made on it) valid after the
    // window is destroyed; it is merely hidden then.
    std::shared_ptr<NativeWindow> GetNativeWindow(HWND window) const;

    // ---- Messages ----
    // Any thread. False for a window that does not exist.
    bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PostQuitMessage(int exitCode);
    // WM_CLOSE destroys the window; everything else gives 0.
    LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Marks this one window for WM_PAINT. A null window invalidates nothing:
    // no other program's windows are ever asked to repaint.
    bool InvalidateRect(HWND window);
    bool HasPendingPaint(HWND window) const;

    // ---- Timers ----
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs);
    bool KillTimer(HWND window, UINT_PTR id);

private:
    struct ClassRecord;
    struct Record;

    Record* Find(HWND window) const;
    // The list the window sits in; null when its parent is already gone.
    std::vector<HWND>* SiblingsOf(const Record& record);
    const std::vector<HWND>* SiblingsOf(const Record& record) const;
    void DestroyTree(HWND window);
    void Remove(HWND window);
    void MoveTree(Record& record, LONG dx, LONG dy);
    void SyncNativeVisibility(HWND window);
    void DispatchPosted();
    void DispatchPaints();
    bool HasPaintWork() const;
    void PumpSdlEvents();
    bool SdlEventsWaiting();
    bool HasNativeWindows() const;
    HWND WindowOfSdlId(std::uint32_t id) const;

    MainLoop& loop_;
    MessageQueue queue_;
    TimerSet timers_;
    std::map<std::string, std::shared_ptr<ClassRecord>, std::less<>> classes_;
    std::map<HWND, std::unique_ptr<Record>> windows_;
    std::vector<HWND> topLevel_;
    std::uintptr_t nextHandle_ = 0x10000;
    std::uint16_t nextAtom_ = 0xC000;
    std::string lastError_;
    // Handles of live windows, for PostMessage from other threads.
    mutable std::mutex liveMutex_;
    std::unordered_set<HWND> live_;
    MainLoop::Source postedSource_, paintSource_, sdlSource_;
};

} // namespace win
