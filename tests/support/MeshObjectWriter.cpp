#include "tests/support/MeshObjectWriter.h"

namespace mesh_object_writer {

using description_writer::WriteLink;
using description_writer::WriteView;

MeshObjectFields ClockObjectFields()
{
    MeshObjectFields fields;
    fields.size = 400;
    fields.image = {u"common_res.dll", 71};
    fields.mesh = {u"common_res.dll", 70};
    return fields;
}

DocumentWriter& WriteMeshObjectLevel(DocumentWriter& w, const MeshObjectFields& f)
{
    w.Section(u"DS_3D_Obj_Ctrl", f.version).Dword(f.count).Dword(f.size);
    WriteLink(w, f.image);
    WriteLink(w, f.mesh);
    return WriteView(w, f.view);
}

DocumentWriter& WriteButterfly(DocumentWriter& w, const ButterflyFields& f)
{
    w.Section(u"DS_ButterflyConstructor", f.version);
    WriteLink(w, f.bodyImage);
    WriteLink(w, f.bodyMesh);
    w.Dword(f.firstPercent).Dword(f.secondPercent);
    if (f.version > 1)
        w.Float(f.wingScale);
    return WriteMeshObjectLevel(w, f.object);
}

DocumentWriter& WriteClock(DocumentWriter& w, const ClockFields& f)
{
    w.Section(u"DS_ClockConstructor", f.version);
    for (std::int32_t value : f.rectangle)
        w.Long(value);
    WriteLink(w, f.hands);
    return WriteMeshObjectLevel(w, f.object);
}

DocumentWriter& WriteDriftingArray(DocumentWriter& w, const DriftingArrayFields& f)
{
    w.Section(u"DS_3D_in_2D_array_Constructor", f.version).WideString(f.name).Dword(f.count);
    w.ModuleBlob(f.mesh).ModuleBlob(f.texture);
    w.Dword(f.size).Dword(f.speed).Dword(f.drift).Dword(f.driftChange).Dword(f.spin).Dword(f.angle);
    return description_writer::WriteConstructor(w, f.base);
}

std::string LeafMeshFile()
{
    return "xof 0303txt 0032\n"
           "Frame Leaf {\n"
           " FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }\n"
           " Mesh Blade {\n"
           "  4; 0;0;0;, 40;25;0;, 100;0;0;, 40;-25;0;;\n"
           "  2; 3;0,1,2;, 3;0,2,3;;\n"
           "  MeshNormals { 1; 0;0;-1;; 2; 3;0,0,0;, 3;0,0,0;; }\n"
           "  MeshTextureCoords { 4; 0;0.5;, 0.4;0;, 1;0.5;, 0.4;1;; }\n"
           "  MeshMaterialList { 1; 2; 0, 0;; }\n"
           " }\n"
           "}\n";
}

std::vector<std::uint8_t> LeafMeshBytes()
{
    const std::string text = LeafMeshFile();
    return {text.begin(), text.end()};
}

} // namespace mesh_object_writer
