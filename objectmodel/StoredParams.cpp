#include "objectmodel/StoredParams.h"

void ReadStoredValue(ArchiveReader ar, std::int32_t& value)
{
    value = ar.ReadLong();
}

void ReadStoredValue(ArchiveReader ar, std::uint32_t& value)
{
    value = ar.ReadDword();
}

void ReadStoredValue(ArchiveReader ar, float& value)
{
    value = ar.ReadFloat();
}

void ReadStoredValue(ArchiveReader ar, math::Vec3& value)
{
    value.x = ar.ReadFloat();
    value.y = ar.ReadFloat();
    value.z = ar.ReadFloat();
}

void ReadStoredValue(ArchiveReader ar, kxi_string& value)
{
    value = ar.ReadWideString();
}

void ReadStoredValue(ArchiveReader ar, crt::Guid& value)
{
    ReadGuid(ar, &value);
}

void WriteStoredValue(ArchiveWriter ar, std::int32_t value)
{
    ar->WriteLong(value);
}

void WriteStoredValue(ArchiveWriter ar, std::uint32_t value)
{
    ar->WriteDword(value);
}

void WriteStoredValue(ArchiveWriter ar, float value)
{
    ar->WriteFloat(value);
}

void WriteStoredValue(ArchiveWriter ar, const math::Vec3& value)
{
    ar->WriteFloat(value.x);
    ar->WriteFloat(value.y);
    ar->WriteFloat(value.z);
}

void WriteStoredValue(ArchiveWriter ar, const kxi_string& value)
{
    ar->WriteWideString(value);
}

void WriteStoredValue(ArchiveWriter ar, const crt::Guid& value)
{
    WriteGuid(ar, value);
}
