#include "tests/support/ParticleSystemWriter.h"

namespace particle_writer {

using namespace description_writer;

DocumentWriter& WriteFXSection(DocumentWriter& w, const FXFields& f)
{
    w.Section(u"DS_FXParticleSystemCtrl", f.version);
    WriteLink(w, f.effect);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteBaseFXSection(DocumentWriter& w, const BaseFXFields& f)
{
    w.Section(u"DS_BaseFXCtrl", f.version);
    return WriteFXSection(w, f.fx);
}

DocumentWriter& WriteStatBaseFXSection(DocumentWriter& w, const StatBaseFXFields& f)
{
    w.Section(u"DS_StatBaseFXCtrl", f.version);
    for (float value : f.centre)
        w.Float(value);
    if (f.version >= 2)
        w.Dword(f.height).Dword(f.width);
    return WriteBaseFXSection(w, f.base);
}

DocumentWriter& WriteGlowSection(DocumentWriter& w, const GlowFields& f)
{
    w.Section(u"DS_GlowEffectCtrl", f.version);
    w.Long(f.glowColour).Dword(f.brightness);
    return WriteFXSection(w, f.fx);
}

DocumentWriter& WriteExplosion(DocumentWriter& w, const ExplosionFields& f)
{
    w.Section(u"DS_ExplosionConstructor", f.version);
    w.Dword(f.noise1).Dword(f.noise2).Dword(f.noise3).Dword(f.direction).Dword(f.speed);
    if (f.version == 1)
        for (std::uint32_t value : f.legacyTiming)
            w.Dword(value);
    w.Dword(f.seed).Long(f.randomOffsets).Long(f.secondColour);
    return WriteStatBaseFXSection(w, f.stat);
}

} // namespace particle_writer
