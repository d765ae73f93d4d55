#pragma once
// Writer-made documents with particle trees, for the inspector's test and
// the fuzzer's seed corpus: one slide with a fountain tree (a stem on a
// point emit shape with a point leaf and a trace leaf), presets of both
// stored versions and a party balloon; and trees that must be refused (too
// deep, a geometry where a node belongs, a preset list longer than the
// document).

#include <vector>

#include "tests/support/SampleDocuments.h"

std::vector<SampleDocument> TreeSampleDocuments();
