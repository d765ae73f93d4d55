#include "player/LocalisedStrings.h"

#include <algorithm>

#include "platform/win/ProgramResources.h"

namespace {

constexpr std::array<LANGID, 4> kLanguages{1033, 1031, 1034, 1036};

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

std::optional<std::string> ProgramStringTable(LANGID language)
{
    const auto bytes = win::FindProgramResource(win::ResourceType(kStringTableResourceType), language);
    if (!bytes)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}

} // namespace

LANGID LanguageToLangId(int index)
{
    if (index < 0 || index >= static_cast<int>(kLanguages.size()))
        return kLangEnglish;
    return kLanguages[static_cast<std::size_t>(index)];
}

LocalisedStrings::LocalisedStrings() : source_(ProgramStringTable) {}

const StringTable* LocalisedStrings::Table(LANGID language)
{
    auto found = tables_.find(language);
    if (found == tables_.end()) {
        const auto text = source_ ? source_(language) : std::nullopt;
        found = tables_.emplace(language, text ? StringTable::Parse(*text) : std::nullopt).first;
    }
    return found->second ? &*found->second : nullptr;
}

std::u16string LocalisedStrings::LoadLocalisedWideString(std::uint16_t id)
{
    const StringTable* table = Table(language_);
    if (!table || !table->HasBlockOf(id))
        table = Table(kLangEnglish);
    const std::u16string* text = table ? table->Find(id) : nullptr;
    if (!text)
        return {};
    std::size_t length = std::min(text->size(), kLocalisedStringBuffer - 1);
    if (length < text->size() && length > 0 && IsHighSurrogate((*text)[length - 1]))
        --length;
    return text->substr(0, length);
}

void LocalisedStrings::LoadLocalisedString(std::uint16_t id, std::array<char16_t, kLocalisedStringBuffer>& out)
{
    const std::u16string text = LoadLocalisedWideString(id);
    std::copy(text.begin(), text.end(), out.begin());
    out[text.size()] = 0;
}
