#pragma once
// Writer-made documents with the generators that leave trails of light, for
// the inspector's test and the fuzzer's seed corpus: one slide with falling
// stars, fireworks (an origin section with and without its spread), a
// lightning bolt in both stored versions and smoke, and the same document
// cut short.

#include <vector>

#include "tests/support/SampleDocuments.h"

std::vector<SampleDocument> LightGeneratorSampleDocuments();
