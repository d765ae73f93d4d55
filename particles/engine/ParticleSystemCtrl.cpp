#include "particles/engine/ParticleSystemCtrl.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "particles/engine/ParticleRoutines.h"
#include "platform/crt/Random.h"
#include "render/ABRender.h"
#include "render/ResourceLoading.h"

namespace {

constexpr float kSpeedScale = 0.01f;
constexpr std::uint32_t kRealTime = 100;

// Texture names of the legacy shape indices 0 to 5.
constexpr std::array<std::u16string_view, 6> kLegacyShapeNames = {
    u"Particle shape 1", u"Particle shape 2", u"Particle shape 3", u"Sphere", u"Bubble", u"Rain dreop"};

} // namespace

KXI_ParticleSystemCtrl::KXI_ParticleSystemCtrl()
{
    speed.Rescale(kSpeedScale, 0.0f);
    speed.QuietSet(kRealTime);
}

KXI_ParticleSystemCtrl::KXI_ParticleSystemCtrl(const KXI_ParticleSystemCtrl& other)
    : DS_ABObj_Constructor(other), params(other.params), speed(other.speed), particles(other.particles),
      m_renderObject(other.m_renderObject)
{
}

KXI_ParticleSystemCtrl::~KXI_ParticleSystemCtrl()
{
    m_callbacks.Clear();
    particles.Clear();
}

int KXI_ParticleSystemCtrl::GetKind() const
{
    return kKindParticleSystem;
}

std::unique_ptr<KXI_RenderObj> KXI_ParticleSystemCtrl::CreateRenderObject()
{
    return std::make_unique<KXI_ParticleSystemMech>(Clone());
}

int KXI_ParticleSystemCtrl::CountScreenPasses() const
{
    return params.EffectiveGlowMode() == 2 ? 1 : 0;
}

float KXI_ParticleSystemCtrl::GetPreRunDuration() const
{
    return 5.0f;
}

void KXI_ParticleSystemCtrl::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    m_renderObject = mech;
    params.LoadTextures();
    params.LoadEffect(BuiltinEffectName());
    m_callbacks.Clear();
    m_callbacks.AddMemberCallback(&KXI_ParticleSystemCtrl::OnTextureChanged, &params.textureLink);
}

void KXI_ParticleSystemCtrl::OnTextureChanged()
{
    params.LoadTextures();
    for (const ParticleHandle& particle : particles.Particles()) {
        if (particle)
            params.DrawCell(*particle);
    }
}

// ---- simulation -------------------------------------------------------------------

void KXI_ParticleSystemCtrl::SpreadNewParticles(InnerParticleList::Handles& fresh, float dt)
{
    const auto n = static_cast<float>(fresh.size());
    float i = 0.0f;
    for (const ParticleHandle& particle : fresh) {
        if (particle)
            particle->Step(i * dt / n);
        i += 1.0f;
    }
    fresh.clear();
}

void KXI_ParticleSystemCtrl::AdvanceParticles(float dt)
{
    particles.Update(dt);
    InnerParticleList::Handles fresh = Emit(dt);
    SpreadNewParticles(fresh, dt);
}

void KXI_ParticleSystemCtrl::Update(float localTime)
{
    speed.Advance(localTime);
    params.AdvanceTime(localTime);
    AdvanceParticles(speed.Step());
    if (m_renderObject)
        params.BuildQuads(particles, *m_renderObject, params.particleSize.value, 0);
}

void KXI_ParticleSystemCtrl::Restart()
{
    if (timing.Selector() != 0) {
        particles.Clear();
        return;
    }
    float elapsed = 0.0f;
    for (int steps = 0; steps < kMaxPreRunSteps; ++steps) {
        const float duration = GetPreRunDuration();
        if (!std::isfinite(duration) || !(duration > elapsed))
            break;
        particles.Update(kPreRunStep);
        InnerParticleList::Handles fresh = Emit(kPreRunStep);
        SpreadNewParticles(fresh, kPreRunStep);
        elapsed += kPreRunStep;
    }
}

void KXI_ParticleSystemCtrl::Render(DS_ABRender& renderer, int& counter)
{
    if (!m_renderObject)
        return;
    if (params.EffectiveGlowMode() == 2)
        renderer.SwitchRenderTarget(counter);
    params.Render(*m_renderObject, 0, renderer);
}

