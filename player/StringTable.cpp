#include "player/StringTable.h"

#include <charconv>

#include "platform/crt/WideString.h"

namespace {

std::uint16_t BlockOf(std::uint16_t id) { return static_cast<std::uint16_t>(id / 16 + 1); }

bool Fail(std::string* error, std::size_t line, std::string_view what)
{
    if (error)
        *error = "line " + std::to_string(line) + ": " + std::string(what);
    return false;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

} // namespace

std::optional<StringTable> StringTable::Parse(std::string_view text, std::string* error)
{
    StringTable table;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t tab = line.find('\t');
        std::uint16_t id = 0;
        const char* idEnd = line.data() + (tab == std::string_view::npos ? line.size() : tab);
        const auto [stop, parseError] = std::from_chars(line.data(), idEnd, id);
        if (tab == std::string_view::npos || parseError != std::errc() || stop != idEnd || stop == line.data()) {
            Fail(error, lineNumber, "expected an id 0..65535, a tab and the text");
            return std::nullopt;
        }
        const auto value = Unescape(line.substr(tab + 1));
        if (!value) {
            Fail(error, lineNumber, "unknown escape");
            return std::nullopt;
        }
        if (!table.texts_.emplace(id, crt::FromUtf8(*value)).second) {
            Fail(error, lineNumber, "id " + std::to_string(id) + " appears twice");
            return std::nullopt;
        }
    }
    return table;
}

const std::u16string* StringTable::Find(std::uint16_t id) const
{
    const auto found = texts_.find(id);
    return found == texts_.end() ? nullptr : &found->second;
}

bool StringTable::HasBlockOf(std::uint16_t id) const
{
    const std::uint16_t first = static_cast<std::uint16_t>((BlockOf(id) - 1) * 16);
    const auto found = texts_.lower_bound(first);
    return found != texts_.end() && BlockOf(found->first) == BlockOf(id);
}
