#include "objectmodel/IntParamVector.h"

void ReadIntParamVector(ArchiveReader ar, std::vector<MediaParamT<std::int32_t>>& params)
{
    const std::size_t count = ar.ReadCount(kInt32Bytes);
    for (std::size_t i = 0; i < count; ++i)
        params.emplace_back(ar.ReadLong());
}
