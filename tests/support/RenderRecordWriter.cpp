#include "tests/support/RenderRecordWriter.h"

DocumentWriter& WriteFileLinkRecord(DocumentWriter& writer, std::u16string_view path, std::int64_t id)
{
    return writer.WideString(path).Int64(id);
}

DocumentWriter& WriteNamedFileLinkRecord(DocumentWriter& writer, const NamedFileLinkRecord& record)
{
    writer.WideString(record.name).Count(record.pictures.size());
    for (const LinkKey& picture : record.pictures)
        WriteFileLinkRecord(writer, picture.path, picture.id);
    writer.Dword(record.versionField);
    if (record.versionField != 0)
        writer.Dword(record.columns).Dword(record.rows);
    if (record.versionField >= 2)
        WriteFileLinkRecord(writer, record.sourcePath, record.sourceId);
    return writer;
}

std::vector<std::uint8_t> TextureSetResourceBytes(const std::vector<std::int32_t>& values,
                                                  const std::vector<ModuleResourceBlob>& records)
{
    DocumentWriter writer;
    writer.IntVector(values).Count(records.size());
    for (const ModuleResourceBlob& record : records)
        writer.ModuleBlob(record);
    return writer.Bytes();
}
