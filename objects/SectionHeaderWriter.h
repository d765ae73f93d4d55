#pragma once
// The head of a stored section as the scene objects write it: the class
// name, then the int32 version.

#include <cstdint>
#include <string_view>

#include "objectmodel/Archive.h"
#include "platform/crt/WideString.h"

inline void WriteSectionHeader(ArchiveWriter ar, std::u16string_view className, std::int32_t version)
{
    ar->WriteWideString(kxi_string(className));
    ar->WriteVersion(version);
}
