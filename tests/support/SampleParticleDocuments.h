#pragma once
// Sample documents of the particle-system layer, for the inspector's test
// (tools/scene) and the fuzzer's seeds: "explosions.vsd", one slide with an
// explosion of the current version on a random timeline and a version-1
// explosion whose legacy timing values become its timeline.

#include <cstdint>
#include <vector>

std::vector<std::uint8_t> ExplosionsDocument();
