#include "platform/win/Window.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace win {

struct WindowSystem::ClassRecord {
    WindowClass windowClass;
    std::uint16_t atom = 0;
};

struct WindowSystem::Record {
    HWND handle = nullptr;
    std::shared_ptr<ClassRecord> windowClass;
    std::string title;
    DWORD style = 0;
    RECT rect;
    HWND parent = nullptr;
    std::vector<HWND> children; // z-order, topmost first
    std::shared_ptr<NativeWindow> native;
    bool paintPending = false;
    bool destroying = false;
};

namespace {

std::string ClassKey(std::string_view name)
{
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return key;
}

enum class ShowAction { Hide, Show, Keep };

struct ShowCommand {
    int command;
    ShowAction action;
};

// Commands that minimise or maximise have no meaning for our windows and
// leave the visibility as it is.
constexpr std::array kShowCommands{
    ShowCommand{SW_HIDE, ShowAction::Hide},          ShowCommand{SW_SHOWNORMAL, ShowAction::Show},
    ShowCommand{SW_SHOWNOACTIVATE, ShowAction::Show}, ShowCommand{SW_SHOW, ShowAction::Show},
    ShowCommand{SW_SHOWNA, ShowAction::Show},
};

ShowAction ActionOf(int command)
{
    for (const ShowCommand& entry : kShowCommands) {
        if (entry.command == command)
            return entry.action;
    }
    return ShowAction::Keep;
}

} // namespace

WindowSystem::WindowSystem(MainLoop& loop)
    : loop_(loop),
      queue_([&loop] { loop.Wakeup(); }),
      timers_(loop, [this](HWND window, UINT_PTR id) { SendMessage(window, WM_TIMER, id, 0); })
{
    postedSource_ = loop_.AddPolled(MainLoop::kPriorityMessages,
                                    {[this] { return queue_.HasWork(); }, nullptr, [this] { DispatchPosted(); }});
    paintSource_ = loop_.AddPolled(MainLoop::kPriorityPaint,
                                   {[this] { return HasPaintWork(); }, nullptr, [this] { DispatchPaints(); }});
    sdlSource_ = loop_.AddPolled(MainLoop::kPriorityMessages,
                                 {[this] { return SdlEventsWaiting(); },
                                  [this] { return HasNativeWindows() ? kSdlPollMs : -1; },
                                  [this] { PumpSdlEvents(); }});
}

WindowSystem::~WindowSystem()
{
    sdlSource_.Reset();
    paintSource_.Reset();
    postedSource_.Reset();
}

// ---- Classes -----------------------------------------------------------------

std::uint16_t WindowSystem::RegisterClass(WindowClass windowClass)
{
    if (windowClass.name.empty() || !windowClass.proc) {
        lastError_ = "a window class needs a name and a procedure";
        return 0;
    }
    std::string key = ClassKey(windowClass.name);
    if (classes_.count(key) != 0) {
        lastError_ = "window class \"" + windowClass.name + "\" is already registered";
        return 0;
    }
    auto record = std::make_shared<ClassRecord>(ClassRecord{std::move(windowClass), nextAtom_++});
    const std::uint16_t atom = record->atom;
    classes_.emplace(std::move(key), std::move(record));
    return atom;
}

bool WindowSystem::IsClassRegistered(std::string_view name) const { return classes_.count(ClassKey(name)) != 0; }

bool WindowSystem::UnregisterClass(std::string_view name)
{
    const auto found = classes_.find(ClassKey(name));
    if (found == classes_.end()) {
        lastError_ = "window class \"" + std::string(name) + "\" is not registered";
        return false;
    }
    for (const auto& [handle, record] : windows_) {
        if (record->windowClass == found->second) {
            lastError_ = "window class \"" + std::string(name) + "\" still has windows";
            return false;
        }
    }
    classes_.erase(found);
    return true;
}

// ---- Windows -----------------------------------------------------------------

WindowSystem::Record* WindowSystem::Find(HWND window) const
{
    auto found = windows_.find(window);
    return found == windows_.end() ? nullptr : found->second.get();
}

std::vector<HWND>* WindowSystem::SiblingsOf(const Record& record)
{
    if (!record.parent)
        return &topLevel_;
    Record* parent = Find(record.parent);
    return parent ? &parent->children : nullptr;
}

