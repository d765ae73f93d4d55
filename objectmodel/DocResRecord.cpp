#include "objectmodel/DocResRecord.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

// The fewest bytes of an entry's key: empty path and the 8-byte id.
constexpr std::size_t kMinLinkKeyBytes = kMinWideStringBytes + 8;
constexpr std::size_t kMinGuidEntryBytes = 2 * kMinWideStringBytes + 1 + kMinBlobBytes;
constexpr std::size_t kMinFrameBytes = 2 * kInt32Bytes + 4;

LinkKey ReadLinkKey(ArchiveReader ar)
{
    LinkKey key;
    key.path = ar.ReadWideString();
    key.id = ar.ReadInt64();
    return key;
}

// Encodings A, B and D: a count of entries, each a link key and a counted
// list of elements read by `readElement`.
template <class Element, class ReadElement>
void ReadLinkMap(ArchiveReader ar, std::map<LinkKey, std::vector<Element>>& map, std::size_t minElementBytes,
                 ReadElement readElement)
{
    const std::size_t entries = ar.ReadCount(kMinLinkKeyBytes + kInt32Bytes);
    for (std::size_t i = 0; i < entries; ++i) {
        LinkKey key = ReadLinkKey(ar);
        std::vector<Element> elements;
        ReadCountedVector(ar, elements, minElementBytes, readElement);
        map.insert_or_assign(std::move(key), std::move(elements));
    }
}

ModuleResourceBlob ReadModuleBlobElement(ArchiveReader ar)
{
    ModuleResourceBlob blob;
    ar->ReadModuleBlob(&blob);
    return blob;
}

StoredFrame ReadFrame(ArchiveReader ar)
{
    ar.ReadInt(); // written as 1, never used
    StoredFrame frame;
    const std::size_t size = ar.ReadCount(1);
    frame.bytes.resize(size);
    ar->ReadBytes(size, frame.bytes.data());
    frame.frameTime = ar.ReadFloat();
    return frame;
}

void ReadGuidTextures(ArchiveReader ar, std::map<GuidNameKey, GuidTextureRecord>& map)
{
    const std::size_t entries = ar.ReadCount(kMinGuidEntryBytes);
    for (std::size_t i = 0; i < entries; ++i) {
        GuidTextureRecord record;
        ReadGuid(ar, &record.key.guid);
        record.key.name = ar.ReadWideString();
        record.key.flag = ar.ReadByte();
        ar->ReadBlob(&record.blob);
        GuidNameKey key = record.key;
        map.insert_or_assign(std::move(key), std::move(record));
    }
}

} // namespace

bool operator<(const GuidNameKey& a, const GuidNameKey& b)
{
    const auto left = crt::GuidToBytes(a.guid);
    const auto right = crt::GuidToBytes(b.guid);
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
}

DocResManagerRecord ReadDocResManagerBody(ArchiveReader ar, std::int32_t version)
{
    DocResManagerRecord record;
    ReadLinkMap(ar, record.textureSetRecords, kMinModuleBlobBytes, ReadModuleBlobElement);
    ReadLinkMap(ar, record.textureSetValues, kInt32Bytes, [](ArchiveReader r) { return r.ReadDword(); });
    // Versions are compared only against 1, 2 and 3: 0 and 5+ read everything.
    if (version != 1)
        ReadLinkMap(ar, record.storedResources, kMinModuleBlobBytes, ReadModuleBlobElement);
    if (version != 1 && version != 2)
        ReadGuidTextures(ar, record.guidTextures);
    if (version != 1 && version != 2 && version != 3)
        ReadLinkMap(ar, record.frames, kMinFrameBytes, ReadFrame);
    return record;
}

std::uint32_t FrameTimeValue(float seconds)
{
    return std::bit_cast<std::uint32_t>(seconds);
}

float FrameTimeOfValue(std::uint32_t value)
{
    const float seconds = std::bit_cast<float>(value);
    return std::isfinite(seconds) && seconds > 0.0f ? seconds : 0.0f;
}
