#include "objects/ObjectAnimations.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "objectmodel/ParamRecords.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/Smoke.h"
#include "particles/generators/TimelineLevel.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/RenderContext.h"
#include "render/ResourceLoadingFrames.h"
#include "render/SharedResource.h"

namespace {

constexpr float kChannelMax = 255.0f;

std::uint32_t VertexColour(const DS_TexParticleGenerator& generator)
{
    return PackVertexColor(generator.colour.colour.value, static_cast<float>(generator.colour.opacity.Scaled()));
}

// Turns the picture over inside its quad: left-right swaps the u of the
// first and third and of the second and fourth vertex, top-bottom the v of
// the first and fourth and of the second and third.
void MirrorQuad(GenQuad& quad, bool leftRight, bool topBottom)
{
    if (leftRight) {
        std::swap(quad[0].u, quad[2].u);
        std::swap(quad[1].u, quad[3].u);
    }
    if (topBottom) {
        std::swap(quad[0].v, quad[3].v);
        std::swap(quad[1].v, quad[2].v);
    }
}

void ReadSpeedValue(ArchiveReader ar, MediaSpeedParam& speed)
{
    speed.StoreValue(ar.ReadDword());
    speed.UpdateScaled();
}

} // namespace

SpriteFrameInfo LoadFirstPictureFrames(const DS_TexParticleGenerator& generator)
{
    SpriteFrameInfo frames;
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager || generator.textureLinks.empty())
        return frames;
    const DS_ImageFileLink& link = generator.textureLinks.front();
    // An animated picture keeps its frames only when asked for as one.
    if (generator.textureSets == 0 && GetFileExtension(link.GetPath()) == u".gif") {
        frames = manager->GetAnimatedTexture(link, kFrameFilterDefault);
        if (frames.HasTexture())
            return frames;
        frames = SpriteFrameInfo{};
    }
    if (generator.LoadedTexture(0))
        frames.Init(*generator.loadedTextures.front());
    return frames;
}

// ---- DS_StaticAnimation ------------------------------------------------------------

DS_StaticAnimation::DS_StaticAnimation()
{
    frameSpeed.Rescale(0.01f, 0.0f);
    effectLink.StorePathAndId(kCommonResModule, kCommonResStaticAnimationEffect);
}

void DS_StaticAnimation::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadSpeedValue(ar, frameSpeed);
    reverse.StoreValue(ar.ReadInt());
    ReadSingleRectSection(ar);
}

void DS_StaticAnimation::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(frameSpeed.value);
    ar->WriteLong(reverse.value);
    DS_SingleRectGN::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_StaticAnimation::Clone() const
{
    return std::make_unique<DS_StaticAnimation>(*this);
}

void DS_StaticAnimation::BuildGeometry(DS_ParticlesObj& target)
{
    DS_SingleRectGN::BuildGeometry(target);
    frames = LoadFirstPictureFrames(*this);
}

void DS_StaticAnimation::Step(float localTime, DS_ParticlesObj&)
{
    frameSpeed.Advance(localTime);
    if (reverse.value != 0)
        frames.StepBackward(frameSpeed.Total());
    else
        frames.StepForward(frameSpeed.Total());
}

math::Vec4 DS_StaticAnimation::EffectColour() const
{
    const COLORREF c = colour.colour.value;
    const float level = CurrentTimelineLevel(*this);
    return {static_cast<float>(c & 0xFF) / kChannelMax, static_cast<float>((c >> 8) & 0xFF) / kChannelMax,
            static_cast<float>((c >> 16) & 0xFF) / kChannelMax,
            level * static_cast<float>(colour.opacity.Scaled()) / kChannelMax};
}

void DS_StaticAnimation::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    gfx::Texture* texture = frames.CurrentTexture();
    if (!effect || !texture)
        return;
    effect->SetTechnique("Blend_Normal");
    effect->SetTexture("Texture", texture);
    const math::Vec4 c = EffectColour();
    const float components[4] = {c.x, c.y, c.z, c.w};
    effect->SetFloatArray("Color", components, 4);
    target.DrawLayer(renderer, 0, effect.Get());
}

// ---- DS_BrownAnimation -------------------------------------------------------------

DS_BrownAnimation::DS_BrownAnimation()
{
    frameSpeed.Rescale(0.01f, 0.0f);
    frameSpeed.QuietSet(100);
    BindWanderSettings();
}

DS_BrownAnimation::DS_BrownAnimation(const DS_BrownAnimation& other)
    : DS_ParticleRctRgnGenerator(other), count(other.count), size(other.size), motionScale(other.motionScale),
      repickPeriod(other.repickPeriod), steerTime(other.steerTime), frameSpeed(other.frameSpeed),
      frames(other.frames), wanderRect(other.wanderRect)
{
    BindWanderSettings();
}

