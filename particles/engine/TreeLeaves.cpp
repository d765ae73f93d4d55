#include "particles/engine/TreeLeaves.h"

#include <algorithm>

#include "particles/engine/TreeRendering.h"
#include "platform/gfx/Device.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/EffectResolution.h"
#include "render/PictureBack.h"
#include "render/ResourceLoading.h"
#include "render/ResourceLoadingFrames.h"
#include "render/SharedResource.h"

namespace {

constexpr std::int32_t kVersion = 1;

void WriteSectionStart(ArchiveWriter ar, std::u16string_view className)
{
    ar->WriteWideString(kxi_string(className));
    ar->WriteLong(kVersion);
}

// A channel on the 0..255 scale, clamped before it is truncated: a factor
// above 1 or below 0 must not wrap around.
std::uint32_t ColourByte(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 255.0f)
        return 255;
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::uint32_t PackTreeColour(float alpha, const math::Vec3& rgb)
{
    return (ColourByte(alpha) << 24) | (ColourByte(rgb.x) << 16) | (ColourByte(rgb.y) << 8) | ColourByte(rgb.z);
}

// ---- leaf -------------------------------------------------------------------------

KXI_PSTree_Leaf::KXI_PSTree_Leaf() : KXI_PSTree_Leaf(DS_SafePtr<KXI_PtclSys_Geometry>()) {}

KXI_PSTree_Leaf::KXI_PSTree_Leaf(DS_SafePtr<KXI_PtclSys_Geometry> nodeGeometry)
    : KXI_PSTree_Node(std::move(nodeGeometry)), effectLink(kCommonResBlurEffect, kxi_string(kCommonResModule))
{
    speed.Rescale(kSpeedScale, 0.0f);
    speed.QuietSet(1);
    WatchTextures();
}

KXI_PSTree_Leaf::~KXI_PSTree_Leaf()
{
    m_callbacks.Clear();
}

void KXI_PSTree_Leaf::WatchTextures()
{
    m_callbacks.AddMemberCallback(&KXI_PSTree_Leaf::ReloadTextures, &textures);
}

int KXI_PSTree_Leaf::CountScreenPasses() const
{
    return EffectiveGlowMode() == 2 ? 1 : 0;
}

std::int32_t KXI_PSTree_Leaf::EffectiveGlowMode() const
{
    const std::int32_t mode = glowMode.value;
    return mode == 1 || mode == 2 ? mode : 0;
}

const char* KXI_PSTree_Leaf::BlendTechnique() const
{
    return blend.value == 1 ? "BlendSum" : "BlendNormal";
}

float KXI_PSTree_Leaf::AlphaByte() const
{
    return static_cast<float>(colours.transparency.Scaled());
}

const SpriteFrameInfo* KXI_PSTree_Leaf::FirstTexture() const
{
    if (animatedTextures.empty() || !animatedTextures.front().HasTexture())
        return nullptr;
    return &animatedTextures.front();
}

void KXI_PSTree_Leaf::SpawnFrom(const TreeParticleHandle& parentParticle)
{
    if (!geometry)
        return;
    TreeParticleList born;
    geometry->SpawnParticles(born, parentParticle);
    for (const TreeParticleHandle& p : born)
        if (p)
            p->AddTransform(PtclTransformHandle(new PtclTr_Color(colours)));
}

void KXI_PSTree_Leaf::AdvanceTextureClock(float dt)
{
    m_rawTextureTime += dt;
    speed.Advance(m_rawTextureTime);
    StepFrames(animatedTextures, speed.Total(), reverse.value != 0);
}

int KXI_PSTree_Leaf::Update(float dt, const TreeParticleList&)
{
    AdvanceTextureClock(dt);
    if (geometry)
        geometry->UpdateParticles(dt);
    return 1;
}

void KXI_PSTree_Leaf::ReloadTextures()
{
    animatedTextures.clear();
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        for (const DS_ImageFileLink& link : textures.value.pictures)
            animatedTextures.push_back(manager->GetAnimatedTexture(link, kFrameFilterNone));
    }
    if (geometry)
        geometry->SetFrameLayout(static_cast<int>(std::min<std::uint32_t>(textures.value.columns, 0x7FFFFFFF)),
                                 static_cast<int>(std::min<std::uint32_t>(textures.value.rows, 0x7FFFFFFF)));
}

