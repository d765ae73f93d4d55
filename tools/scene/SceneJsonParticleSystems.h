#pragma once
// The inspector's view of the particle-system layer's objects, appended to
// an object's JSON (SceneJson.cpp):
//   every sprite description: "sprites": {"count", "size", "image",
//     "second_image", "image_kind", "frames", "blend", "transparency",
//     "colour", "view" [left, right, top, bottom fractions]}, links as
//     {"path": ..., "id": ...};
//   effect controllers: "effect" (a link);
//   centred effect controllers: "centre" [x, y, z], "width", "height";
//   explosions: "noise" (the three stored values), "direction", "speed",
//     "seed", "random_offsets", "second_colour".
// and, inside "timeline", for a random timeline: "fade_in", "on" [min, max],
// "fade_out", "off" [min, max] (hundredths of a second).

#include <sstream>

class DS_IOF_Item;
class KXI_Timing;

void WriteParticleSystemDetails(std::ostringstream& out, const DS_IOF_Item& item);
void WriteTimelineDetails(std::ostringstream& out, const KXI_Timing& timeline);
