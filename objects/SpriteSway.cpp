#include "objects/SpriteSway.h"

#include <cmath>

#include "objectmodel/Geometry.h"
#include "render/BaseSpriteProp.h"

namespace {

constexpr int kClockModeFadedByTimeline = 1;

} // namespace

float ShearOfAngle(float theta)
{
    const float tangent = std::tan(theta);
    if (tangent == 0.0f)
        return kMaxSpriteShear;
    const float shear = 1.0f / tangent;
    if (shear > kMaxSpriteShear)
        return kMaxSpriteShear;
    if (shear < -kMaxSpriteShear)
        return -kMaxSpriteShear;
    // Also an undefined angle: its shear stays as undefined as the angle.
    return shear;
}

float LeanOfSwayAngle(float angleDegrees)
{
    return (180.0f - angleDegrees) * 2.0f * kScenePi / 360.0f;
}

std::uint32_t SwayTimingAlpha(const DS_BaseSpriteProp& controller, std::uint32_t argb)
{
    if (controller.timing.clockMode.value == kClockModeFadedByTimeline)
        return controller.DS_BaseSpriteProp::ApplyTimingAlpha(argb);
    return argb;
}
