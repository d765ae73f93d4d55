#include "platform/crt/SoftwareRasteriser.h"

#include <cstdlib>
#include <cstring>

namespace crt {

void KeepSoftwareRasterisingOnCallingThread()
{
    // Unchanged when already 0, so that a process that makes many devices
    // does not write its environment again while other threads may read it.
    const char* current = std::getenv("LP_NUM_THREADS");
    if (current && std::strcmp(current, "0") == 0)
        return;
    setenv("LP_NUM_THREADS", "0", 1);
}

} // namespace crt
