#pragma once
// The seed corpus of every fuzz target, made by the writers rather than
// stored as binaries: the sample documents, pictures, DDS files, meshes,
// resource packs, effects and sounds that the readers accept, so fuzzing
// starts past each reader's first checks. A later reader adds its writer's
// output here.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

struct Seed {
    std::string_view target; // a name of Targets()
    std::string fileName;
    std::vector<std::uint8_t> bytes;
    bool wellFormed = true; // its reader accepts it
};

std::vector<Seed> Seeds();

} // namespace fuzz
