// The single-instance socket: a second instance closes the first, hide and
// show commands reach the manager window, stale sockets are replaced.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "WindowTestSupport.h"
#include "platform/win/Instance.h"

namespace {

using namespace win;
using namespace std::chrono_literals;
using wintest::Received;
namespace fs = std::filesystem;

// A private temporary folder, removed with its owner.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = "/tmp/orvanta-instance-XXXXXX";
        path_ = mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// A plain client socket, for what the command sender never sends.
class RawClient {
public:
    explicit RawClient(const fs::path& socketPath) : fd_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
        connected_ = connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    }
    ~RawClient() { Close(); }

    bool Connected() const { return connected_; }
    void Send(std::string_view text)
    {
        ASSERT_EQ(send(fd_, text.data(), text.size(), MSG_NOSIGNAL), ssize_t(text.size()));
    }
    void Close()
    {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }
    // Whether the other side has closed the connection.
    bool SeesEnd() const
    {
        char byte;
        return recv(fd_, &byte, 1, MSG_DONTWAIT) == 0;
    }

private:
    int fd_;
    bool connected_ = false;
};

// Leaves a socket file that nobody listens on, as a killed instance does.
void LeaveStaleSocket(const fs::path& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    close(fd);
}

class InstanceTest : public ::testing::Test {
protected:
    InstanceTest()
    {
        windows.RegisterClass({"KXWManager", [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
                                   log.push_back({window, message, wParam, lParam});
                                   if (message == WM_DESTROY)
                                       windows.PostQuitMessage(0);
                                   return windows.DefWindowProc(window, message, wParam, lParam);
                               }});
        manager = windows.CreateWindow("KXWManager", "KXWManager", 0, 0, 0, 10, 10, nullptr);
    }

    std::unique_ptr<InstanceServer> Listen(InstanceServer::Handler handler = {})
    {
        std::string error;
        auto server = InstanceServer::Listen(
            loop, socketPath, handler ? handler : PostInstanceCommandsTo(windows, manager), &error);
        EXPECT_NE(server, nullptr) << error;
        return server;
    }

    std::vector<UINT> Messages() const
    {
        std::vector<UINT> messages;
        for (const Received& entry : log)
            messages.push_back(entry.message);
        return messages;
    }

    TempFolder folder;
    const fs::path socketPath = folder.Path() / "orvanta.sock";
    MainLoop loop;
    WindowSystem windows{loop};
    std::vector<Received> log;
    HWND manager = nullptr;
};

TEST(InstanceCommandTest, CommandsAndTheirMessages)
{
    struct Case {
        const char* line;
        std::optional<InstanceCommand> command;
    };
    for (const Case c : {Case{"close", InstanceCommand::Close}, Case{"hide", InstanceCommand::Hide},
                         Case{"show", InstanceCommand::Show}, Case{" close\r", InstanceCommand::Close},
                         Case{"CLOSE", std::nullopt}, Case{"closer", std::nullopt}, Case{"", std::nullopt},
                         Case{"hide show", std::nullopt}})
        EXPECT_EQ(ParseInstanceCommand(c.line), c.command) << '"' << c.line << '"';

    EXPECT_EQ(MessageForInstanceCommand(InstanceCommand::Close), 0x0010u);
    EXPECT_EQ(MessageForInstanceCommand(InstanceCommand::Hide), 0x0402u);
    EXPECT_EQ(MessageForInstanceCommand(InstanceCommand::Show), 0x0403u);
}

TEST_F(InstanceTest, ASecondInstanceMakesTheFirstCloseAndWaitsForItToEnd)
{
    std::unique_ptr<InstanceServer> server = Listen();
    bool found = false;
    std::thread second([&] { found = TellRunningInstanceToClose(socketPath); });

    // The first instance: WM_CLOSE destroys its window, WM_DESTROY ends the
    // loop, and the instance goes with its server.
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_FALSE(windows.IsWindow(manager));
    const std::vector<UINT> expected{WM_CLOSE, WM_DESTROY};
    EXPECT_EQ(Messages(), expected);
    server.reset();
    second.join();
    EXPECT_TRUE(found);
    EXPECT_FALSE(fs::exists(socketPath));
}

TEST_F(InstanceTest, WithoutARunningInstanceNothingIsFound)
{
    EXPECT_FALSE(TellRunningInstanceToClose(socketPath));
    LeaveStaleSocket(socketPath);
    EXPECT_FALSE(TellRunningInstanceToClose(socketPath));
}

TEST_F(InstanceTest, HideAndShowBecomeTheManagerWindowsMessages)
{
    std::unique_ptr<InstanceServer> server = Listen();
    EXPECT_TRUE(SendInstanceCommand(socketPath, InstanceCommand::Hide, 0ms));
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return log.size() >= 1; }));

    RawClient client(socketPath);
    ASSERT_TRUE(client.Connected());
    client.Send("show\nreload\nhide\n");
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return log.size() >= 3; }));
    const std::vector<UINT> expected{WM_KXW_HIDE, WM_KXW_SHOW, WM_KXW_HIDE};
    EXPECT_EQ(Messages(), expected);
    EXPECT_TRUE(windows.IsWindow(manager));
}

