#include "particles/systems/LineCtrl.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "objectmodel/SmartColor.h"
#include "particles/engine/PathParticleSystems.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/RenderTargetPairTextures.h"
#include "render/ResourceLoading.h"
#include "render/Timing.h"
#include "render/TimingSmart.h"

namespace {

// The widest a mitred corner may spread: an unbounded factor would throw
// the edge points to infinity at a right-angled turn.
constexpr float kMaxMitre = 4.0f;

void WriteVertex(QuadBatchVertex& vertex, const math::Vec3& at, std::uint32_t colour, float u, float v)
{
    vertex.x = at.x;
    vertex.y = at.y;
    vertex.z = at.z;
    vertex.colour = colour;
    vertex.u = u;
    vertex.v = v;
}

std::uint32_t PackedColour(const LinePoint& point)
{
    return PackUnitColor(point.red, point.green, point.blue, point.alpha);
}

void WriteQuad(const LinePoint& previous, const LinePoint& current, QuadBatchVertex* out)
{
    const std::uint32_t now = PackedColour(current);
    const std::uint32_t before = PackedColour(previous);
    WriteVertex(out[0], current.left, now, 1.0f, current.v);
    WriteVertex(out[1], previous.left, before, 1.0f, previous.v);
    WriteVertex(out[2], current.right, now, 0.0f, current.v);
    WriteVertex(out[3], previous.right, before, 0.0f, previous.v);
}

math::Vec3 LeftNormal(const math::Vec3& direction)
{
    return {-direction.y, direction.x, 0.0f};
}

void SetEdgesAlong(LinePoint& point, const math::Vec3& normal, float half)
{
    point.left = point.position + normal * half;
    point.right = point.position - normal * half;
    point.edgeReady = 1.0f;
}

} // namespace

float LinePosition(float numerator, float denominator)
{
    if (denominator == 0.0f)
        return std::numeric_limits<float>::quiet_NaN();
    return numerator / denominator;
}

float LineEnvelopeFactor(float x, const PercentParamQuad& envelope)
{
    if (std::isnan(x))
        return 1.0f;
    x = std::clamp(x, 0.0f, 1.0f);
    const float in = envelope.percents[0].Scaled();
    const float out = envelope.percents[1].Scaled();
    const float floorIn = envelope.percents[2].Scaled();
    const float floorOut = envelope.percents[3].Scaled();
    // x < in implies in > 0, and x > out implies out < 1: no quotient by 0.
    if (x < in)
        return x / in * (1.0f - floorIn) + floorIn;
    if (x > out)
        return (1.0f - x) / (1.0f - out) * (1.0f - floorOut) + floorOut;
    return 1.0f;
}

math::Vec3 UnitVector(const math::Vec3& v)
{
    math::Vec3 unit;
    math::Vec3Normalize(&unit, v);
    return unit;
}

void SetLinePointEdges(LinePoint& point, float half)
{
    SetEdgesAlong(point, LeftNormal(point.direction), half);
}

void SetLinePointColour(LinePoint& point, COLORREF colour, float alphaByte)
{
    point.red = static_cast<float>(GetRValue(colour)) / 255.0f;
    point.green = static_cast<float>(GetGValue(colour)) / 255.0f;
    point.blue = static_cast<float>(GetBValue(colour)) / 255.0f;
    point.alpha = alphaByte / 255.0f;
}

void BuildLineQuad(const LinePoint& previous, LinePoint& current, float width, QuadBatchVertex* out)
{
    const math::Vec3 segment = current.position - previous.position;
    if (math::Vec3LengthSq(segment) == 0.0f) {
        current = previous;
    } else {
        const math::Vec3 s = UnitVector(segment);
        const math::Vec3 n = LeftNormal(current.direction);
        const float k = math::Vec3Dot(s, n);
        const float across = 1.0f - k * k;
        const float mitre = across > 0.0f ? std::min(1.0f / std::sqrt(across), kMaxMitre) : kMaxMitre;
        SetEdgesAlong(current, n, 0.5f * width * mitre);
    }
    WriteQuad(previous, current, out);
}

void BuildLineQuadOwnDirection(const LinePoint& previous, LinePoint& current, float width, QuadBatchVertex* out)
{
    SetLinePointEdges(current, 0.5f * width);
    WriteQuad(previous, current, out);
}

