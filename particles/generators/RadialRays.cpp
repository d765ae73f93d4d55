#include "particles/generators/RadialRays.h"

#include <algorithm>
#include <cmath>

#include "particles/generators/ParticlesObj.h"
#include "particles/generators/QuadBuilders.h"
#include "objectmodel/ScaledParams.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "render/RenderContext.h"
#include "render/Timing.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kRotationScale = 0.02f;
// Texture corners of a ray, root to tip along u: kept off the edges.
constexpr float kNear = 0.01f;
constexpr float kFar = 0.99f;

math::Vec3 Scaled(const math::Vec3& v, float s)
{
    return {v.x * s, v.y * s, v.z * s};
}

// The vertex colour of the rays: alpha byte over the colour word's bytes.
std::uint32_t RayColour(COLORREF colour, std::uint32_t alpha)
{
    return (alpha << 24) | (std::uint32_t(GetRValue(colour)) << 16) | (std::uint32_t(GetGValue(colour)) << 8) |
           std::uint32_t(GetBValue(colour));
}

} // namespace

// ---- DS_StaticGenerator ----------------------------------------------------------

void DS_StaticGenerator::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteFloat(position.value.x);
    ar->WriteFloat(position.value.y);
    ar->WriteFloat(position.value.z);
    DS_TexParticleGenerator::Save(ar);
}

void DS_StaticGenerator::ReadStaticSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    math::Vec3 point;
    point.x = ar.ReadFloat();
    point.y = ar.ReadFloat();
    point.z = ar.ReadFloat();
    position.StoreValue(point);
    ReadTexGeneratorSection(ar);
}

void DS_StaticGenerator::BuildGeometry(DS_ParticlesObj& target)
{
    DS_TexParticleGenerator::BuildGeometry(target);
    if (keepId != 0)
        return;
    if (const RenderContext* context = g_RenderContextTls) {
        const math::Vec3 centre{context->pictureWidth / 2.0f, context->pictureHeight / 2.0f, 0.0f};
        position.SetChangedValue(centre, nullptr);
    }
    keepId = 1;
}

// ---- DS_RadialRays -------------------------------------------------------------------

DS_RadialRays::DS_RadialRays()
{
    rotationSpeed.Rescale(kRotationScale, 0.0f);
}

void DS_RadialRays::ReadBody(ArchiveReader ar, std::int32_t)
{
    length.StoreValue(ar.ReadDword());
    width.StoreValue(ar.ReadDword());
    count.StoreValue(ar.ReadDword());
    textureIndex.StoreValue(ar.ReadLong());
    random.StoreValue(ar.ReadLong());
    seed.StoreValue(ar.ReadDword());
    variation.QuietSet(ar.ReadDword());
    rotationSpeed.QuietSet(ar.ReadDword());
    rotationMode.StoreValue(ar.ReadLong());
    timingFloor.QuietSet(ar.ReadDword());
    swingAmplitude.QuietSet(ar.ReadDword());
    ReadStaticSection(ar);
}

void DS_RadialRays::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(length.value);
    ar->WriteDword(width.value);
    ar->WriteDword(count.value);
    ar->WriteLong(textureIndex.value);
    ar->WriteLong(random.value);
    ar->WriteDword(seed.value);
    ar->WriteDword(variation.value);
    ar->WriteDword(rotationSpeed.value);
    ar->WriteLong(rotationMode.value);
    ar->WriteDword(timingFloor.value);
    ar->WriteDword(swingAmplitude.value);
    DS_StaticGenerator::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_RadialRays::Clone() const
{
    return std::make_unique<DS_RadialRays>(*this);
}

std::unique_ptr<KXI_RenderObj> DS_RadialRays::CreateExtraRenderObject()
{
    return CreateRenderObject();
}

