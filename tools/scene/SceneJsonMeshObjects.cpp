#include "tools/scene/SceneJsonMeshObjects.h"

#include "objects/ButterflyClockItems.h"
#include "objects/DriftingObjects.h"
#include "tools/scene/SceneJson.h"

namespace {

std::string JsonBlob(const ModuleResourceBlob& blob)
{
    std::ostringstream out;
    out << "{\"id\": " << blob.ResourceId() << ", \"module\": " << JsonString(blob.ModuleFile())
        << ", \"bytes\": " << blob.Size() << "}";
    return out.str();
}

void WriteButterfly(std::ostringstream& out, const DS_ButterflyConstructor& butterfly)
{
    out << ", \"bodyImage\": " << JsonLink(butterfly.bodyImageLink) << ", \"bodyMesh\": "
        << JsonLink(butterfly.bodyMeshLink) << ", \"wingScale\": " << butterfly.wingScale << ", \"percent\": ["
        << butterfly.firstPercent.value << ", " << butterfly.secondPercent.value << "]";
}

void WriteClock(std::ostringstream& out, const DS_ClockConstructor& clock)
{
    const MediaRectangle& r = clock.clockRectangle;
    out << ", \"hands\": " << JsonLink(clock.handsImageLink) << ", \"rectangle\": [" << r.left.value << ", "
        << r.right.value << ", " << r.top.value << ", " << r.bottom.value << ", " << r.centreX.value << ", "
        << r.centreY.value << "]";
}

void WriteMeshObject(std::ostringstream& out, const DS_3D_Obj_Ctrl& object)
{
    out << ", \"meshObject\": {\"count\": " << object.count.value << ", \"size\": " << object.size.value
        << ", \"image\": " << JsonLink(object.imageLink) << ", \"mesh\": " << JsonLink(object.meshLink);
    if (const auto* butterfly = dynamic_cast<const DS_ButterflyConstructor*>(&object))
        WriteButterfly(out, *butterfly);
    if (const auto* clock = dynamic_cast<const DS_ClockConstructor*>(&object))
        WriteClock(out, *clock);
    out << "}";
}

void WriteDrifting(std::ostringstream& out, const DS_3D_in_2D_array_Constructor& array)
{
    const StreamAnimParams& p = array.params;
    out << ", \"drifting\": {\"count\": " << array.count.value << ", \"mesh\": " << JsonBlob(array.mesh)
        << ", \"texture\": " << JsonBlob(array.texture) << ", \"size\": " << p.size.value << ", \"speed\": "
        << p.speed.value << ", \"drift\": " << p.drift.value << ", \"driftChange\": " << p.driftChange.value
        << ", \"spin\": " << p.spin.value << ", \"direction\": " << p.direction.angle << "}";
}

} // namespace

void WriteMeshObjectFields(std::ostringstream& out, const DS_IOF_Item& item)
{
    if (const auto* object = dynamic_cast<const DS_3D_Obj_Ctrl*>(&item))
        WriteMeshObject(out, *object);
    if (const auto* array = dynamic_cast<const DS_3D_in_2D_array_Constructor*>(&item))
        WriteDrifting(out, *array);
}
