#include "tools/scene/SceneJsonSingleObjects.h"

#include "particles/engine/ObjectPath.h"
#include "particles/engine/SingleParticle.h"

namespace {

void WriteStaticObject(std::ostringstream& out, const KXI_StaticObject& object)
{
    out << ", \"static\": {\"quad\": [";
    for (std::size_t i = 0; i < object.quad.corners.size(); ++i) {
        const math::Vec3& c = object.quad.corners[i].value;
        out << (i ? ", " : "") << "[" << c.x << ", " << c.y << ", " << c.z << "]";
    }
    out << "], \"turnSpeed\": " << object.turnSpeed.value << ", \"reverse\": " << object.reverse.value << "}";
}

void WriteObjectPath(std::ostringstream& out, const KXI_SigleObjectPath& object)
{
    out << ", \"walk\": {\"points\": " << object.path.points.size() << ", \"orientation\": "
        << object.orientation.value << ", \"speed\": " << object.walkSpeed.value << "}";
}

} // namespace

void WriteSingleObjectFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system)
{
    if (const auto* picture = dynamic_cast<const KXI_StaticObject*>(&system))
        WriteStaticObject(out, *picture);
    if (const auto* walker = dynamic_cast<const KXI_SigleObjectPath*>(&system))
        WriteObjectPath(out, *walker);
}
