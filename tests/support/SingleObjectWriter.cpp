#include "tests/support/SingleObjectWriter.h"

namespace particle_writer {

namespace {

DocumentWriter& WritePoint(DocumentWriter& w, const StoredPoint& point)
{
    return w.Float(point[0]).Float(point[1]).Float(point[2]);
}

} // namespace

std::array<StoredPoint, 4> RectangleCorners(float width, float height, float x, float y)
{
    const float left = x - width / 2.0f, right = x + width / 2.0f;
    const float top = y - height / 2.0f, bottom = y + height / 2.0f;
    return {{{left, top, 0.0f}, {left, bottom, 0.0f}, {right, top, 0.0f}, {right, bottom, 0.0f}}};
}

DocumentWriter& WriteSingleParticleSection(DocumentWriter& w, const SingleParticleFields& f)
{
    w.Section(u"KXI_SingleParticle", f.version);
    for (const StoredPoint& corner : f.corners)
        WritePoint(w, corner);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteStaticObject(DocumentWriter& w, const StaticObjectFields& f)
{
    w.Section(u"KXI_StaticObject", f.version).Dword(f.turnSpeed).Int(f.reverse);
    return WriteSingleParticleSection(w, f.single);
}

DocumentWriter& WriteParticlePathSection(DocumentWriter& w, const ParticlePathFields& f)
{
    w.Section(u"KXI_ParticlePathCtrl", f.version).Count(f.points.size());
    for (const StoredPoint& point : f.points)
        WritePoint(w, point);
    return WriteController(w, f.controller);
}

DocumentWriter& WriteObjectPath(DocumentWriter& w, const ObjectPathFields& f)
{
    w.Section(u"KXI_SigleObjectPath", f.version).Dword(f.speed).Int(f.orientation);
    return WriteParticlePathSection(w, f.path);
}

} // namespace particle_writer
