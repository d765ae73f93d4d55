#include "platform/win/Autostart.h"

#include <system_error>

#include "platform/win/KeyFile.h"
#include "platform/win/KeyFileStore.h"

namespace win {

namespace {
constexpr std::string_view kGroup = "Desktop Entry";
}

std::filesystem::path AutostartEntry::DefaultFile(std::string_view name)
{
    return UserConfigDir() / "autostart" / (std::string(name) + ".desktop");
}

std::optional<std::string> AutostartEntry::ReadCommand() const
{
    KeyFile file;
    if (file.Load(file_) != KeyFile::LoadResult::Loaded)
        return std::nullopt;
    return file.GetString(kGroup, "Exec");
}

bool AutostartEntry::Write(std::string_view title, std::string_view command) const
{
    KeyFile file;
    file.SetString(kGroup, "Type", "Application");
    file.SetString(kGroup, "Name", title);
    file.SetString(kGroup, "Exec", command);
    return file.Save(file_);
}

bool AutostartEntry::Remove() const
{
    std::error_code error;
    std::filesystem::remove(file_, error);
    return !error;
}

std::string QuoteExecArgument(std::string_view argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string CurrentExecutablePath()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

} // namespace win
