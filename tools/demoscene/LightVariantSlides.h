#pragma once
// The demo scene's slides of the light variants: the dusk picture inside a
// swinging glass ball over a two-colour gradient, the valley mirrored in a
// lake under a turning bump map (generated here and stored under the lake's
// GUID), and the shapes with their objects seen through spreading water
// rings.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

namespace demo_scene {

// Slides WriteLightVariantSlides adds.
inline constexpr std::int32_t kLightVariantSlides = 3;

// Writes the slides for pictures of width x height and adds what they store
// to `record`. The pictures they show are stored by the slides that show
// them first.
void WriteLightVariantSlides(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width,
                             std::uint32_t height);

} // namespace demo_scene
