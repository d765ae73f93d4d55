#pragma once
// Writers for the render layer's resource records, byte for byte as their
// readers read them: file links, the texture-set record of a named file
// link, and the texture-set resource a module may hold. The manager record
// itself is DocumentWriter::DocResManager.

#include <cstdint>
#include <string_view>
#include <vector>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/ResourceBlob.h"
#include "tests/support/DocumentWriter.h"

// A file link: path, then the 8-byte id.
DocumentWriter& WriteFileLinkRecord(DocumentWriter& writer, std::u16string_view path, std::int64_t id);

// The stored form of a named file link's data (a texture-set record).
struct NamedFileLinkRecord {
    kxi_string name;
    std::vector<LinkKey> pictures;
    std::uint32_t versionField = 2;
    std::uint32_t columns = 1; // written when versionField != 0
    std::uint32_t rows = 1;
    kxi_string sourcePath; // written when versionField >= 2
    std::int64_t sourceId = 0;
};
DocumentWriter& WriteNamedFileLinkRecord(DocumentWriter& writer, const NamedFileLinkRecord& record);

// The bytes of a texture-set resource: int32 count and that many int32
// values, then int32 count and that many module blobs.
std::vector<std::uint8_t> TextureSetResourceBytes(const std::vector<std::int32_t>& values,
                                                  const std::vector<ModuleResourceBlob>& records);
