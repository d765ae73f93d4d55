#pragma once
// Slanted sprites (god rays, swaying grass blades and flowers): a sprite
// leaning by an angle is drawn with the vertical axis (c, 1, 0), c =
// 1 / tan(theta), which shears the quad and keeps its height.
//
// Near theta = 0 or 180 degrees the tangent vanishes and c would grow without
// bound (infinite or enormous vertices): c is limited to [-1000, 1000], and a
// tangent of exactly 0 gives +1000. Angles farther than about 0.06 degrees
// from those keep their exact shear.

#include <cstdint>

class DS_BaseSpriteProp;

inline constexpr float kMaxSpriteShear = 1000.0f;

// The horizontal shear c of a sprite leaning at `theta` radians.
float ShearOfAngle(float theta);

// theta of a sprite swaying to `angle` degrees (90 upright): (180 - angle)
// in radians.
float LeanOfSwayAngle(float angleDegrees);

// The vertex colour of a swaying sprite: faded by the timeline only in
// clock mode 1; in any other mode the colour is left as it is.
std::uint32_t SwayTimingAlpha(const DS_BaseSpriteProp& controller, std::uint32_t argb);
