#pragma once
// The line systems' common parts: a textured ribbon laid along a path as a
// strip of quads, coloured and faded along its length, with one particle
// (the head) riding at its leading end.
//
// LinePoint and the three quad builders turn consecutive points of a strip
// into quads; LineEnvelopeFactor is the rule every line applies to shape
// width and opacity along its length; LineLayerParams is the ribbon's own
// parameter block with the surface its multiply blend draws through.
//
// KXI_LineCtrl: the root of the path lines (path, show-particles flag, line
// layer, head offsets, samples at 100 steps per path segment).
// KXI_StaticLineCtrl: width, size and alpha envelopes, the head particle and
// the strip builder that the growing and sliding lines call once a frame.
// The ribbon is batch 0 and the head batch 1 of the render object.
//
// A batch holds at most kMaxLineQuads quads (16-bit indices); a strip that
// would be longer is cut there that frame. Ribbons draw in picture
// coordinates through the render context.
//
// Stored sections (after the concrete class's own):
//   "KXI_StaticLineCtrl" 1: uint32 width (notified), size envelope, alpha
//     envelope (four uint32 percents each), then "KXI_LineCtrl".
//   "KXI_LineCtrl" 2: the spline points, int32 show particles, int32 block
//     version, the block's name, the line-layer block, float head side
//     offset, float head forward offset, then "KXI_ParticleSystemCtrl".
//     Version 1 has one more int32 after the offsets, and stored the line
//     layer and the particle block the other way round: they are exchanged
//     after the whole section has been read.

#include <cstdint>
#include <memory>

#include "objectmodel/ParamRecords.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SplinePath.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/ParticleSystemCtrl.h"
#include "render/PrerenderSurface.h"

class KXI_SmartTiming;

inline constexpr std::int32_t kMaxLineQuads = InnerParticleList::kMaxParticles;
inline constexpr int kLineStepsPerSegment = 100;

struct LinePoint {
    math::Vec3 position;
    math::Vec3 direction;
    math::Vec3 left;
    math::Vec3 right;
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    float alpha = 1.0f;
    float v = 0.0f;
    // 1 once the edge points are set.
    float edgeReady = 0.0f;
};

// numerator / denominator as a position along a line; not a number when the
// denominator is 0 (the envelope rule then gives 1).
float LinePosition(float numerator, float denominator);
// The envelope rule (in, out, floor in, floor out = the quad's floats) at
// position x: a ramp up to `in`, a ramp down after `out`, 1 between. A
// position that is not a number gives 1; others are clamped to 0..1.
float LineEnvelopeFactor(float x, const PercentParamQuad& envelope);
// Unit vector of `v`; a zero vector stays zero.
math::Vec3 UnitVector(const math::Vec3& v);

// Edge points at `half` across the point's own direction, along (-dy, dx).
void SetLinePointEdges(LinePoint& point, float half);
// The point's colour: a COLORREF (red in the low byte) / 255 and an alpha
// byte / 255.
void SetLinePointColour(LinePoint& point, COLORREF colour, float alphaByte);

// Each writes the quad between `previous` and `current` into the four
// vertices at `out` (current left, previous left, current right, previous
// right; u 1 on the left edge, 0 on the right) after setting the current
// point's edges:
//   BuildLineQuad: mitred across the current direction against the segment
//     (the factor 1 / sqrt(1 - k x k) capped at 4); a current point on the
//     previous one becomes a copy of it.
//   BuildLineQuadOwnDirection: straight across the current direction.
//   BuildLineQuadSegmentDirection: the current direction becomes the
//     segment's; a current point on the previous one becomes a copy of it.
void BuildLineQuad(const LinePoint& previous, LinePoint& current, float width, QuadBatchVertex* out);
void BuildLineQuadOwnDirection(const LinePoint& previous, LinePoint& current, float width, QuadBatchVertex* out);
void BuildLineQuadSegmentDirection(const LinePoint& previous, LinePoint& current, float width, QuadBatchVertex* out);

// Grows batch `index` to hold `quads` quads (only when it must) and locks its
// vertices. Null, with the batch's count 0, when it cannot be had.
QuadBatchVertex* LockLineBatch(KXI_ParticleSystemMech& mech, std::int32_t index, std::int32_t quads);

// The timeline's level; 1 without a timeline.
float LineTimelineLevel(const KXI_SmartTiming& timing);

class LineLayerParams {
public:
    // The block's first texture's height / width; 1 without a texture.
    float TextureRatio() const;
    // width x texture ratio: the length along the ribbon one tile spans.
    float RepeatLength(std::uint32_t width) const;
    // v for a distance along the ribbon; 0 when the repeat length is 0.
    static float TexV(float distance, float repeatLength);
    COLORREF FirstColour() const;
    float OpacityByte() const;
    // Blend index 1 is the multiply pass; any other draws normally.
    bool Multiplies() const { return block.blendMode.value == 1; }
    // (multiply) + (glow over the screen).
    int CountScreenPasses() const;