void BuildLineQuadSegmentDirection(const LinePoint& previous, LinePoint& current, float width, QuadBatchVertex* out)
{
    const math::Vec3 segment = current.position - previous.position;
    if (math::Vec3LengthSq(segment) == 0.0f) {
        current = previous;
    } else {
        current.direction = UnitVector(segment);
        SetLinePointEdges(current, 0.5f * width);
    }
    WriteQuad(previous, current, out);
}

QuadBatchVertex* LockLineBatch(KXI_ParticleSystemMech& mech, std::int32_t index, std::int32_t quads)
{
    QuadBatchBuffer* batch = mech.Batch(index);
    if (!batch)
        return nullptr;
    quads = std::clamp(quads, 0, kMaxLineQuads);
    if (quads > batch->QuadCapacity()) {
        gfx::Device* device = GetResourceDevice();
        if (!device || !batch->BuildQuadIndices(*device, quads)) {
            mech.SetQuadCount(index, 0);
            return nullptr;
        }
    }
    QuadBatchVertex* vertices = quads > 0 ? batch->LockQuads() : nullptr;
    mech.SetQuadCount(index, vertices ? quads : 0);
    return vertices;
}

float LineTimelineLevel(const KXI_SmartTiming& timing)
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline ? timeline->GetValue() : 1.0f;
}

// ---- line layer -------------------------------------------------------------------

float LineLayerParams::TextureRatio() const
{
    const SpriteFrameInfo* texture = block.FirstTexture();
    if (!texture || texture->sourceWidth == 0)
        return 1.0f;
    return static_cast<float>(texture->sourceHeight) / static_cast<float>(texture->sourceWidth);
}

float LineLayerParams::RepeatLength(std::uint32_t width) const
{
    return static_cast<float>(width) * TextureRatio();
}

float LineLayerParams::TexV(float distance, float repeatLength)
{
    return repeatLength != 0.0f ? distance / repeatLength : 0.0f;
}

COLORREF LineLayerParams::FirstColour() const
{
    return ColourListEntry(block.colours, 0);
}

float LineLayerParams::OpacityByte() const
{
    return static_cast<float>(block.colours.transparency.Scaled());
}

int LineLayerParams::CountScreenPasses() const
{
    return (Multiplies() ? 1 : 0) + (block.EffectiveGlowMode() == 2 ? 1 : 0);
}

void LineLayerParams::LoadEffect()
{
    block.LoadEffect();
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    const gfx::SurfaceDesc desc = GetBackBufferDesc(*device);
    surface.SetSize(static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height));
}

void LineLayerParams::Load()
{
    block.LoadTextures();
    LoadEffect();
}

void LineLayerParams::Render(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer, int& counter)
{
    if (block.EffectiveGlowMode() == 2)
        renderer.SwitchRenderTarget(counter);
    block.RenderGlow(mech, batch, renderer);
    if (Multiplies()) {
        RenderMultiply(mech, batch, renderer, counter);
        return;
    }
    const SpriteFrameInfo* texture = block.FirstTexture();
    if (!texture || !block.effect)
        return;
    block.effect->SetTexture("Texture0", texture->CurrentTexture());
    mech.DrawBatch(renderer, block.effect.Get(), "BlendNormal", batch);
}

void LineLayerParams::RenderMultiply(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer,
                                     int& counter)
{
    renderer.SwitchRenderTarget(counter);
    gfx::Effect* effect = block.effect.Get();
    if (!effect)
        return;
    if (!surface.BeginRender(renderer)) {
        DrawPictureUnchanged(renderer);
        return;
    }
    // Without a texture the cleared surface multiplies by 1 everywhere.
    if (const SpriteFrameInfo* texture = block.FirstTexture()) {
        effect->SetTexture("Texture0", texture->CurrentTexture());
        mech.DrawBatch(renderer, effect, "BlendNormal", batch);
    }
    gfx::Texture* ribbon = surface.EndRender(renderer);
    effect->SetTexture("Background", renderer.GetTargetTexture());
    effect->SetTexture("Texture0", ribbon);
    effect->SetTechnique("BlendMultiplay");
    renderer.DrawWithEffect(renderer.GetBackgroundQuad(), *effect);
    effect->SetTexture("Background", nullptr);
    effect->SetTexture("Texture0", nullptr);
}

