#include "particles/generators/FallingStars.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/ParamRecords.h"
#include "particles/generators/GlowComposite.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TimelineLevel.h"
#include "platform/crt/Random.h"
#include "render/RenderContext.h"
#include "render/Timing.h"

namespace {

constexpr float kRandMax = 32767.0f;
constexpr float kFullTurn = 6.2831855f;
// Spin in radians per second per pixel-per-second of star speed.
constexpr float kSpinPerSpeed = 0.002f;

// Locks two layers together; neither stays locked when the other fails.
bool LockBoth(DS_ParticlesObj& target, std::size_t a, std::size_t b)
{
    if (!target.LockLayer(a))
        return false;
    if (target.LockLayer(b))
        return true;
    target.UnlockLayer(a);
    return false;
}

void UnlockBoth(DS_ParticlesObj& target, std::size_t a, std::size_t b)
{
    target.UnlockLayer(a);
    target.UnlockLayer(b);
}

} // namespace

// ---- DS_ParticleRctRgnGenerator --------------------------------------------------

DS_ParticleRctRgnGenerator::DS_ParticleRctRgnGenerator(const DS_ParticleRctRgnGenerator& other)
    : DS_TexParticleGenerator(other), region(other.region)
{
    RepointWanderers();
}

void DS_ParticleRctRgnGenerator::RepointWanderers()
{
    for (GenParticle& emitter : emitters)
        for (const auto& process : emitter.processes)
            if (auto* wander = dynamic_cast<PBrownian*>(process.get()))
                wander->owner = &wanderSettings;
}

void DS_ParticleRctRgnGenerator::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WriteMediaQuad(ar, region);
    DS_TexParticleGenerator::Save(ar);
}

void DS_ParticleRctRgnGenerator::ReadRegionSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    ReadMediaQuad(ar, region);
    ReadTexGeneratorSection(ar);
}

void DS_ParticleRctRgnGenerator::BuildGeometry(DS_ParticlesObj& target)
{
    DS_TexParticleGenerator::BuildGeometry(target);
    if (keepId != 0)
        return;
    if (const RenderContext* context = g_RenderContextTls) {
        const float width = context->pictureWidth;
        const float height = context->pictureHeight;
        region.SetRectangle(width, height, {width / 2.0f, height / 2.0f, 0.0f});
    }
}

// ---- DS_FallingStars -------------------------------------------------------------

DS_FallingStars::DS_FallingStars()
{
    starRate.Rescale(0.02f, 0.0f);
    lifetime.Rescale(0.01f, 0.0f);
    particleSize.Rescale(0.01f, 0.0f);
    emissionRate.Rescale(2.0f, 0.0f);
}

void DS_FallingStars::ReadBody(ArchiveReader ar, std::int32_t)
{
    starSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    starRate.StoreValue(ar.ReadDword());
    direction.StoreValue(ar.ReadDword());
    direction.UpdateVectors();
    starSize.StoreValue(ar.ReadDword());
    glowFactor.SetChangedValue(ar.ReadDword(), nullptr);
    ReadAnnouncedValue(ar, holdTime);
    ReadAnnouncedValue(ar, fadeInTime);
    ReadAnnouncedValue(ar, fadeOutTime);
    ReadMediaQuad(ar, region);
    ReadTexGeneratorSection(ar);
}

void DS_FallingStars::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(starSpeed.value);
    ar->WriteDword(starRate.value);
    ar->WriteDword(direction.value);
    ar->WriteDword(starSize.value);
    ar->WriteDword(glowFactor.value);
    ar->WriteDword(holdTime.value);
    ar->WriteDword(fadeInTime.value);
    ar->WriteDword(fadeOutTime.value);
    WriteMediaQuad(ar, region);
    DS_TexParticleGenerator::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_FallingStars::Clone() const
{
    return std::make_unique<DS_FallingStars>(*this);
}

std::unique_ptr<KXI_RenderObj> DS_FallingStars::CreateExtraRenderObject()
{
    return CreateRenderObject();
}

void DS_FallingStars::BuildGeometry(DS_ParticlesObj& target)
{
    DS_ParticleRctRgnGenerator::BuildGeometry(target);
    PrepareMaskSurface();
    emitters.clear();
    target.SetLayerCount(kLayerCount);
    for (std::size_t layer = 0; layer < kLayerCount; ++layer)
        target.ResizeLayer(layer, 0);
}

