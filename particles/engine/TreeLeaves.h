#pragma once
// The leaves of a particle tree: the nodes that draw. A leaf asks its
// geometry for a particle at every birth of a parent particle and draws
// each of its particles as one textured quad; a trace leaf keeps a trail of
// points behind every parent particle and draws each trail as a ribbon.
// Every leaf owns one quad batch of the tree's render object per frame.
//
// A leaf draws with the tree's effect: "BlendNormal" or "BlendSum" by its
// blend mode, after an optional glow. The glow captures the leaf's quads
// into the leaf's blur surface (with "BlendNormal"), blurs them with the
// leaf's own effect (its link, else the shared blur effect) and lays the
// result over the screen: "DrawGlowNormal" (glow mode 1) or, reading the
// picture drawn so far, "DrawGlowScreen" (glow mode 2, one screen pass).
//
// Leaf textures load unfiltered; a grid below 1 column or row counts as 1.
// A leaf without a texture, or without particles, issues no batch draw.
//
// Stored sections (each class level: wide-string name, int32 version 1):
//   "KXI_PSTree_Leaf": effect link, texture-set record, uint32 speed
//     percent, int32 reverse, int32 flip v, int32 flip u, uint32 size,
//     colour sequence, int32 blend, int32 glow mode, uint32 glow blur
//     strength, int32 glow colour (COLORREF), uint32 glow brightness,
//     int32 glow passes, then the node section;
//   "KXI_PSTree_Trace": float lifetime, size envelope, opacity envelope,
//     then the whole leaf section.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ParamRecords.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "particles/engine/TreeNodes.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "render/BlurSurface.h"
#include "render/FileLink.h"
#include "render/FileLinkNamed.h"
#include "render/SpriteFrameInfo.h"

struct QuadBatchVertex;
struct TreeBatch;

// The D3DCOLOR (0xAARRGGBB) of a tree quad corner: alpha and the colour
// channels (0..255 scale) are clamped to 0..255, then truncated.
std::uint32_t PackTreeColour(float alpha, const math::Vec3& rgb);

class KXI_PSTree_Leaf : public KXI_PSTree_Node {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSTree_Leaf";
    static constexpr float kSpeedScale = 0.01f;

    KXI_PSTree_Leaf();
    explicit KXI_PSTree_Leaf(DS_SafePtr<KXI_PtclSys_Geometry> nodeGeometry);
    KXI_PSTree_Leaf(const KXI_PSTree_Leaf&) = delete;
    KXI_PSTree_Leaf& operator=(const KXI_PSTree_Leaf&) = delete;
    ~KXI_PSTree_Leaf() override;

    // The node slots a leaf overrides. A party balloon (a leaf) overrides
    // Save and Render and keeps the others.
    void Save(ArchiveWriter ar) const override;
    // 1 with glow mode 2 (it reads the picture drawn so far), else 0.
    int CountScreenPasses() const override;
    // The geometry's births, each coloured by the leaf's colour sequence.
    void SpawnFrom(const TreeParticleHandle& parent) override;
    // The texture clock, then the particles by the unclamped step; 1 batch.
    int Update(float dt, const TreeParticleList& parentParticles) override;
    // One quad per particle into the batch at `batchIndex`.
    void BuildQuads(KXI_PtclSys_Mesh& mesh, int& batchIndex) override;
    // Switches the render target for glow mode 2, draws the glow, then the
    // quads with the blend technique. Without the tree's effect the picture
    // that glow mode 2 took comes back plain.
    void Render(KXI_PtclSys_Mesh& mesh, int& batchIndex, gfx::Effect* effect, DS_ABRender& renderer,
                int& counter) override;
    // Textures, the glow surface sized to the picture, the own effect.
    void PrepareResources() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    // The "KXI_PSTree_Leaf" section, header included, then the node section.
    void ReadLeafSection(ArchiveReader ar);
    void WriteLeafSection(ArchiveWriter ar) const;

    // One animated texture per link, then the grid to the geometry.
    void ReloadTextures();
    // step = dt, clamped to 0.2 s and scaled by the speed; every texture's
    // frame advances to the scaled total.
    void AdvanceTextureClock(float dt);
    float TextureTime() const { return speed.Total(); }
    float RawTextureTime() const { return m_rawTextureTime; }

    // The first animated texture when it has a frame; null otherwise.
    const SpriteFrameInfo* FirstTexture() const;
    // Glow mode 1 or 2; anything else counts as 0.
    std::int32_t EffectiveGlowMode() const;
    const char* BlendTechnique() const;
    // The leaf's overall alpha (the colour sequence's transparency byte).
    float AlphaByte() const;

