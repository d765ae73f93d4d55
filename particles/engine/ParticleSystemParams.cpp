#include "particles/engine/ParticleSystemParams.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/Geometry.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/ParticleSystemCtrl.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/EffectResolution.h"
#include "render/PictureBack.h"
#include "render/RenderContext.h"
#include "render/ResourceLoadingFrames.h"
#include "render/SharedResource.h"

namespace {

constexpr float kRandMax = 32767.0f;

std::int32_t DrawBelow(std::uint32_t n)
{
    return static_cast<std::int32_t>(static_cast<std::int64_t>(crt::rand()) % static_cast<std::int64_t>(n));
}

} // namespace

ParticleSystemParams::ParticleSystemParams()
{
    textureClock.Rescale(0.01f, 0.0f);
    spinClock.Rescale(0.05f, 0.0f);
    spinClock.QuietSet(0);
    glowSurface.strength.QuietSet(50u);
}

ParticleSystemParams::ParticleSystemParams(const ParticleSystemParams& other)
    : textureName(other.textureName), textureLink(other.textureLink), effectLink(other.effectLink),
      textureClock(other.textureClock), animationDirection(other.animationDirection),
      flipVertical(other.flipVertical), flipHorizontal(other.flipHorizontal), colours(other.colours),
      particleSize(other.particleSize), sizeEnvelope(other.sizeEnvelope), sizeJitter(other.sizeJitter),
      opacityEnvelope(other.opacityEnvelope), opacityJitter(other.opacityJitter), spinDirection(other.spinDirection),
      spinClock(other.spinClock), spinJitter(other.spinJitter), blendMode(other.blendMode),
      rotationMode(other.rotationMode), startAngle(other.startAngle), startAngleSpread(other.startAngleSpread),
      glowMode(other.glowMode), glowColour(other.glowColour), glowBrightness(other.glowBrightness),
      glowPasses(other.glowPasses), opacityOscillation(other.opacityOscillation),
      sizeOscillation(other.sizeOscillation), flags(other.flags), gravityDirection(other.gravityDirection),
      gravity(other.gravity), airResistance(other.airResistance), vibrationAlong(other.vibrationAlong),
      vibrationAcross(other.vibrationAcross), storedVersion(other.storedVersion), textures(other.textures),
      effect(other.effect), glowEffect(other.glowEffect), glowSurface(other.glowSurface)
{
}

void ParticleSystemParams::AssignFrom(const ParticleSystemParams& other)
{
    textureName.SetChangedValue(other.textureName.value, nullptr);
    textureLink.SetChangedValue(other.textureLink.value, nullptr);
    if (effectLink.Key() != other.effectLink.Key()) {
        effectLink.StorePathAndId(other.effectLink.Path(), other.effectLink.Id());
        effectLink.NotifyObservers(nullptr);
    }
    textureClock.SetChangedValue(other.textureClock.value, nullptr);
    animationDirection.SetChangedValue(other.animationDirection.value, nullptr);
    flipVertical.SetChangedValue(other.flipVertical.value, nullptr);
    flipHorizontal.SetChangedValue(other.flipHorizontal.value, nullptr);
    colours.colorMode.SetChangedValue(other.colours.colorMode.value, nullptr);
    colours.randomPick.SetChangedValue(other.colours.randomPick.value, nullptr);
    colours.colors.SetChangedValue(other.colours.colors.value, nullptr);
    colours.transparency.SetChangedValue(other.colours.transparency.value, nullptr);
    particleSize.SetChangedValue(other.particleSize.value, nullptr);
    sizeEnvelope.Assign(other.sizeEnvelope);
    sizeJitter.SetChangedValue(other.sizeJitter.value, nullptr);
    opacityEnvelope.Assign(other.opacityEnvelope);
    opacityJitter.SetChangedValue(other.opacityJitter.value, nullptr);
    spinDirection.SetChangedValue(other.spinDirection.value, nullptr);
    spinClock.SetChangedValue(other.spinClock.value, nullptr);
    spinJitter.SetChangedValue(other.spinJitter.value, nullptr);
    blendMode.SetChangedValue(other.blendMode.value, nullptr);
    rotationMode.SetChangedValue(other.rotationMode.value, nullptr);
    startAngle.SetChangedValue(other.startAngle.value, nullptr);
    startAngleSpread.SetChangedValue(other.startAngleSpread.value, nullptr);
    glowMode.SetChangedValue(other.glowMode.value, nullptr);
    glowSurface.strength.SetChangedValue(other.glowSurface.strength.value, nullptr);
    glowColour.SetChangedValue(other.glowColour.value, nullptr);
    glowBrightness.SetChangedValue(other.glowBrightness.value, nullptr);
    glowPasses.SetChangedValue(other.glowPasses.value, nullptr);
    opacityOscillation.AssignFrom(other.opacityOscillation);
    sizeOscillation.AssignFrom(other.sizeOscillation);
    flags = other.flags;
    gravityDirection.SetChangedValue(other.gravityDirection.value, nullptr);
    gravity.SetChangedValue(other.gravity.value, nullptr);
    airResistance.SetChangedValue(other.airResistance.value, nullptr);
    vibrationAlong.AssignFrom(other.vibrationAlong);
    vibrationAcross.AssignFrom(other.vibrationAcross);
}