    // The block's effect, then the surface sized to back buffer 0.
    void LoadEffect();
    // The block's textures, then LoadEffect.
    void Load();
    // The glow, then batch `batch` with "BlendNormal", or through the
    // surface and "BlendMultiplay" over the picture.
    void Render(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer, int& counter);

    ParticleSystemParams block;
    KXI_PrerenderSurface surface;

private:
    void RenderMultiply(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer, int& counter);
    // The handed-over picture unchanged, through the effect's screen glow
    // with no glow over it.
    void DrawPictureUnchanged(DS_ABRender& renderer);
};

// Every line's screen passes: the layer's, and one more when its head is
// shown and glows over the screen.
int CountLineScreenPasses(const LineLayerParams& layer, const ParticleSystemParams& head, bool showHead);
// Every line's render: the ribbon (batch `ribbonBatch`) with the layer,
// then, when the head is shown, its block's render of `headBatch` (after a
// switch of target for a glow over the screen).
void RenderLineAndHead(KXI_ParticleSystemMech& mech, LineLayerParams& layer, std::int32_t ribbonBatch,
                       ParticleSystemParams& head, std::int32_t headBatch, bool showHead, DS_ABRender& renderer,
                       int& counter);

// The block version and name, then the block.
void ReadLineLayer(ArchiveReader ar, LineLayerParams& layer);
void WriteLineLayer(ArchiveWriter ar, const LineLayerParams& layer);
// Documents of version 1 stored the two blocks in the other order.
void ExchangeBlocks(ParticleSystemParams& a, ParticleSystemParams& b);

class KXI_LineCtrl : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"KXI_LineCtrl";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr int kKindLine = 9;

    KXI_LineCtrl() = default;
    KXI_LineCtrl(const KXI_LineCtrl& other);
    ~KXI_LineCtrl() override;

    void Save(ArchiveWriter ar) const override;
    // Reads the "KXI_LineCtrl" section from its header on.
    void ReadLineSection(ArchiveReader ar);

    int GetKind() const override;
    int CountScreenPasses() const override;
    // The base attach and the samples.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The ribbon (batch 0), then the head (batch 1) when particles are shown.
    void Render(DS_ABRender& renderer, int& counter) override;

    // The path at 100 steps per segment, in the reverse flag's direction.
    void ResamplePath();

    SplinePath path;
    MediaParamT<std::int32_t> showParticles{0};
    LineLayerParams lineLayer;
    KXI_MediaFloat headSideOffset;
    KXI_MediaFloat headForwardOffset;
    std::uint8_t reverse = 0;
    SharedPathSamples samples{MakeSafePtr<PathSampleList>()};
};

class KXI_StaticLineCtrl : public KXI_LineCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"KXI_StaticLineCtrl";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_StaticLineCtrl() = default;
    KXI_StaticLineCtrl(const KXI_StaticLineCtrl& other);
    ~KXI_StaticLineCtrl() override;

    void Save(ArchiveWriter ar) const override;
    // Reads the "KXI_StaticLineCtrl" section from its header on.
    void ReadStaticLineSection(ArchiveReader ar);

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // Filtered line textures, the base attach, the line layer's textures,
    // effect and surface, two batches, and the head at (500, 500).
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The clock and the particle block's time; the subclasses build the strip.
    void Update(float localTime) override;
    // The line emits nothing: its one particle is the head.
    InnerParticleList::Handles Emit(float dt) override;

    // The ribbon over the samples between the distances `from` and `to`,
    // then the head stepped and placed at its leading end (with its offsets)
    // and drawn into batch 1. No quads: the head is left as it was.
    void BuildStrip(float from, float to);
    // The first head particle; empty without one.
    ParticleHandle GetHead() const;
    // Width and alpha byte at distance x to the leading end.
    virtual float GetSizeAt(float x) const;
    virtual float GetAlphaAt(float x) const;

    // A new IPR_HeadAge of `lifetime`, set up by the particle block, age 0.
    void RestartHead(float lifetime);

    PercentParamQuad sizeEnvelope;
    UINTSclaleTo<float> width{1.0f};
    PercentParamQuad alphaEnvelope;
    InnerParticleList heads;
};

// The head's main routine: its age grows by each step and it never dies;
// its lifetime is only what the size and opacity envelopes read.
class IPR_HeadAge : public IPR_ConstantAge {
public:
    explicit IPR_HeadAge(float lifetime) : IPR_ConstantAge(lifetime) {}
    bool Step(float dt, InnerParticle& particle) override;
};
