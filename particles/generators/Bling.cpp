#include "particles/generators/Bling.h"

#include <algorithm>
#include <cmath>

#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TimelineLevel.h"
#include "render/ABRender.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kBlingClockScale = 0.02f;
constexpr float kTwinkleScale = 0.01f;
constexpr float kTwinkleOffset = 1.0f;
constexpr std::int32_t kFirstVersionWithSpin = 2;
constexpr int kAgeingSteps = 10;

std::uint32_t SparkleColour(const ColorAndOpacity& colour, float alphaFactor)
{
    return PackVertexColor(colour.colour.value, static_cast<float>(colour.opacity.Scaled()) * alphaFactor);
}

GenQuad Coloured(GenQuad quad, std::uint32_t argb)
{
    for (QuadBatchVertex& vertex : quad)
        vertex.colour = argb;
    return quad;
}

} // namespace

// ---- DS_Bling ----------------------------------------------------------------------------

DS_Bling::DS_Bling()
{
    lifeSpeed.Rescale(kBlingClockScale, 0.0f);
    spinSpeed.Rescale(kBlingClockScale, 0.0f);
}

void DS_Bling::ReadBody(ArchiveReader ar, std::int32_t version)
{
    lifeSpeed.QuietSet(ar.ReadDword());
    shrinkTime.QuietSet(ar.ReadDword());
    growTime.QuietSet(ar.ReadDword());
    if (version >= kFirstVersionWithSpin) {
        spinSpeed.QuietSet(ar.ReadDword());
        sizeFloor.QuietSet(ar.ReadDword());
    }
    ReadAirBrushSection(ar);
}

void DS_Bling::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(lifeSpeed.value);
    ar->WriteDword(shrinkTime.value);
    ar->WriteDword(growTime.value);
    ar->WriteDword(spinSpeed.value);
    ar->WriteDword(sizeFloor.value);
    DS_AirBrush::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_Bling::Clone() const
{
    return std::make_unique<DS_Bling>(*this);
}

std::unique_ptr<KXI_RenderObj> DS_Bling::CreateExtraRenderObject()
{
    return CreateRenderObject();
}

float DS_Bling::GrowSeconds() const
{
    return std::max(growTime.Scaled(), kMinPhaseSeconds);
}

float DS_Bling::ShrinkSeconds() const
{
    return std::max(shrinkTime.Scaled(), kMinPhaseSeconds);
}

float DS_Bling::StartSparkle(GenParticle& dab) const
{
    const float grow = GrowSeconds();
    const float shrink = ShrinkSeconds();
    const float cycle = grow + shrink;
    dab.channels[GenParticle::kLife] = 0.0f;
    dab.channels[GenParticle::kScale] = 0.0f;
    dab.AddProcess(std::make_unique<PLifeConst>(1.0f / cycle));
    dab.AddProcess(std::make_unique<PSteady>(GenParticle::kScale, 0.0f, grow / cycle, 1.0f / grow));
    dab.AddProcess(
        std::make_unique<PSteady>(GenParticle::kScale, grow / cycle, grow / cycle + shrink / cycle, -1.0f / shrink));
    return cycle;
}

void DS_Bling::AgeRandomly(GenParticle& dab, float cycle)
{
    const float age = DrawRandomUnit() * cycle;
    for (int i = 0; i < kAgeingSteps; ++i)
        dab.RunProcesses(age * 0.1f);
}

void DS_Bling::BuildGeometry(DS_ParticlesObj& target)
{
    DS_TexParticleGenerator::BuildGeometry(target);
    target.SetLayerCount(2);
    target.ResizeLayer(0, 0);
    target.ResizeLayer(1, 0);
    PrepareMaskSurface();
    for (GenParticle& dab : dabs)
        AgeRandomly(dab, StartSparkle(dab));
}

void DS_Bling::AddParticleAt(const math::Vec3& point, const DabStroke& stroke)
{
    GenParticle dab;
    dab.Init(point.x, point.y, point.z);
    const float cycle = StartSparkle(dab);
    dab.channels[kSizeFactorChannel] = stroke.size;
    dab.channels[kStartAngleChannel] = stroke.turn * kTwoPi;
    AgeRandomly(dab, cycle);
    dabs.push_back(std::move(dab));
}