void DS_RadialRays::Step(float localTime, DS_ParticlesObj&)
{
    rotationSpeed.Advance(localTime);
    const float total = rotationSpeed.Total();
    switch (rotationMode.value) {
    case kTurnBackwards:
        m_angle = -total;
        break;
    case kSwing:
        m_angle = std::sin(total) * swingAmplitude.Scaled();
        break;
    default:
        m_angle = total;
        break;
    }
    math::MatrixRotationZ(&rotation, m_angle);
}

void DS_RadialRays::BuildGeometry(DS_ParticlesObj& target)
{
    DS_StaticGenerator::BuildGeometry(target);
    PrepareMaskSurface();
    target.SetLayerCount(1);
    target.ResizeLayer(0, 0);
    BuildRays(target);
}

void DS_RadialRays::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    BuildRays(target);
    // Without a texture the masked draw draws no rays, but still gives back
    // the picture that the screen and dodge modes were handed.
    gfx::Texture* texture = nullptr;
    if (!loadedTextures.empty()) {
        const auto last = static_cast<std::int32_t>(loadedTextures.size()) - 1;
        texture = LoadedTexture(static_cast<std::size_t>(std::clamp(textureIndex.value, 0, last)));
    }
    DrawMaskedLayer(renderer, target, texture);
}

float DS_RadialRays::TimelineLevel() const
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline ? timeline->GetValue() : 1.0f;
}

void DS_RadialRays::BuildRays(DS_ParticlesObj& target)
{
    const int r0 = crt::rand();
    const bool randomOn = random.value != 0;
    if (randomOn)
        crt::srand(seed.value);
    // The count is taken as a signed number: 0 or less draws nothing.
    const auto signedCount = static_cast<std::int32_t>(count.value);
    const std::int32_t rays = std::clamp(signedCount, 0, DS_ParticlesObj::kMaxLayerQuads);
    target.ResizeLayer(0, rays);
    if (target.LockLayer(0)) {
        float L = static_cast<float>(length.value);
        float W = static_cast<float>(width.value);
        std::uint32_t alpha = colour.opacity.Scaled();
        const float f = timingFloor.Scaled();
        const float level = TimelineLevel() * (1.0f - f) + f;
        if (timing.clockMode.value == 0) {
            W = W * level;
            L = L * level;
        } else if (timing.clockMode.value == 1) {
            alpha = static_cast<std::uint32_t>(ScaledFloatToByte(static_cast<float>(alpha) * level));
        }
        const float s = variation.Scaled();
        const math::Vec3 origin = position.value;
        const std::uint32_t rayColour = RayColour(colour.colour.value, alpha);
        math::Vec3 direction;
        math::Vec3TransformCoord(&direction, {L, 0.0f, 0.0f}, rotation);
        const float step = rays > 0 ? kTwoPi / static_cast<float>(signedCount) : 0.0f;
        math::Matrix turn;
        math::MatrixRotationZ(&turn, step);
        for (std::int32_t i = 0; i < rays; ++i) {
            const float b = randomOn ? DrawRandomUnit() * (1.0f - s) + s : 1.0f;
            const math::Vec3 d = Scaled(direction, b);
            const float a = b * L;
            const float w = b * W;
            GenQuad quad = BuildSegmentQuad(origin, d, a, w, w);
            quad[0].u = kNear, quad[0].v = kFar;
            quad[1].u = kNear, quad[1].v = kNear;
            quad[2].u = kFar, quad[2].v = kFar;
            quad[3].u = kFar, quad[3].v = kNear;
            for (QuadBatchVertex& vertex : quad)
                vertex.colour = rayColour;
            if (randomOn)
                math::MatrixRotationZ(&turn, DrawRandomUnit() * ((2.0f - s) * step - s * step) + s * step);
            math::Vec3TransformCoord(&direction, direction, turn);
            target.SetQuad(0, i, quad);
        }
        target.UnlockLayer(0);
    }
    if (randomOn)
        crt::srand(static_cast<unsigned>(r0));
}