void KXI_PSTree_Leaf::PrepareResources()
{
    ReloadTextures();
    glowSurface.OnViewResize();
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;
    effect = ResolveEffectLink(*manager, effectLink).effect;
    if (!effect)
        effect = manager->GetEffect(DS_FileLink3(kCommonResBlurEffect, kxi_string(kCommonResModule)));
    glowSurface.SetEffect(effect.Get());
}

// ---- quads ------------------------------------------------------------------------

QuadBatchVertex* KXI_PSTree_Leaf::LockBatch(KXI_PtclSys_Mesh& mesh, int& batchIndex, std::size_t quads,
                                            TreeBatch*& batch)
{
    batch = mesh.Batch(batchIndex++);
    if (!batch)
        return nullptr;
    const auto n = static_cast<std::int32_t>(std::min(quads, KXI_PtclSys_Geometry::kMaxParticles));
    batch->quadCount = 0;
    if (n == 0)
        return nullptr;
    if (n > batch->QuadCapacity()) {
        gfx::Device* device = GetResourceDevice();
        if (!device || !batch->BuildQuadIndices(*device, n))
            return nullptr;
    }
    QuadBatchVertex* vertices = batch->LockQuads();
    if (vertices)
        batch->quadCount = n;
    return vertices;
}

void KXI_PSTree_Leaf::BuildQuads(KXI_PtclSys_Mesh& mesh, int& batchIndex)
{
    static const TreeParticleList kNone;
    const TreeParticleList& list = geometry ? geometry->particles : kNone;
    TreeBatch* batch = nullptr;
    QuadBatchVertex* vertices = LockBatch(mesh, batchIndex, list.size(), batch);
    if (!vertices)
        return;

    const SpriteFrameInfo* texture = FirstTexture();
    const float ratio = texture ? texture->ratio : 1.0f;
    const float uExtent = texture ? texture->uScale : 1.0f;
    const float vExtent = texture ? texture->vScale : 1.0f;
    float left = 0.0f, right = uExtent, top = 0.0f, bottom = vExtent;
    if (flipU.value != 0)
        std::swap(left, right);
    if (flipV.value != 0)
        std::swap(top, bottom);
    const float uv[4][2] = {{left, bottom}, {left, top}, {right, bottom}, {right, top}};
    const float pixelSize = static_cast<float>(size.value);
    const float alphaByte = AlphaByte();

    const std::int32_t quads = batch->quadCount;
    std::int32_t i = 0;
    for (auto it = list.begin(); it != list.end() && i < quads; ++it, ++i) {
        QuadBatchVertex* quad = vertices + 4 * i;
        const TreeParticle& p = **it;
        const float s = pixelSize * p.ScaledParam(TreeParticle::kSize);
        math::Vec3 u{s, 0.0f, 0.0f};
        math::Vec3 v{0.0f, ratio * s, 0.0f};
        math::Vec3TransformCoord(&u, u, p.orientation);
        math::Vec3TransformCoord(&v, v, p.orientation);
        const math::Vec3 c = p.WorldPosition();
        const math::Vec3 hu = u * 0.5f;
        const math::Vec3 hv = v * 0.5f;
        const math::Vec3 corners[4] = {c - hu + hv, c - hu - hv, c + hu + hv, c + hu - hv};
        const std::uint32_t colour =
            PackTreeColour(alphaByte * p.ScaledParam(TreeParticle::kOpacity), p.vectors[TreeParticle::kColor]);
        for (int k = 0; k < 4; ++k) {
            quad[k].x = corners[k].x;
            quad[k].y = corners[k].y;
            quad[k].z = corners[k].z;
            quad[k].colour = colour;
            // The cell offsets are fractions of the picture: scaled by the
            // extents so that padded textures show their own cells.
            quad[k].u = uv[k][0] * p.spriteCell.x + p.spriteCell.z * uExtent;
            quad[k].v = uv[k][1] * p.spriteCell.y + p.spriteCell.w * vExtent;
        }
    }
    batch->UnlockQuads();
}

// ---- drawing ----------------------------------------------------------------------

