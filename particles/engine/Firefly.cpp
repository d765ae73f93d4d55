#include "particles/engine/Firefly.h"

#include "render/ABRender.h"

namespace {

void CopyColours(const ColorSequenceParams& from, ColorSequenceParams& to)
{
    to.colorMode.SetChangedValue(from.colorMode.value, nullptr);
    to.randomPick.SetChangedValue(from.randomPick.value, nullptr);
    to.colors.SetChangedValue(from.colors.value, nullptr);
    to.transparency.SetChangedValue(from.transparency.value, nullptr);
}

// The record with only the picture at `index` of `from`.
DS_NamedFileLinkData OnlyPicture(const DS_NamedFileLinkData& from, std::size_t index)
{
    DS_NamedFileLinkData link = from;
    link.pictures = {from.pictures[index]};
    return link;
}

} // namespace

KXI_Firefly::KXI_Firefly() = default;

KXI_Firefly::KXI_Firefly(const KXI_Firefly& other) : KXI_BrownAnimation(other), trail(other.trail) {}

KXI_Firefly::~KXI_Firefly() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_Firefly::Clone() const
{
    return std::make_unique<KXI_Firefly>(*this);
}

int KXI_Firefly::CountScreenPasses() const
{
    const int trailPasses = trail.params.EffectiveGlowMode() == 2 ? 1 : 0;
    const int ownPasses = params.EffectiveGlowMode() == 2 ? 1 : 0;
    return trailPasses + ownPasses;
}

void KXI_Firefly::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    trail.params.LoadTextures();
    trail.params.LoadEffect();
    if (mech)
        mech->ResizeBatches(2);
    FillBrownParticles();
}

void KXI_Firefly::Update(float localTime)
{
    AdvanceWandering(localTime);
    KXI_ParticleSystemMech* mech = RenderObject();
    if (mech)
        params.BuildQuads(particles, *mech, params.particleSize.value, kFireflyBatch);
    trail.Step(particles, static_cast<float>(params.particleSize.value), wanderSpeed.Step());
    if (mech)
        trail.params.BuildQuads(trail.particles, *mech, trail.params.particleSize.value, kTrailBatch);
}

void KXI_Firefly::Render(DS_ABRender& renderer, int& counter)
{
    KXI_ParticleSystemMech* mech = RenderObject();
    if (!mech)
        return;
    if (trail.params.EffectiveGlowMode() == 2)
        renderer.SwitchRenderTarget(counter);
    trail.params.Render(*mech, kTrailBatch, renderer);
    if (params.EffectiveGlowMode() == 2)
        renderer.SwitchRenderTarget(counter);
    params.Render(*mech, kFireflyBatch, renderer);
}

// ---- stored form ------------------------------------------------------------------

void KXI_Firefly::MigrateVersion1()
{
    const DS_NamedFileLinkData& own = params.textureLink.value;
    if (!own.pictures.empty())
        trail.params.textureLink.SetChangedValue(OnlyPicture(own, 0), nullptr);
    CopyColours(params.colours, trail.params.colours);
    trail.params.effectLink.StorePathAndId(params.effectLink.Path(), params.effectLink.Id());
    trail.params.effectLink.NotifyObservers(nullptr);
    if (own.pictures.size() >= 2)
        params.textureLink.SetChangedValue(OnlyPicture(own, 1), nullptr);
}

void KXI_Firefly::ReadBody(ArchiveReader ar, std::int32_t version)
{
    trail.Read(ar);
    const SectionHeader brown = ar.ReadSectionHeader();
    KXI_BrownAnimation::ReadBody(ar, brown.version);
    if (version < 2)
        MigrateVersion1();
}

void KXI_Firefly::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    trail.Write(ar);
    KXI_BrownAnimation::Save(ar);
}
