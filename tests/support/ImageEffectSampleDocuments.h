#pragma once
// Writer-made documents with image effects, for the inspector's test and
// the fuzzer's seed corpus: one slide per image-effect class over a small
// stored picture, each effect with the mask kept under its key and the
// pictures it links, and the same document cut short.

#include <vector>

#include "tests/support/SampleDocuments.h"

std::vector<SampleDocument> ImageEffectSampleDocuments();
