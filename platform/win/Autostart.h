#pragma once
// An XDG autostart entry (a .desktop file under $XDG_CONFIG_HOME/autostart)
// in place of a value under the registry's Run key: the desktop session
// starts the entry's command when the user logs in.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace win {

class AutostartEntry {
public:
    explicit AutostartEntry(std::filesystem::path file) : file_(std::move(file)) {}

    // $XDG_CONFIG_HOME/autostart/<name>.desktop (~/.config when unset).
    static std::filesystem::path DefaultFile(std::string_view name);

    // The entry's Exec line as stored (unescaped from the key file); nothing
    // when there is no entry or it has no Exec.
    std::optional<std::string> ReadCommand() const;
    // Writes the entry atomically: an application named `title` running
    // `command`.
    bool Write(std::string_view title, std::string_view command) const;
    // Removes the entry; true when there is none afterwards.
    bool Remove() const;

    const std::filesystem::path& File() const { return file_; }

private:
    std::filesystem::path file_;
};

// One argument of an Exec line, in double quotes, with the characters that
// the desktop-entry format reserves inside quotes escaped ('"', '`', '$',
// '\') and '%' doubled so that it is not taken for a field code.
std::string QuoteExecArgument(std::string_view argument);

// The running program's full path (/proc/self/exe), of any length; empty
// when it cannot be read.
std::string CurrentExecutablePath();

} // namespace win
