#include "platform/win/ResourcePack.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace win {
namespace {

std::uint32_t ReadU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// True when [offset, offset + size) lies inside the data area after the table.
bool InData(std::size_t tableEnd, std::size_t fileSize, std::uint64_t offset, std::uint64_t size) {
    return offset >= tableEnd && offset <= fileSize && size <= fileSize - offset;
}

struct RawEntry {
    std::uint32_t typeNumber, nameOffset, nameLength, id, offset, size;
};

RawEntry ReadEntry(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return {ReadU32(bytes, at), ReadU32(bytes, at + 4), ReadU32(bytes, at + 8),
            ReadU32(bytes, at + 12), ReadU32(bytes, at + 16), ReadU32(bytes, at + 20)};
}

// The entry's type, or nothing (with the reason) when it is unusable.
std::optional<ResourceType> EntryType(const std::vector<std::uint8_t>& bytes, std::size_t tableEnd,
                                      const RawEntry& entry, std::string& error) {
    if (entry.typeNumber != 0) {
        if (entry.typeNumber > 0xFFFF || entry.nameLength != 0) {
            error = "bad resource type number " + std::to_string(entry.typeNumber);
            return std::nullopt;
        }
        return ResourceType(static_cast<std::uint16_t>(entry.typeNumber));
    }
    if (entry.nameLength == 0 || entry.nameLength > kMaxResourceTypeName ||
        !InData(tableEnd, bytes.size(), entry.nameOffset, entry.nameLength)) {
        error = "resource type name outside the pack";
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + entry.nameOffset, entry.nameLength);
    auto type = ResourceType::Parse(text);
    if (!type || type->IsNumber()) {
        error = "bad resource type name";
        return std::nullopt;
    }
    return type;
}

}  // namespace

std::optional<ResourcePack> ResourcePack::Parse(std::vector<std::uint8_t> bytes, std::string& error) {
    if (bytes.size() < kResourcePackHeaderSize ||
        std::memcmp(bytes.data(), kResourcePackMagic, sizeof kResourcePackMagic) != 0) {
        error = "not a resource pack";
        return std::nullopt;
    }
    const std::uint64_t count = ReadU32(bytes, 8);
    if (count > (bytes.size() - kResourcePackHeaderSize) / kResourcePackEntrySize) {
        error = "resource table larger than the pack";
        return std::nullopt;
    }
    const std::size_t tableEnd = kResourcePackHeaderSize + count * kResourcePackEntrySize;

    ResourcePack pack;
    for (std::size_t i = 0; i < count; ++i) {
        const RawEntry entry = ReadEntry(bytes, kResourcePackHeaderSize + i * kResourcePackEntrySize);
        auto type = EntryType(bytes, tableEnd, entry, error);
        if (!type) return std::nullopt;
        if (entry.id == 0 || entry.id > 0xFFFF) {
            error = "bad resource id " + std::to_string(entry.id);
            return std::nullopt;
        }
        if (!InData(tableEnd, bytes.size(), entry.offset, entry.size)) {
            error = "resource " + type->ToString() + " " + std::to_string(entry.id) + " lies outside the pack";
            return std::nullopt;
        }
        const Key key{*type, static_cast<std::uint16_t>(entry.id)};
        if (!pack.entries_.emplace(key, Range{entry.offset, entry.size}).second) {
            error = "resource " + type->ToString() + " " + std::to_string(entry.id) + " stored twice";
            return std::nullopt;
        }
    }
    pack.bytes_ = std::move(bytes);
    return pack;
}

std::optional<ResourceBytes> ResourcePack::Find(const ResourceType& type, std::uint16_t id) const {
    const auto found = entries_.find(Key{type, id});
    if (found == entries_.end()) return std::nullopt;
    return ResourceBytes(bytes_.data() + found->second.offset, found->second.size);
}

std::vector<std::pair<ResourceType, std::uint16_t>> ResourcePack::Keys() const {
    std::vector<Key> keys;
    keys.reserve(entries_.size());
    for (const auto& entry : entries_) keys.push_back(entry.first);
    return keys;
}

bool ResourcePackWriter::Add(const ResourceType& type, std::uint16_t id, std::vector<std::uint8_t> bytes) {
    const std::uint64_t needed = kResourcePackEntrySize + type.Name().size() + 7 + bytes.size();
    if (id == 0 || kResourcePackHeaderSize + dataBytes_ + needed > std::numeric_limits<std::uint32_t>::max())
        return false;
    if (!resources_.emplace(std::make_pair(type, id), std::move(bytes)).second) return false;
    dataBytes_ += needed;
    return true;
}

std::vector<std::uint8_t> ResourcePackWriter::Build() const {
    std::vector<std::uint8_t> out(kResourcePackMagic, kResourcePackMagic + sizeof kResourcePackMagic);
    AppendU32(out, static_cast<std::uint32_t>(resources_.size()));
    AppendU32(out, 0);
    const std::size_t tableAt = out.size();
    out.resize(tableAt + resources_.size() * kResourcePackEntrySize);

    std::size_t entryAt = tableAt;
    for (const auto& [key, bytes] : resources_) {
        const auto& [type, id] = key;
        std::uint32_t nameOffset = 0;
        if (!type.IsNumber()) {
            nameOffset = static_cast<std::uint32_t>(out.size());
            out.insert(out.end(), type.Name().begin(), type.Name().end());
        }
        // Resource bytes start 8-byte aligned so readers may view them as records.
        out.resize((out.size() + 7) & ~std::size_t{7});
        const auto dataOffset = static_cast<std::uint32_t>(out.size());
        out.insert(out.end(), bytes.begin(), bytes.end());

        PutU32(out, entryAt, type.IsNumber() ? type.Number() : 0);
        PutU32(out, entryAt + 4, nameOffset);
        PutU32(out, entryAt + 8, static_cast<std::uint32_t>(type.IsNumber() ? 0 : type.Name().size()));
        PutU32(out, entryAt + 12, id);
        PutU32(out, entryAt + 16, dataOffset);
        PutU32(out, entryAt + 20, static_cast<std::uint32_t>(bytes.size()));
        entryAt += kResourcePackEntrySize;
    }
    return out;
}

}  // namespace win