void LineLayerParams::DrawPictureUnchanged(DS_ABRender& renderer)
{
    gfx::Effect& effect = *block.effect;
    effect.SetTexture("Texture0", nullptr);
    effect.SetTexture("Background", renderer.GetTargetTexture());
    effect.SetFloat("GlowBrightness", 0.0f);
    effect.SetTechnique("DrawGlowScreen");
    renderer.DrawWithEffect(renderer.GetBackgroundQuad(), effect);
    effect.SetTexture("Background", nullptr);
}

int CountLineScreenPasses(const LineLayerParams& layer, const ParticleSystemParams& head, bool showHead)
{
    const bool headGlows = showHead && head.EffectiveGlowMode() == 2;
    return layer.CountScreenPasses() + (headGlows ? 1 : 0);
}

void RenderLineAndHead(KXI_ParticleSystemMech& mech, LineLayerParams& layer, std::int32_t ribbonBatch,
                       ParticleSystemParams& head, std::int32_t headBatch, bool showHead, DS_ABRender& renderer,
                       int& counter)
{
    layer.Render(mech, ribbonBatch, renderer, counter);
    if (!showHead)
        return;
    if (head.EffectiveGlowMode() == 2)
        renderer.SwitchRenderTarget(counter);
    head.Render(mech, headBatch, renderer);
}

void ReadLineLayer(ArchiveReader ar, LineLayerParams& layer)
{
    layer.block.ReadRecord(ar);
}

void WriteLineLayer(ArchiveWriter ar, const LineLayerParams& layer)
{
    ar->WriteVersion(ParticleSystemParams::kWrittenVersion);
    ar->WriteWideString(layer.block.textureName.value);
    layer.block.Write(ar);
}

void ExchangeBlocks(ParticleSystemParams& a, ParticleSystemParams& b)
{
    const ParticleSystemParams first(a);
    a.AssignFrom(b);
    b.AssignFrom(first);
}

// ---- KXI_LineCtrl -----------------------------------------------------------------

KXI_LineCtrl::KXI_LineCtrl(const KXI_LineCtrl& other)
    : KXI_ParticleSystemCtrl(other), path(other.path), showParticles(other.showParticles),
      lineLayer(other.lineLayer), headSideOffset(other.headSideOffset), headForwardOffset(other.headForwardOffset),
      reverse(other.reverse), samples(MakeSafePtr<PathSampleList>(*other.samples))
{
}

KXI_LineCtrl::~KXI_LineCtrl() = default;

int KXI_LineCtrl::GetKind() const
{
    return kKindLine;
}

int KXI_LineCtrl::CountScreenPasses() const
{
    return CountLineScreenPasses(lineLayer, params, showParticles.value != 0);
}

void KXI_LineCtrl::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    ResamplePath();
}

void KXI_LineCtrl::ResamplePath()
{
    *samples = SampleBSplinePath(path, kLineStepsPerSegment, reverse != 0);
}

void KXI_LineCtrl::Render(DS_ABRender& renderer, int& counter)
{
    if (KXI_ParticleSystemMech* mech = RenderObject())
        RenderLineAndHead(*mech, lineLayer, 0, params, 1, showParticles.value != 0, renderer, counter);
}

void KXI_LineCtrl::ReadLineSection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    path.ReadPoints(ar);
    showParticles.StoreValue(ar.ReadInt());
    ReadLineLayer(ar, lineLayer);
    headSideOffset.StoreValue(ar.ReadFloat());
    headForwardOffset.StoreValue(ar.ReadFloat());
    if (header.version == 1)
        ar.ReadInt();
    Load(ar);
    if (header.version == 1)
        ExchangeBlocks(lineLayer.block, params);
}

void KXI_LineCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WriteSplinePoints(ar, path);
    ar->WriteLong(showParticles.value);
    WriteLineLayer(ar, lineLayer);
    ar->WriteFloat(headSideOffset.value);
    ar->WriteFloat(headForwardOffset.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

// ---- KXI_StaticLineCtrl -----------------------------------------------------------

bool IPR_HeadAge::Step(float dt, InnerParticle& particle)
{
    particle.values[InnerParticle::kAge] += dt;
    return true;
}

KXI_StaticLineCtrl::KXI_StaticLineCtrl(const KXI_StaticLineCtrl& other)
    : KXI_LineCtrl(other), sizeEnvelope(other.sizeEnvelope), width(other.width), alphaEnvelope(other.alphaEnvelope),
      heads(other.heads)
{
}

KXI_StaticLineCtrl::~KXI_StaticLineCtrl()
{
    heads.Clear();
}

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_StaticLineCtrl::Clone() const
{
    return std::make_unique<KXI_StaticLineCtrl>(*this);
}

InnerParticleList::Handles KXI_StaticLineCtrl::Emit(float)
{
    return {};
}

void KXI_StaticLineCtrl::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    lineLayer.block.flags |= ParticleSystemParams::kFlagFilteredTextures;
    KXI_LineCtrl::AttachRenderObject(mech);
    lineLayer.Load();
    if (mech)
        mech->ResizeBatches(2);
    heads.Create({500.0f, 500.0f, 0.0f});
}

