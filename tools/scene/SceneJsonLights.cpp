#include "tools/scene/SceneJsonLights.h"

#include "effects/FlameLight.h"
#include "effects/MatrixCodeLight.h"
#include "effects/UnderwaterLight.h"
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

} // namespace

void WriteLightParams(std::ostringstream& out, const DS_2D_Light& light)
{
    // Each light variant adds its branch here; the plain light has none.
    if (WriteFlameLightParams(out, light))
        return;
    if (WriteUnderwaterLightParams(out, light))
        return;
    if (WriteMatrixCodeLightParams(out, light))
        return;
}
