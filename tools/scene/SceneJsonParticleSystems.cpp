#include "tools/scene/SceneJsonParticleSystems.h"

#include "particles/systems/Explosion.h"
#include "platform/crt/WideString.h"
#include "render/Timelines.h"
#include "tools/scene/SceneJson.h"

namespace {

void WriteSprites(std::ostringstream& out, const DS_BaseSpriteProp& sprite)
{
    out << ", \"sprites\": {\"count\": " << sprite.spriteCount.value << ", \"size\": " << sprite.spriteSize.value
        << ", \"image\": ";
    out << JsonLink(sprite.spriteImage);
    out << ", \"second_image\": ";
    out << JsonLink(sprite.secondImage);
    out << ", \"image_kind\": " << sprite.imageKind << ", \"frames\": " << sprite.frameCount
        << ", \"blend\": " << sprite.blendMode.value << ", \"transparency\": " << sprite.transparency.value
        << ", \"colour\": " << sprite.colour.value << ", \"view\": [" << JsonNumber(sprite.leftFraction) << ", "
        << JsonNumber(sprite.rightFraction) << ", " << JsonNumber(sprite.topFraction) << ", "
        << JsonNumber(sprite.bottomFraction) << "]}";
}

void WriteExplosion(std::ostringstream& out, const DS_ExplosionConstructor& e)
{
    out << ", \"noise\": [" << e.noise1.value << ", " << e.noise2.value << ", " << e.noise3.value
        << "], \"direction\": " << e.direction.value << ", \"speed\": " << e.driftSpeed.value
        << ", \"seed\": " << e.seed.value << ", \"random_offsets\": " << e.randomOffsets.value
        << ", \"second_colour\": " << e.secondColour.value;
}

} // namespace

void WriteParticleSystemDetails(std::ostringstream& out, const DS_IOF_Item& item)
{
    if (const auto* sprite = dynamic_cast<const DS_BaseSpriteProp*>(&item))
        WriteSprites(out, *sprite);
    if (const auto* fx = dynamic_cast<const DS_FXParticleSystemCtrl*>(&item)) {
        out << ", \"effect\": ";
        out << JsonLink(fx->effectLink);
    }
    if (const auto* centred = dynamic_cast<const DS_StatBaseFXCtrl*>(&item)) {
        const math::Vec3& c = centred->centre.value;
        out << ", \"centre\": [" << c.x << ", " << c.y << ", " << c.z << "], \"width\": " << centred->width.value
            << ", \"height\": " << centred->height.value;
    }
    if (const auto* explosion = dynamic_cast<const DS_ExplosionConstructor*>(&item))
        WriteExplosion(out, *explosion);
}

void WriteTimelineDetails(std::ostringstream& out, const KXI_Timing& timeline)
{
    const auto* random = dynamic_cast<const KXI_RandomTimeLine*>(&timeline);
    if (!random)
        return;
    out << ", \"fade_in\": " << random->fadeIn.value << ", \"on\": [" << random->onLength.min.value << ", "
        << random->onLength.max.value << "], \"fade_out\": " << random->fadeOut.value << ", \"off\": ["
        << random->offLength.min.value << ", " << random->offLength.max.value << "]";
}