const std::vector<HWND>* WindowSystem::SiblingsOf(const Record& record) const
{
    return const_cast<WindowSystem*>(this)->SiblingsOf(record);
}

HWND WindowSystem::CreateWindow(std::string_view className, std::string_view title, DWORD style, int x, int y,
                                int width, int height, HWND parent)
{
    auto found = classes_.find(ClassKey(className));
    if (found == classes_.end()) {
        lastError_ = "unknown window class \"" + std::string(className) + "\"";
        return nullptr;
    }
    const Record* parentRecord = parent ? Find(parent) : nullptr;
    if (parent && (!parentRecord || parentRecord->destroying)) {
        lastError_ = "the parent is not a window";
        return nullptr;
    }
    if ((style & WS_CHILD) && !parent) {
        lastError_ = "a child window needs a parent";
        return nullptr;
    }
    const LONG originX = parentRecord ? parentRecord->rect.left : 0;
    const LONG originY = parentRecord ? parentRecord->rect.top : 0;
    RECT rect{originX + x, originY + y, originX + x + std::max(width, 0), originY + y + std::max(height, 0)};

    auto record = std::make_unique<Record>();
    record->windowClass = found->second;
    record->title = std::string(title);
    record->style = style;
    record->rect = rect;
    record->parent = parent;
    if (found->second->windowClass.surface == WindowSurface::Desktop) {
        record->native = NativeWindow::CreateDesktop({record->title, rect, false}, &lastError_);
        if (!record->native)
            return nullptr;
    }
    const HWND handle = reinterpret_cast<HWND>(nextHandle_++);
    record->handle = handle;
    windows_.emplace(handle, std::move(record));
    std::vector<HWND>* siblings = SiblingsOf(*Find(handle));
    siblings->insert(siblings->begin(), handle); // new windows come to the top
    {
        std::lock_guard lock(liveMutex_);
        live_.insert(handle);
    }
    if (style & WS_VISIBLE) {
        SyncNativeVisibility(handle);
        InvalidateRect(handle);
    }
    return handle;
}

bool WindowSystem::DestroyWindow(HWND window)
{
    const Record* record = Find(window);
    if (!record || record->destroying)
        return false;
    DestroyTree(window);
    return true;
}

void WindowSystem::DestroyTree(HWND window)
{
    Record* record = Find(window);
    if (!record || record->destroying)
        return;
    record->destroying = true;
    if (record->native)
        record->native->SetVisible(false);
    SendMessage(window, WM_DESTROY, 0, 0);
    record = Find(window);
    if (!record)
        return;
    // A child's WM_DESTROY may destroy its siblings: work on a copy.
    const std::vector<HWND> children = record->children;
    for (HWND child : children)
        DestroyTree(child);
    Remove(window);
}

void WindowSystem::Remove(HWND window)
{
    Record* record = Find(window);
    if (!record)
        return;
    // The parent may already be gone when a window destroys its own parent
    // from inside its WM_DESTROY.
    if (std::vector<HWND>* siblings = SiblingsOf(*record))
        std::erase(*siblings, window);
    timers_.KillAll(window);
    {
        std::lock_guard lock(liveMutex_);
        live_.erase(window);
    }
    windows_.erase(window);
}

HWND WindowSystem::FindWindow(std::string_view className) const { return FindWindowEx(nullptr, nullptr, className); }

HWND WindowSystem::FindWindowEx(HWND parent, HWND childAfter, std::string_view className) const
{
    const Record* parentRecord = parent ? Find(parent) : nullptr;
    if (parent && !parentRecord)
        return nullptr;
    const std::vector<HWND>& list = parentRecord ? parentRecord->children : topLevel_;
    auto from = list.begin();
    if (childAfter) {
        from = std::find(list.begin(), list.end(), childAfter);
        if (from == list.end())
            return nullptr;
        ++from;
    }
    const std::string key = ClassKey(className);
    for (auto it = from; it != list.end(); ++it) {
        if (ClassKey(Find(*it)->windowClass->windowClass.name) == key)
            return *it;
    }
    return nullptr;
}

