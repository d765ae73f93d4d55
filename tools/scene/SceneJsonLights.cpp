#include "tools/scene/SceneJsonLights.h"

#include "effects/FakeLake2D.h"
#include "effects/FlameLight.h"
#include "effects/GlassBallLight.h"
#include "effects/MatrixCodeLight.h"
#include "effects/UnderwaterLight.h"
#include "effects/WaterRingLight.h"
#include "platform/crt/Guid.h"
#include "render/PictureScene.h"
#include "tools/scene/SceneJson.h"

namespace {

// ---- flame, underwater and matrix-code lights

// An embedded effect as the inspector prints a scene object's effect.
void WriteEmbeddedEffect(std::ostringstream& out, const char* name, const char* className,
                         const DS_FX_Constructor& effect)
{
    out << "\"" << name << "\": {\"class\": \"" << className << "\"";
    WriteImageEffectFields(out, effect);
    out << "}";
}

bool WriteFlameLightParams(std::ostringstream& out, const DS_2D_Light& light)
{
    const auto* flame = dynamic_cast<const DS_FlameLight*>(&light);
    if (!flame)
        return false;
    const FlameHeatDistortion& haze = flame->haze;
    out << ", \"light_params\": {\"fireFlag\": " << flame->fireFlag.value << ", \"heatFlag\": " << flame->heatFlag.value
        << ", \"flameOffset\": " << flame->flameOffset.value << ", \"hazeBump\": " << JsonLink(haze.bumpLink)
        << ", \"hazeEffect\": " << JsonLink(haze.effectLink) << ", \"hazeSpeed\": " << haze.speed.value
        << ", \"hazeStrength\": " << haze.strength.value << ", \"hazeBumpScale\": " << haze.bumpScale.value << ", ";
    WriteEmbeddedEffect(out, "fire", "DS_FireFX", flame->fire);
    out << "}";
    return true;
}

bool WriteUnderwaterLightParams(std::ostringstream& out, const DS_2D_Light& light)
{
    const auto* underwater = dynamic_cast<const FakeUndervater*>(&light);
    if (!underwater)
        return false;
    out << ", \"light_params\": {";
    WriteEmbeddedEffect(out, "underwater", "DS_UnderwaterFX", underwater->underwater);
    out << "}";
    return true;
}

bool WriteMatrixCodeLightParams(std::ostringstream& out, const DS_2D_Light& light)
{
    const auto* matrix = dynamic_cast<const DS_MatrixCodeLight*>(&light);
    if (!matrix)
        return false;
    out << ", \"light_params\": {\"cellSize\": " << matrix->cellSize.value << ", \"speed\": " << matrix->speed.value
        << ", \"highlightCount\": " << matrix->highlightCount.value << ", \"flicker\": " << matrix->flicker.value
        << ", \"tintMode\": " << matrix->tintMode.value << ", \"directionMode\": " << matrix->directionMode.value
        << ", \"glyphColour\": " << matrix->glyphColour.value
        << ", \"highlightColour\": " << matrix->highlightColour.value
        << ", \"transparency\": " << matrix->transparency.value << ", \"glyphs\": " << JsonLink(matrix->glyphImage)
        << "}";
    return true;
}

// ---- the lake, the water ring and the glass ball

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
    // The plain light stores nothing of its own and has no branch.
    if (WriteFlameLightParams(out, light))
        return;
    if (WriteUnderwaterLightParams(out, light))
        return;
    if (WriteMatrixCodeLightParams(out, light))
        return;
    if (WriteFakeLakeParams(out, light))
        return;
    if (WriteWaterRingParams(out, light))
        return;
    WriteGlassBallParams(out, light);
}
