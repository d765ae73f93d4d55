#pragma once
// Writer-made documents with tree presets and party balloons, for the
// inspector's test and the fuzzer's seed corpus: one slide with presets of
// both stored versions and a tree of balloons; and a preset whose list is
// longer than the document, which is refused.

#include <vector>

#include "tests/support/SampleDocuments.h"

std::vector<SampleDocument> PresetSampleDocuments();
