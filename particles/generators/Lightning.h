#pragma once
// DS_StringGenerator: a textured generator spanned between two points of the
// picture. DS_LightningGN: a lightning bolt from the start to the end point.
// The main path is made by midpoint displacement and one corner-cutting
// pass; branches, sub-branches and twigs fork off at random nodes; widths
// taper towards the ends; the brightness follows the timeline (lighting up
// from the start while it rises, flickering by 1-D noise while on, fading
// quadratically while it falls). A new bolt is generated at build time and
// each time the timeline leaves its off state; with the random flag at 0 it
// is generated from the seed (the same shape each time) and the shared random
// sequence continues as if the bolt had drawn one value.
//
// Layers: 0 core segments with the start and end pieces of every path, 1 glow
// segments, 2 caps (filled, not drawn). Drawn through the two-layer glow
// composite (GlowComposite.h) with loaded texture 0, which repeats along the
// bolt.
//
// Generation is bounded: at most kMaxPasses passes and kMaxBranches each of
// branches, sub-branches and twigs are used (the stored values stay).
//
// Stored sections:
//   "DS_LightningGN" (written as version 2): core width, passes, jaggedness,
//       seed, branch length, branch angle, end width, branches,
//       sub-branches, twigs (uint32 each); [version < 2: seven legacy
//       uint32, the timing in thousandths of a second]; flicker, glow width
//       (uint32); random flag (int32); then
//   "DS_StringGenerator", 1: start x, y, z, end x, y, z (floats); then the
//       DS_TexParticleGenerator section.

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "objectmodel/ScaledParams.h"
#include "particles/generators/TexParticleGenerator.h"
#include "platform/math/Vector.h"

class DS_StringGenerator : public DS_TexParticleGenerator {
public:
    static constexpr std::u16string_view kSectionName = u"DS_StringGenerator";
    static constexpr std::int32_t kWrittenVersion = 1;

    void Save(ArchiveWriter ar) const override;

    MediaParamT<math::Vec3> startPoint;
    MediaParamT<math::Vec3> endPoint;

protected:
    // Reads the string section, header included.
    void ReadStringSection(ArchiveReader ar);
};

struct BoltNode {
    math::Vec3 position;
    float width = 0.0f;
    // 1 at the start of the main path, falling to 0 at its end.
    float phase = 0.0f;
    std::list<BoltNode> branches;
};

using BoltPath = std::list<BoltNode>;

// Where a branch forks off and the branches that fork off it.
struct BranchSpec {
    std::int64_t attachIndex = -1;
    std::vector<BranchSpec> subSpecs;
};

class DS_LightningGN : public DS_StringGenerator {
public:
    static constexpr std::u16string_view kClassName = u"DS_LightningGN";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::int32_t kLegacyTimingVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "generator-glow";
    static constexpr std::int32_t kMaxPasses = 8;
    static constexpr std::uint32_t kMaxBranches = 32;
    static constexpr std::size_t kLayerCount = 3;

    DS_LightningGN() = default;
    DS_LightningGN(const DS_LightningGN& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // Last time := 0; the generated flag stays.
    void Restart() override;
    // Last time := t; a new bolt when the timeline has left off; the layers.
    void Step(float localTime, DS_ParticlesObj& target) override;
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // Textures and effect, the first bolt, the mask surface, three layers.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // The composite always reads the picture drawn so far.
    bool NeedsBackground() const override { return true; }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::unique_ptr<KXI_RenderObj> CreateExtraRenderObject() override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // Builds a new bolt.
    void Regenerate();
    // One path from s to e into `out` and, recursively, its branches.
    void BuildPath(const math::Vec3& s, const math::Vec3& e, BoltPath& out, std::int32_t passes, float width,
                   const std::vector<BranchSpec>& specs, float phase);
    // The brightness factor of a node of phase b.
    float Level(float b) const;
    // The bolt as quads, each layer sized to its exact count.
    void FillLayers(DS_ParticlesObj& target);

    // Counts over a path and its branches.
    static std::size_t CountCaps(const BoltPath& path);
    static std::size_t CountSegments(const BoltPath& path);

    MediaParamT<std::uint32_t> coreWidth;
    MediaParamT<std::uint32_t> passes;
    UINTSclaleTo<float> jaggedness{0.004f, 0.0f, 0};
    MediaParamT<std::uint32_t> seed;
    UINTSclaleTo<float> branchLength{0.01f, 0.0f, 0};
    UINTSclaleTo<float> branchAngle{0.015707964f, 0.0f, 0};
    UINTSclaleTo<float> endWidth{-0.01f, 1.0f, 0};
    MediaParamT<std::uint32_t> branches;
    MediaParamT<std::uint32_t> subBranches;
    MediaParamT<std::uint32_t> twigs;
    UINTSclaleTo<float> flicker{0.01f, 0.0f, 0};
    MediaParamT<std::uint32_t> glowWidth;
    MediaParamT<std::int32_t> randomFlag;
    BoltPath bolt;
    float lastTime = 0.0f;
    std::uint8_t generated = 0;

private:
    struct Counters {
        std::array<std::int32_t, kLayerCount> next{};
    };
    void FillPath(DS_ParticlesObj& target, const BoltPath& path, Counters& counters, float u, float texelRatio);
    std::vector<BranchSpec> MakeBranchSpecs() const;
};
