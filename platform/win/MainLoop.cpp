#include "platform/win/MainLoop.h"

#include <glib-unix.h>
#include <glib.h>

#include <algorithm>
#include <memory>

namespace win {

namespace {

using Callback = std::function<bool()>;

gboolean CallCallback(gpointer data)
{
    return (*static_cast<Callback*>(data))() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

gboolean CallFdCallback(gint /*fd*/, GIOCondition /*condition*/, gpointer data)
{
    return CallCallback(data);
}

// GLib owns the callback from attach to the source's end and frees it here.
void DeleteCallback(gpointer data) { std::unique_ptr<Callback>(static_cast<Callback*>(data)).reset(); }

// Attaches `source` with `callback` and hands back the owning handle.
MainLoop::Source Attach(GSource* source, GMainContext* context, int priority, GSourceFunc trampoline,
                        Callback callback)
{
    g_source_set_priority(source, priority);
    Callback* owned = std::make_unique<Callback>(std::move(callback)).release();
    g_source_set_callback(source, trampoline, owned, DeleteCallback);
    g_source_attach(source, context);
    return MainLoop::Source(source);
}

// A source whose readiness is asked at every iteration.
struct PolledSource {
    GSource base;
    MainLoop::Polled* polled;
};

MainLoop::Polled& PolledOf(GSource* source) { return *reinterpret_cast<PolledSource*>(source)->polled; }

gboolean PolledPrepare(GSource* source, gint* timeout)
{
    MainLoop::Polled& polled = PolledOf(source);
    if (polled.ready()) {
        *timeout = 0;
        return TRUE;
    }
    *timeout = polled.waitLimit ? polled.waitLimit() : -1;
    return FALSE;
}

gboolean PolledCheck(GSource* source) { return PolledOf(source).ready() ? TRUE : FALSE; }

gboolean PolledDispatch(GSource* source, GSourceFunc /*callback*/, gpointer /*data*/)
{
    PolledOf(source).dispatch();
    return G_SOURCE_CONTINUE;
}

void PolledFinalize(GSource* source)
{
    auto* polled = reinterpret_cast<PolledSource*>(source);
    std::unique_ptr<MainLoop::Polled>(polled->polled).reset();
    polled->polled = nullptr;
}

GSourceFuncs kPolledFuncs = {PolledPrepare, PolledCheck, PolledDispatch, PolledFinalize, nullptr, nullptr};

} // namespace

MainLoop::Source& MainLoop::Source::operator=(Source&& other) noexcept
{
    if (this != &other) {
        Reset();
        source_ = other.source_;
        other.source_ = nullptr;
    }
    return *this;
}

void MainLoop::Source::Reset()
{
    if (!source_)
        return;
    g_source_destroy(source_);
    g_source_unref(source_);
    source_ = nullptr;
}

MainLoop::MainLoop() : context_(g_main_context_ref(g_main_context_default())) {}

MainLoop::~MainLoop() { g_main_context_unref(context_); }

int MainLoop::Run()
{
    while (!quit_)
        Iterate(true);
    // A later Run starts afresh.
    quit_ = false;
    return exitCode_;
}

void MainLoop::Quit(int exitCode)
{
    exitCode_ = exitCode;
    quit_ = true;
    Wakeup();
}

bool MainLoop::Iterate(bool mayBlock)
{
    ++iterations_;
    return g_main_context_iteration(context_, mayBlock ? TRUE : FALSE) != FALSE;
}

void MainLoop::Wakeup() { g_main_context_wakeup(context_); }

MainLoop::Source MainLoop::AddTimeout(std::chrono::milliseconds interval, int priority, std::function<bool()> callback)
{
    const auto ms = static_cast<guint>(std::max<std::chrono::milliseconds::rep>(interval.count(), 0));
    return Attach(g_timeout_source_new(ms), context_, priority, CallCallback, std::move(callback));
}

MainLoop::Source MainLoop::AddReadWatch(int fd, int priority, std::function<bool()> callback)
{
    GSource* source = g_unix_fd_source_new(fd, GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR));
    return Attach(source, context_, priority, G_SOURCE_FUNC(CallFdCallback), std::move(callback));
}

MainLoop::Source MainLoop::AddPolled(int priority, Polled polled)
{
    GSource* source = g_source_new(&kPolledFuncs, sizeof(PolledSource));
    reinterpret_cast<PolledSource*>(source)->polled = std::make_unique<Polled>(std::move(polled)).release();
    g_source_set_priority(source, priority);
    g_source_attach(source, context_);
    return Source(source);
}

} // namespace win