// ---- resources --------------------------------------------------------------------

void ParticleSystemParams::LoadTextures()
{
    textures.clear();
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;
    const std::uint32_t filter = (flags & kFlagFilteredTextures) ? kFrameFilterDefault : kFrameFilterNone;
    for (const DS_ImageFileLink& link : textureLink.value.pictures)
        textures.push_back(manager->GetAnimatedTexture(link, filter));
}

void ParticleSystemParams::LoadEffect(std::string_view builtinEffect)
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;
    effect = ResolveEffectWithFallback(*manager, effectLink, builtinEffect, BuiltinEffectRule::ForAnyUnusableLink)
                 .effect;
    if (const RenderContext* context = g_RenderContextTls) {
        const auto width = static_cast<std::int32_t>(context->pictureWidth);
        const auto height = static_cast<std::int32_t>(context->pictureHeight);
        glowSurface.SetViewSize(width, height);
        if (width != 0 && height != 0)
            glowSurface.Resize();
    }
    glowEffect = manager->GetEffect(DS_FileLink3(kCommonResBlurEffect, kxi_string(kCommonResModule)));
    glowSurface.SetEffect(glowEffect.Get());
}

void ParticleSystemParams::AdvanceTime(float t)
{
    textureClock.Advance(t);
    spinClock.Advance(t);
    StepFrames(textures, textureClock.Total(), animationDirection.value != 0);
}

const SpriteFrameInfo* ParticleSystemParams::FirstTexture() const
{
    if (textures.empty() || !textures.front().HasTexture())
        return nullptr;
    return &textures.front();
}

std::int32_t ParticleSystemParams::EffectiveGlowMode() const
{
    const std::int32_t mode = glowMode.value;
    return mode == 1 || mode == 2 ? mode : 0;
}

const char* ParticleSystemParams::BlendTechnique() const
{
    return blendMode.value == 1 ? "BlendSum" : "BlendNormal";
}

std::uint32_t ParticleSystemParams::Columns() const
{
    return std::max(textureLink.value.columns, 1u);
}

std::uint32_t ParticleSystemParams::Rows() const
{
    return std::max(textureLink.value.rows, 1u);
}

// ---- particles --------------------------------------------------------------------

void ParticleSystemParams::DrawCell(InnerParticle& particle) const
{
    const std::uint32_t c = Columns();
    const std::uint32_t r = Rows();
    particle.cell[0] = 1.0f / static_cast<float>(c);
    particle.cell[1] = 1.0f / static_cast<float>(r);
    particle.cell[2] = static_cast<float>(DrawBelow(c)) / static_cast<float>(c);
    particle.cell[3] = static_cast<float>(DrawBelow(r)) / static_cast<float>(r);
}

