#pragma once
// Writer-made documents with wandering particles, for the inspector's test
// and the fuzzer's seed corpus: one slide with a Brownian animation and
// fireflies in every stored form of the trail (tracer versions 1 to 4,
// firefly versions 1 and 2), and the same document cut short.

#include <vector>

#include "tests/support/SampleDocuments.h"
#include "tests/support/WanderWriter.h"

// Fireflies wandering in the box from (left, top) to (right, bottom),
// drawing the dot picture with a trail of the trail picture.
wander_writer::FireflyFields SampleFireflies(std::u16string name, float left, float top, float right, float bottom);

std::vector<SampleDocument> WanderSampleDocuments();
