#pragma once
// The demo scene's sprite objects, with their pictures painted here (PNG with
// alpha):
//   Light Beams  a flow of soft motes drifting across the valley, fading out
//                at one side and back in at the other (its first object),
//                sparkles in the sky and lightning far off;
//   Dusk         birds crossing the sky and god rays from the sun;
//   Shapes       a ghost on a random timeline, a glow placed behind the
//                diamond and an electric discharge between two circles;
//   Valley       rain, fish in the lake, fog over the hills, grass and
//                flowers along the near hill.

#include <cstdint>
#include <string_view>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// Writes the Light Beams slide's flow over a picture of width x height.
void WriteDemoFlow(DocumentWriter& w, std::uint32_t width, std::uint32_t height);

// How many objects WriteDemoSpriteObjects writes for the slide named
// `slideName` (the Light Beams flow not counted).
std::int32_t DemoSpriteObjectCount(std::u16string_view slideName);

// Writes those objects over a picture of width x height; the caller writes
// the object count.
void WriteDemoSpriteObjects(DocumentWriter& w, std::u16string_view slideName, std::uint32_t width,
                            std::uint32_t height);

// Stores the sprite pictures in the document's resource-manager record.
void AddDemoSpritePictures(DocResManagerRecord& record);