void KXI_PSTree_Leaf::RenderGlow(TreeBatch& batch, gfx::Effect& treeEffect, DS_ABRender& renderer)
{
    const std::int32_t mode = EffectiveGlowMode();
    const SpriteFrameInfo* texture = FirstTexture();
    gfx::Texture* blurred = nullptr;
    if (texture && batch.quadCount > 0 && glowSurface.Effect()) {
        treeEffect.SetTexture("Texture0", texture->CurrentTexture());
        if (glowSurface.BeginCapture(renderer)) {
            DrawTreeBatch(renderer, batch, &treeEffect, "BlendNormal");
            blurred = glowSurface.Blur(renderer, glowPasses.value);
        }
    }
    // Glow mode 2 took the picture drawn so far away from the target: it is
    // drawn back even when there is no glow to lay over it.
    if (!blurred && mode == 1)
        return;
    treeEffect.SetTexture("Texture0", blurred);
    const COLORREF colour = glowColour.value;
    const float rgb[3] = {static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                          static_cast<float>((colour >> 16) & 0xFF) / 255.0f};
    treeEffect.SetFloatArray("GlowColor", rgb, 3);
    treeEffect.SetFloat("GlowBrightness", blurred ? glowBrightness.Scaled() : 0.0f);
    if (mode == 2) {
        treeEffect.SetTexture("Background", renderer.GetTargetTexture());
        treeEffect.SetTechnique("DrawGlowScreen");
    } else {
        treeEffect.SetTechnique("DrawGlowNormal");
    }
    renderer.DrawWithEffect(renderer.GetBackgroundQuad(), treeEffect);
    treeEffect.SetTexture("Background", nullptr);
}

void KXI_PSTree_Leaf::Render(KXI_PtclSys_Mesh& mesh, int& batchIndex, gfx::Effect* treeEffect, DS_ABRender& renderer,
                             int& counter)
{
    if (CountScreenPasses() != 0)
        renderer.SwitchRenderTarget(counter);
    TreeBatch* batch = mesh.Batch(batchIndex++);
    if (!batch || !treeEffect) {
        // Glow mode 2 took the picture drawn so far; without the tree's
        // effect (or a batch) it comes back plain.
        if (CountScreenPasses() != 0)
            DrawPictureBack(renderer);
        return;
    }
    if (EffectiveGlowMode() > 0)
        RenderGlow(*batch, *treeEffect, renderer);
    const SpriteFrameInfo* texture = FirstTexture();
    if (!texture)
        return;
    treeEffect->SetTexture("Texture0", texture->CurrentTexture());
    DrawTreeBatch(renderer, *batch, treeEffect, BlendTechnique());
}

// ---- stored form ------------------------------------------------------------------

void KXI_PSTree_Leaf::ReadLeafFields(ArchiveReader ar)
{
    ReadFileLink(ar, effectLink);
    DS_NamedFileLinkData link;
    ReadResourceRecord(ar, link);
    textures.StoreValue(std::move(link));
    speed.StoreValue(ar.ReadDword());
    speed.UpdateScaled();
    reverse.StoreValue(ar.ReadInt());
    flipV.StoreValue(ar.ReadInt());
    flipU.StoreValue(ar.ReadInt());
    size.StoreValue(ar.ReadDword());
    ReadColorSequenceParams(ar, colours);
    blend.StoreValue(ar.ReadInt());
    glowMode.StoreValue(ar.ReadInt());
    glowSurface.strength.StoreValue(ar.ReadDword());
    glowColour.StoreValue(static_cast<COLORREF>(ar.ReadInt()));
    glowBrightness.SetChangedValue(ar.ReadDword(), nullptr);
    glowPasses.StoreValue(ar.ReadInt());
}

void KXI_PSTree_Leaf::WriteLeafFields(ArchiveWriter ar) const
{
    WriteFileLink(ar, effectLink);
    WriteResourceRecord(ar, textures.value);
    ar->WriteDword(speed.value);
    ar->WriteLong(reverse.value);
    ar->WriteLong(flipV.value);
    ar->WriteLong(flipU.value);
    ar->WriteDword(size.value);
    WriteColorSequenceParams(ar, colours);
    ar->WriteLong(blend.value);
    ar->WriteLong(glowMode.value);
    ar->WriteDword(glowSurface.strength.value);
    ar->WriteLong(static_cast<std::int32_t>(glowColour.value));
    ar->WriteDword(glowBrightness.value);
    ar->WriteLong(glowPasses.value);
}

void KXI_PSTree_Leaf::ReadLeafSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    ReadLeafFields(ar);
    ReadNodeSection(ar);
}

void KXI_PSTree_Leaf::WriteLeafSection(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    WriteLeafFields(ar);
    KXI_PSTree_Node::Save(ar);
}

