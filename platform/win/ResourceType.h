#pragma once
// The type of a resource: a standard number (RT_RCDATA, RT_STRING, ...) or a
// name ("DDS"). Names compare case-insensitively, as the system's resource
// lookup does, so they are kept in upper case.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace win {

inline constexpr std::uint16_t RT_CURSOR = 1;
inline constexpr std::uint16_t RT_BITMAP = 2;
inline constexpr std::uint16_t RT_ICON = 3;
inline constexpr std::uint16_t RT_MENU = 4;
inline constexpr std::uint16_t RT_DIALOG = 5;
inline constexpr std::uint16_t RT_STRING = 6;
inline constexpr std::uint16_t RT_FONTDIR = 7;
inline constexpr std::uint16_t RT_FONT = 8;
inline constexpr std::uint16_t RT_ACCELERATOR = 9;
inline constexpr std::uint16_t RT_RCDATA = 10;
inline constexpr std::uint16_t RT_MESSAGETABLE = 11;
inline constexpr std::uint16_t RT_GROUP_CURSOR = 12;
inline constexpr std::uint16_t RT_GROUP_ICON = 14;
inline constexpr std::uint16_t RT_VERSION = 16;
inline constexpr std::uint16_t RT_HTML = 23;
inline constexpr std::uint16_t RT_MANIFEST = 24;

// Longest type name a resource pack may carry.
inline constexpr std::size_t kMaxResourceTypeName = 255;

class ResourceType {
public:
    constexpr ResourceType(std::uint16_t number) : number_(number) {}  // NOLINT: RT_* convert implicitly
    ResourceType(std::string_view name);                                 // NOLINT: "DDS" converts implicitly
    ResourceType(const char* name) : ResourceType(std::string_view(name)) {}

    // "10", "RCDATA" or "RT_RCDATA" give the number; any other non-empty text
    // of printable characters without blanks is a name. Empty or unusable text
    // gives nothing.
    static std::optional<ResourceType> Parse(std::string_view text);

    bool IsNumber() const { return name_.empty(); }
    std::uint16_t Number() const { return number_; }
    const std::string& Name() const { return name_; }

    // The form Parse reads back: the symbolic name of a standard number
    // ("RCDATA"), the number otherwise, or the name.
    std::string ToString() const;

    friend bool operator==(const ResourceType&, const ResourceType&) = default;
    friend auto operator<=>(const ResourceType&, const ResourceType&) = default;

private:
    std::uint16_t number_ = 0;  // 0 when the type is a name
    std::string name_;          // upper case; empty when the type is a number
};

}  // namespace win
