#pragma once
// The demo scene's two slides of distortion effects:
//   "Falls"    a cliff with a waterfall over its face, clouds drifting
//              across the sky band, radial waves about a point of the lake
//              and a vortex over its far side;
//   "Tiles"    a tiled picture over which expand, rotation, bend,
//              perspective, stretch and the linear and radial flows take
//              turns through their manual timelines, each in the part of the
//              picture its mask paints.
// Their pictures (the landscape, the tiles, the cloud and noise pictures)
// and masks are drawn here and stored in the document, and so are the
// effect files of the classes without a default link, as a real document
// stores its own.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

namespace demo_scene {

// Slides WriteDistortionSlides adds.
inline constexpr std::int32_t kDistortionSlides = 2;

// Writes both slides for pictures of width x height pixels and adds what
// they store to `record`. The falls have 16 layers.
void WriteDistortionSlides(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width, std::uint32_t height);

} // namespace demo_scene
