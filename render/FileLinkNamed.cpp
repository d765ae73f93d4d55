#include "render/FileLinkNamed.h"

#include <algorithm>

bool MediaValueTraits<DS_NamedFileLinkData>::Differs(const DS_NamedFileLinkData& a, const DS_NamedFileLinkData& b)
{
    return !std::equal(a.pictures.begin(), a.pictures.end(), b.pictures.begin(), b.pictures.end(),
                       [](const DS_ImageFileLink& x, const DS_ImageFileLink& y) { return x.Key() == y.Key(); });
}

void ReadResourceRecord(ArchiveReader ar, DS_NamedFileLinkData& data)
{
    ar->ReadWideString(&data.name);
    ReadImageLinkVector(ar, data.pictures);
    const std::uint32_t version = ar.ReadDword();
    if (version != 0) {
        data.columns = ar.ReadDword();
        data.rows = ar.ReadDword();
    }
    if (version >= 2) {
        ar->ReadWideString(&data.sourcePath);
        data.sourceId = ar.ReadInt64();
        return;
    }
    if (data.pictures.empty())
        return;
    data.sourcePath = data.pictures.front().Path();
    data.sourceId = data.pictures.front().Id();
}

void WriteResourceRecord(ArchiveWriter ar, const DS_NamedFileLinkData& data)
{
    ar->WriteWideString(data.name);
    ar->WriteVersion(static_cast<std::int32_t>(data.pictures.size()));
    for (const DS_ImageFileLink& picture : data.pictures)
        WriteFileLink(ar, picture);
    ar->WriteDword(static_cast<std::uint32_t>(data.version));
    ar->WriteDword(data.columns);
    ar->WriteDword(data.rows);
    ar->WriteWideString(data.sourcePath);
    ar->WriteInt64(data.sourceId);
}