void DS_BrownAnimation::BindWanderSettings()
{
    wanderSettings.rectangle = &wanderRect;
    wanderSettings.speedFactor = &motionScale.Scaled();
    wanderSettings.repickPeriod = &repickPeriod.Scaled();
    wanderSettings.steeringTime = &steerTime.Scaled();
    RepointWanderers();
}

void DS_BrownAnimation::UpdateWanderRect()
{
    const math::Vec3 first = region.corners[0].value;
    const math::Vec3 fourth = region.corners[3].value;
    wanderRect = {first.x, first.y, fourth.x, fourth.y};
}

void DS_BrownAnimation::ReadBody(ArchiveReader ar, std::int32_t version)
{
    count.StoreValue(ar.ReadDword());
    size.QuietSet(ar.ReadDword());
    motionScale.QuietSet(ar.ReadDword());
    repickPeriod.QuietSet(ar.ReadDword());
    steerTime.QuietSet(ar.ReadDword());
    if (version >= kFirstVersionWithFrameSpeed)
        ReadSpeedValue(ar, frameSpeed);
    ReadRegionSection(ar);
}

void DS_BrownAnimation::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(count.value);
    ar->WriteDword(size.value);
    ar->WriteDword(motionScale.value);
    ar->WriteDword(repickPeriod.value);
    ar->WriteDword(steerTime.value);
    ar->WriteDword(frameSpeed.value);
    DS_ParticleRctRgnGenerator::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_BrownAnimation::Clone() const
{
    return std::make_unique<DS_BrownAnimation>(*this);
}

void DS_BrownAnimation::BuildGeometry(DS_ParticlesObj& target)
{
    DS_ParticleRctRgnGenerator::BuildGeometry(target);
    frames = LoadFirstPictureFrames(*this);
    emitters.clear();
    target.SetLayerCount(1);
    target.ResizeLayer(0, 0);
}

void DS_BrownAnimation::Step(float localTime, DS_ParticlesObj& target)
{
    frameSpeed.Advance(localTime);
    frames.StepForward(frameSpeed.Total());
    UpdateWanderRect();
    DS_ParticleRctRgnGenerator::Step(localTime, target);
    SyncCount();
    BuildCopies(target);
}

std::size_t DS_BrownAnimation::WantedCopies() const
{
    // A layer draws at most this many quads; a larger stored count would
    // otherwise never be reached.
    return std::min<std::size_t>(count.value, kMaxGenParticles);
}

void DS_BrownAnimation::SyncCount()
{
    const std::size_t wanted = WantedCopies();
    const math::Vec3 first = region.corners[0].value;
    const math::Vec3 fourth = region.corners[3].value;
    while (emitters.size() < wanted) {
        const float y = crt::RandomUnit() * (fourth.y - first.y) + first.y;
        const float x = crt::RandomUnit() * (fourth.x - first.x) + first.x;
        GenParticle& copy = emitters.emplace_back();
        copy.Init(x, y, 0.0f);
        copy.AddProcess(std::make_unique<PBrownian>(&wanderSettings));
    }
    while (emitters.size() > wanted)
        emitters.pop_back();
}

void DS_BrownAnimation::BuildCopies(DS_ParticlesObj& target)
{
    target.ResizeLayer(0, static_cast<std::int32_t>(emitters.size()));
    if (emitters.empty() || !target.LockLayer(0))
        return;
    const float width = static_cast<float>(frames.sourceWidth) * size.Scaled();
    const float height = static_cast<float>(frames.sourceHeight) * size.Scaled();
    const std::uint32_t argb = VertexColour(*this);
    std::int32_t index = 0;
    for (const GenParticle& copy : emitters) {
        GenQuad quad = BuildQuadCorners(copy.position, width, height);
        for (QuadBatchVertex& vertex : quad)
            vertex.colour = argb;
        target.SetQuad(0, index++, quad);
    }
    target.UnlockLayer(0);
}

void DS_BrownAnimation::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawTextureLayer(*this, renderer, target, frames.CurrentTexture());
}

// ---- DS_PathAnimtion ---------------------------------------------------------------

DS_PathAnimtion::DS_PathAnimtion()
{
    moveSpeed.Rescale(3.0f, 0.0f);
    frameSpeed.Rescale(0.01f, 0.0f);
    frameSpeed.QuietSet(100);
}

void DS_PathAnimtion::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadSpeedValue(ar, moveSpeed);
    size.QuietSet(ar.ReadDword());
    facing.StoreValue(ar.ReadInt());
    mirrorTopBottom.StoreValue(ar.ReadInt());
    mirrorLeftRight.StoreValue(ar.ReadInt());
    if (version >= kFirstVersionWithFrameSpeed)
        ReadSpeedValue(ar, frameSpeed);
    ReadPathGeneratorSection(ar);
}