HWND WindowSystem::GetNextWindow(HWND window) const
{
    const Record* record = Find(window);
    if (!record)
        return nullptr;
    const std::vector<HWND>* siblings = SiblingsOf(*record);
    if (!siblings)
        return nullptr;
    auto it = std::find(siblings->begin(), siblings->end(), window);
    if (it == siblings->end() || ++it == siblings->end())
        return nullptr;
    return *it;
}

HWND WindowSystem::GetParent(HWND window) const
{
    const Record* record = Find(window);
    return record ? record->parent : nullptr;
}

bool WindowSystem::IsWindow(HWND window) const { return Find(window) != nullptr; }

bool WindowSystem::IsWindowVisible(HWND window) const
{
    for (const Record* record = Find(window); record; record = Find(record->parent)) {
        if (!(record->style & WS_VISIBLE))
            return false;
        if (!record->parent)
            return true;
    }
    return false;
}

bool WindowSystem::ShowWindow(HWND window, int command)
{
    Record* record = Find(window);
    if (!record)
        return false;
    const bool wasVisible = (record->style & WS_VISIBLE) != 0;
    const ShowAction action = ActionOf(command);
    if (action == ShowAction::Keep || (action == ShowAction::Show) == wasVisible)
        return wasVisible;
    if (action == ShowAction::Show)
        record->style |= WS_VISIBLE;
    else
        record->style &= ~WS_VISIBLE;
    SyncNativeVisibility(window);
    // A window that appears is drawn anew.
    if (action == ShowAction::Show)
        InvalidateRect(window);
    return wasVisible;
}

void WindowSystem::SyncNativeVisibility(HWND window)
{
    const Record* record = Find(window);
    if (!record)
        return;
    if (record->native)
        record->native->SetVisible(IsWindowVisible(window) && !record->destroying);
    for (HWND child : record->children)
        SyncNativeVisibility(child);
}

LRESULT WindowSystem::SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Record* record = Find(window);
    if (!record)
        return 0;
    // The procedure may destroy its own window: keep the class (and with it
    // the procedure) alive for the call.
    std::shared_ptr<ClassRecord> windowClass = record->windowClass;
    return windowClass->windowClass.proc(window, message, wParam, lParam);
}

std::string WindowSystem::GetClassName(HWND window) const
{
    const Record* record = Find(window);
    return record ? record->windowClass->windowClass.name : std::string();
}

std::string WindowSystem::GetWindowText(HWND window) const
{
    const Record* record = Find(window);
    return record ? record->title : std::string();
}

DWORD WindowSystem::GetStyle(HWND window) const
{
    const Record* record = Find(window);
    return record ? record->style : 0;
}

bool WindowSystem::GetWindowRect(HWND window, RECT* rect) const
{
    const Record* record = Find(window);
    if (!record || !rect)
        return false;
    *rect = record->rect;
    return true;
}

void WindowSystem::MoveTree(Record& record, LONG dx, LONG dy)
{
    record.rect = {record.rect.left + dx, record.rect.top + dy, record.rect.right + dx, record.rect.bottom + dy};
    if (record.native)
        record.native->SetRect(record.rect);
    for (HWND child : record.children) {
        if (Record* childRecord = Find(child))
            MoveTree(*childRecord, dx, dy);
    }
}

bool WindowSystem::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    Record* record = Find(window);
    if (!record)
        return false;
    if (!(flags & SWP_NOSIZE)) {
        record->rect.right = record->rect.left + std::max(width, 0);
        record->rect.bottom = record->rect.top + std::max(height, 0);
        if (record->native)
            record->native->SetRect(record->rect);
    }
    if (!(flags & SWP_NOMOVE)) {
        const Record* parent = Find(record->parent);
        const LONG left = (parent ? parent->rect.left : 0) + x;
        const LONG top = (parent ? parent->rect.top : 0) + y;
        MoveTree(*record, left - record->rect.left, top - record->rect.top);
    }
    if (!(flags & SWP_NOZORDER)) {
        std::vector<HWND>* list = SiblingsOf(*record);
        if (!list)
            return true;
        std::vector<HWND>& siblings = *list;
        const bool toBottom = insertAfter == HWND_BOTTOM;
        const bool toTop = insertAfter == HWND_TOP;
        const bool afterSibling = !toTop && !toBottom && insertAfter != window &&
                                  std::find(siblings.begin(), siblings.end(), insertAfter) != siblings.end();
        if (toTop || toBottom || afterSibling) {
            std::erase(siblings, window);
            auto at = toTop ? siblings.begin()
                            : toBottom ? siblings.end()
                                       : std::find(siblings.begin(), siblings.end(), insertAfter) + 1;
            siblings.insert(at, window);
        }
    }
    return true;
}

