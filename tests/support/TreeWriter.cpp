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

// ---- leaves, trace leaves and roots ----------------------------------------------

namespace {

void WriteNodeSection(DocumentWriter& w, const std::u16string& name, const WriteItem& writeGeometry,
                      const std::vector<WriteItem>& children)
{
    Section(w, u"KXI_PSTree_Node").WideString(name);
    writeGeometry(w);
    w.Count(children.size());
    for (const WriteItem& child : children)
        child(w);
}

void WriteLeafFields(DocumentWriter& w, const StoredLeaf& leaf)
{
    description_writer::WriteLink(w, leaf.effect);
    w.WideString(leaf.setName).Count(leaf.pictures.size());
    for (const description_writer::StoredLink& picture : leaf.pictures)
        description_writer::WriteLink(w, picture);
    w.Dword(2).Dword(leaf.columns).Dword(leaf.rows);
    description_writer::WriteLink(w, leaf.source);
    w.Dword(leaf.speed).Int(leaf.reverse).Int(leaf.flipV).Int(leaf.flipU).Dword(leaf.size);
    w.Int(1).Count(leaf.colours.size());
    for (const std::uint32_t colour : leaf.colours)
        w.Dword(colour);
    w.Int(leaf.colourMode).Int(leaf.randomPick).Dword(leaf.transparency);
    w.Int(leaf.blend).Int(leaf.glowMode).Dword(leaf.glowStrength).Int(leaf.glowColour).Dword(leaf.glowBrightness);
    w.Int(leaf.glowPasses);
}

} // namespace

void WritePointGeometry(DocumentWriter& w, const StoredGeometry& geometry)
{
    Section(w, u"KXI_PSGeometry_Point");
    WriteGeometrySection(w, geometry);
}

void WriteSwarmGeometry(DocumentWriter& w, const StoredSwarm& s)
{
    Section(w, u"KXI_PSGeometry_Swarm").Dword(s.count).Dword(s.wanderSpeed).Dword(s.changeRate).Dword(s.changeTime);
    w.Dword(s.width).Dword(s.height);
    WriteGeometrySection(w, s.geometry);
}

void WriteLeaf(DocumentWriter& w, const StoredLeaf& leaf, const std::u16string& name, const WriteItem& writeGeometry,
               const std::vector<WriteItem>& children)
{
    Section(w, u"KXI_PSTree_Leaf");
    WriteLeafFields(w, leaf);
    WriteNodeSection(w, name, writeGeometry, children);
}

void WriteTrace(DocumentWriter& w, const StoredTrace& trace, const std::u16string& name,
                const WriteItem& writeGeometry)
{
    Section(w, u"KXI_PSTree_Trace").Float(trace.lifetime);
    WriteEnvelope(w, trace.sizeEnvelope);
    WriteEnvelope(w, trace.opacityEnvelope);
    WriteLeaf(w, trace.leaf, name, writeGeometry);
}

void WriteRoot(DocumentWriter& w, const StoredRoot& root, const std::vector<WriteItem>& children)
{
    Section(w, u"KXI_PSTree_Root");
    description_writer::WriteLink(w, root.effect);
    w.Float(root.offset[0]).Float(root.offset[1]).Float(root.offset[2]).Int(root.storedInteger);
    w.Count(children.size());
    for (const WriteItem& child : children)
        child(w);
    description_writer::WriteConstructor(w, root.base);
}

} // namespace tree_writer
