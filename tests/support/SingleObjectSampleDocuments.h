#pragma once
// Writer-made documents with single-object controllers, for the inspector's
// test and the fuzzer's seed corpus: "single-objects.vsd" (a turning static
// picture on a random timeline, and pictures walking paths of four, one and
// no points) and "single-objects-huge-path.vsd" (a walking object claiming
// more points than the document holds, refused).

#include <vector>

#include "tests/support/SampleDocuments.h"
#include "tests/support/SingleObjectWriter.h"

// The static object of "single-objects.vsd".
particle_writer::StaticObjectFields SampleStaticObject();
// The walking object of "single-objects.vsd" with `points` points.
particle_writer::ObjectPathFields SampleObjectPath(std::u16string name, int points);

std::vector<SampleDocument> SingleObjectSampleDocuments();
