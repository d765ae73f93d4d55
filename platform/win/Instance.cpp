#include "platform/win/Instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "platform/win/Message.h"
#include "platform/win/Window.h"

namespace win {

namespace {

constexpr std::string_view kSocketName = "orvanta.sock";

struct CommandEntry {
    std::string_view text;
    InstanceCommand command;
    UINT message;
};

constexpr std::array kCommands{
    CommandEntry{"close", InstanceCommand::Close, WM_CLOSE},
    CommandEntry{"hide", InstanceCommand::Hide, WM_KXW_HIDE},
    CommandEntry{"show", InstanceCommand::Show, WM_KXW_SHOW},
};

const CommandEntry& EntryOf(InstanceCommand command)
{
    for (const CommandEntry& entry : kCommands) {
        if (entry.command == command)
            return entry;
    }
    return kCommands.front();
}

// A file descriptor, closed with its owner.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept
    {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Close(); }

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    int fd_ = -1;
};

std::string Errno(std::string_view what) { return std::string(what) + ": " + std::strerror(errno); }

// False when the path does not fit a socket address.
bool FillAddress(const std::filesystem::path& path, sockaddr_un* address)
{
    const std::string& text = path.native();
    *address = {};
    address->sun_family = AF_UNIX;
    if (text.empty() || text.size() >= sizeof(address->sun_path))
        return false;
    std::memcpy(address->sun_path, text.c_str(), text.size() + 1);
    return true;
}

std::string_view Trim(std::string_view text)
{
    constexpr std::string_view kBlank = " \t\r";
    const auto first = text.find_first_not_of(kBlank);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlank) - first + 1);
}

bool SameUser(int fd)
{
    ucred credentials{};
    socklen_t length = sizeof(credentials);
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return false;
    return credentials.uid == getuid();
}

// A private folder of ours: made when missing, refused when it is anybody
// else's or open to others.
bool PrivateFolder(const std::filesystem::path& folder, std::string* error)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = Errno("cannot create " + folder.string());
        return false;
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        *error = Errno("cannot inspect " + folder.string());
        return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 0077) != 0) {
        *error = folder.string() + " is not a private folder of this user";
        return false;
    }
    return true;
}

} // namespace

std::optional<InstanceCommand> ParseInstanceCommand(std::string_view line)
{
    const std::string_view text = Trim(line);
    for (const CommandEntry& entry : kCommands) {
        if (entry.text == text)
            return entry.command;
    }
    return std::nullopt;
}

std::string_view InstanceCommandText(InstanceCommand command) { return EntryOf(command).text; }

UINT MessageForInstanceCommand(InstanceCommand command) { return EntryOf(command).message; }

std::optional<std::filesystem::path> InstanceSocketPath(std::string* error)
{
    std::string ignored;
    std::string& message = error ? *error : ignored;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    // The runtime folder must be absolute to count at all.
    if (runtime && runtime[0] == '/')
        return std::filesystem::path(runtime) / kSocketName;
    const std::filesystem::path folder = "/tmp/orvanta-" + std::to_string(getuid());
    if (!PrivateFolder(folder, &message))
        return std::nullopt;
    return folder / kSocketName;
}

bool SendInstanceCommand(const std::filesystem::path& socketPath, InstanceCommand command,
                         std::chrono::milliseconds wait)
{
    sockaddr_un address;
    if (!FillAddress(socketPath, &address))
        return false;
    Fd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd)
        return false;
    // Bounds the connect and the send as well: a listener that stopped
    // accepting cannot hold the caller.
    const auto waitMs = std::max<std::chrono::milliseconds::rep>(wait.count(), 1);
    timeval timeout{static_cast<time_t>(waitMs / 1000), static_cast<suseconds_t>((waitMs % 1000) * 1000)};
    setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
    if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        return false;
    const std::string line = std::string(InstanceCommandText(command)) + "\n";
    if (send(fd.Get(), line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size()))
        return false;

    // The instance keeps the connection until it ends: wait for that.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd entry{fd.Get(), POLLIN, 0};
        const int ready = poll(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[64];
        const ssize_t got = read(fd.Get(), buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // closed: the instance has ended
    }
    return true;
}

// ---- Server --------------------------------------------------------------------

struct InstanceServer::State {
    struct Connection {
        Fd fd;
        std::string line;
        bool discarding = false; // inside a line that grew too long
        MainLoop::Source watch;
    };

    MainLoop& loop;
    Handler handler;
    std::filesystem::path socketPath;
    Fd listener;
    dev_t device = 0;
    ino_t inode = 0;
    MainLoop::Source acceptWatch;
    MainLoop::Source acceptRetry;
    std::map<int, Connection> connections;

    State(MainLoop& mainLoop, Handler onCommand, std::filesystem::path path)
        : loop(mainLoop), handler(std::move(onCommand)), socketPath(std::move(path))
    {
    }

    ~State()
    {
        connections.clear();
        acceptWatch.Reset();
        acceptRetry.Reset();
        // Only our own socket goes: a later instance may have replaced it.
        struct stat info {};
        if (lstat(socketPath.c_str(), &info) == 0 && info.st_dev == device && info.st_ino == inode)
            unlink(socketPath.c_str());
    }

