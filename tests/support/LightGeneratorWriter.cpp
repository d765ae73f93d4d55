#include "tests/support/LightGeneratorWriter.h"

namespace generator_writer {

namespace {

DocumentWriter& WritePoint(DocumentWriter& w, const Point& p)
{
    return w.Float(p[0]).Float(p[1]).Float(p[2]);
}

DocumentWriter& WriteQuad(DocumentWriter& w, const StoredQuad& quad)
{
    for (const Point& corner : quad)
        WritePoint(w, corner);
    return w;
}

} // namespace

StoredQuad RectangleQuad(float x, float y, float width, float height)
{
    const float hw = width / 2.0f;
    const float hh = height / 2.0f;
    return {{{x - hw, y - hh, 0.0f}, {x - hw, y + hh, 0.0f}, {x + hw, y - hh, 0.0f}, {x + hw, y + hh, 0.0f}}};
}

DocumentWriter& WriteRegionGenerator(DocumentWriter& w, const RegionGeneratorFields& f)
{
    w.Section(u"DS_ParticleRctRgnGenerator", f.version);
    WriteQuad(w, f.region);
    return WriteTexGenerator(w, f.textured);
}

DocumentWriter& WriteFallingStars(DocumentWriter& w, const FallingStarsFields& f)
{
    w.Section(u"DS_FallingStars", f.version);
    w.Dword(f.starSpeed).Dword(f.starRate).Dword(f.direction).Dword(f.starSize).Dword(f.glowFactor);
    w.Dword(f.holdTime).Dword(f.fadeInTime).Dword(f.fadeOutTime);
    WriteQuad(w, f.region);
    return WriteTexGenerator(w, f.textured);
}

DocumentWriter& WriteOriginGenerator(DocumentWriter& w, const OriginGeneratorFields& f)
{
    w.Section(u"DS_ParticleOriginGenerator", f.version);
    w.Dword(f.launchLifetime).Dword(f.launchRate).Dword(f.launchSize).Dword(f.direction);
    if (f.version > 1)
        w.Dword(f.spread);
    w.Dword(f.originSpeed);
    return WriteStaticGenerator(w, f.base);
}

DocumentWriter& WriteFireworkSimple(DocumentWriter& w, const FireworkFields& f)
{
    w.Section(u"DS_FireworkSimple", f.version);
    w.Dword(f.rocketCount).Dword(f.quadSize).Dword(f.rocketSpeed).Dword(f.glowFactor);
    return WriteOriginGenerator(w, f.origin);
}

DocumentWriter& WriteStringGenerator(DocumentWriter& w, const StringGeneratorFields& f)
{
    w.Section(u"DS_StringGenerator", f.version);
    WritePoint(w, f.start);
    WritePoint(w, f.end);
    return WriteTexGenerator(w, f.textured);
}

DocumentWriter& WriteLightning(DocumentWriter& w, const LightningFields& f)
{
    w.Section(u"DS_LightningGN", f.version);
    w.Dword(f.coreWidth).Dword(f.passes).Dword(f.jaggedness).Dword(f.seed).Dword(f.branchLength);
    w.Dword(f.branchAngle).Dword(f.endWidth).Dword(f.branches).Dword(f.subBranches).Dword(f.twigs);
    if (f.version < 2)
        for (std::uint32_t value : f.legacyTiming)
            w.Dword(value);
    w.Dword(f.flicker).Dword(f.glowWidth).Long(f.randomFlag);
    return WriteStringGenerator(w, f.string);
}

DocumentWriter& WriteSmoke(DocumentWriter& w, const SmokeFields& f)
{
    w.Section(u"DS_Smoke", f.version);
    w.Dword(f.drift);
    return WriteOriginGenerator(w, f.origin);
}

} // namespace generator_writer
