#include "tools/scene/SceneJsonDistortionEffects.h"

#include <sstream>

#include "effects/CentreDistortionFX.h"
#include "effects/FlowFieldFX.h"
#include "effects/LineDistortionFX.h"
#include "effects/WaterfallCloudFX.h"
#include "tools/scene/SceneJson.h"

namespace {

using Values = std::vector<std::pair<const char*, std::string>>;

template <class T>
std::string Text(T value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

void AddCentre(Values& values, const DS_CentralBased& fx)
{
    const math::Vec3& c = fx.centre.value;
    values.emplace_back("centre", "[" + Text(c.x) + ", " + Text(c.y) + ", " + Text(c.z) + "]");
}

void AddLine(Values& values, const DS_LineBased& fx)
{
    values.emplace_back("lineAngle", Text(fx.lineDirection.value));
    AddCentre(values, fx);
}

void AddDirection(Values& values, const DS_DirectionBased& fx)
{
    values.emplace_back("magnitude", Text(fx.magnitude.value));
    values.emplace_back("angle", Text(fx.angle.value));
}

bool AddCentreClass(const DS_FX_Constructor& fx, Values& values)
{
    if (const auto* expand = dynamic_cast<const DS_ExpandFX*>(&fx)) {
        values = {{"outward", Text(expand->outward.value)},
                  {"inward", Text(expand->inward.value)},
                  {"kind", Text(expand->kind.value)}};
        AddCentre(values, *expand);
    } else if (const auto* wave = dynamic_cast<const DS_RadialWaveFX*>(&fx)) {
        values = {{"amplitude", Text(wave->amplitude.value)},
                  {"wavelength", Text(wave->wavelength.value)},
                  {"width", Text(wave->width.value)},
                  {"outward", Text(wave->outwardFlag.value)}};
        AddCentre(values, *wave);
    } else if (const auto* rotation = dynamic_cast<const DS_RotationFX*>(&fx)) {
        values = {{"aspect", Text(rotation->aspect.value)},
                  {"tilt", Text(rotation->tilt.value)},
                  {"reverse", Text(rotation->reverse.value)}};
        AddCentre(values, *rotation);
    } else if (const auto* bend = dynamic_cast<const DS_BendFX*>(&fx)) {
        values = {{"amplitudeA", Text(bend->amplitudeA.value)},
                  {"amplitudeB", Text(bend->amplitudeB.value)},
                  {"bend", Text(bend->bend.value)},
                  {"kind", Text(bend->kind.value)}};
        AddCentre(values, *bend);
    } else if (const auto* radial = dynamic_cast<const DS_VarrowRadial*>(&fx)) {
        values = {{"amplitude", Text(radial->amplitude.value)}, {"outward", Text(radial->outwardFlag.value)}};
        AddCentre(values, *radial);
    } else if (const auto* vortex = dynamic_cast<const DS_VarrowVortical*>(&fx)) {
        values = {{"ellipseDeform", Text(vortex->ellipseDeform.value)},
                  {"ellipseAngle", Text(vortex->ellipseAngle.value)},
                  {"reverse", Text(vortex->reverse.value)},
                  {"amplitude", Text(vortex->amplitude.value)}};
        AddCentre(values, *vortex);
    } else {
        return false;
    }
    return true;
}

bool AddLineClass(const DS_FX_Constructor& fx, Values& values)
{
    if (const auto* perspective = dynamic_cast<const DS_PerspectiveFX*>(&fx)) {
        values = {{"amplitudeA", Text(perspective->amplitudeA.value)},
                  {"amplitudeB", Text(perspective->amplitudeB.value)},
                  {"depth", Text(perspective->depth.value)},
                  {"kind", Text(perspective->kind.value)}};
        AddLine(values, *perspective);
    } else if (const auto* stretch = dynamic_cast<const DS_StretchFX*>(&fx)) {
        values = {{"kind", Text(stretch->kind.value)},
                  {"amplitudeA", Text(stretch->amplitudeA.value)},
                  {"amplitudeB", Text(stretch->amplitudeB.value)}};
        AddLine(values, *stretch);
    } else {
        return false;
    }
    return true;
}

bool AddDirectionClass(const DS_FX_Constructor& fx, Values& values)
{
    if (const auto* waterfall = dynamic_cast<const DS_WaterfallFX*>(&fx)) {
        values = {{"translucency", Text(waterfall->translucency.value)},
                  {"layerCount", Text(waterfall->layerCount.value)},
                  {"noiseAmplitude", Text(waterfall->noiseAmplitude.value)},
                  {"spare", Text(waterfall->spare.value)},
                  {"threshold", Text(waterfall->threshold.value)},
                  {"noise", JsonLink(waterfall->noiseLink)},
                  {"baseColour", Text(waterfall->baseColour.value)},
                  {"hidden", Text(waterfall->hidden.value)}};
        AddDirection(values, *waterfall);
    } else if (const auto* cloud = dynamic_cast<const DS_CloudFX*>(&fx)) {
        const CloudPerspective& p = cloud->perspective;
        values = {{"colour1", Text(cloud->colour1.value)},
                  {"colour2", Text(cloud->colour2.value)},
                  {"cloud", JsonLink(cloud->cloudLink)},
                  {"second", JsonLink(cloud->secondLink)},
                  {"threshold", Text(cloud->threshold.value)},
                  {"density", Text(cloud->density.value)},
                  {"horizon", Text(p.horizon.value)},
                  {"height", Text(p.height.value)},
                  {"shift", Text(p.shift.value)},
                  {"flip", Text(p.flip.value)},
                  {"spare1", Text(p.spare1.value)},
                  {"spare2", Text(p.spare2.value)}};
        AddDirection(values, *cloud);
    } else if (const auto* linear = dynamic_cast<const DS_VarrowLinear*>(&fx)) {
        AddDirection(values, *linear);
    } else {
        return false;
    }
    return true;
}

} // namespace

bool AddDistortionEffectValues(const DS_FX_Constructor& fx, Values& values)
{
    return AddCentreClass(fx, values) || AddLineClass(fx, values) || AddDirectionClass(fx, values);
}