void KXI_ParticleSystemCtrl::BuildSquareQuads(const InnerParticleList& list, float scale)
{
    if (!m_renderObject)
        return;
    const SpriteFrameInfo* texture = params.FirstTexture();
    const float w = (texture ? static_cast<float>(texture->sourceWidth) : 1.0f) * scale;
    const float h = (texture ? static_cast<float>(texture->sourceHeight) : 1.0f) * scale;
    const auto count = static_cast<std::int32_t>(std::min<std::size_t>(list.Size(), InnerParticleList::kMaxParticles));
    m_renderObject->PrepareBatch(0, count, texture, params);
    QuadBatchBuffer* batch = m_renderObject->Batch(0);
    if (!batch)
        return;
    QuadBatchVertex* vertices = batch->LockQuads();
    if (!vertices) {
        m_renderObject->SetQuadCount(0, 0);
        return;
    }
    const std::int32_t quads = m_renderObject->QuadCount(0);
    std::int32_t i = 0;
    for (auto it = list.Particles().begin(); it != list.Particles().end() && i < quads; ++it) {
        if (!*it)
            continue;
        const InnerParticle& p = **it;
        const float ex = p.values[InnerParticle::kSizeValue] * w / 2.0f;
        const float ey = p.values[InnerParticle::kSizeValue] * h / 2.0f;
        const math::Vec3& c = p.position;
        QuadBatchVertex* quad = vertices + 4 * i;
        const math::Vec3 corners[4] = {
            {c.x - ex, c.y + ey, c.z}, {c.x - ex, c.y - ey, c.z}, {c.x + ex, c.y + ey, c.z}, {c.x + ex, c.y - ey, c.z}};
        for (int k = 0; k < 4; ++k) {
            quad[k].x = corners[k].x;
            quad[k].y = corners[k].y;
            quad[k].z = corners[k].z;
        }
        m_renderObject->SetQuadColour(quad, p.values[InnerParticle::kOpacityValue]);
        ++i;
    }
    batch->UnlockQuads();
    m_renderObject->SetQuadCount(0, i);
}

// ---- stored form ------------------------------------------------------------------

void KXI_ParticleSystemCtrl::LoadLegacyBlock(ArchiveReader ar, std::int32_t version)
{
    params.storedVersion = 0;
    DS_NamedFileLinkData link;
    ReadImageLinkVector(ar, link.pictures);
    if (!link.pictures.empty()) {
        link.sourcePath = link.pictures.front().Path();
        link.sourceId = link.pictures.front().Id();
    }
    params.textureLink.StoreValue(std::move(link));

    std::int32_t shape = -1;
    if (version <= 2) {
        shape = ar.ReadInt();
    } else {
        std::vector<std::int32_t> shapes;
        ReadIntVector(ar, &shapes);
        if (!shapes.empty())
            shape = shapes.front();
    }
    if (shape >= 0 && shape < static_cast<std::int32_t>(kLegacyShapeNames.size()))
        params.textureName.SetChangedValue(kxi_string(kLegacyShapeNames[static_cast<std::size_t>(shape)]), nullptr);

    ReadFileLink(ar, params.effectLink);
    params.textureClock.StoreValue(ar.ReadDword());
    params.particleSize.StoreValue(ar.ReadDword());
    const auto colour = static_cast<COLORREF>(ar.ReadInt());
    if (params.colours.colors.value.empty())
        params.colours.colors.value.push_back(colour);
    else
        params.colours.colors.value.front() = colour;
    params.colours.transparency.SetChangedValue(ar.ReadDword(), nullptr);
    if (version >= 2) {
        params.animationDirection.StoreValue(ar.ReadInt());
        params.flipVertical.StoreValue(ar.ReadInt());
        params.flipHorizontal.StoreValue(ar.ReadInt());
    }
}

void KXI_ParticleSystemCtrl::Load(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    if (header.version >= 5)
        params.ReadRecord(ar);
    else
        LoadLegacyBlock(ar, header.version);
    if (header.version >= 4)
        speed.StoreValue(ar.ReadDword());
    speed.UpdateScaled();
    ReadABObjConstructor(ar, *this);
}

void KXI_ParticleSystemCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteVersion(ParticleSystemParams::kWrittenVersion);
    ar->WriteWideString(params.textureName.value);
    params.Write(ar);
    ar->WriteDword(speed.value);
    WriteABObjConstructor(ar, *this);
}

// ---- render object ----------------------------------------------------------------

