#pragma once

// The stored form of a plain parameter: only its value, in the value type's
// encoding (observers, callbacks and undo history are never stored):
//
//   int32_t      int32  (ReadLong)          uint32_t   uint32 (ReadDword)
//   float        4-byte float               math::Vec3 three floats x, y, z
//   kxi_string   wide string                crt::Guid  GUID string (ReadGuid)
//
// A reader either stores the read value directly (ReadParamValue: nobody is
// told) or applies a changed-value set with a null source
// (ReadChangedParamValue: stored and notified only when it differs); each
// owner's reader says which it uses for each value.

#include <cstdint>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "platform/crt/Guid.h"
#include "platform/crt/WideString.h"
#include "platform/math/Vector.h"

// One value in its stored encoding.
void ReadStoredValue(ArchiveReader ar, std::int32_t& value);
void ReadStoredValue(ArchiveReader ar, std::uint32_t& value);
void ReadStoredValue(ArchiveReader ar, float& value);
void ReadStoredValue(ArchiveReader ar, math::Vec3& value);
void ReadStoredValue(ArchiveReader ar, kxi_string& value);
void ReadStoredValue(ArchiveReader ar, crt::Guid& value);

void WriteStoredValue(ArchiveWriter ar, std::int32_t value);
void WriteStoredValue(ArchiveWriter ar, std::uint32_t value);
void WriteStoredValue(ArchiveWriter ar, float value);
void WriteStoredValue(ArchiveWriter ar, const math::Vec3& value);
void WriteStoredValue(ArchiveWriter ar, const kxi_string& value);
void WriteStoredValue(ArchiveWriter ar, const crt::Guid& value);

// Direct store of the read value.
template <class Param>
void ReadParamValue(ArchiveReader ar, Param& param)
{
    typename Param::ValueType value{};
    ReadStoredValue(ar, value);
    param.StoreValue(value);
}

// Changed-value set of the read value, with a null source.
template <class Param>
void ReadChangedParamValue(ArchiveReader ar, Param& param)
{
    typename Param::ValueType value{};
    ReadStoredValue(ar, value);
    param.SetChangedValue(value, nullptr);
}

template <class Param>
void WriteParamValue(ArchiveWriter ar, const Param& param)
{
    WriteStoredValue(ar, param.value);
}