void ParticleSystemParams::SetupParticle(InnerParticle& particle, ParticleRoutineHandle mainRoutine) const
{
    DrawCell(particle);
    if (mainRoutine)
        particle.SetMainRoutine(std::move(mainRoutine));
    particle.AddRoutine(ParticleRoutineHandle(new IPR_Color(&colours)), true);

    const float a = static_cast<float>(crt::rand());
    particle.values[InnerParticle::kSizeValue] = crt::RandomUnit();
    particle.values[InnerParticle::kOpacityValue] = crt::RandomUnit();
    const float j = spinJitter.Scaled();
    const float f = a / kRandMax * (1.0f - j) + j;
    switch (spinDirection.value) {
    case 0:
        particle.values[InnerParticle::kSpinFactor] = f;
        break;
    case 1:
        particle.values[InnerParticle::kSpinFactor] = -f;
        break;
    case 2:
        particle.values[InnerParticle::kSpinFactor] = crt::rand() % 2 == 0 ? f : -f;
        break;
    default:
        break;
    }

    const auto s = static_cast<float>(startAngleSpread.value);
    const float angle = static_cast<float>(startAngle.value) + (crt::RandomUnit() * 2.0f * s - s);
    math::MatrixRotationZ(&particle.matrix, -angle * kScenePi / 180.0f);

    opacityOscillation.AttachOscillation(InnerParticle::kOpacityMultiplier, particle);
    sizeOscillation.AttachOscillation(InnerParticle::kSizeMultiplier, particle);
    if (flags & kFlagVibrations) {
        vibrationAlong.AttachVibration(InnerParticle::kAlongOffset, particle);
        vibrationAcross.AttachVibration(InnerParticle::kAcrossOffset, particle);
    }
    if (flags & kFlagPhysics) {
        const float g = gravity.Scaled();
        if (gravityDirection.value == 1)
            particle.acceleration = {0.0f, g, 0.0f};
        else if (gravityDirection.value == 2)
            particle.acceleration = {0.0f, -g, 0.0f};
        if (const float k = airResistance.Scaled(); k > 0.0f)
            particle.AddRoutine(ParticleRoutineHandle(new IPR_AirResist(k)), false);
    }
}

float ParticleSystemParams::EnvelopeFactor(const InnerParticle& particle, const PercentParamQuad& envelope,
                                           float base) const
{
    const float lifetime = MainRoutineLifetime(particle);
    if (!(lifetime > 0.0f))
        return base;
    float t = particle.Age() / lifetime;
    t = std::isnan(t) ? 0.0f : std::clamp(t, 0.0f, 1.0f);
    const float e1 = envelope.percents[0].Scaled();
    const float e2 = envelope.percents[1].Scaled();
    const float e3 = envelope.percents[2].Scaled();
    const float e4 = envelope.percents[3].Scaled();
    if (t < e1)
        return base * (e3 + (t / e1) * (1.0f - e3));
    if (t > e2)
        return base * (e4 + ((1.0f - t) / (1.0f - e2)) * (1.0f - e4));
    return base;
}

float ParticleSystemParams::SizeFactor(const InnerParticle& particle) const
{
    const float own = particle.values[InnerParticle::kSizeValue];
    if (flags & kFlagOwnSize)
        return own;
    const float base = (1.0f - sizeJitter.Scaled() * own) * particle.multipliers[InnerParticle::kSizeMultiplier];
    return EnvelopeFactor(particle, sizeEnvelope, base);
}

float ParticleSystemParams::OpacityFactor(const InnerParticle& particle) const
{
    const float own = particle.values[InnerParticle::kOpacityValue];
    if (flags & kFlagOwnOpacity)
        return own;
    const float base =
        (1.0f - opacityJitter.Scaled() * own) * particle.multipliers[InnerParticle::kOpacityMultiplier];
    return EnvelopeFactor(particle, opacityEnvelope, base);
}

// ---- quads ------------------------------------------------------------------------