void KXI_StaticLineCtrl::Update(float localTime)
{
    speed.Advance(localTime);
    params.AdvanceTime(localTime);
}

ParticleHandle KXI_StaticLineCtrl::GetHead() const
{
    return heads.Empty() ? ParticleHandle() : heads.Particles().front();
}

float KXI_StaticLineCtrl::GetSizeAt(float) const
{
    return static_cast<float>(width.value);
}

float KXI_StaticLineCtrl::GetAlphaAt(float) const
{
    return static_cast<float>(params.colours.transparency.Scaled());
}

void KXI_StaticLineCtrl::RestartHead(float lifetime)
{
    const ParticleHandle head = GetHead();
    if (!head)
        return;
    head->ClearRoutines();
    params.SetupParticle(*head, ParticleRoutineHandle(new IPR_HeadAge(lifetime)));
    head->values[InnerParticle::kAge] = 0.0f;
}

void KXI_StaticLineCtrl::BuildStrip(float from, float to)
{
    KXI_ParticleSystemMech* mech = RenderObject();
    if (!mech)
        return;
    PathCursor cursor(samples);
    math::Vec3 position;
    math::Vec3 direction;
    cursor.Advance(from, position, direction);
    direction = UnitVector(direction);

    float remaining = to - from;
    const float repeat = lineLayer.RepeatLength(width.value);
    LinePoint previous;
    previous.position = position;
    previous.direction = direction;
    SetLinePointEdges(previous, 0.5f * GetSizeAt(remaining));
    previous.v = LineLayerParams::TexV(remaining, repeat);
    SetLinePointColour(previous, lineLayer.FirstColour(), GetAlphaAt(remaining));

    const std::int32_t quads = std::min(cursor.CountPointsWithin(remaining), kMaxLineQuads);
    if (quads < 1) {
        mech->SetQuadCount(0, 0);
        return;
    }
    QuadBatchVertex* vertices = LockLineBatch(*mech, 0, quads);
    if (!vertices)
        return;
    std::int32_t written = 0;
    while (remaining > 0.0f && written < quads) {
        LinePoint next;
        cursor.StepAcrossPoint(remaining, next.position, next.direction);
        next.direction = UnitVector(next.direction);
        next.v = LineLayerParams::TexV(remaining, repeat);
        SetLinePointColour(next, lineLayer.FirstColour(), GetAlphaAt(remaining));
        BuildLineQuad(previous, next, GetSizeAt(remaining), vertices + 4 * written);
        previous = next;
        ++written;
    }
    mech->Batch(0)->UnlockQuads();
    mech->SetQuadCount(0, written);

    heads.Update(speed.Step());
    if (const ParticleHandle head = GetHead()) {
        const math::Vec3& p = previous.position;
        const math::Vec3& d = previous.direction;
        const float side = headSideOffset.value;
        const float forward = headForwardOffset.value;
        head->position = {p.x - d.y * side + d.x * forward, p.y + d.x * side + d.y * forward, p.z + d.z * forward};
        head->velocity = d;
    }
    params.BuildQuads(heads, *mech, params.particleSize.value, 1);
}

void KXI_StaticLineCtrl::ReadStaticLineSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    width.SetChangedValue(ar.ReadDword(), nullptr);
    ReadPercentParamQuad(ar, sizeEnvelope);
    ReadPercentParamQuad(ar, alphaEnvelope);
    ReadLineSection(ar);
}

void KXI_StaticLineCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(width.value);
    WritePercentParamQuad(ar, sizeEnvelope);
    WritePercentParamQuad(ar, alphaEnvelope);
    KXI_LineCtrl::Save(ar);
}
