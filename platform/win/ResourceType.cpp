#include "platform/win/ResourceType.h"

#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace win {
namespace {

struct StandardType {
    std::string_view name;
    std::uint16_t number;
};

constexpr std::array kStandardTypes{
    StandardType{"CURSOR", RT_CURSOR},        StandardType{"BITMAP", RT_BITMAP},
    StandardType{"ICON", RT_ICON},            StandardType{"MENU", RT_MENU},
    StandardType{"DIALOG", RT_DIALOG},        StandardType{"STRING", RT_STRING},
    StandardType{"FONTDIR", RT_FONTDIR},      StandardType{"FONT", RT_FONT},
    StandardType{"ACCELERATOR", RT_ACCELERATOR}, StandardType{"RCDATA", RT_RCDATA},
    StandardType{"MESSAGETABLE", RT_MESSAGETABLE}, StandardType{"GROUP_CURSOR", RT_GROUP_CURSOR},
    StandardType{"GROUP_ICON", RT_GROUP_ICON}, StandardType{"VERSION", RT_VERSION},
    StandardType{"HTML", RT_HTML},            StandardType{"MANIFEST", RT_MANIFEST},
};

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool IsNameCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u < 0x7F;
}

std::optional<std::uint16_t> StandardNumber(std::string_view upper) {
    if (upper.starts_with("RT_")) upper.remove_prefix(3);
    for (const StandardType& type : kStandardTypes)
        if (type.name == upper) return type.number;
    return std::nullopt;
}

}  // namespace

ResourceType::ResourceType(std::string_view name) : name_(UpperCase(name)) {}

std::optional<ResourceType> ResourceType::Parse(std::string_view text) {
    if (text.empty() || text.size() > kMaxResourceTypeName) return std::nullopt;
    for (char c : text)
        if (!IsNameCharacter(c)) return std::nullopt;

    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size()) {
        if (value == 0 || value > 0xFFFF) return std::nullopt;
        return ResourceType(static_cast<std::uint16_t>(value));
    }
    const std::string upper = UpperCase(text);
    if (auto number = StandardNumber(upper)) return ResourceType(*number);
    return ResourceType(std::string_view(upper));
}

std::string ResourceType::ToString() const {
    if (!IsNumber()) return name_;
    for (const StandardType& type : kStandardTypes)
        if (type.number == number_) return std::string(type.name);
    return std::to_string(number_);
}

}  // namespace win
