// One libFuzzer target: the entry of FuzzTargets.h that ORVANTA_FUZZ_ENTRY
// names (CMakeLists.txt builds one executable per entry from this file).

#include <cstddef>
#include <cstdint>

#include "tools/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::InstallReaders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ORVANTA_FUZZ_ENTRY({data, size});
    return 0;
}