void DS_PathAnimtion::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(moveSpeed.value);
    ar->WriteDword(size.value);
    ar->WriteLong(facing.value);
    ar->WriteLong(mirrorTopBottom.value);
    ar->WriteLong(mirrorLeftRight.value);
    ar->WriteDword(frameSpeed.value);
    DS_PathGenerator::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_PathAnimtion::Clone() const
{
    return std::make_unique<DS_PathAnimtion>(*this);
}

math::Vec3 DS_PathAnimtion::PointAt(std::size_t index) const
{
    return path.points[index]->value;
}

void DS_PathAnimtion::BuildGeometry(DS_ParticlesObj& target)
{
    const RenderContext* context = g_RenderContextTls;
    if (keepId == 0 && context) {
        while (path.GetPointCount() > 0)
            path.RemovePoint(path.GetPointCount() - 1, nullptr);
        const float w = context->pictureWidth;
        const float h = context->pictureHeight;
        path.AddPoint(DX_SmartPnt(math::Vec3{w / 3.0f, h / 2.0f, 0.0f}), nullptr);
        path.AddPoint(DX_SmartPnt(math::Vec3{2.0f * w / 3.0f, h / 2.0f, 0.0f}), nullptr);
    }
    DS_PathGenerator::BuildGeometry(target);
    frames = LoadFirstPictureFrames(*this);
    emitters.clear();
    target.SetLayerCount(1);
    state = PathState{};
    if (!path.points.empty())
        state.current = state.previous = PointAt(0);
}

void DS_PathAnimtion::Step(float localTime, DS_ParticlesObj& target)
{
    moveSpeed.Advance(localTime);
    frameSpeed.Advance(localTime);
    frames.StepForward(frameSpeed.Total());
    BuildPathQuad(target, moveSpeed.Step());
}

void DS_PathAnimtion::WalkPath(float step)
{
    state.previous = state.current;
    const std::size_t n = path.points.size();
    if (n == 0)
        return;
    float length = 0.0f;
    for (std::size_t i = 1; i < n; ++i)
        length += math::Vec3Length(PointAt(i) - PointAt(i - 1));
    if (!(length > 0.0f) || !std::isfinite(step)) {
        // One point, or all on one spot: the picture stays at the first.
        state = PathState{state.previous, PointAt(0)};
        return;
    }
    // A full way there and back leaves the walk where it was: a longer step
    // is first reduced to what it adds to whole cycles.
    const float cycle = 2.0f * length;
    if (step > cycle)
        step = std::fmod(step, cycle);
    if (state.point >= n) {
        state.point = 0;
        state.direction = 0;
    }
    state.covered += std::max(step, 0.0f);
    for (;;) {
        if (state.point == n - 1)
            state.direction = 1;
        else if (state.point == 0)
            state.direction = 0;
        const std::size_t next = state.direction == 0 ? state.point + 1 : state.point - 1;
        const math::Vec3 p = PointAt(state.point);
        const math::Vec3 q = PointAt(next);
        const float segment = math::Vec3Length(q - p);
        if (state.covered > segment) {
            // Zero-length segments are passed over without dividing.
            state.point = next;
            state.covered -= segment;
            continue;
        }
        state.current = segment > 0.0f ? p + (q - p) * (state.covered / segment) : p;
        return;
    }
}

GenQuad DS_PathAnimtion::FacingQuad(float width, float height) const
{
    if (facing.value == kFacingTurned) {
        math::Vec3 d;
        math::Vec3Normalize(&d, state.current - state.previous);
        // Without motion there is no way to face: the quad stays unturned.
        if (d.x != 0.0f || d.y != 0.0f || d.z != 0.0f)
            return BuildAnchoredQuadCorners(state.current, d * width, math::Vec3{d.y, -d.x, 0.0f} * height, 1.0f);
    }
    return BuildQuadCorners(state.current, width, height);
}

void DS_PathAnimtion::BuildPathQuad(DS_ParticlesObj& target, float step)
{
    WalkPath(step);
    // A path without points draws nothing.
    target.ResizeLayer(0, path.points.empty() ? 0 : 1);
    if (path.points.empty() || !target.LockLayer(0))
        return;
    const float width = static_cast<float>(frames.sourceWidth) * size.Scaled();
    const float height = static_cast<float>(frames.sourceHeight) * size.Scaled();
    GenQuad quad = FacingQuad(width, height);
    bool leftRight = mirrorLeftRight.value != 0;
    if (facing.value == kFacingMirrorX && !(state.current.x > state.previous.x))
        leftRight = !leftRight;
    bool topBottom = mirrorTopBottom.value != 0;
    if (facing.value == kFacingMirrorY && state.current.y > state.previous.y)
        topBottom = !topBottom;
    MirrorQuad(quad, leftRight, topBottom);
    const std::uint32_t argb = VertexColour(*this);
    for (QuadBatchVertex& vertex : quad)
        vertex.colour = argb;
    target.SetQuad(0, 0, quad);
    target.UnlockLayer(0);
}

void DS_PathAnimtion::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawTextureLayer(*this, renderer, target, frames.CurrentTexture());
}
