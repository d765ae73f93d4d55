#include "tools/scene/SceneJsonReadyMade.h"

#include <string>
#include <vector>

#include "particles/systems/FountainPtclSys.h"
#include "particles/systems/RainOnGlass.h"
#include "particles/systems/RayOfLight.h"
#include "particles/systems/SplashPtclSys.h"
#include "particles/systems/StreamPtclSys.h"
#include "particles/systems/VortexPtclSys.h"
#include "tools/scene/SceneJson.h"

namespace {

std::string Corners(const MediaQuad& quad)
{
    std::string out = "[";
    for (std::size_t i = 0; i < quad.corners.size(); ++i)
        out += (i ? ", " : "") + JsonPoint(quad.corners[i].value);
    return out + "]";
}

std::string Jitter(const KXI_JitterParam& param)
{
    return "[" + std::to_string(param.value) + ", " + std::to_string(param.jitter.value) + "]";
}

// The kept values of a preset's own section, as stored.
std::vector<long long> StoredValues(const KXI_ParticleSystemCtrl& system)
{
    if (const auto* fire = dynamic_cast<const DS_PtclFire*>(&system))
        return {fire->storedInt.value, fire->storedValue0.value, fire->storedValue1.value, fire->storedValue2.value};
    if (const auto* stream = dynamic_cast<const DS_PtclFireStream*>(&system))
        return {stream->storedValue.value};
    if (const auto* smoke = dynamic_cast<const DS_PtclSmoke*>(&system))
        return {smoke->storedValue.value};
    if (const auto* fog = dynamic_cast<const DS_PtclFog*>(&system))
        return {fog->storedValue.value};
    if (const auto* smoke = dynamic_cast<const DS_PtclSmoke3*>(&system))
        return {smoke->storedValue.value};
    if (const auto* bokeh = dynamic_cast<const DS_BokehLights*>(&system))
        return {bokeh->storedValue.value};
    if (const auto* smoke = dynamic_cast<const DS_PtclSmoke2*>(&system))
        return {smoke->storedValue0.value, smoke->storedValue1.value, smoke->storedInt};
    return {};
}

void WriteStored(std::ostringstream& out, const KXI_ParticleSystemCtrl& system)
{
    const std::vector<long long> values = StoredValues(system);
    out << ", \"stored\": [";
    for (std::size_t i = 0; i < values.size(); ++i)
        out << (i ? ", " : "") << values[i];
    out << "]";
}

void WriteBurst(std::ostringstream& out, const KXI_BurstPtclSys& burst)
{
    out << ", \"burst\": {\"emitter\": " << JsonPoint(burst.emitter.position.value)
        << ", \"burstCount\": " << burst.burstCount.value << ", \"speed\": " << burst.launchSpeed.value
        << ", \"range\": " << burst.range.value << ", \"spatial\": " << burst.spatial.value
        << ", \"angle\": " << burst.direction.value << ", \"spread\": " << burst.direction.spread.value
        << ", \"focused\": " << burst.focused.value << ", \"startRadius\": " << burst.startRadius.value;
    if (const auto* fountain = dynamic_cast<const KXI_FontainPtclSys*>(&burst))
        out << ", \"rate\": " << fountain->counter.rate.value;
    if (const auto* smoke = dynamic_cast<const DS_PtclSmoke*>(&burst))
        out << ", \"windSpeed\": " << smoke->windSpeed.value;
    WriteStored(out, burst);
    out << "}";
}

void WriteSplash(std::ostringstream& out, const KXI_SplashPtclSys& splash)
{
    const KXI_SectorImitter& sector = splash.sectorEmitter;
    out << ", \"splash\": {\"emitter\": " << Corners(splash.emitter.area) << ", \"sector\": {\"position\": "
        << JsonPoint(sector.position.value) << ", \"radius\": " << sector.distance.value
        << ", \"angle\": " << sector.direction.value << ", \"spread\": " << sector.direction.spread.value
        << "}, \"useSector\": " << splash.useSector.value << ", \"burstCount\": " << splash.burstCount.value
        << ", \"life\": " << splash.life.value << ", \"angle\": " << splash.direction.value
        << ", \"spread\": " << splash.direction.spread.value << ", \"speed\": " << splash.launchSpeed.value;
    if (const auto* spray = dynamic_cast<const KXI_SprayPtclSys*>(&splash))
        out << ", \"rate\": " << spray->counter.rate.value;
    WriteStored(out, splash);
    out << "}";
}

void WriteStream(std::ostringstream& out, const DS_StreamPtclSys& stream)
{
    out << ", \"stream\": {\"emitterQuad\": " << Corners(stream.emitterQuad)
        << ", \"rate\": " << stream.counter.rate.value << ", \"life\": " << stream.life.value
        << ", \"speed\": " << stream.launchSpeed.value << ", \"jitter\": " << stream.launchSpeed.jitter.value
        << ", \"targetSpread\": " << stream.targetSpread.value;
    WriteStored(out, stream);
    out << "}";
}

void WriteVortex(std::ostringstream& out, const KXI_VortexPtclSys& vortex)
{
    out << ", \"vortex\": {\"emitter\": " << JsonPoint(vortex.emitter.position.value)
        << ", \"rate\": " << vortex.counter.rate.value << ", \"speed\": " << vortex.launchSpeed.value
        << ", \"swirl\": " << vortex.swirl.value << ", \"swirlReversed\": " << vortex.swirlReversed.value
        << ", \"angle\": " << vortex.direction.value << ", \"spread\": " << vortex.direction.spread.value
        << ", \"armCount\": " << vortex.armCount.value << ", \"armSpin\": " << vortex.armSpin.value
        << ", \"armSpinReversed\": " << vortex.armSpinReversed.value << ", \"range\": " << vortex.range.value
        << "}";
}

void WriteRain(std::ostringstream& out, const DS_RainOnGlass& rain)
{
    out << ", \"rain\": {\"emitter\": " << Corners(rain.emitter.geometry.area)
        << ", \"rate\": " << rain.emitter.counter.rate.value << ", \"slideForce\": " << rain.slideForce.value
        << ", \"direction\": " << rain.direction.value << "}";
}

void WriteRays(std::ostringstream& out, const DS_RayOfLight& rays)
{
    out << ", \"rays\": {\"rayArea\": " << Corners(rays.rayArea) << ", \"rayCount\": " << rays.rayCount.value
        << ", \"rayLife\": " << Jitter(rays.rayLife) << ", \"rayWidth\": " << Jitter(rays.rayWidth)
        << ", \"rayDrift\": " << Jitter(rays.rayDrift) << ", \"spreadFactor\": " << rays.spreadFactor.value
        << ", \"fadeInLength\": " << rays.fadeInLength.value << ", \"fadeOutLength\": " << rays.fadeOutLength.value
        << ", \"edgeFade\": " << rays.edgeFade.value << ", \"storedFlag\": " << rays.storedFlag.value << "}";
}

} // namespace

void WriteReadyMadeFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system)
{
    if (const auto* burst = dynamic_cast<const KXI_BurstPtclSys*>(&system))
        WriteBurst(out, *burst);
    else if (const auto* splash = dynamic_cast<const KXI_SplashPtclSys*>(&system))
        WriteSplash(out, *splash);
    else if (const auto* stream = dynamic_cast<const DS_StreamPtclSys*>(&system))
        WriteStream(out, *stream);
    else if (const auto* vortex = dynamic_cast<const KXI_VortexPtclSys*>(&system))
        WriteVortex(out, *vortex);
    else if (const auto* rain = dynamic_cast<const DS_RainOnGlass*>(&system))
        WriteRain(out, *rain);
    else if (const auto* rays = dynamic_cast<const DS_RayOfLight*>(&system))
        WriteRays(out, *rays);
}