void KXI_PSTree_Leaf::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadLeafFields(ar);
    ReadNodeSection(ar);
}

void KXI_PSTree_Leaf::Save(ArchiveWriter ar) const
{
    WriteLeafSection(ar);
}

// ---- trace leaf -------------------------------------------------------------------

KXI_PSTree_Trace::KXI_PSTree_Trace() = default;

KXI_PSTree_Trace::KXI_PSTree_Trace(DS_SafePtr<KXI_PtclSys_Geometry> nodeGeometry)
    : KXI_PSTree_Leaf(std::move(nodeGeometry))
{
}

void KXI_PSTree_Trace::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    ar->WriteFloat(lifetime.value);
    WritePercentParamGroup(ar, sizeEnvelope);
    WritePercentParamGroup(ar, opacityEnvelope);
    WriteLeafSection(ar);
}

void KXI_PSTree_Trace::ReadBody(ArchiveReader ar, std::int32_t)
{
    lifetime.value = ar.ReadFloat();
    ReadPercentParamGroup(ar, sizeEnvelope);
    ReadPercentParamGroup(ar, opacityEnvelope);
    ReadLeafSection(ar);
}

KXI_PSTree_Trace::Trail& KXI_PSTree_Trace::TrailOf(const TreeParticleHandle& parentParticle)
{
    const auto found = m_trailIndex.find(parentParticle.get());
    if (found != m_trailIndex.end())
        return m_trails[found->second];
    m_trailIndex.emplace(parentParticle.get(), m_trails.size());
    m_trails.push_back(Trail{parentParticle, {}});
    return m_trails.back();
}

void KXI_PSTree_Trace::SpawnFrom(const TreeParticleHandle& parentParticle)
{
    if (!parentParticle)
        return;
    AddTracePoint(parentParticle, TrailOf(parentParticle));
}

namespace {
math::Vec3 Heading(const TreeParticle& particle)
{
    math::Vec3 heading;
    math::Vec3Normalize(&heading, particle.vectors[TreeParticle::kVelocity]);
    return heading;
}
} // namespace

TreeParticleHandle KXI_PSTree_Trace::CreateTracePoint(float d, const TreeParticle& parentParticle)
{
    TreeParticleHandle point = MakeSafePtr<TreeParticle>();
    point->AddTransform(PtclTransformHandle(new PtclTr_MaxAge(lifetime.value)));
    point->AddTransform(PtclTransformHandle(new PtclTr_Color(colours)));
    point->AddTransform(PtclTransformHandle(new PtclTr_AgeTransform(TreeParticle::kSize, sizeEnvelope)));
    point->AddTransform(PtclTransformHandle(new PtclTr_AgeTransform(TreeParticle::kOpacity, opacityEnvelope)));
    const float lifeFraction = parentParticle.values[TreeParticle::kLifeFraction];
    const float f1 = geometry ? KXI_PSGeometry_Emitter::BirthFactor(geometry->sizeEnvelope, lifeFraction) : 1.0f;
    const float f2 = geometry ? KXI_PSGeometry_Emitter::BirthFactor(geometry->opacityEnvelope, lifeFraction) : 1.0f;
    point->AddTransform(PtclTransformHandle(new PtclTr_PrmMultiplicator(TreeParticle::kSize, f1)));
    point->AddTransform(PtclTransformHandle(new PtclTr_PrmMultiplicator(TreeParticle::kOpacity, f2)));
    point->Position() = parentParticle.WorldPosition();
    point->Direction() = Heading(parentParticle);
    point->spriteCell.x = d;
    return point;
}

void KXI_PSTree_Trace::AddTracePoint(const TreeParticleHandle& parentParticle, Trail& trail)
{
    const math::Vec3 at = parentParticle->WorldPosition();
    float d = 0.0f;
    if (trail.points.size() >= 2) {
        const math::Vec3 delta = at - trail.points[trail.points.size() - 2]->Position();
        d = math::Vec3Length(delta);
        if (d < kPointSpacing) {
            TreeParticle& newest = *trail.points.back();
            newest.Position() = at;
            newest.Direction() = Heading(*parentParticle);
            newest.spriteCell.x = d;
            return;
        }
    }
    if (m_pointCount >= kMaxPoints)
        return;
    trail.points.push_back(CreateTracePoint(d, *parentParticle));
    ++m_pointCount;
}

