#include "tools/scene/SceneJsonGenerators.h"

#include <string>

#include "particles/generators/RadialRays.h"
#include "platform/crt/WideString.h"
#include "tools/scene/SceneJson.h"
#include "tools/scene/SceneJsonLightGenerators.h"
#include "tools/scene/SceneJsonPaintedGenerators.h"

namespace {

void WriteBase(std::ostringstream& out, const DS_ParticleGenerator& generator)
{
    out << ", \"generator\": {\"emitters\": [";
    bool first = true;
    for (const GenParticle& emitter : generator.emitters) {
        out << (first ? "" : ", ");
        out << JsonPoint(emitter.position);
        first = false;
    }
    out << "], \"lifetime\": " << generator.lifetime.value << ", \"rate\": " << generator.emissionRate.value
        << ", \"size\": " << generator.particleSize.value << ", \"speed\": " << generator.particleSpeed.value
        << ", \"switch\": " << generator.emissionSwitch.value;
    if (const auto* textured = dynamic_cast<const DS_TexParticleGenerator*>(&generator)) {
        out << ", \"textures\": [";
        for (std::size_t i = 0; i < textured->textureLinks.size(); ++i) {
            out << (i ? ", " : "");
            out << JsonLink(textured->textureLinks[i]);
        }
        out << "], \"effect\": ";
        out << JsonLink(textured->effectLink);
        out << ", \"colour\": " << textured->colour.colour.value << ", \"opacity\": " << textured->colour.opacity.value
            << ", \"colour2\": " << textured->colour2.colour.value
            << ", \"opacity2\": " << textured->colour2.opacity.value << ", \"blend_mode\": " << textured->blendMode.value
            << ", \"mirror_v\": " << textured->mirrorV.value << ", \"mirror_h\": " << textured->mirrorH.value
            << ", \"texture_sets\": " << textured->textureSets;
    }
    out << "}";
}

void WriteRadialRaysParams(std::ostringstream& out, const DS_RadialRays& rays)
{
    out << ", \"params\": {\"length\": " << rays.length.value << ", \"width\": " << rays.width.value
        << ", \"count\": " << rays.count.value << ", \"texture_index\": " << rays.textureIndex.value
        << ", \"random\": " << rays.random.value << ", \"seed\": " << rays.seed.value
        << ", \"variation\": " << rays.variation.value << ", \"rotation_speed\": " << rays.rotationSpeed.value
        << ", \"rotation_mode\": " << rays.rotationMode.value << ", \"timing_floor\": " << rays.timingFloor.value
        << ", \"swing_amplitude\": " << rays.swingAmplitude.value << ", \"position\": ";
    out << JsonPoint(rays.position.value);
    out << "}";
}

} // namespace

void WriteGeneratorFields(std::ostringstream& out, const DS_IOF_Item& item)
{
    const auto* generator = dynamic_cast<const DS_ParticleGenerator*>(&item);
    if (!generator)
        return;
    WriteBase(out, *generator);
    if (const auto* rays = dynamic_cast<const DS_RadialRays*>(&item))
        WriteRadialRaysParams(out, *rays);
    else if (!WriteLightGeneratorParams(out, item) && !WritePaintedGeneratorParams(out, item))
        out << ", \"params\": {}";
}