std::shared_ptr<NativeWindow> WindowSystem::GetNativeWindow(HWND window) const
{
    const Record* record = Find(window);
    return record ? record->native : nullptr;
}

// ---- Messages ------------------------------------------------------------------

bool WindowSystem::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard lock(liveMutex_);
        if (live_.count(window) == 0)
            return false;
    }
    queue_.Post({window, message, wParam, lParam});
    return true;
}

void WindowSystem::PostQuitMessage(int exitCode) { queue_.PostQuit(exitCode); }

LRESULT WindowSystem::DefWindowProc(HWND window, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}

void WindowSystem::DispatchPosted()
{
    // Only what is queued now: messages posted by these handlers wait for
    // the next iteration, so a handler that posts to itself cannot starve
    // the rest of the loop.
    for (std::size_t count = queue_.Size();; --count) {
        // Nothing posted after the quit request is dispatched.
        if (std::optional<int> exitCode = queue_.TakeQuit()) {
            loop_.Quit(*exitCode);
            return;
        }
        std::optional<MSG> message = count > 0 ? queue_.Take() : std::nullopt;
        if (!message)
            return;
        // A message for a window destroyed since it was posted is dropped.
        SendMessage(message->hwnd, message->message, message->wParam, message->lParam);
    }
}

bool WindowSystem::InvalidateRect(HWND window)
{
    Record* record = Find(window);
    if (!record)
        return false;
    record->paintPending = true;
    return true;
}

bool WindowSystem::HasPendingPaint(HWND window) const
{
    const Record* record = Find(window);
    return record && record->paintPending;
}

bool WindowSystem::HasPaintWork() const
{
    return std::any_of(windows_.begin(), windows_.end(), [this](const auto& entry) {
        return entry.second->paintPending && IsWindowVisible(entry.first);
    });
}

void WindowSystem::DispatchPaints()
{
    std::vector<HWND> due;
    for (const auto& [handle, record] : windows_) {
        if (record->paintPending && IsWindowVisible(handle))
            due.push_back(handle);
    }
    for (HWND window : due) {
        Record* record = Find(window);
        if (!record || !record->paintPending)
            continue;
        // Cleared first: a paint handler that invalidates again gets one more.
        record->paintPending = false;
        SendMessage(window, WM_PAINT, 0, 0);
    }
}

// ---- Timers --------------------------------------------------------------------

UINT_PTR WindowSystem::SetTimer(HWND window, UINT_PTR id, UINT elapseMs)
{
    const Record* record = Find(window);
    if (!record || record->destroying)
        return 0;
    return timers_.Set(window, id, elapseMs);
}

bool WindowSystem::KillTimer(HWND window, UINT_PTR id) { return timers_.Kill(window, id); }

// ---- SDL events ------------------------------------------------------------------

bool WindowSystem::SdlEventsWaiting()
{
    if (!SdlVideo::Running())
        return false;
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
}

bool WindowSystem::HasNativeWindows() const
{
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const auto& entry) { return entry.second->native != nullptr; });
}

HWND WindowSystem::WindowOfSdlId(std::uint32_t id) const
{
    for (const auto& [handle, record] : windows_) {
        if (record->native && record->native->Id() == id)
            return handle;
    }
    return nullptr;
}

void WindowSystem::PumpSdlEvents()
{
    if (!SdlVideo::Running())
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            for (const auto& [handle, record] : windows_) {
                if (record->native)
                    PostMessage(handle, WM_CLOSE, 0, 0);
            }
            continue;
        }
        if (event.type != SDL_WINDOWEVENT)
            continue;
        const HWND window = WindowOfSdlId(event.window.windowID);
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
            InvalidateRect(window);
        else if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            PostMessage(window, WM_CLOSE, 0, 0);
    }
}

} // namespace win
