#include "tests/support/GeneratorWriter.h"

namespace generator_writer {

namespace {

std::int32_t StoredCount(std::optional<std::int32_t> given, std::size_t actual)
{
    return given.value_or(static_cast<std::int32_t>(actual));
}

} // namespace

DocumentWriter& WriteGenerator(DocumentWriter& w, const GeneratorFields& fields)
{
    w.Section(u"DS_ParticleGenerator", fields.version);
    if (fields.version > 1) {
        w.Int(StoredCount(fields.emitterCount, fields.emitters.size()));
        for (const auto& emitter : fields.emitters)
            w.Float(emitter[0]).Float(emitter[1]).Float(emitter[2]);
    }
    if (fields.version > 2)
        w.Dword(fields.lifetime).Dword(fields.rate).Dword(fields.size).Dword(fields.speed).Long(fields.emissionSwitch);
    return description_writer::WriteConstructor(w, fields.base);
}

DocumentWriter& WriteTexGenerator(DocumentWriter& w, const TexGeneratorFields& fields)
{
    w.Section(u"DS_TexParticleGenerator", fields.version);
    w.Int(StoredCount(fields.textureCount, fields.textures.size()));
    for (const auto& link : fields.textures)
        description_writer::WriteLink(w, link);
    description_writer::WriteLink(w, fields.effect);
    w.Long(fields.colour).Dword(fields.opacity).Long(fields.colour2).Dword(fields.opacity2).Long(fields.blendMode);
    if (fields.version >= 2)
        w.Long(fields.mirrorV).Long(fields.mirrorH);
    if (fields.version >= 3)
        w.Long(fields.textureSets);
    return WriteGenerator(w, fields.generator);
}

DocumentWriter& WriteStaticGenerator(DocumentWriter& w, const StaticGeneratorFields& fields)
{
    w.Section(u"DS_StaticGenerator", fields.version);
    w.Float(fields.position[0]).Float(fields.position[1]).Float(fields.position[2]);
    return WriteTexGenerator(w, fields.textured);
}

DocumentWriter& WriteRadialRays(DocumentWriter& w, const RadialRaysFields& f)
{
    w.Section(u"DS_RadialRays", f.version);
    w.Dword(f.length).Dword(f.width).Dword(f.count).Long(f.textureIndex).Long(f.random).Dword(f.seed);
    w.Dword(f.variation).Dword(f.rotationSpeed).Long(f.rotationMode).Dword(f.timingFloor).Dword(f.swingAmplitude);
    return WriteStaticGenerator(w, f.base);
}

RadialRaysFields LightBeamsFields()
{
    RadialRaysFields rays;
    rays.length = 484;
    rays.width = 39;
    rays.count = 15;
    rays.textureIndex = 0;
    rays.random = 1;
    rays.seed = 0;
    rays.variation = 12;
    rays.rotationSpeed = 4;
    rays.rotationMode = 0;
    rays.timingFloor = 25;
    rays.swingAmplitude = 50;
    rays.base.position = {869.56f, 9.31f, 0.0f};
    TexGeneratorFields& textured = rays.base.textured;
    textured.textures = {{u"common_res.dll", 123}, {u"common_res.dll", 124}};
    textured.effect = {u"common_res.dll", 97};
    textured.colour = textured.colour2 = 0xFFFFFF;
    textured.opacity = textured.opacity2 = 0;
    textured.blendMode = 0;
    // The class ignores its mirror words; documents hold a fill pattern there.
    textured.mirrorV = textured.mirrorH = static_cast<std::int32_t>(0xCDCDCDCDu);
    textured.textureSets = 0;
    textured.generator.lifetime = 20;
    textured.generator.rate = 30;
    description_writer::ConstructorFields& base = textured.generator.base;
    base.name = u"Light Beams";
    base.timing.selector = 1;
    base.timing.clockMode = 0;
    base.timing.kind = description_writer::TimelineKind::Random;
    base.timing.offMin = base.timing.offMax = 0;
    base.timing.onMin = base.timing.onMax = 50;
    base.timing.fadeIn = base.timing.fadeOut = 50;
    return rays;
}

} // namespace generator_writer