void DS_Bling::Step(float localTime, DS_ParticlesObj& target)
{
    lifeSpeed.Advance(localTime);
    spinSpeed.Advance(localTime);
    const float dt = lifeSpeed.Step();
    for (GenParticle& dab : dabs) {
        if (dab.RunProcesses(dt))
            continue;
        // Sparkles never leave the list: an ended cycle starts again.
        dab.processes.clear();
        StartSparkle(dab);
    }
    WriteSparkleLayers(target);
}

void DS_Bling::WriteSparkleLayers(DS_ParticlesObj& target)
{
    const std::int32_t count = DrawnDabCount(dabs);
    target.ResizeLayer(0, count);
    target.ResizeLayer(1, count);
    if (!target.LockLayers(0, 1))
        return;
    const float floor = sizeFloor.Scaled();
    const float spin = spinSpeed.Total();
    const float level = CurrentTimelineLevel(*this);
    const float brush = static_cast<float>(brushSize.value);
    std::int32_t index = 0;
    for (const GenParticle& dab : dabs) {
        if (index >= count)
            break;
        const float angle = dab.channels[kStartAngleChannel] + spin;
        const math::Vec3 across{std::cos(angle), std::sin(angle), 0.0f};
        const math::Vec3 down{-std::sin(angle), std::cos(angle), 0.0f};
        // Large steps (the random ageing takes tenths of a cycle) carry the
        // scale past 0 or 1 by up to a step: the size stays within its cycle.
        const float scale = std::clamp(dab.channels[GenParticle::kScale], 0.0f, 1.0f);
        const float size = ((1.0f - floor) * scale + floor) * brush * dab.channels[kSizeFactorChannel];
        const float alphaFactor = level * dab.channels[GenParticle::kOpacity];
        const GenQuad quad = BuildAnchoredQuadCorners(dab.position, across, down, size);
        target.SetQuad(0, index, Coloured(quad, SparkleColour(colour2, alphaFactor)));
        target.SetQuad(1, index, Coloured(quad, SparkleColour(colour, alphaFactor)));
        ++index;
    }
    target.UnlockLayer(0);
    target.UnlockLayer(1);
}

void DS_Bling::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawJoinedLayers(1, renderer, target);
    Composite(renderer);
}

// ---- DS_TwinklingStars ---------------------------------------------------------------

DS_TwinklingStars::DS_TwinklingStars()
{
    twinkleSpeed.Rescale(kTwinkleScale, kTwinkleOffset);
}

void DS_TwinklingStars::ReadBody(ArchiveReader ar, std::int32_t)
{
    twinkleSpeed.QuietSet(ar.ReadDword());
    ReadAirBrushSection(ar);
}

void DS_TwinklingStars::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(twinkleSpeed.value);
    DS_AirBrush::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_TwinklingStars::Clone() const
{
    return std::make_unique<DS_TwinklingStars>(*this);
}

void DS_TwinklingStars::BuildGeometry(DS_ParticlesObj& target)
{
    DS_AirBrush::BuildGeometry(target);
    for (GenParticle& dab : dabs)
        dab.AddProcess(std::make_unique<PTwinkle>(GenParticle::kScale, 0.0f, dab.channels[GenParticle::kScale], 0.0f));
}

void DS_TwinklingStars::AddParticleAt(const math::Vec3& point, const DabStroke& stroke)
{
    GenParticle dab;
    dab.Init(point.x, point.y, point.z);
    dab.channels[GenParticle::kScale] = stroke.size;
    dab.channels[GenParticle::kOpacity] = 0.5f + 0.5f * DrawRandomUnit();
    dab.AddProcess(std::make_unique<PTwinkle>(GenParticle::kScale, 0.0f, stroke.size, 0.0f));
    dabs.push_back(std::move(dab));
}

void DS_TwinklingStars::Step(float localTime, DS_ParticlesObj&)
{
    twinkleSpeed.Advance(localTime);
    const float dt = twinkleSpeed.Step();
    // Stars never die: the processes' answers are not used.
    for (GenParticle& dab : dabs)
        dab.RunProcesses(dt);
    RebuildBrushQuads();
}
