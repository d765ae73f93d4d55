#pragma once
// The inspector's fields of the effect-drawn objects and the text objects,
// appended to an object's JSON:
//   glowing discharge: "discharge": {"start": point, "end": point,
//       "jitter": N, "texture": N, "flicker": N, "morph": N,
//       "glowColour": N, "brightness": N, "effect": link}
//   text descriptions: "textDescription": {"key": GUID, "keyName": ...,
//       "centre": point, "width": N, "height": N, "text": ..., "font":
//       {"size", "weight", "flags", "face"}, "effect": link, and for the
//       scrolling one "period", "direction", "tile": [width, height], for
//       the link "link": N}
//   particle-engine text: "textItem": {"text": ..., "face": ..., "shadow":
//       {"on", "colour", "opacity", "distance", "angle"}, "quad": [four
//       points], and for the scrolling one "scrollMode", for the link
//       "link": N}
//   object animations: "animation": {"frameSpeed": N, and for the static
//       one "reverse", "rect": [four points]; for the wandering one
//       "count", "size", "motionScale", "repickPeriod", "steerTime"; for
//       the path one "moveSpeed", "size", "points": [...], "facing",
//       "mirrors": [top-bottom, left-right]}
// Nothing for other items.

#include <sstream>

class DS_IOF_Item;

void WriteEffectObjectFields(std::ostringstream& out, const DS_IOF_Item& item);