TEST_F(InstanceTest, OverlongLinesAreDroppedAndALastLineCountsAtTheEnd)
{
    std::vector<InstanceCommand> received;
    std::unique_ptr<InstanceServer> server = Listen([&](InstanceCommand command) { received.push_back(command); });
    RawClient client(socketPath);
    ASSERT_TRUE(client.Connected());
    client.Send(std::string(InstanceServer::kMaxLine * 4, 'x') + "close\nsh");
    client.Send("ow\nhide");
    client.Close();
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return received.size() >= 2; }));
    EXPECT_EQ(received, (std::vector<InstanceCommand>{InstanceCommand::Show, InstanceCommand::Hide}));
}

TEST_F(InstanceTest, AStaleSocketIsReplaced)
{
    LeaveStaleSocket(socketPath);
    std::unique_ptr<InstanceServer> server = Listen();
    ASSERT_NE(server, nullptr);
    EXPECT_TRUE(SendInstanceCommand(socketPath, InstanceCommand::Show, 0ms));
    EXPECT_TRUE(wintest::RunUntil(loop, [&] { return !log.empty(); }));
}

TEST_F(InstanceTest, AFileThatIsNoSocketIsNeverReplaced)
{
    std::ofstream(socketPath) << "keep me";
    std::string error;
    EXPECT_EQ(InstanceServer::Listen(loop, socketPath, PostInstanceCommandsTo(windows, manager), &error), nullptr);
    EXPECT_NE(error.find("not a socket"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_regular_file(socketPath));
}

TEST_F(InstanceTest, TheSocketGoesAtTheEndUnlessALaterInstanceTookItOver)
{
    int firstCalls = 0, secondCalls = 0;
    std::unique_ptr<InstanceServer> first = Listen([&](InstanceCommand) { ++firstCalls; });
    std::unique_ptr<InstanceServer> second = Listen([&](InstanceCommand) { ++secondCalls; });
    first.reset();
    EXPECT_TRUE(fs::exists(socketPath));
    EXPECT_TRUE(SendInstanceCommand(socketPath, InstanceCommand::Hide, 0ms));
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return secondCalls == 1; }));
    EXPECT_EQ(firstCalls, 0);
    second.reset();
    EXPECT_FALSE(fs::exists(socketPath));
}

TEST_F(InstanceTest, ConnectionsBeyondTheLimitAreClosed)
{
    std::unique_ptr<InstanceServer> server = Listen();
    // Connecting waits once the listen backlog is full, so the clients come
    // from another thread while the loop accepts them.
    std::vector<std::unique_ptr<RawClient>> clients;
    std::atomic<bool> allConnected = false;
    std::thread connecting([&] {
        for (std::size_t i = 0; i < InstanceServer::kMaxConnections + 3; ++i)
            clients.push_back(std::make_unique<RawClient>(socketPath));
        allConnected = true;
    });
    const auto closedByServer = [&] {
        return std::count_if(clients.begin(), clients.end(), [](const auto& c) { return c->SeesEnd(); });
    };
    const bool done = wintest::RunUntil(loop, [&] { return allConnected && closedByServer() == 3; });
    connecting.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(server->ConnectionCount(), InstanceServer::kMaxConnections);
}

// Restores an environment variable when the test ends.
class ScopedEnv {
public:
    explicit ScopedEnv(const char* name) : name_(name)
    {
        if (const char* value = std::getenv(name))
            old_ = value;
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(InstanceSocketPathTest, RuntimeFolderOrAPrivateFolderInTmp)
{
    ScopedEnv keep("XDG_RUNTIME_DIR");
    setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
    EXPECT_EQ(InstanceSocketPath(nullptr), fs::path("/run/user/4242/orvanta.sock"));

    const fs::path privateFolder = "/tmp/orvanta-" + std::to_string(getuid());
    for (const char* unusable : {"", "relative/dir"}) {
        setenv("XDG_RUNTIME_DIR", unusable, 1);
        EXPECT_EQ(InstanceSocketPath(nullptr), privateFolder / "orvanta.sock") << unusable;
    }
    unsetenv("XDG_RUNTIME_DIR");
    std::string error;
    ASSERT_EQ(InstanceSocketPath(&error), privateFolder / "orvanta.sock") << error;
    struct stat info {};
    ASSERT_EQ(lstat(privateFolder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A folder that others may enter is refused, never used.
    chmod(privateFolder.c_str(), 0755);
    EXPECT_EQ(InstanceSocketPath(&error), std::nullopt);
    EXPECT_NE(error.find("not a private folder"), std::string::npos) << error;
    chmod(privateFolder.c_str(), 0700);
}

} // namespace
