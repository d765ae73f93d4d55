#pragma once
// Writer-made documents with the fire, day-to-night and heat-shimmer
// effects and the flame, underwater and matrix-code lights, for the
// inspector's test and the fuzzer's seed corpus: the effects one slide
// each over a small stored picture (the fire in all three stored versions,
// the day-to-night effect with its effect file stored in the document),
// the lights one slide each with their embedded records, and the light
// document cut short.

#include <vector>

#include "tests/support/SampleDocuments.h"

std::vector<SampleDocument> FireLightSampleDocuments();