void ParticleSystemParams::BuildQuads(const InnerParticleList& particles, KXI_ParticleSystemMech& mech,
                                      std::uint32_t size, std::int32_t batch) const
{
    const SpriteFrameInfo* texture = FirstTexture();
    const float w = static_cast<float>(size);
    const float h = (texture ? texture->ratio : 1.0f) * w;
    const float uExtent = texture ? texture->uScale : 1.0f;
    const float vExtent = texture ? texture->vScale : 1.0f;
    const auto count = static_cast<std::int32_t>(std::min<std::size_t>(particles.Size(), InnerParticleList::kMaxParticles));
    mech.PrepareBatch(batch, count, texture, *this);
    QuadBatchBuffer* buffer = mech.Batch(batch);
    if (!buffer)
        return;
    QuadBatchVertex* vertices = buffer->LockQuads();
    if (!vertices) {
        mech.SetQuadCount(batch, 0);
        return;
    }
    const std::int32_t quads = mech.QuadCount(batch);
    const float transparency = static_cast<float>(colours.transparency.Scaled());
    const float spinTime = spinClock.Total();
    const bool spinning = spinClock.Scaled() != 0.0f;
    std::int32_t i = 0;
    for (auto it = particles.Particles().begin(); it != particles.Particles().end() && i < quads; ++it) {
        if (!*it)
            continue;
        const InnerParticle& p = **it;
        const float s = SizeFactor(p);
        math::Matrix m = p.matrix;
        if (rotationMode.value == kSpin && spinning) {
            const float angle = p.values[InnerParticle::kSpinFactor] * spinTime;
            if (angle != 0.0f) {
                math::Matrix spin;
                math::MatrixRotationZ(&spin, angle);
                m = m * spin;
            }
        } else if (rotationMode.value == kAlignWithVelocity) {
            math::Vec3 heading;
            math::Vec3Normalize(&heading, p.velocity);
            math::Matrix align;
            MakeRotationBetweenVectors(align, heading, {1.0f, 0.0f, 0.0f});
            m = m * align;
        }
        math::Vec3 a{w * s, 0.0f, 0.0f};
        math::Vec3 b{0.0f, h * s, 0.0f};
        math::Vec3TransformCoord(&a, a, m);
        math::Vec3TransformCoord(&b, b, m);
        QuadBatchVertex* quad = vertices + 4 * i;
        for (int k = 0; k < 4; ++k) {
            quad[k].u = quad[k].u * p.cell[0] + p.cell[2] * uExtent;
            quad[k].v = quad[k].v * p.cell[1] + p.cell[3] * vExtent;
        }
        const math::Vec3 c = p.position + p.direction * p.multipliers[InnerParticle::kAlongOffset] +
                             p.perpendicular * p.multipliers[InnerParticle::kAcrossOffset];
        const math::Vec3 ha = a * 0.5f;
        const math::Vec3 hb = b * 0.5f;
        const math::Vec3 corners[4] = {c - ha + hb, c - ha - hb, c + ha + hb, c + ha - hb};
        for (int k = 0; k < 4; ++k) {
            quad[k].x = corners[k].x;
            quad[k].y = corners[k].y;
            quad[k].z = corners[k].z;
        }
        SetQuadVertexColor(p.colour, transparency * OpacityFactor(p), quad);
        ++i;
    }
    buffer->UnlockQuads();
    mech.SetQuadCount(batch, i);
}

// ---- drawing ----------------------------------------------------------------------

void ParticleSystemParams::Render(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer)
{
    RenderGlow(mech, batch, renderer);
    const SpriteFrameInfo* texture = FirstTexture();
    if (!texture || !effect)
        return;
    effect->SetTexture("Texture0", texture->CurrentTexture());
    mech.DrawBatch(renderer, effect.Get(), BlendTechnique(), batch);
}

gfx::Ref<gfx::Texture> ParticleSystemParams::CaptureGlow(KXI_ParticleSystemMech& mech, std::int32_t batch,
                                                         DS_ABRender& renderer)
{
    const SpriteFrameInfo* texture = FirstTexture();
    // Without the blur effect the capture would come back unblurred: no glow.
    if (!texture || !glowEffect)
        return {};
    effect->SetTexture("Texture0", texture->CurrentTexture());
    if (!glowSurface.BeginCapture(renderer))
        return {};
    mech.DrawBatch(renderer, effect.Get(), "BlendNormal", batch);
    return gfx::Ref<gfx::Texture>(glowSurface.Blur(renderer, glowPasses.value));
}

