#pragma once
// The stored body of a document's resource-manager record, as plain data.
// The render layer's DS_DocResManager reads its body through this and then
// builds its textures from it; the inspector reports it.
//
// Body for version v (every count an int32):
//   texture-set records  encoding A
//   texture-set values   encoding B
//   v != 1:              stored resources, encoding A
//   v != 1, 2:           GUID textures, encoding C
//   v != 1, 2, 3:        animated-picture frames, encoding D
// A: count; per entry: path (wide string), id (8 bytes), record count,
//    that many module blobs.
// B: count; per entry: path, id, value count, that many 32-bit values:
//    the frame times of a texture set, each the bit pattern of a float32
//    number of seconds (FrameTimeValue, FrameTimeOfValue).
// C: count; per entry: GUID (registry-form wide string), name (wide
//    string), flag (1 byte), blob.
// D: count; per entry: path, id, frame count; per frame: int32 (written
//    as 1, unused), int32 size, size bytes, float frame time.
// A key stored twice keeps the entry read last.

#include <cstdint>
#include <map>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"

// The path and id of a file link. Ordered by path (code unit by code unit),
// then by id (high 32 bits signed, then low 32 bits: a signed 64-bit order).
struct LinkKey {
    kxi_string path;
    std::int64_t id = 0;
    friend bool operator==(const LinkKey&, const LinkKey&) = default;
    friend auto operator<=>(const LinkKey&, const LinkKey&) = default;
};

// The identity of a picture effect's texture: ordered and compared by the
// 16 GUID bytes alone, in memory order.
struct GuidNameKey {
    crt::Guid guid;
    kxi_string name;
    std::uint8_t flag = 0;
    friend bool operator==(const GuidNameKey& a, const GuidNameKey& b) { return a.guid == b.guid; }
    friend bool operator<(const GuidNameKey& a, const GuidNameKey& b);
};

struct GuidTextureRecord {
    GuidNameKey key;
    ResourceBlob blob;
};

// One encoded frame of an animated picture.
struct StoredFrame {
    std::vector<std::uint8_t> bytes;
    float frameTime = 0.0f;
};

struct DocResManagerRecord {
    std::map<LinkKey, std::vector<ModuleResourceBlob>> textureSetRecords;
    std::map<LinkKey, std::vector<std::uint32_t>> textureSetValues;
    std::map<LinkKey, std::vector<ModuleResourceBlob>> storedResources;
    std::map<GuidNameKey, GuidTextureRecord> guidTextures;
    std::map<LinkKey, std::vector<StoredFrame>> frames;
};

// A frame time in seconds as a texture-set value: its float32 bit pattern.
std::uint32_t FrameTimeValue(float seconds);
// The frame time in seconds of a texture-set value; a value that is not a
// finite float, or is negative, gives 0.
float FrameTimeOfValue(std::uint32_t value);

// Reads the body (after the section header) of a record of `version`.
DocResManagerRecord ReadDocResManagerBody(ArchiveReader ar, std::int32_t version);
