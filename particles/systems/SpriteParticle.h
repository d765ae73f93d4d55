#pragma once
// SpriteParticle: one sprite of a sprite object. The sprite render objects
// (ParticleGeomArray.h) own one record per sprite; the description's sprite
// operations (InitSprite, UpdateSprite) move it, and the array writes one
// quad per sprite from its position, axes and half extents.
//
// The shared sprite operations every sprite class repeats:
//   PackSpriteColour      0xAARRGGBB from a COLORREF, the alpha byte and the
//                         sprite's alpha: A = int(alphaByte x alpha), low 8
//                         bits kept.
//   SetSpriteHalfExtents  b = size x sizeFactor / 2; a picture wider than
//                         high (aspect < 1) keeps width b, else height b.
//   OscillateSpriteAlpha  swings the alpha between the brightness bounds at
//                         the sprite's rate, optionally rebirthing the
//                         sprite (InitSprite) at the lower bound.
//
// Library placement: the sprite records, the shared operations, the sprite
// description base and the sprite render objects live in particles/systems;
// the concrete sprite classes of objects/ build on them, never the reverse.

#include <cstdint>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

class DS_BaseSpriteProp;
class DS_FileLink3;

struct SpriteParticle {
    // Per-axis factors of a flow's motion (an edge reflection negates one).
    math::Vec3 dirFactor;
    // Pixels per second; flows keep their wobble factor in z.
    math::Vec3 velocity;
    // The sprite's centre in pixels.
    math::Vec3 position{100.0f, 100.0f, 0.0f};
    float sizeFactor = 1.0f;
    // A rotation some classes step the sprite by each frame.
    math::Matrix stepMatrix;
    float texV0 = 0.0f;
    float texV1 = 1.0f;
    float texU0 = 0.0f;
    float texU1 = 1.0f;
    // Pixels; a negative half width mirrors the sprite.
    float halfWidth = 0.0f;
    float halfHeight = 0.0f;
    // Height-to-width ratio of the sprite's picture.
    float aspect = 1.0f;
    math::Vec3 axisX{1.0f, 0.0f, 0.0f};
    math::Vec3 axisY{0.0f, 1.0f, 0.0f};
    // Opacity multiplier 0..1.
    float alpha = 1.0f;
    // Time of the last random event and the seconds until the next one.
    float timer = 0.0f;
    float interval = 0.0f;
    // The screen edge whose rule holds the sprite, -1 for none.
    std::int32_t edgeState = -1;
    std::int32_t fadingIn = 0;
    float resumeTime = 0.0f;
    float pauseClock = 0.0f;
    std::uint8_t paused = 0;
    // 0xAARRGGBB.
    std::uint32_t colour = 0;
    // Signed speed of the alpha oscillation.
    float alphaRate = 0.0f;
    // Set while the object's timeline is off, for classes that place their
    // sprites again when it comes back on; 0 for a new sprite.
    std::uint8_t wasOff = 0;

    // The start every new sprite gets: factors, velocity and texture ranges
    // cleared, aspect from the controller's picture (times the frame count
    // for a frame strip), axes, position (100, 100, 0), a size factor drawn
    // in the controller's scale range and half extents from it.
    void Init(const DS_BaseSpriteProp& controller);
    // Edge-rule state cleared, alpha 1 with the controller's rate under a
    // random sign, colour packed from the controller's colour.
    void ResetState(const DS_BaseSpriteProp& controller);
    // timer, interval, resumeTime and pauseClock back to 0.
    void ClearTimers();
    // Held by no edge rule: edgeState -1, not fading in, not paused.
    void ReleaseEdgeRules();
};

std::uint32_t PackSpriteColour(COLORREF colour, std::uint8_t alphaByte, float alpha);
void SetSpriteHalfExtents(SpriteParticle& sprite, float size);
// `dt` is the animation clock's step.
void OscillateSpriteAlpha(DS_BaseSpriteProp& controller, SpriteParticle& sprite, float dt, bool reborn);

// The height-to-width ratio of the controller's sprite picture through the
// thread's resource manager (the animated picture's for image kind 2); 0
// without a manager or picture.
float SpritePictureRatio(const DS_BaseSpriteProp& controller);

// The first texture of the link's picture entry in the thread's resource
// manager; null without a manager or when the picture could not be loaded.
gfx::Ref<gfx::Texture> FirstLinkedTexture(const DS_FileLink3& link);
