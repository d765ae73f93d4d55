#pragma once
// One language's string table: texts by 16-bit id, read from our own text
// format (UTF-8):
//
//   # a comment line
//   300<TAB>Settings
//   6<TAB>\n
//
// One entry per line: the decimal id, one tab, the text with the escapes
// \n, \t and \\. Blank lines and lines starting with '#' are skipped. As in
// the system's string resources, ids come in blocks of 16 (block id / 16 + 1).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class StringTable {
public:
    // The table, or nothing with the reason in `error` (line number and what
    // is wrong) when the text is not a table.
    static std::optional<StringTable> Parse(std::string_view text, std::string* error = nullptr);

    const std::u16string* Find(std::uint16_t id) const;
    // Whether any id of the block that holds `id` has a text.
    bool HasBlockOf(std::uint16_t id) const;
    std::size_t Size() const { return texts_.size(); }

private:
    std::map<std::uint16_t, std::u16string> texts_;
};

// The string tables' resource type in the program's resources; the id is the
// language (1033 English, 1031 German, 1034 Spanish, 1036 French).
inline constexpr std::string_view kStringTableResourceType = "STRINGTABLE";
