#pragma once
// A counted vector of integer parameters: int32 count, then one int32 per
// parameter (a signed parameter value), each becoming a new parameter with
// that value.

#include <cstdint>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"

void ReadIntParamVector(ArchiveReader ar, std::vector<MediaParamT<std::int32_t>>& params);