KXI_ParticleSystemMech::KXI_ParticleSystemMech(std::unique_ptr<KXI_ParticleSystemCtrl> controller)
    : DS_ABObj(std::move(controller)), m_controller(static_cast<KXI_ParticleSystemCtrl*>(OwnedDescription()))
{
    m_controller->AttachRenderObject(this);
    m_controller->Restart();
}

KXI_ParticleSystemMech::~KXI_ParticleSystemMech()
{
    m_quadCounts.clear();
    m_batches.clear();
}

void KXI_ParticleSystemMech::Render(DS_ABRender&) {}

void KXI_ParticleSystemMech::RenderTo(DS_ABRender& renderer, int& counter)
{
    m_controller->Render(renderer, counter);
}

int KXI_ParticleSystemMech::NeedsRenderTarget() const
{
    return IsEnabled() ? m_controller->CountScreenPasses() : 0;
}

void KXI_ParticleSystemMech::Animate(float localTime)
{
    m_controller->Update(localTime);
}

void KXI_ParticleSystemMech::ResizeBatches(std::size_t count)
{
    m_batches.resize(count);
    m_quadCounts.resize(count, 0);
}

QuadBatchBuffer* KXI_ParticleSystemMech::Batch(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_batches.size())
        return nullptr;
    return &m_batches[static_cast<std::size_t>(index)];
}

std::int32_t KXI_ParticleSystemMech::QuadCount(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_quadCounts.size())
        return 0;
    return m_quadCounts[static_cast<std::size_t>(index)];
}

void KXI_ParticleSystemMech::SetQuadCount(std::int32_t index, std::int32_t quads)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_quadCounts.size())
        return;
    m_quadCounts[static_cast<std::size_t>(index)] = quads;
}

void KXI_ParticleSystemMech::PrepareBatch(std::int32_t index, std::int32_t quads, const SpriteFrameInfo* texture,
                                          const ParticleSystemParams& block)
{
    QuadBatchBuffer* batch = Batch(index);
    if (!batch)
        return;
    quads = std::clamp(quads, 0, InnerParticleList::kMaxParticles);
    if (quads > batch->QuadCapacity()) {
        gfx::Device* device = GetResourceDevice();
        if (!device || !batch->BuildQuadIndices(*device, quads)) {
            SetQuadCount(index, 0);
            return;
        }
    }
    // Vertices that do not lock would draw stale or unwritten quads.
    const bool written = FillBatchTexCoords(index, texture, block);
    SetQuadCount(index, written ? std::min(quads, batch->QuadCapacity()) : 0);
}

bool KXI_ParticleSystemMech::FillBatchTexCoords(std::int32_t index, const SpriteFrameInfo* texture,
                                                const ParticleSystemParams& block)
{
    QuadBatchBuffer* batch = Batch(index);
    if (!batch)
        return false;
    QuadBatchVertex* vertices = batch->LockQuads();
    if (!vertices)
        return false;
    float uA = 0.0f, uB = texture ? texture->uScale : 1.0f;
    float vA = 0.0f, vB = texture ? texture->vScale : 1.0f;
    if (block.flipHorizontal.value != 0)
        std::swap(uA, uB);
    if (block.flipVertical.value != 0)
        std::swap(vA, vB);
    const float uv[4][2] = {{uA, vB}, {uA, vA}, {uB, vB}, {uB, vA}};
    const std::int32_t capacity = batch->QuadCapacity();
    for (std::int32_t q = 0; q < capacity; ++q) {
        for (int k = 0; k < 4; ++k) {
            vertices[4 * q + k].u = uv[k][0];
            vertices[4 * q + k].v = uv[k][1];
        }
    }
    batch->UnlockQuads();
    return true;
}

void KXI_ParticleSystemMech::SetQuadColour(QuadBatchVertex* quad, float factor) const
{
    const ColorSequenceParams& colours = m_controller->params.colours;
    SetQuadVertexColor(ColourListEntry(colours, 0), static_cast<float>(colours.transparency.Scaled()) * factor, quad);
}

void KXI_ParticleSystemMech::DrawBatch(DS_ABRender& renderer, gfx::Effect* effect, const char* technique,
                                       std::int32_t index)
{
    QuadBatchBuffer* batch = Batch(index);
    if (!batch || !effect)
        return;
    effect->SetTechnique(technique);
    renderer.DrawIndexedOptionalEffect(*batch, effect, 0, static_cast<std::uint32_t>(std::max(QuadCount(index), 0)));
}