void ParticleSystemParams::RenderGlow(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer)
{
    const std::int32_t mode = EffectiveGlowMode();
    if (mode == 0)
        return;
    if (!effect) {
        // Mode 2 took the picture drawn so far; without the effect that
        // screens the glow over it, it comes back plain.
        if (mode == 2)
            DrawPictureBack(renderer);
        return;
    }
    const gfx::Ref<gfx::Texture> blurred = CaptureGlow(mech, batch, renderer);
    // Mode 2 has handed the picture over to this object: it is drawn back
    // even when there is no glow to lay over it (a glow weight of 0).
    if (!blurred && mode == 1)
        return;
    effect->SetTexture("Texture0", blurred.Get());
    const COLORREF colour = glowColour.value;
    const float rgb[3] = {static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                          static_cast<float>((colour >> 16) & 0xFF) / 255.0f};
    effect->SetFloatArray("GlowColor", rgb, 3);
    effect->SetFloat("GlowBrightness", blurred ? glowBrightness.Scaled() : 0.0f);
    if (mode == 2) {
        effect->SetTexture("Background", renderer.GetTargetTexture());
        effect->SetTechnique("DrawGlowScreen");
    } else {
        effect->SetTechnique("DrawGlowNormal");
    }
    renderer.DrawWithEffect(renderer.GetBackgroundQuad(), *effect);
    effect->SetTexture("Background", nullptr);
}

// ---- stored form ------------------------------------------------------------------

namespace {

// The pictures of a version 6 or older block: the first one is also the
// record's source link (none without pictures).
void ReadLegacyPictures(ArchiveReader ar, DS_NamedFileLinkData& data)
{
    ReadImageLinkVector(ar, data.pictures);
    if (data.pictures.empty())
        return;
    data.sourcePath = data.pictures.front().Path();
    data.sourceId = data.pictures.front().Id();
}

void SetFirstColour(ColorSequenceParams& colours, COLORREF colour)
{
    if (colours.colors.value.empty())
        colours.colors.value.push_back(colour);
    else
        colours.colors.value.front() = colour;
}

} // namespace

void ParticleSystemParams::Read(ArchiveReader ar, std::int32_t version)
{
    DS_NamedFileLinkData link;
    if (version >= 7)
        ReadResourceRecord(ar, link);
    else
        ReadLegacyPictures(ar, link);
    textureLink.StoreValue(std::move(link));
    ReadFileLink(ar, effectLink);
    textureClock.StoreValue(ar.ReadDword());
    animationDirection.StoreValue(ar.ReadInt());
    flipVertical.StoreValue(ar.ReadInt());
    flipHorizontal.StoreValue(ar.ReadInt());
    particleSize.StoreValue(ar.ReadDword());
    if (version >= 11) {
        ReadColorSequenceParams(ar, colours);
    } else {
        SetFirstColour(colours, static_cast<COLORREF>(ar.ReadInt()));
        colours.transparency.SetChangedValue(ar.ReadDword(), nullptr);
    }
    if (version >= 2) {
        sizeEnvelope.percents[0].SetChangedValue(ar.ReadDword(), nullptr);
        sizeEnvelope.percents[1].SetChangedValue(ar.ReadDword(), nullptr);
        opacityEnvelope.percents[0].SetChangedValue(ar.ReadDword(), nullptr);
        opacityEnvelope.percents[1].SetChangedValue(ar.ReadDword(), nullptr);
        sizeJitter.SetChangedValue(ar.ReadDword(), nullptr);
        opacityJitter.SetChangedValue(ar.ReadDword(), nullptr);
        spinDirection.StoreValue(ar.ReadInt());
        spinClock.StoreValue(ar.ReadDword());
        spinJitter.StoreValue(ar.ReadDword());
        blendMode.StoreValue(ar.ReadInt());
    }
    if (version >= 3) {
        sizeEnvelope.percents[2].SetChangedValue(ar.ReadDword(), nullptr);
        sizeEnvelope.percents[3].SetChangedValue(ar.ReadDword(), nullptr);
        // The start opacity is stored twice; the end opacity is not stored.
        opacityEnvelope.percents[2].SetChangedValue(ar.ReadDword(), nullptr);
        opacityEnvelope.percents[2].SetChangedValue(ar.ReadDword(), nullptr);
    }
    if (version >= 4) {
        rotationMode.StoreValue(ar.ReadInt());
        startAngle.StoreValue(ar.ReadDword());
        startAngleSpread.StoreValue(ar.ReadDword());
    } else {
        rotationMode.StoreValue(spinClock.value != 0 ? kSpin : kNoRotation);
        startAngle.StoreValue(0);
        startAngleSpread.StoreValue(0);
    }
    if (version >= 5) {
        glowMode.StoreValue(ar.ReadInt());
        glowSurface.strength.StoreValue(ar.ReadDword());
        glowColour.StoreValue(static_cast<COLORREF>(ar.ReadInt()));
        glowBrightness.SetChangedValue(ar.ReadDword(), nullptr);
        glowPasses.StoreValue(ar.ReadInt());
    }
    if (version >= 6) {
        DS_FileLink3 discarded;
        ReadFileLink(ar, discarded);
    }
    if (version >= 8) {
        ReadOscillationParams(ar, opacityOscillation);
        ReadOscillationParams(ar, sizeOscillation);
    }
    if (version >= 9) {
        flags = static_cast<std::uint32_t>(ar.ReadInt());
        gravityDirection.StoreValue(ar.ReadInt());
        gravity.SetChangedValue(ar.ReadDword(), nullptr);
        airResistance.SetChangedValue(ar.ReadDword(), nullptr);
    }
    if (version >= 10) {
        ReadOscillationParams(ar, vibrationAlong);
        ReadOscillationParams(ar, vibrationAcross);
    }
}

