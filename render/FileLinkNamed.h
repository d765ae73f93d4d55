#pragma once
// The link to a set of pictures that particle systems and particle trees
// draw from: a list of image links, the frame grid within each picture
// (columns x rows), and a source link.
//
// Stored form (the texture-set record), read by its version field v:
//   name          wide string
//   pictures      int32 count, then that many image links (path, id)
//   v             uint32 (written as the record's version, 2)
//   v != 0:       columns, rows (uint32 each)
//   v >= 2:       source path (wide string), source id (8 bytes)
//   v < 2:        the source is the first picture's path and id (none
//                 without pictures: the source stays empty)
// Columns and rows are stored values: they may be 0, and their users guard
// their divisions.

#include <cstdint>
#include <vector>

#include "objectmodel/MediaParam.h"
#include "render/FileLink.h"

struct DS_NamedFileLinkData {
    kxi_string name;
    std::vector<DS_ImageFileLink> pictures;
    std::uint32_t columns = 1;
    std::uint32_t rows = 1;
    kxi_string sourcePath;
    std::int64_t sourceId = 0;
    // Written as the record's version field; reading leaves it.
    std::int32_t version = 2;
};

// Two records differ when their lists of links differ.
template <>
struct MediaValueTraits<DS_NamedFileLinkData> {
    static bool Differs(const DS_NamedFileLinkData& a, const DS_NamedFileLinkData& b);
};

class DS_NamedFileLink : public MediaParamT<DS_NamedFileLinkData> {
public:
    using MediaParamT<DS_NamedFileLinkData>::MediaParamT;
};

// Reads a stored record into `data` (pictures are appended).
void ReadResourceRecord(ArchiveReader ar, DS_NamedFileLinkData& data);
void WriteResourceRecord(ArchiveWriter ar, const DS_NamedFileLinkData& data);
