#pragma once
// The draw records the renderer (ABRender.h) takes besides quads and quad
// batches:
//
//   MeshItem          a mesh with its texture (a TexturedBatch whose vertex
//                     part holds XYZ|NORMAL|TEX1 vertices of 32 bytes) and
//                     the nodes at whose world matrices it is drawn. The
//                     batch's flag marks a transparent mesh. The item does
//                     not own the nodes (the objects' node trees do).
//   SpriteArrayDraw   what the renderer draws of a sprite array: its quad
//                     batch, the texture of its current frame, an overlay
//                     texture, the blend mode and the number of quads.
//
// Sprite arrays (DS_SpriteArrayObj) are render objects of the
// particle-systems layer, above this one. That layer's registration function,
// RegisterParticleSystemClasses (called with every other layer's), installs
// the describer that turns a sprite array into its SpriteArrayDraw through
// InstallSpriteArrayDescriber. Without a describer a sprite array draws
// nothing.

#include <cstdint>
#include <list>

#include "objectmodel/TransformNode.h"
#include "render/QuadBatchBuffer.h"

namespace gfx {
class Texture;
}

class DS_SpriteArrayObj;

// Bytes of one mesh vertex as the renderer draws it: XYZ | NORMAL | TEX1
// (gfx::kMeshVertexFvf, platform/gfx/Mesh.h).
inline constexpr std::uint32_t kMeshVertexStride = 32;

class DS_FileLink3;

class MeshItem : public TexturedBatch {
public:
    bool IsTransparent() const { return flag; }

    // Loads the item's mesh and picture through the thread's current
    // resource manager: the picture is the first texture of the image
    // link's texture set, or, when that gives none, the link's plain
    // picture; the mesh is the mesh link's (vertices of 32 bytes). Without a
    // manager the item is left without texture and mesh.
    void LoadMesh(const DS_FileLink3& meshLink, const DS_FileLink3& imageLink);

    std::list<TransformNode*> nodes;
};

struct SpriteArrayDraw {
    // The array's quads; its header's world matrix places them. Null: nothing to draw.
    const QuadBatchBuffer* quads = nullptr;
    // The texture of the current animation frame (may be null).
    gfx::Texture* frameTexture = nullptr;
    // Drawn alone over the quads a second time when present.
    gfx::Texture* overlayTexture = nullptr;
    // 0 blends normally; any other value adds (destination ONE) when there
    // is no overlay, and 1 makes the overlay pass add.
    std::int32_t blendMode = 0;
    // How many quads are drawn (held to what the batch holds).
    std::uint32_t quadCount = 0;
};

using SpriteArrayDescriber = SpriteArrayDraw (*)(DS_SpriteArrayObj& array);

// Installs the describer of sprite arrays; the last installation wins.
void InstallSpriteArrayDescriber(SpriteArrayDescriber describer);
bool HasSpriteArrayDescriber();
// The installed describer's record of `array`; an empty record (nothing to
// draw) without a describer.
SpriteArrayDraw DescribeSpriteArray(DS_SpriteArrayObj& array);