void ParticleSystemParams::ReadRecord(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadInt();
    storedVersion = version;
    textureName.StoreValue(ar.ReadWideString());
    Read(ar, version);
}

void ParticleSystemParams::Write(ArchiveWriter ar) const
{
    WriteResourceRecord(ar, textureLink.value);
    WriteFileLink(ar, effectLink);
    ar->WriteDword(textureClock.value);
    ar->WriteLong(animationDirection.value);
    ar->WriteLong(flipVertical.value);
    ar->WriteLong(flipHorizontal.value);
    ar->WriteDword(particleSize.value);
    WriteColorSequenceParams(ar, colours);
    for (const UINTSclaleTo<float>* percent : {&sizeEnvelope.percents[0], &sizeEnvelope.percents[1],
                                               &opacityEnvelope.percents[0], &opacityEnvelope.percents[1],
                                               &sizeJitter, &opacityJitter})
        ar->WriteDword(percent->value);
    ar->WriteLong(spinDirection.value);
    ar->WriteDword(spinClock.value);
    ar->WriteDword(spinJitter.value);
    ar->WriteLong(blendMode.value);
    ar->WriteDword(sizeEnvelope.percents[2].value);
    ar->WriteDword(sizeEnvelope.percents[3].value);
    ar->WriteDword(opacityEnvelope.percents[2].value);
    ar->WriteDword(opacityEnvelope.percents[2].value);
    ar->WriteLong(rotationMode.value);
    ar->WriteDword(startAngle.value);
    ar->WriteDword(startAngleSpread.value);
    ar->WriteLong(glowMode.value);
    ar->WriteDword(glowSurface.strength.value);
    ar->WriteLong(static_cast<std::int32_t>(glowColour.value));
    ar->WriteDword(glowBrightness.value);
    ar->WriteLong(glowPasses.value);
    WriteFileLink(ar, DS_FileLink3(kCommonResBlurEffect, kxi_string(kCommonResModule)));
    WriteOscillationParams(ar, opacityOscillation);
    WriteOscillationParams(ar, sizeOscillation);
    ar->WriteLong(static_cast<std::int32_t>(flags));
    ar->WriteLong(gravityDirection.value);
    ar->WriteDword(gravity.value);
    ar->WriteDword(airResistance.value);
    WriteOscillationParams(ar, vibrationAlong);
    WriteOscillationParams(ar, vibrationAcross);
}
