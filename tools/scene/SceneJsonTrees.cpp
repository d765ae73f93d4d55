#include "tools/scene/SceneJsonTrees.h"

#include <cmath>
#include <typeinfo>

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/EmitShapes.h"
#include "particles/engine/ParticleGeometry.h"
#include "particles/engine/PartyBalloon.h"
#include "particles/engine/TreeLeaves.h"
#include "particles/engine/TreePreset.h"
#include "platform/crt/WideString.h"
#include "tools/scene/SceneJson.h"

namespace {

std::string ClassOf(const DS_IOF_Item& item)
{
    return JsonString(kxi_string(StoredClassNameOf(typeid(item))));
}

std::string Vector(const math::Vec3& v)
{
    return "[" + JsonNumber(v.x) + ", " + JsonNumber(v.y) + ", " + JsonNumber(v.z) + "]";
}

std::string Sector(const MediaSector& sector)
{
    return "[" + std::to_string(sector.value) + ", " + std::to_string(sector.spread.value) + "]";
}

std::string Forces(const StandardForceParams& forces)
{
    return "{\"mode\": " + std::to_string(forces.gravityMode.value) + ", \"gravity\": " +
           std::to_string(forces.gravity.value) + ", \"airResistance\": " + std::to_string(forces.airResistance.value) +
           "}";
}

void WriteEmitterFields(std::ostringstream& out, const KXI_PSGeometry_Emitter& e)
{
    out << ", \"count\": " << e.count.value << ", \"lifetime\": " << JsonNumber(e.lifetime.value)
        << ", \"period\": " << JsonNumber(e.period.value) << ", \"pause\": " << JsonNumber(e.pause.value)
        << ", \"delay\": " << JsonNumber(e.delay.value) << ", \"speed\": [" << e.speed.value << ", "
        << e.speed.jitter.value << "], \"attached\": " << e.attached.value;
}

// The fields of the emit shapes (placement, launch, forces).
void WriteShapeFields(std::ostringstream& out, const KXI_PtclSys_Geometry& g)
{
    if (const auto* point = dynamic_cast<const KXI_PSGeomEmit_Point*>(&g)) {
        out << ", \"launch\": " << Sector(point->launch) << ", \"distance\": " << point->distance.value
            << ", \"cone\": " << point->cone.value << ", \"forces\": " << Forces(point->forces);
    } else if (const auto* sector = dynamic_cast<const KXI_PSGeomEmit_Sector*>(&g)) {
        out << ", \"placement\": " << Sector(sector->placement) << ", \"radius\": " << sector->radius.value
            << ", \"launch\": " << Sector(sector->launch) << ", \"forces\": " << Forces(sector->forces);
    } else if (const auto* rect = dynamic_cast<const KXI_PSGeomEmit_Rect*>(&g)) {
        out << ", \"box\": [" << rect->width.value << ", " << rect->height.value << "], \"launch\": "
            << Sector(rect->launch) << ", \"forces\": " << Forces(rect->forces);
    } else if (const auto* stream = dynamic_cast<const KXI_PSGeomEmit_Stream*>(&g)) {
        out << ", \"start\": " << Vector(stream->start.value) << ", \"end\": " << Vector(stream->end.value)
            << ", \"directions\": [" << stream->startDirection.value << ", " << stream->endDirection.value
            << "], \"perspective\": " << stream->perspective.value;
    }
}

void WriteGeometry(std::ostringstream& out, const KXI_PtclSys_Geometry& g)
{
    out << "{\"class\": " << ClassOf(g) << ", \"name\": " << JsonString(g.name) << ", \"offset\": "
        << Vector(g.offset.value);
    if (const auto* swarm = dynamic_cast<const KXI_PSGeometry_Swarm*>(&g))
        out << ", \"count\": " << swarm->count.value << ", \"box\": [" << swarm->width.value << ", "
            << swarm->height.value << "], \"wanderSpeed\": " << swarm->wanderSpeed.value;
    if (const auto* emitter = dynamic_cast<const KXI_PSGeometry_Emitter*>(&g))
        WriteEmitterFields(out, *emitter);
    WriteShapeFields(out, g);
    out << "}";
}

void WriteLeafFields(std::ostringstream& out, const KXI_PSTree_Leaf& leaf)
{
    const DS_NamedFileLinkData& set = leaf.textures.value;
    out << ", \"pictures\": [";
    for (std::size_t i = 0; i < set.pictures.size(); ++i)
        out << (i ? ", " : "") << JsonLink(set.pictures[i]);
    out << "], \"grid\": [" << set.columns << ", " << set.rows << "], \"size\": " << leaf.size.value
        << ", \"blend\": " << leaf.blend.value << ", \"glow\": " << leaf.glowMode.value;
    if (const auto* trace = dynamic_cast<const KXI_PSTree_Trace*>(&leaf))
        out << ", \"lifetime\": " << JsonNumber(trace->lifetime.value);
    if (const auto* balloon = dynamic_cast<const KXI_PartyBalloon*>(&leaf))
        out << ", \"lightMaps\": [" << balloon->firstLightMapOpacity.value << ", "
            << balloon->secondLightMapOpacity.value << "]";
}

void WriteNodes(std::ostringstream& out, const TreeNodeVector& nodes);

void WriteNode(std::ostringstream& out, const KXI_PSTree_Node& node)
{
    out << "{\"class\": " << ClassOf(node) << ", \"name\": " << JsonString(node.name) << ", \"geometry\": ";
    if (node.geometry)
        WriteGeometry(out, *node.geometry);
    else
        out << "null";
    if (const auto* leaf = dynamic_cast<const KXI_PSTree_Leaf*>(&node))
        WriteLeafFields(out, *leaf);
    out << ", \"children\": ";
    WriteNodes(out, node.children);
    out << "}";
}

// Read trees are at most kMaxTreeDepth levels deep, which bounds the
// recursion.
void WriteNodes(std::ostringstream& out, const TreeNodeVector& nodes)
{
    out << "[";
    bool first = true;
    for (const TreeNodeHandle& node : nodes.value) {
        if (!node)
            continue;
        out << (first ? "" : ", ");
        first = false;
        WriteNode(out, *node);
    }
    out << "]";
}

void WritePreset(std::ostringstream& out, const KXI_PtclSysPreset& preset)
{
    out << ", \"preset\": {\"value\": " << preset.presetValue << ", \"list\": [";
    for (std::size_t i = 0; i < preset.presetList.size(); ++i)
        out << (i ? ", " : "") << preset.presetList[i];
    out << "]}";
}

} // namespace

void WriteTreeFields(std::ostringstream& out, const DS_IOF_Item& item)
{
    const auto* root = dynamic_cast<const KXI_PSTree_Root*>(&item);
    if (!root)
        return;
    out << ", \"tree\": {\"effect\": " << JsonLink(root->effectLink) << ", \"offset\": " << Vector(root->offset.value);
    if (const auto* preset = dynamic_cast<const KXI_PtclSysPreset*>(root))
        WritePreset(out, *preset);
    out << ", \"children\": ";
    WriteNodes(out, root->children);
    out << "}";
}
