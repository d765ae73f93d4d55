#pragma once
// The object animations of the words slide (1920 x 1080): a beacon that
// plays an animated picture of our own in place, a few sparks wandering in a
// region, and a paper plane flying back and forth along three points,
// mirrored to face its way. Their pictures are made here and stored in the
// document.

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// How many objects WriteDemoAnimations writes.
inline constexpr int kDemoAnimationObjects = 3;

// Writes the three objects and stores their pictures in `record`.
void WriteDemoAnimations(DocumentWriter& w, DocResManagerRecord& record);