    void Accept()
    {
        for (;;) {
            Fd client(accept4(listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (!client) {
                if (errno == EINTR || errno == ECONNABORTED)
                    continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK)
                    PauseAccepting();
                return;
            }
            if (!SameUser(client.Get()) || connections.size() >= kMaxConnections)
                continue; // closed here
            const int fd = client.Get();
            Connection& connection = connections[fd];
            connection.fd = std::move(client);
            connection.watch = loop.AddReadWatch(fd, MainLoop::kPriorityMessages, [this, fd] {
                Read(fd);
                return true;
            });
        }
    }

    void WatchListener()
    {
        acceptWatch = loop.AddReadWatch(listener.Get(), MainLoop::kPriorityMessages, [this] {
            Accept();
            return true;
        });
    }

    // Out of descriptors, the listener stays readable while accept fails:
    // stop watching it for a while instead of going round in the loop.
    void PauseAccepting()
    {
        acceptWatch.Reset();
        acceptRetry = loop.AddTimeout(std::chrono::seconds(1), MainLoop::kPriorityMessages, [this] {
            WatchListener();
            return false;
        });
    }

    // Splits what arrived into lines; the commands found are returned.
    static void Feed(Connection& connection, std::string_view bytes, std::vector<InstanceCommand>& commands)
    {
        for (char c : bytes) {
            if (c == '\n') {
                if (!connection.discarding) {
                    if (auto command = ParseInstanceCommand(connection.line))
                        commands.push_back(*command);
                }
                connection.line.clear();
                connection.discarding = false;
                continue;
            }
            if (connection.discarding)
                continue;
            connection.line.push_back(c);
            if (connection.line.size() > kMaxLine) {
                connection.line.clear();
                connection.discarding = true;
            }
        }
    }

    void Read(int fd)
    {
        auto found = connections.find(fd);
        if (found == connections.end())
            return;
        Connection& connection = found->second;
        std::vector<InstanceCommand> commands;
        bool ended = false;
        for (;;) {
            char buffer[512];
            const ssize_t got = read(fd, buffer, sizeof(buffer));
            if (got > 0) {
                Feed(connection, std::string_view(buffer, static_cast<std::size_t>(got)), commands);
                continue;
            }
            if (got < 0 && errno == EINTR)
                continue;
            ended = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        if (ended) {
            // A last line without its newline still counts.
            Feed(connection, "\n", commands);
            connections.erase(found);
        }
        // The handler runs last, on its own copy: nothing of this server is
        // touched after it.
        Handler run = handler;
        for (InstanceCommand command : commands)
            run(command);
    }
};

InstanceServer::InstanceServer(std::unique_ptr<State> state) : state_(std::move(state)) {}

InstanceServer::~InstanceServer() = default;

std::size_t InstanceServer::ConnectionCount() const { return state_->connections.size(); }

std::unique_ptr<InstanceServer> InstanceServer::Listen(MainLoop& loop, const std::filesystem::path& socketPath,
                                                       Handler handler, std::string* error)
{
    std::string ignored;
    std::string& message = error ? *error : ignored;
    sockaddr_un address;
    if (!FillAddress(socketPath, &address)) {
        message = "socket path too long: " + socketPath.string();
        return nullptr;
    }
    Fd listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener) {
        message = Errno("cannot create a socket");
        return nullptr;
    }
    const auto* raw = reinterpret_cast<const sockaddr*>(&address);
    if (bind(listener.Get(), raw, sizeof(address)) != 0) {
        if (errno != EADDRINUSE) {
            message = Errno("cannot bind " + socketPath.string());
            return nullptr;
        }
        // Only a socket is ever replaced, never any other file. Whether
        // somebody still listens does not matter: a socket nobody listens on
        // is stale, and a starting instance has already asked the running
        // one to close, so the newest instance is the one to reach.
        struct stat info {};
        if (lstat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) {
            message = socketPath.string() + " exists and is not a socket";
            return nullptr;
        }
        if (unlink(socketPath.c_str()) != 0 || bind(listener.Get(), raw, sizeof(address)) != 0) {
            message = Errno("cannot replace " + socketPath.string());
            return nullptr;
        }
    }
    if (listen(listener.Get(), 8) != 0) {
        message = Errno("cannot listen at " + socketPath.string());
        unlink(socketPath.c_str());
        return nullptr;
    }
    struct stat info {};
    if (lstat(socketPath.c_str(), &info) != 0) {
        message = Errno("cannot inspect " + socketPath.string());
        return nullptr;
    }
    auto state = std::make_unique<State>(loop, std::move(handler), socketPath);
    state->listener = std::move(listener);
    state->device = info.st_dev;
    state->inode = info.st_ino;
    state->WatchListener();
    return std::unique_ptr<InstanceServer>(new InstanceServer(std::move(state)));
}

InstanceServer::Handler PostInstanceCommandsTo(WindowSystem& windows, HWND window)
{
    return [&windows, window](InstanceCommand command) {
        windows.PostMessage(window, MessageForInstanceCommand(command), 0, 0);
    };
}

} // namespace win
