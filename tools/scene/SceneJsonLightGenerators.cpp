#include "tools/scene/SceneJsonLightGenerators.h"

#include "particles/generators/FallingStars.h"
#include "particles/generators/Firework.h"
#include "particles/generators/Lightning.h"
#include "particles/generators/Smoke.h"
#include "tools/scene/SceneJson.h"

namespace {

void WriteOriginFields(std::ostringstream& out, const DS_ParticleOriginGenerator& origin)
{
    out << ", \"launch_lifetime\": " << origin.launchLifetime.value << ", \"launch_rate\": " << origin.launchRate.value
        << ", \"launch_size\": " << origin.launchSize.value << ", \"direction\": " << origin.direction.value
        << ", \"spread\": " << origin.direction.spread.value << ", \"origin_speed\": " << origin.originSpeed.value
        << ", \"position\": " << JsonPoint(origin.position.value);
}

void WriteStars(std::ostringstream& out, const DS_FallingStars& stars)
{
    out << ", \"params\": {\"star_speed\": " << stars.starSpeed.value << ", \"star_rate\": " << stars.starRate.value
        << ", \"direction\": " << stars.direction.value << ", \"star_size\": " << stars.starSize.value
        << ", \"glow_factor\": " << stars.glowFactor.value << ", \"hold_time\": " << stars.holdTime.value
        << ", \"fade_in_time\": " << stars.fadeInTime.value << ", \"fade_out_time\": " << stars.fadeOutTime.value
        << ", \"region\": [";
    for (std::size_t i = 0; i < stars.region.corners.size(); ++i)
        out << (i ? ", " : "") << JsonPoint(stars.region.corners[i].value);
    out << "]}";
}

void WriteFirework(std::ostringstream& out, const DS_Firework& firework)
{
    out << ", \"params\": {\"rocket_count\": " << firework.rocketCount.value
        << ", \"quad_size\": " << firework.quadSize.value << ", \"rocket_speed\": " << firework.rocketSpeed.value
        << ", \"glow_factor\": " << firework.glowFactor.value;
    WriteOriginFields(out, firework);
    out << "}";
}

void WriteLightning(std::ostringstream& out, const DS_LightningGN& bolt)
{
    out << ", \"params\": {\"core_width\": " << bolt.coreWidth.value << ", \"passes\": " << bolt.passes.value
        << ", \"jaggedness\": " << bolt.jaggedness.value << ", \"seed\": " << bolt.seed.value
        << ", \"branch_length\": " << bolt.branchLength.value << ", \"branch_angle\": " << bolt.branchAngle.value
        << ", \"end_width\": " << bolt.endWidth.value << ", \"branches\": " << bolt.branches.value
        << ", \"sub_branches\": " << bolt.subBranches.value << ", \"twigs\": " << bolt.twigs.value
        << ", \"flicker\": " << bolt.flicker.value << ", \"glow_width\": " << bolt.glowWidth.value
        << ", \"random\": " << bolt.randomFlag.value << ", \"start\": " << JsonPoint(bolt.startPoint.value)
        << ", \"end\": " << JsonPoint(bolt.endPoint.value) << "}";
}

void WriteSmoke(std::ostringstream& out, const DS_Smoke& smoke)
{
    out << ", \"params\": {\"drift\": " << smoke.drift.value;
    WriteOriginFields(out, smoke);
    out << "}";
}

} // namespace

bool WriteLightGeneratorParams(std::ostringstream& out, const DS_IOF_Item& item)
{
    if (const auto* stars = dynamic_cast<const DS_FallingStars*>(&item))
        WriteStars(out, *stars);
    else if (const auto* firework = dynamic_cast<const DS_Firework*>(&item))
        WriteFirework(out, *firework);
    else if (const auto* bolt = dynamic_cast<const DS_LightningGN*>(&item))
        WriteLightning(out, *bolt);
    else if (const auto* smoke = dynamic_cast<const DS_Smoke*>(&item))
        WriteSmoke(out, *smoke);
    else
        return false;
    return true;
}
