#pragma once
// Writer-made documents with the distortion effects, for the inspector's
// test, the fuzzer's seed corpus and the soak test: one slide per class over
// a small stored picture (among them a waterfall whose stored layer count is
// 4294967295, and a waterfall and clouds in mode 1), the effect of each
// class without a default link stored as bytes of the other platform's
// effect language, and the same document cut short.

#include <vector>

#include "tests/support/SampleDocuments.h"

std::vector<SampleDocument> DistortionSampleDocuments();
