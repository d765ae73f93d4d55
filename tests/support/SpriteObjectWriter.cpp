#include "tests/support/SpriteObjectWriter.h"

namespace sprite_object_writer {

using description_writer::WriteSprite;

DocumentWriter& WriteBound(DocumentWriter& w, const BoundFields& f)
{
    w.Section(u"DS_BoundControl", f.version);
    return w.Long(f.mode).Dword(f.fadeOut).Dword(f.fadeIn).Dword(f.minDelay).Dword(f.maxDelay);
}

DocumentWriter& WriteFlow(DocumentWriter& w, const FlowFields& f)
{
    w.Section(u"DS_FlowConstructor", f.version);
    w.Dword(f.direction).Dword(f.wobble).Dword(f.changeRate).Float(f.speed);
    if (f.version >= 2)
        w.Long(f.orientation);
    if (f.version >= 4)
        for (const BoundFields& bound : f.bounds)
            WriteBound(w, bound);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteRain(DocumentWriter& w, const RainFields& f)
{
    w.Section(u"DS_RainConstructor", f.version);
    return WriteFlow(w, f.flow);
}

DocumentWriter& WriteFish(DocumentWriter& w, const FishFields& f)
{
    w.Section(u"DS_FishConstructor", f.version);
    w.Float(f.maxSpeedX).Float(f.maxSpeedY);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteBird(DocumentWriter& w, const FishKindFields& f)
{
    w.Section(u"DS_BirdConstructor", f.version);
    return WriteFish(w, f.fish);
}

DocumentWriter& WriteGhost(DocumentWriter& w, const FishKindFields& f)
{
    w.Section(u"DS_GhostConstructor", f.version);
    return WriteFish(w, f.fish);
}

DocumentWriter& WriteGodRay(DocumentWriter& w, const GodRayFields& f)
{
    w.Section(u"DS_GodRayConstructor", f.version).Dword(f.angle);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteSparkle(DocumentWriter& w, const SparkleFields& f)
{
    w.Section(u"DS_SparkleConstructor", f.version);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteFog(DocumentWriter& w, const FogFields& f)
{
    w.Section(u"DS_FogConstructor", f.version).Float(f.maxSpeedX).Float(f.maxSpeedY);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteLighting(DocumentWriter& w, const LightingFields& f)
{
    w.Section(u"DS_LightingConstructor", f.version);
    if (f.version >= 2)
        w.Dword(f.minInterval).Dword(f.maxInterval);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteGrass(DocumentWriter& w, const GrassFields& f)
{
    w.Section(u"DS_GrassConstructor", f.version).Float(f.amplitude);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteStatObj(DocumentWriter& w, const StatObjFields& f)
{
    w.Section(u"DS_StatObjConstructor", f.version);
    for (std::int32_t value : f.bounds)
        w.Long(value);
    w.Dword(f.angle);
    if (f.version == 1)
        w.Long(f.flipV).Long(f.flipU);
    return WriteSprite(w, f.sprite);
}

DocumentWriter& WriteFlower(DocumentWriter& w, const FlowerFields& f)
{
    w.Section(u"DS_FlowerConstructor", f.version).Float(f.amplitude);
    return WriteStatObj(w, f.stat);
}

DocumentWriter& WriteDischarge(DocumentWriter& w, const DischargeFields& f)
{
    w.Section(u"DS_DischargeConstructor", f.version);
    return WriteStatObj(w, f.stat);
}

} // namespace sprite_object_writer
