#pragma once
// A resource pack: the file format of our resource modules ("common_res.dll"
// and any other module a scene names). It is a table of (type, id) -> bytes:
//
//   header   8 bytes  magic "ORVRES01"
//            4 bytes  entry count
//            4 bytes  reserved, 0
//   entries  count x 24 bytes:
//            4 bytes  type number (1..65535), or 0 when the type is a name
//            4 bytes  offset of the type name (0 for a numbered type)
//            4 bytes  length of the type name (0 for a numbered type)
//            4 bytes  resource id (1..65535)
//            4 bytes  offset of the resource bytes
//            4 bytes  size of the resource bytes
//   data     type names (ASCII) and resource bytes, after the table
//
// All numbers are little-endian. A pack comes from disk, so every field is
// checked before use: a pack whose table or any range leaves the file, whose
// names are unusable, or that names one (type, id) twice is refused whole.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/ResourceType.h"

namespace win {

using ResourceBytes = std::span<const std::uint8_t>;

inline constexpr char kResourcePackMagic[8] = {'O', 'R', 'V', 'R', 'E', 'S', '0', '1'};
inline constexpr std::size_t kResourcePackHeaderSize = 16;
inline constexpr std::size_t kResourcePackEntrySize = 24;

class ResourcePack {
public:
    // Takes the whole file. On refusal returns nothing and says why in error.
    static std::optional<ResourcePack> Parse(std::vector<std::uint8_t> bytes, std::string& error);

    std::optional<ResourceBytes> Find(const ResourceType& type, std::uint16_t id) const;
    std::size_t Count() const { return entries_.size(); }

    // Every (type, id) the pack holds, in order.
    std::vector<std::pair<ResourceType, std::uint16_t>> Keys() const;

private:
    struct Range {
        std::size_t offset = 0;
        std::size_t size = 0;
    };
    using Key = std::pair<ResourceType, std::uint16_t>;

    std::vector<std::uint8_t> bytes_;
    std::map<Key, Range> entries_;
};

// Builds the bytes of a pack; the packer tool and the tests use it.
class ResourcePackWriter {
public:
    // False (and nothing added) when the pack already holds (type, id), when
    // the id is 0, or when the pack would outgrow the format's 32-bit offsets.
    bool Add(const ResourceType& type, std::uint16_t id, std::vector<std::uint8_t> bytes);
    std::vector<std::uint8_t> Build() const;

private:
    std::map<std::pair<ResourceType, std::uint16_t>, std::vector<std::uint8_t>> resources_;
    std::uint64_t dataBytes_ = 0;  // upper bound of what Build writes after the header
};

}  // namespace win
