#pragma once
// Sample documents of the particle-system layer, for the inspector's test
// (tools/scene) and the fuzzer's seeds: "explosions.vsd", one slide with an
// explosion of the current version on a random timeline and a version-1
// explosion whose legacy timing values become its timeline.

#include <cstdint>
#include <vector>

#include "tests/support/ParticleSystemWriter.h"

// The current-version explosion of the sample: every stored value apart
// from its default.
particle_writer::ExplosionFields SampleExplosionFields();

std::vector<std::uint8_t> ExplosionsDocument();
