#pragma once
// The program's texts in the interface language, with English (1033) in
// place of a block of strings that the language's table lacks. An id whose
// block exists but holds no text for it gives an empty text; so does an id
// that no table holds. Texts are cut to 259 UTF-16 units (the size of the
// buffers the texts are shown through), never inside a surrogate pair.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "player/StringTable.h"

using LANGID = std::uint16_t;

inline constexpr LANGID kLangEnglish = 1033;
inline constexpr std::size_t kLocalisedStringBuffer = 260;

// The language of an index of the interface's language list; 0 and any
// index outside the list give English.
LANGID LanguageToLangId(int index);

class LocalisedStrings {
public:
    // The text of a language's table, or nothing when there is none.
    using TableSource = std::function<std::optional<std::string>(LANGID)>;

    // Tables from the program's own resources.
    LocalisedStrings();
    explicit LocalisedStrings(TableSource source) : source_(std::move(source)) {}

    void SetLanguage(LANGID language) { language_ = language; }
    LANGID Language() const { return language_; }

    // Fills `out` with at most 259 units and a terminating zero.
    void LoadLocalisedString(std::uint16_t id, std::array<char16_t, kLocalisedStringBuffer>& out);
    std::u16string LoadLocalisedWideString(std::uint16_t id);

private:
    const StringTable* Table(LANGID language);

    TableSource source_;
    LANGID language_ = kLangEnglish;
    // Parsed tables by language; nothing for a missing or refused table.
    std::map<LANGID, std::optional<StringTable>> tables_;
};
