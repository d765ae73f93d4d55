#include "tests/support/ParticleWriter.h"

namespace particle_writer {

using description_writer::WriteLink;

namespace {

DocumentWriter& WriteOscillation(DocumentWriter& w, const StoredOscillation& o)
{
    return w.Dword(o.amplitude).Dword(o.frequency).Int(o.kind);
}

DocumentWriter& WritePictures(DocumentWriter& w, const std::vector<StoredLink>& pictures)
{
    w.Count(pictures.size());
    for (const StoredLink& link : pictures)
        WriteLink(w, link);
    return w;
}

DocumentWriter& WriteTextureSet(DocumentWriter& w, const BlockFields& b)
{
    w.WideString(b.setName);
    WritePictures(w, b.pictures);
    w.Dword(2).Dword(b.columns).Dword(b.rows);
    return WriteLink(w, b.source);
}

DocumentWriter& WriteColours(DocumentWriter& w, const BlockFields& b)
{
    w.Int(1).Count(b.colours.size());
    for (const std::uint32_t colour : b.colours)
        w.Dword(colour);
    return w.Int(b.colourMode).Int(b.randomPick).Dword(b.transparency);
}

std::int32_t FirstColour(const BlockFields& b)
{
    return b.colours.empty() ? 0 : static_cast<std::int32_t>(b.colours.front());
}

DocumentWriter& WriteLegacyBlock(DocumentWriter& w, const ControllerFields& c)
{
    const BlockFields& b = c.block;
    WritePictures(w, b.pictures);
    if (c.version <= 2) {
        w.Int(c.shapeIndex);
    } else if (c.shapeIndex < 0) {
        w.Int(0);
    } else {
        w.Int(1).Int(c.shapeIndex);
    }
    WriteLink(w, b.effect);
    w.Dword(b.textureClock).Dword(b.particleSize).Int(FirstColour(b)).Dword(b.transparency);
    if (c.version >= 2)
        w.Int(b.animationDirection).Int(b.flipVertical).Int(b.flipHorizontal);
    return w;
}

} // namespace

DocumentWriter& WriteBlock(DocumentWriter& w, const BlockFields& b)
{
    const std::int32_t v = b.version;
    if (v >= 7)
        WriteTextureSet(w, b);
    else
        WritePictures(w, b.pictures);
    WriteLink(w, b.effect);
    w.Dword(b.textureClock).Int(b.animationDirection).Int(b.flipVertical).Int(b.flipHorizontal).Dword(b.particleSize);
    if (v >= 11)
        WriteColours(w, b);
    else
        w.Int(FirstColour(b)).Dword(b.transparency);
    if (v >= 2) {
        w.Dword(b.sizeEnvelope[0]).Dword(b.sizeEnvelope[1]).Dword(b.opacityEnvelope[0]).Dword(b.opacityEnvelope[1]);
        w.Dword(b.sizeJitter).Dword(b.opacityJitter);
        w.Int(b.spinDirection).Dword(b.spinClock).Dword(b.spinJitter).Int(b.blendMode);
    }
    if (v >= 3) {
        w.Dword(b.sizeEnvelope[2]).Dword(b.sizeEnvelope[3]);
        w.Dword(b.opacityEnvelope[2]).Dword(b.opacityEnvelope[2]); // the start opacity, twice
    }
    if (v >= 4)
        w.Int(b.rotationMode).Dword(b.startAngle).Dword(b.startAngleSpread);
    if (v >= 5)
        w.Int(b.glowMode).Dword(b.glowStrength).Int(b.glowColour).Dword(b.glowBrightness).Int(b.glowPasses);
    if (v >= 6)
        WriteLink(w, b.glowEffect);
    if (v >= 8) {
        WriteOscillation(w, b.opacityOscillation);
        WriteOscillation(w, b.sizeOscillation);
    }
    if (v >= 9)
        w.Int(b.flags).Int(b.gravityDirection).Dword(b.gravity).Dword(b.airResistance);
    if (v >= 10) {
        WriteOscillation(w, b.vibrationAlong);
        WriteOscillation(w, b.vibrationAcross);
    }
    return w;
}

DocumentWriter& WriteController(DocumentWriter& w, const ControllerFields& c)
{
    w.Section(u"KXI_ParticleSystemCtrl", c.version);
    if (c.version >= 5) {
        w.Int(c.block.version).WideString(c.block.textureName);
        WriteBlock(w, c.block);
    } else {
        WriteLegacyBlock(w, c);
    }
    if (c.version >= 4)
        w.Dword(c.speed);
    return description_writer::WriteConstructor(w, c.base);
}

DocumentWriter& WriteFieldSystem(DocumentWriter& w, const FieldFields& f)
{
    w.Section(u"KXI_FieldPtclSys", 1).Dword(f.lifetime).Dword(f.density).Count(f.positions.size());
    for (const auto& p : f.positions)
        w.Float(p[0]).Float(p[1]).Float(p[2]);
    w.Dword(f.angle).Dword(f.spread).Dword(f.speed);
    return WriteController(w, f.controller);
}

} // namespace particle_writer
