#pragma once
// Writer-made documents with the painted and placed generators, for the
// inspector's test and the fuzzer's seed corpus: one slide with a custom
// airbrush, sparkles (both stored versions), twinkling stars, an aurora, an
// animated font and a plant, and a copy whose first dab stores a pair count
// beyond what remains.

#include <vector>

#include "tests/support/SampleDocuments.h"

std::vector<SampleDocument> PaintedGeneratorSampleDocuments();
