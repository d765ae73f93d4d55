#include "particles/systems/SpriteParticle.h"

#include "platform/crt/Random.h"
#include "render/BaseSpriteProp.h"
#include "render/DocResManager.h"
#include "render/ResourceLoadingFrames.h"

namespace {

// A strip of no frames counts as one frame.
float StripFrames(const DS_BaseSpriteProp& controller)
{
    return controller.frameCount == 0 ? 1.0f : static_cast<float>(controller.frameCount);
}

} // namespace

float SpritePictureRatio(const DS_BaseSpriteProp& controller)
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return 0.0f;
    const DS_ImageFileLink& link = controller.spriteImage;
    if (controller.imageKind == DS_BaseSpriteProp::kImageKindAnimated)
        return manager->GetAnimatedTexture(link, kFrameFilterNone).ratio;
    return manager->GetTexture(link).ratio;
}

gfx::Ref<gfx::Texture> FirstLinkedTexture(const DS_FileLink3& link)
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return {};
    const TextureSetEntry& entry = manager->GetTexture(link);
    return entry.textures.empty() ? gfx::Ref<gfx::Texture>() : entry.textures.front();
}

void SpriteParticle::Init(const DS_BaseSpriteProp& controller)
{
    dirFactor = {};
    velocity = {};
    aspect = SpritePictureRatio(controller);
    if (controller.framesInOneImage != 0)
        aspect *= StripFrames(controller);
    axisX = {1.0f, 0.0f, 0.0f};
    axisY = {0.0f, 1.0f, 0.0f};
    position = {100.0f, 100.0f, 0.0f};
    sizeFactor = controller.scaleMin + (controller.scaleMax - controller.scaleMin) * crt::RandomUnit();
    SetSpriteHalfExtents(*this, static_cast<float>(controller.spriteSize.value));
    texV0 = 0.0f;
    texV1 = 1.0f;
    texU0 = 0.0f;
    texU1 = 1.0f;
}

void SpriteParticle::ResetState(const DS_BaseSpriteProp& controller)
{
    resumeTime = 0.0f;
    pauseClock = 0.0f;
    ReleaseEdgeRules();
    interval = 0.0f;
    timer = 0.0f;
    alpha = 1.0f;
    alphaRate = (crt::rand() & 1) != 0 ? -controller.brightnessRate : controller.brightnessRate;
    colour = PackSpriteColour(controller.colour.value, controller.Alpha(), alpha);
}

void SpriteParticle::ClearTimers()
{
    timer = 0.0f;
    interval = 0.0f;
    resumeTime = 0.0f;
    pauseClock = 0.0f;
}

void SpriteParticle::ReleaseEdgeRules()
{
    edgeState = -1;
    fadingIn = 0;
    paused = 0;
}

std::uint32_t PackSpriteColour(COLORREF colour, std::uint8_t alphaByte, float alpha)
{
    const float scaled = static_cast<float>(alphaByte) * alpha;
    // Truncated toward zero; only the low byte is kept. Out-of-range or
    // undefined products (not produced by the classes) give 0.
    const std::uint32_t a =
        (scaled > -2147483648.0f && scaled < 2147483648.0f) ? static_cast<std::uint32_t>(static_cast<std::int32_t>(scaled)) & 0xFFu
                                                            : 0u;
    const std::uint32_t r = colour & 0xFFu;
    const std::uint32_t g = (colour >> 8) & 0xFFu;
    const std::uint32_t b = (colour >> 16) & 0xFFu;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void SetSpriteHalfExtents(SpriteParticle& sprite, float size)
{
    const float b = size * sprite.sizeFactor * 0.5f;
    if (sprite.aspect < 1.0f) {
        sprite.halfWidth = b;
        sprite.halfHeight = b * sprite.aspect;
        return;
    }
    sprite.halfHeight = b;
    sprite.halfWidth = b / sprite.aspect;
}

void OscillateSpriteAlpha(DS_BaseSpriteProp& controller, SpriteParticle& sprite, float dt, bool reborn)
{
    sprite.alpha += sprite.alphaRate * dt;
    if (sprite.alpha < controller.brightnessMin) {
        if (reborn)
            controller.InitSprite(sprite);
        sprite.alpha = controller.brightnessMin;
        sprite.alphaRate = -sprite.alphaRate;
    } else if (sprite.alpha > controller.brightnessMax) {
        sprite.alpha = controller.brightnessMax;
        sprite.alphaRate = -sprite.alphaRate;
    }
}
