#pragma once
// The demo scene's particle trees, drawn with the built-in tree effect:
//   - a fountain: a stem on a point emit shape under gravity, with a leaf of
//     glowing sparks riding on its particles and a trace leaf drawing
//     ribbons behind them;
//   - a swarm leaf of slowly wandering dots;
//   - a preset wrapping a small tree of rising sparks;
//   - party balloons: a swarm of balloons lit by two light maps.
// The pictures they draw (spark, ribbon, balloon and its two light maps,
// PNG with alpha) are made here and stored in the document.

#include <cstdint>
#include <vector>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of objects WriteDemoTrees writes.
inline constexpr std::int32_t kDemoTreeCount = 4;

// Writes the trees over a picture of width x height pixels (positions and
// sizes follow it). Objects lie in the picture's pixels whatever the
// slide's camera does: a path camera only chooses the window of the picture
// that fills the view. The caller writes the object count.
void WriteDemoTrees(DocumentWriter& w, std::uint32_t width, std::uint32_t height);

// The fountain tree's record alone ("KXI_PSTree_Root").
void WriteDemoFountainTree(DocumentWriter& w, std::uint32_t width, std::uint32_t height);

// Stores the trees' pictures in the document's resource-manager record.
void AddDemoTreePictures(DocResManagerRecord& record);