void DS_FallingStars::Step(float localTime, DS_ParticlesObj& target)
{
    DS_ParticleGenerator::Step(localTime, target);
    SpawnStars();
    FillLayers(target);
}

void DS_FallingStars::SpawnStars()
{
    const float total = Total();
    EmitAlongEmitters(total);
    // Worked out in floating point and held to what one list can take before
    // it becomes an integer, so neither c nor c + 1 can overflow.
    const float whole = std::trunc(starRate.Scaled() * (total - starRate.lastEmission));
    if (whole != 0.0f)
        starRate.lastEmission = total;
    if (!(whole > 0.0f))
        return;
    const auto c = static_cast<std::int64_t>(2.0f * std::min(whole, float(kMaxGenParticles)));
    const std::int64_t k = crt::rand() % (c + 1);
    for (std::int64_t i = 0; i < k && emitters.size() < kMaxGenParticles; ++i)
        SpawnStar();
}

void DS_FallingStars::SpawnStar()
{
    const math::Vec3 topLeft = region.corners[0].value;
    const math::Vec3 bottomRight = region.corners[3].value;
    // y is drawn first.
    const float y = topLeft.y + static_cast<float>(crt::rand()) / kRandMax * (bottomRight.y - topLeft.y);
    const float x = topLeft.x + static_cast<float>(crt::rand()) / kRandMax * (bottomRight.x - topLeft.x);
    GenParticle& star = emitters.emplace_back();
    star.Init(x, y, 0.0f);
    star.channels[GenParticle::kOpacity] = 0.0f;
    star.channels[GenParticle::kAngle] = static_cast<float>(crt::rand()) / kRandMax * kFullTurn;

    const float fadeIn = fadeInTime.Scaled();
    const float shown = holdTime.Scaled() + fadeIn;
    const float life = shown + fadeOutTime.Scaled();
    const float v = starSpeed.Scaled();
    const math::Vec4& d = direction.Direction();
    star.AddProcess(std::make_unique<PAgeConst>(life));
    // The picture's y grows downwards: angle 90 flies up the screen.
    star.AddProcess(std::make_unique<PKinetic>(math::Vec3{d.x * v, -d.y * v, d.z * v}, math::Vec3{}));
    star.AddProcess(std::make_unique<PFade>(GenParticle::kOpacity, 0.0f, fadeIn, 1.0f));
    const float turn = crt::rand() % 2 != 0 ? -1.0f : 1.0f;
    star.AddProcess(std::make_unique<PSpin>(v * kSpinPerSpeed * turn));
    star.AddProcess(std::make_unique<PFade>(GenParticle::kOpacity, shown, life, -1.0f));
}

void DS_FallingStars::FillLayers(DS_ParticlesObj& target)
{
    const float level = CurrentTimelineLevel(*this);
    const float size = static_cast<float>(starSize.value);
    const float glow = glowFactor.Scaled();
    target.ResizeLayer(0, static_cast<std::int32_t>(emitters.size()));
    target.ResizeLayer(2, static_cast<std::int32_t>(emitters.size()));
    target.ResizeLayer(1, static_cast<std::int32_t>(particles.size()));
    target.ResizeLayer(3, static_cast<std::int32_t>(particles.size()));
    if (LockBoth(target, 0, 2)) {
        std::int32_t i = 0;
        for (const GenParticle& star : emitters) {
            target.SetRotatedParticleQuad(i, star, size, size, level, colour);
            target.SetParticleQuad(2, i, star, glow * size, level, colour2);
            ++i;
        }
        UnlockBoth(target, 0, 2);
    }
    if (target.LayerCount() >= 2 && LockBoth(target, 1, 3)) {
        const float trail = size * particleSize.Scaled();
        std::int32_t i = 0;
        for (const GenParticle& particle : particles) {
            target.SetParticleQuad(1, i, particle, trail, level, colour);
            target.SetParticleQuad(3, i, particle, glow * trail, level, colour2);
            ++i;
        }
        UnlockBoth(target, 1, 3);
    }
}

void DS_FallingStars::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawGlowComposite(*this, renderer, target, {{0, LoadedTexture(0)}, {1, LoadedTexture(1)}},
                      {{3, LoadedTexture(3)}, {2, LoadedTexture(2)}});
}
