// The inspector's fields of image effects: what every effect shares (key,
// link, mode, clock and scale values, region, extra int, whether the
// document holds the mask kept under the key) and the class's own stored
// values by name, as the reader left them.

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "effects/DayNightHeatFX.h"
#include "effects/FireFX.h"
#include "effects/PatternBrush.h"
#include "effects/WaterMoveFX.h"
#include "effects/WavesLightFX.h"
#include "platform/crt/Guid.h"
#include "render/DocResManager.h"
#include "tests/support/DocumentSummaryClasses.h"
#include "tools/scene/SceneJson.h"
#include "tools/scene/SceneJsonDistortionEffects.h"

namespace {

using Values = std::vector<std::pair<const char*, std::string>>;

template <class T>
std::string Number(T value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// Whether the current document's manager keeps a picture under `key` (the
// inspector has no device: the entry stands for the stored picture).
bool DocumentHoldsMask(const GuidNameKey& key)
{
    const DS_DocResManagerBase* manager = g_DocResManagerTls;
    if (const auto* played = dynamic_cast<const DS_DocResManager*>(manager))
        return played->GuidTextures().contains(key);
    if (const auto* inspected = dynamic_cast<const InspectionResManager*>(manager))
        return inspected->record.guidTextures.contains(key);
    return false;
}

void AddDirection(Values& values, const DS_DirectionBased& fx)
{
    values.emplace_back("magnitude", Number(fx.magnitude.value));
    values.emplace_back("angle", Number(fx.angle.value));
}

// The own values of the fire, day-to-night and heat-shimmer effects.
void AddFireHeatValues(Values& values, const DS_FX_Constructor& fx)
{
    if (const auto* fire = dynamic_cast<const DS_FireFX*>(&fx)) {
        values = {{"colour1", Number(fire->colour1.value)},      {"colour2", Number(fire->colour2.value)},
                  {"spareInt", Number(fire->spareInt.value)},    {"pattern", JsonLink(fire->patternLink)},
                  {"noise", JsonLink(fire->noiseLink)},          {"density", Number(fire->density.value)},
                  {"brightness", Number(fire->brightness.value)}, {"patternWidth", Number(fire->patternWidth.value)}};
    } else if (const auto* night = dynamic_cast<const DS_DayToNight*>(&fx)) {
        const SmartColorHSB& soft = night->softLightColour;
        values = {{"multiplyColour", Number(night->multiplyColour.value)},
                  {"softLight", "[" + Number(soft.hue.value) + ", " + Number(soft.saturation.value) + ", " +
                                    Number(soft.brightness.value) + "]"},
                  {"desaturation", Number(night->desaturation.value)}};
    } else if (const auto* heat = dynamic_cast<const DS_HeatDistortion*>(&fx)) {
        values = {{"shimmerSpeed", Number(heat->shimmerSpeed.value)},
                  {"strength", Number(heat->strength.value)},
                  {"bumpScale", Number(heat->bumpScale.value)}};
    }
}

// The class's own values, by the class.
Values OwnValues(const DS_FX_Constructor& fx)
{
    Values values;
    if (AddDistortionEffectValues(fx, values))
        return values;
    if (const auto* pattern = dynamic_cast<const DS_PatternBrush*>(&fx)) {
        values = {{"pattern", JsonLink(pattern->patternLink)},      {"flipY", Number(pattern->flipY.value)},
                  {"flipX", Number(pattern->flipX.value)},      {"angle", Number(pattern->angle.value)},
                  {"tileSize", Number(pattern->tileSize.value)}, {"offsetX", Number(pattern->offsetX.value)},
                  {"offsetY", Number(pattern->offsetY.value)}};
    } else if (const auto* copy = dynamic_cast<const DS_BackgroundCopy*>(&fx)) {
        const MediaRectangle& r = copy->rectangle;
        values = {{"rectangle", "[" + Number(r.left.value) + ", " + Number(r.right.value) + ", " + Number(r.top.value) +
                                    ", " + Number(r.bottom.value) + ", " + Number(r.centreX.value) + ", " +
                                    Number(r.centreY.value) + "]"},
                  {"flagY", Number(copy->flagY.value)},
                  {"flagX", Number(copy->flagX.value)}};
    } else if (const auto* waves = dynamic_cast<const DS_WavesFX*>(&fx)) {
        values = {{"amplitude", Number(waves->amplitude.value)}, {"wavelength", Number(waves->wavelength.value)},
                  {"angle", Number(waves->angle.value)},         {"reverse", Number(waves->reverse.value)}};
    } else if (const auto* light = dynamic_cast<const DS_LightFX*>(&fx)) {
        values = {{"strength", Number(light->strength.value)}, {"flickerMode", Number(light->flickerMode.value)}};
    } else if (const auto* light2 = dynamic_cast<const DS_LightFX_II*>(&fx)) {
        values = {{"strength", Number(light2->strength.value)},
                  {"flickerMode", Number(light2->flickerMode.value)},
                  {"blendMode", Number(light2->blendMode.value)},
                  {"colour", Number(light2->colour.value)}};
    } else if (const auto* underwater = dynamic_cast<const DS_UnderwaterFX*>(&fx)) {
        values = {{"amplitude", Number(underwater->amplitude.value)},
                  {"wavelength", Number(underwater->wavelength.value)}};
    } else if (const auto* water = dynamic_cast<const DS_WaterFX*>(&fx)) {
        values = {{"shape", Number(water->shape.value)},         {"bumpRadius", Number(water->bumpRadius.value)},
                  {"drift2", Number(water->drift2.value)},       {"drift1", Number(water->drift1.value)},
                  {"angle", Number(water->angle.value)},         {"shadows", Number(water->shadows.value)},
                  {"lightHeight", Number(water->lightHeight.value)}, {"colour", Number(water->colour.value)},
                  {"bump", JsonLink(water->bumpLink)}};
    } else if (const auto* move = dynamic_cast<const DS_MoveFX*>(&fx)) {
        values = {{"kind", Number(move->kind.value)}, {"secondMagnitude", Number(move->secondMagnitude.value)}};
        AddDirection(values, *move);
    } else if (const auto* direction = dynamic_cast<const DS_DirectionBased*>(&fx)) {
        AddDirection(values, *direction);
    }
    AddFireHeatValues(values, fx);
    return values;
}

} // namespace

void WriteImageEffectFields(std::ostringstream& out, const DS_IOF_Item& item)
{
    const auto* fx = dynamic_cast<const DS_FX_Constructor*>(&item);
    if (!fx)
        return;
    out << ", \"imageEffect\": {\"key\": \"" << crt::FormatGuid(fx->key.guid) << "\", \"keyName\": "
        << JsonString(fx->key.name) << ", \"keyFlag\": " << int(fx->key.flag) << ", \"effect\": " << JsonLink(fx->effectLink)
        << ", \"mode\": " << fx->mode.value << ", \"speed\": " << fx->speed.value << ", \"scale\": " << fx->scale.value
        << ", \"phaseOffset\": " << fx->phaseOffset.value << ", \"region\": [";
    for (std::size_t i = 0; i < fx->region.corners.size(); ++i) {
        const math::Vec3& c = fx->region.corners[i].value;
        out << (i ? ", " : "") << "[" << c.x << ", " << c.y << ", " << c.z << "]";
    }
    out << "], \"extraInt\": " << fx->extraInt.value << ", \"mask\": " << (DocumentHoldsMask(fx->key) ? "true" : "false")
        << ", \"values\": {";
    bool first = true;
    for (const auto& [name, value] : OwnValues(*fx)) {
        out << (first ? "" : ", ") << "\"" << name << "\": " << value;
        first = false;
    }
    out << "}}";
}
