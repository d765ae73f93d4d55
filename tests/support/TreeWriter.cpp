#include "tests/support/TreeWriter.h"

namespace tree_writer {

namespace {
constexpr std::int32_t kVersion = 1;

DocumentWriter& Section(DocumentWriter& w, std::u16string_view className)
{
    return w.WideString(className).Int(kVersion);
}

void WriteOscillation(DocumentWriter& w, const particle_writer::StoredOscillation& o)
{
    w.Dword(o.amplitude).Dword(o.frequency).Int(o.kind);
}

void WriteEnvelope(DocumentWriter& w, const std::uint32_t (&percents)[7])
{
    w.Int(1);
    for (std::uint32_t p : percents)
        w.Dword(p);
}
} // namespace

void WriteForces(DocumentWriter& w, const StoredForces& forces)
{
    w.Int(kVersion).Int(forces.gravityMode).Dword(forces.gravity).Dword(forces.airResistance);
}

void WriteSpin(DocumentWriter& w, const StoredSpin& spin)
{
    w.Int(kVersion).Int(spin.directionMode).Dword(spin.speed).Dword(spin.speedJitter).Int(spin.rotationMode);
    w.Dword(spin.startAngle).Dword(spin.startAngleJitter);
}

void WriteGeometrySection(DocumentWriter& w, const StoredGeometry& g)
{
    Section(w, u"KXI_PtclSys_Geometry").WideString(g.name);
    w.Float(g.offset[0]).Float(g.offset[1]).Float(g.offset[2]);
    WriteOscillation(w, g.sizeOscillation);
    WriteOscillation(w, g.opacityOscillation);
    w.Dword(g.sizeJitter[0]).Dword(g.sizeJitter[1]).Dword(g.opacityJitter[0]).Dword(g.opacityJitter[1]);
    WriteEnvelope(w, g.sizeEnvelope);
    WriteEnvelope(w, g.opacityEnvelope);
    WriteOscillation(w, g.vibrationAlong);
    WriteOscillation(w, g.vibrationAcross);
    WriteSpin(w, g.spin);
}

void WriteEmitterSection(DocumentWriter& w, const StoredEmitter& e)
{
    Section(w, u"KXI_PSGeometry_Emitter").Float(e.lifetime).Dword(e.count).Float(e.period).Float(e.pause);
    w.Float(e.delay).Dword(e.speed[0]).Dword(e.speed[1]).Int(e.attached);
    WriteGeometrySection(w, e.geometry);
}

void WritePointShape(DocumentWriter& w, const StoredPointShape& s)
{
    Section(w, u"KXI_PSGeomEmit_Point").Dword(s.launchCentre).Dword(s.launchSpread).Dword(s.distance).Int(s.cone);
    WriteForces(w, s.forces);
    WriteEmitterSection(w, s.emitter);
}

void WriteStem(DocumentWriter& w, const std::u16string& name, const std::function<void(DocumentWriter&)>& writeGeometry,
               const std::vector<std::function<void(DocumentWriter&)>>& children)
{
    Section(w, u"KXI_PSTree_Stem");
    Section(w, u"KXI_PSTree_Node").WideString(name);
    writeGeometry(w);
    w.Int(static_cast<std::int32_t>(children.size()));
    for (const auto& child : children)
        child(w);
}

} // namespace tree_writer
