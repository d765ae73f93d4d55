// The program as a process, headless (SDL's offscreen driver, no display
// for the toolkit, the dummy audio driver), in a private runtime and
// configuration folder so that no instance of the user's is ever reached.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/win/Instance.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Sanitizer builds start slowly; these are upper bounds, not expectations.
constexpr auto kStartLimit = 60s;
constexpr auto kExitLimit = 30s;

class Folder {
public:
    Folder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvanta-process-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~Folder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

class Process {
public:
    Process(const char* program, const std::vector<std::string>& environment, const std::filesystem::path& errors)
    {
        std::vector<char*> env;
        std::vector<std::string> kept = environment;
        for (char** entry = environ; *entry; ++entry) {
            const std::string_view text(*entry);
            // The toolkit must not find a display, the audio no device.
            if (text.starts_with("DISPLAY=") || text.starts_with("WAYLAND_DISPLAY=") ||
                text.starts_with("XDG_RUNTIME_DIR=") || text.starts_with("XDG_CONFIG_HOME=") ||
                text.starts_with("SDL_"))
                continue;
            // Under AddressSanitizer the program's memory errors still end
            // it, but its leak check is left to the in-process tests: this
            // toolchain's leak checker crashes (in its own thread) on the
            // dynamic TLS entries that locale set-up leaves behind.
            if (text.starts_with("ASAN_OPTIONS=")) {
                kept.emplace_back(std::string(text) + ":detect_leaks=0");
                continue;
            }
            kept.emplace_back(text);
        }
        for (auto& entry : kept)
            env.push_back(entry.data());
        env.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::string name = program;
        char* argv[] = {name.data(), nullptr};
        if (posix_spawn(&pid_, program, &actions, nullptr, argv, env.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Process()
    {
        if (pid_ > 0 && !exitCode_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Started() const { return pid_ > 0; }

    // The exit code once the process has ended within `limit`.
    std::optional<int> WaitForExit(Clock::duration limit)
    {
        const auto end = Clock::now() + limit;
        while (!exitCode_) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (Clock::now() >= end)
                break;
            std::this_thread::sleep_for(20ms);
        }
        return exitCode_;
    }
    bool Running() { return !WaitForExit(0s); }

    // User and system CPU time so far, in clock ticks.
    long CpuTicks() const
    {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // Fields after the command name, which ends with the last ')'.
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        long utime = 0, stime = 0;
        for (int i = 3; fields >> field; ++i) {
            if (i == 14)
                utime = std::stol(field);
            if (i == 15) {
                stime = std::stol(field);
                break;
            }
        }
        return utime + stime;
    }

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WaitFor(const std::function<bool()>& done, Clock::duration limit)
{
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

class ProgramProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.Path().empty());
        runtime = folder.Path() / "runtime";
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        environment = {"XDG_RUNTIME_DIR=" + runtime.string(),
                       "XDG_CONFIG_HOME=" + (folder.Path() / "config").string(), "SDL_VIDEODRIVER=offscreen",
                       "SDL_AUDIODRIVER=dummy"};
    }

    std::filesystem::path Socket() const { return runtime / "orvanta.sock"; }
    std::filesystem::path Errors(const char* name) const { return folder.Path() / name; }

    // Starts the program and waits until it listens for other instances,
    // which it does once start-up has succeeded.
    void StartListening(Process& process, const char* errors)
    {
        ASSERT_TRUE(process.Started());
        ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(Socket()) || !process.Running(); }, kStartLimit));
        ASSERT_TRUE(process.Running()) << "the program ended during start-up:\n" << ReadFile(Errors(errors));
    }

    Folder folder;
    std::filesystem::path runtime;
    std::vector<std::string> environment;
};

TEST_F(ProgramProcessTest, RunsRendersHidesShowsAndYieldsToALaterInstance)
{
    Process first(ORVANTA_PROGRAM, environment, Errors("first.txt"));
    StartListening(first, "first.txt");

    // It keeps rendering frames: its CPU time grows while nothing else asks
    // anything of it.
    const long before = first.CpuTicks();
    EXPECT_TRUE(WaitFor([&] { return first.CpuTicks() > before; }, 10s));

    EXPECT_TRUE(win::SendInstanceCommand(Socket(), win::InstanceCommand::Hide, 200ms));
    EXPECT_TRUE(win::SendInstanceCommand(Socket(), win::InstanceCommand::Show, 200ms));
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(first.Running()) << ReadFile(Errors("first.txt"));

    // A second instance closes the first, which ends normally.
    Process second(ORVANTA_PROGRAM, environment, Errors("second.txt"));
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(first.WaitForExit(kExitLimit), std::optional<int>(0)) << ReadFile(Errors("first.txt"));

    // The second one takes over and ends when told to close.
    EXPECT_TRUE(WaitFor([&] { return win::SendInstanceCommand(Socket(), win::InstanceCommand::Close, 2s) ||
                                     !second.Running(); },
                        kStartLimit));
    EXPECT_EQ(second.WaitForExit(kExitLimit), std::optional<int>(0)) << ReadFile(Errors("second.txt"));
}

TEST_F(ProgramProcessTest, DamagedEmbeddedSceneEndsWithTheMessageAndCodeOne)
{
    Process damaged(ORVANTA_DAMAGED_PROGRAM, environment, Errors("damaged.txt"));
    ASSERT_TRUE(damaged.Started());
    EXPECT_EQ(damaged.WaitForExit(kStartLimit), std::optional<int>(1));
    const std::string errors = ReadFile(Errors("damaged.txt"));
    EXPECT_NE(errors.find("Cannot open file: Wrong file format."), std::string::npos) << errors;
    EXPECT_NE(errors.find("Orvanta"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(Socket()));
}

} // namespace
