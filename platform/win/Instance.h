#pragma once
// One running instance: a later instance tells the running one to close, and
// other programs tell it to hide or show the wallpaper, through a UNIX socket.
//
// The socket is "orvanta.sock" in $XDG_RUNTIME_DIR, or, when that is unset,
// in a private folder /tmp/orvanta-UID (mode 0700, owned by the user; a
// folder of that name that is not both is refused). The protocol is text,
// one command per line: "close", "hide", "show". Unknown and over-long lines
// are ignored, and so is anybody but the same user.
//
// The running instance listens (InstanceServer) and keeps every connection
// open until it ends, so that a client sees the connection close when the
// instance is gone. The socket is removed when the server ends, unless
// another instance has replaced it meanwhile. A socket that nobody listens
// on (left by an instance that was killed) is replaced.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win/MainLoop.h"
#include "platform/win/WindowTypes.h"

namespace win {

class WindowSystem;

enum class InstanceCommand { Close, Hide, Show };

std::optional<InstanceCommand> ParseInstanceCommand(std::string_view line);
std::string_view InstanceCommandText(InstanceCommand command);
// The message the command becomes at the manager window: WM_CLOSE,
// WM_KXW_HIDE, WM_KXW_SHOW.
UINT MessageForInstanceCommand(InstanceCommand command);

// Where the socket is; nothing (and a reason) when no safe folder exists.
std::optional<std::filesystem::path> InstanceSocketPath(std::string* error);

// Connects to the running instance, sends the command and waits until the
// instance closes the connection (it has ended) or `wait` has passed.
// Returns whether an instance was listening and took the command.
bool SendInstanceCommand(const std::filesystem::path& socket, InstanceCommand command,
                         std::chrono::milliseconds wait);
// What a starting instance does first: "close", waiting up to 400 ms.
inline constexpr std::chrono::milliseconds kCloseWait{400};
inline bool TellRunningInstanceToClose(const std::filesystem::path& socket)
{
    return SendInstanceCommand(socket, InstanceCommand::Close, kCloseWait);
}

class InstanceServer {
public:
    using Handler = std::function<void(InstanceCommand)>;

    // Longest line taken; longer ones are dropped whole.
    static constexpr std::size_t kMaxLine = 256;
    // Connections held at once; more are closed at once.
    static constexpr std::size_t kMaxConnections = 16;

    // Listens at `socket`, replacing a socket that nobody listens on. Null
    // with a reason when the path is taken by something that is not a
    // socket, or the socket cannot be made.
    static std::unique_ptr<InstanceServer> Listen(MainLoop& loop, const std::filesystem::path& socket,
                                                  Handler handler, std::string* error);
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    std::size_t ConnectionCount() const;

private:
    struct State;
    explicit InstanceServer(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// A handler that posts each command's message to `window`.
InstanceServer::Handler PostInstanceCommandsTo(WindowSystem& windows, HWND window);

} // namespace win
