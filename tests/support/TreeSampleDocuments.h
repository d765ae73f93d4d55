#pragma once
// Writer-made documents with particle trees, for the fuzzer's seed corpus
// and the inspector: a slide with a fountain tree (a stem on a point emit
// shape with gravity, a leaf of sparks and a trace leaf of ribbons behind
// them) and a swarm of glowing dots; and trees that are refused (too deep,
// a geometry where a node belongs).

#include <vector>

#include "tests/support/SampleDocuments.h"
#include "tests/support/TreeWriter.h"

// The fountain tree's root record.
void WriteSampleFountainTree(DocumentWriter& w);
// The swarm tree's root record.
void WriteSampleSwarmTree(DocumentWriter& w);

std::vector<SampleDocument> TreeSampleDocuments();