void KXI_PSTree_Trace::StepTrails(float dt)
{
    bool removed = false;
    for (Trail& trail : m_trails) {
        const std::size_t before = trail.points.size();
        std::erase_if(trail.points, [dt](TreeParticleHandle& p) { return !p->Step(dt); });
        m_pointCount -= before - trail.points.size();
        removed = removed || (trail.points.empty() && trail.parent->IsDead());
    }
    if (!removed)
        return;
    std::erase_if(m_trails, [](const Trail& trail) { return trail.points.empty() && trail.parent->IsDead(); });
    ReindexTrails();
}

void KXI_PSTree_Trace::ReindexTrails()
{
    m_trailIndex.clear();
    for (std::size_t i = 0; i < m_trails.size(); ++i)
        m_trailIndex.emplace(m_trails[i].parent.get(), i);
}

int KXI_PSTree_Trace::Update(float dt, const TreeParticleList& parentParticles)
{
    AdvanceTextureClock(dt);
    for (const TreeParticleHandle& p : parentParticles)
        if (p)
            AddTracePoint(p, TrailOf(p));
    StepTrails(dt);
    return 1;
}

std::size_t KXI_PSTree_Trace::SegmentCount() const
{
    std::size_t segments = 0;
    for (const Trail& trail : m_trails)
        if (trail.points.size() >= 2)
            segments += trail.points.size() - 1;
    return segments;
}

void KXI_PSTree_Trace::BuildQuads(KXI_PtclSys_Mesh& mesh, int& batchIndex)
{
    TreeBatch* batch = nullptr;
    QuadBatchVertex* vertices = LockBatch(mesh, batchIndex, SegmentCount(), batch);
    if (!vertices)
        return;
    const SpriteFrameInfo* texture = FirstTexture();
    const float ratio = texture ? texture->ratio : 1.0f;
    const float pixelSize = static_cast<float>(size.value);
    const float lengthUnit = ratio * pixelSize;
    const float alphaByte = AlphaByte();
    const std::int32_t quads = batch->quadCount;
    std::int32_t i = 0;
    for (const Trail& trail : m_trails) {
        const float parentSize = trail.parent->ScaledParam(TreeParticle::kSize);
        const float parentOpacity = trail.parent->ScaledParam(TreeParticle::kOpacity);
        float c = 0.0f;
        for (std::size_t k = 1; k < trail.points.size() && i < quads; ++k, ++i) {
            const TreeParticle& a = *trail.points[k - 1];
            const TreeParticle& b = *trail.points[k];
            const float wa = pixelSize * a.ScaledParam(TreeParticle::kSize) * parentSize;
            const float wb = pixelSize * b.ScaledParam(TreeParticle::kSize) * parentSize;
            const float alphaA = alphaByte * a.ScaledParam(TreeParticle::kOpacity) * parentOpacity;
            const float alphaB = alphaByte * b.ScaledParam(TreeParticle::kOpacity) * parentOpacity;
            // A zero-width ribbon has no picture length: segments of length 0.
            const float length = lengthUnit != 0.0f ? b.spriteCell.x / lengthUnit : 0.0f;
            const math::Vec3 pa = a.WorldPosition();
            const math::Vec3 pb = b.WorldPosition();
            const math::Vec3 perpA{-a.vectors[TreeParticle::kDirection].y, a.vectors[TreeParticle::kDirection].x, 0.0f};
            const math::Vec3 perpB{-b.vectors[TreeParticle::kDirection].y, b.vectors[TreeParticle::kDirection].x, 0.0f};
            const math::Vec3& rgb = a.vectors[TreeParticle::kColor];
            QuadBatchVertex* quad = vertices + 4 * i;
            const math::Vec3 corners[4] = {pb + perpB * wb, pa + perpA * wa, pb - perpB * wb, pa - perpA * wa};
            const float alphas[4] = {alphaB, alphaA, alphaB, alphaA};
            const float us[4] = {1.0f, 1.0f, 0.0f, 0.0f};
            const float vs[4] = {c + length, c, c + length, c};
            for (int n = 0; n < 4; ++n) {
                quad[n].x = corners[n].x;
                quad[n].y = corners[n].y;
                quad[n].z = corners[n].z;
                quad[n].colour = PackTreeColour(alphas[n], rgb);
                quad[n].u = us[n];
                quad[n].v = vs[n];
            }
            c += length;
        }
    }
    batch->UnlockQuads();
}