    // Stored.
    DS_HLSLEffectFile effectLink;
    DS_NamedFileLink textures;
    MediaSpeedParam speed;
    MediaParamT<std::int32_t> reverse{0};
    MediaParamT<std::int32_t> flipV{0};
    MediaParamT<std::int32_t> flipU{0};
    MediaParamT<std::uint32_t> size{0u};
    ColorSequenceParams colours;
    MediaParamT<std::int32_t> blend{0};
    MediaParamT<std::int32_t> glowMode{0};
    // The glow blur strength is the surface's strength parameter.
    KXI_BlurSurface glowSurface;
    SmartCOLORREF glowColour{0x0000FFFF};
    UINTSclaleTo<float> glowBrightness{0.02f, 0.0f, 100};
    MediaParamT<std::int32_t> glowPasses{2};

    // Run time.
    std::vector<SpriteFrameInfo> animatedTextures;
    // The blur effect of the glow surface.
    gfx::Ref<gfx::Effect> effect;

protected:
    // The leaf fields without the section header or the node section.
    void ReadLeafFields(ArchiveReader ar);
    void WriteLeafFields(ArchiveWriter ar) const;
    // Takes the batch at `batchIndex` (moving the index on), grown to hold
    // `quads`, with its quad count set; its vertices locked, or null (quad
    // count 0) when there is nothing to write or it does not lock.
    static QuadBatchVertex* LockBatch(KXI_PtclSys_Mesh& mesh, int& batchIndex, std::size_t quads, TreeBatch*& batch);
    // The glow of the batch over the screen; for glow mode 2 the picture
    // drawn so far comes back even without a glow.
    void RenderGlow(TreeBatch& batch, gfx::Effect& treeEffect, DS_ABRender& renderer);

private:
    void WatchTextures();

    float m_rawTextureTime = 0.0f;
    CallbackControlList<KXI_PSTree_Leaf> m_callbacks{this};
};

// A leaf that draws a ribbon behind every parent particle. Its points are
// free particles left where the parent was (a new one only after 5 px);
// its geometry gives only the size and opacity at the parent's birth.
class KXI_PSTree_Trace : public KXI_PSTree_Leaf {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSTree_Trace";
    static constexpr float kPointSpacing = 5.0f;
    // Points of all trails together: one batch of 16-bit quad indices.
    static constexpr std::size_t kMaxPoints = KXI_PtclSys_Geometry::kMaxParticles;

    // The points one parent particle left, oldest first.
    struct Trail {
        TreeParticleHandle parent;
        TreeParticleList points;
    };

    KXI_PSTree_Trace();
    explicit KXI_PSTree_Trace(DS_SafePtr<KXI_PtclSys_Geometry> nodeGeometry);

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // A point on the parent's trail (created on first sight).
    void SpawnFrom(const TreeParticleHandle& parent) override;
    // The texture clock, a point for every parent, then the points step;
    // trails of dead parents go once empty. 1 batch.
    int Update(float dt, const TreeParticleList& parentParticles) override;
    // One quad per segment of every trail, in first-seen order.
    void BuildQuads(KXI_PtclSys_Mesh& mesh, int& batchIndex) override;

    // Moves the newest point while the parent is within 5 px of the second
    // newest, else adds a point (none once all trails hold kMaxPoints).
    void AddTracePoint(const TreeParticleHandle& parent, Trail& trail);
    // A free point at the parent's world position; `d` is the length of the
    // segment that ends at it.
    TreeParticleHandle CreateTracePoint(float d, const TreeParticle& parent);
    // The trail of `parent`, made (last in order) when there is none.
    Trail& TrailOf(const TreeParticleHandle& parent);

    const std::vector<Trail>& Trails() const { return m_trails; }
    std::size_t PointCount() const { return m_pointCount; }
    // Quads the trails need: points - 1 per trail of two or more points.
    std::size_t SegmentCount() const;

    // Stored.
    MediaParamTB<float> lifetime{1.0f};
    PercentParamGroup sizeEnvelope;
    PercentParamGroup opacityEnvelope;

private:
    void StepTrails(float dt);
    void ReindexTrails();

    std::vector<Trail> m_trails;
    std::unordered_map<const TreeParticle*, std::size_t> m_trailIndex;
    std::size_t m_pointCount = 0;
};
