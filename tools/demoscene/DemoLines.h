#pragma once
// The demo scene's slide of line systems: a warm twilight picture (1600 x
// 900) with a line growing along a curve on a random timeline, a piece
// sliding back and forth along a wave, shots flying along an arc and a
// ribbon swinging like a whip, all drawn with a soft-edged ribbon strip and
// a head spark painted here as PNG with alpha.

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of slides WriteDemoLinesSlide writes.
inline constexpr int kDemoLinesSlideCount = 1;

// Writes the slide and stores its pictures in `record`.
void WriteDemoLinesSlide(DocumentWriter& w, DocResManagerRecord& record);
