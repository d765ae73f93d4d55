#include "tests/support/WanderWriter.h"

namespace wander_writer {

std::array<std::array<float, 3>, 4> BoxCorners(float left, float top, float right, float bottom)
{
    return {{{left, top, 0.0f}, {left, bottom, 0.0f}, {right, top, 0.0f}, {right, bottom, 0.0f}}};
}

DocumentWriter& WriteTracer(DocumentWriter& w, const TracerFields& t)
{
    w.Int(t.version);
    if (t.version >= 2) {
        w.Int(t.block.version).WideString(t.block.textureName);
        particle_writer::WriteBlock(w, t.block);
    }
    w.Dword(t.rate).Dword(t.lifetime);
    if (t.version <= 1)
        w.Dword(t.particleSize);
    w.Dword(t.spread).Dword(t.velocityFactor);
    if (t.version <= 3)
        w.Int(t.unused);
    return w;
}

DocumentWriter& WriteBrownAnimation(DocumentWriter& w, const BrownFields& b)
{
    w.Section(u"KXI_BrownAnimation", b.version);
    w.Dword(b.count).Dword(b.driftScale).Dword(b.changeRate).Dword(b.turnTime);
    for (const auto& corner : b.area)
        w.Float(corner[0]).Float(corner[1]).Float(corner[2]);
    return particle_writer::WriteController(w, b.controller);
}

DocumentWriter& WriteFirefly(DocumentWriter& w, const FireflyFields& f)
{
    w.Section(u"KXI_Firefly", f.version);
    WriteTracer(w, f.trail);
    return WriteBrownAnimation(w, f.brown);
}

} // namespace wander_writer
