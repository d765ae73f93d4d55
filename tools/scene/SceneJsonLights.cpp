#include "tools/scene/SceneJsonLights.h"

#include "effects/FakeLake2D.h"
#include "effects/GlassBallLight.h"
#include "effects/WaterRingLight.h"
#include "platform/crt/Guid.h"
#include "render/PictureScene.h"
#include "tools/scene/SceneJson.h"

namespace {

bool WriteFakeLakeParams(std::ostringstream& out, const DS_2D_Light& light)
{
    const auto* lake = dynamic_cast<const FakeLake2D*>(&light);
    if (!lake)
        return false;
    out << ", \"light_params\": {\"bumpRepeat\": " << lake->bumpRepeat.value << ", \"speed\": " << lake->speed.value
        << ", \"horizon\": " << lake->horizon.value << ", \"gradientLevel\": " << lake->gradientLevel.value
        << ", \"tintAlpha\": " << lake->tintAlpha.value << ", \"tintFade\": " << lake->tintFade.value
        << ", \"normalAmplitude\": " << lake->normalAmplitude.value << ", \"bandHeight\": " << lake->bandHeight.value
        << ", \"mirrorSizeExponent\": " << lake->mirrorSizeExponent.value
        << ", \"tintColour\": " << lake->tintColour.value << ", \"key\": \"" << crt::FormatGuid(lake->key.guid)
        << "\", \"keyName\": " << JsonString(lake->key.name) << ", \"keyFlag\": " << int(lake->key.flag) << "}";
    return true;
}

bool WriteWaterRingParams(std::ostringstream& out, const DS_2D_Light& light)
{
    const auto* ring = dynamic_cast<const DS_WaterRingLight*>(&light);
    if (!ring)
        return false;
    out << ", \"light_params\": {\"mode\": " << ring->mode.value << ", \"timeStep\": " << ring->timeStepValue.value
        << ", \"density\": " << ring->densityValue.value << ", \"resolution\": " << ring->resolutionValue.value
        << ", \"dropStrength\": " << ring->dropStrengthValue.value << ", \"damping\": " << ring->dampingValue.value
        << ", \"refractionDepth\": " << ring->refractionDepthValue.value << ", \"dropRate\": " << ring->dropRate.value
        << ", \"specularLevel\": " << ring->specularLevel.value
        << ", \"specularPower\": " << ring->specularPower.value << "}";
    return true;
}

bool WriteGlassBallParams(std::ostringstream& out, const DS_2D_Light& light)
{
    const auto* ball = dynamic_cast<const DS_GlassBallLight*>(&light);
    if (!ball)
        return false;
    out << ", \"light_params\": {\"overlayA\": " << JsonLink(ball->overlayALink)
        << ", \"overlayB\": " << JsonLink(ball->overlayBLink) << ", \"stand\": " << JsonLink(ball->standLink)
        << ", \"picture\": " << JsonLink(ball->pictureLink) << ", \"turnSpeed\": " << ball->turnSpeed.value
        << ", \"offset\": [" << ball->ballOffsetX.value << ", " << ball->ballOffsetY.value
        << "], \"ballSize\": " << ball->ballSize.value << ", \"lensStrength\": " << ball->lensStrength.value
        << ", \"overlayAOn\": " << ball->overlayAOn.value << ", \"overlayBOn\": " << ball->overlayBOn.value
        << ", \"standOn\": " << ball->standOn.value << ", \"backdropMode\": " << ball->backdropMode.value
        << ", \"turnMode\": " << ball->turnMode.value << ", \"gradientTop\": " << ball->gradientTop.value
        << ", \"gradientBottom\": " << ball->gradientBottom.value << "}";
    return true;
}

} // namespace

void WriteLightParams(std::ostringstream& out, const DS_2D_Light& light)
{
    // Each light variant adds its branch here; the plain light has none.
    static_cast<void>(WriteFakeLakeParams(out, light) || WriteWaterRingParams(out, light) ||
                      WriteGlassBallParams(out, light));
}
