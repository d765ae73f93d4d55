#include "particles/generators/AnimatedFont.h"

#include <algorithm>

#include "particles/generators/ParticlesObj.h"
#include "platform/gfx/Device.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/ResourceLoading.h"

namespace {

constexpr float kFrameSpeedScale = 0.01f;
// A character and an empty link.
constexpr std::size_t kMinCharacterEntryBytes = 2 + kMinFileLinkBytes;

BoundingRect Union(const BoundingRect& a, const BoundingRect& b)
{
    const float left = std::min(a.x, b.x);
    const float top = std::min(a.y, b.y);
    const float right = std::max(a.x + a.width, b.x + b.width);
    const float bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

} // namespace

DS_AnimatedFont::DS_AnimatedFont()
{
    frameSpeed.Rescale(kFrameSpeedScale, 0.0f);
}

void DS_AnimatedFont::ReadBody(ArchiveReader ar, std::int32_t)
{
    text.StoreValue(ar.ReadWideString());
    frameSpeed.QuietSet(ar.ReadDword());
    scale.QuietSet(ar.ReadDword());
    for (MediaParamT<std::uint32_t>& setting : settings)
        setting.StoreValue(ar.ReadDword());
    signedSetting.StoreValue(ar.ReadLong());
    const std::size_t entries = ar.ReadCount(kMinCharacterEntryBytes);
    for (std::size_t i = 0; i < entries; ++i) {
        const char16_t character = ar.ReadWord();
        DS_FileLink3 link;
        ReadFileLink(ar, link);
        characterTable.insert_or_assign(character, link);
    }
    ReadImageLinkVector(ar, glyphImages);
    ReadStaticSection(ar);
}

void DS_AnimatedFont::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteWideString(text.value);
    ar->WriteDword(frameSpeed.value);
    ar->WriteDword(scale.value);
    for (const MediaParamT<std::uint32_t>& setting : settings)
        ar->WriteDword(setting.value);
    ar->WriteLong(signedSetting.value);
    ar->WriteDword(static_cast<std::uint32_t>(characterTable.size()));
    for (const auto& [character, link] : characterTable) {
        ar->WriteWord(character);
        WriteFileLink(ar, link);
    }
    WriteFileLinkVector(ar, glyphImages);
    DS_StaticGenerator::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_AnimatedFont::Clone() const
{
    return std::make_unique<DS_AnimatedFont>(*this);
}

std::size_t DS_AnimatedFont::GlyphCount() const
{
    const std::size_t common = std::min(glyphPictures.size(), emitters.size());
    return std::min<std::size_t>(common, DS_ParticlesObj::kMaxLayerQuads);
}

void DS_AnimatedFont::BuildGeometry(DS_ParticlesObj& target)
{
    DS_StaticGenerator::BuildGeometry(target);
    target.SetLayerCount(1);
    target.ResizeLayer(0, 0);
    glyphPictures.clear();
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        for (const DS_ImageFileLink& link : glyphImages) {
            SpriteFrameInfo picture;
            picture.Init(manager->GetTextureSet(link));
            glyphPictures.push_back(std::move(picture));
        }
    }
    BuildGlyphQuads(target);
    SetLineTransform(target);
}

void DS_AnimatedFont::BuildGlyphQuads(DS_ParticlesObj& target)
{
    const auto count = static_cast<std::int32_t>(GlyphCount());
    target.ResizeLayer(0, count);
    if (count == 0 || !target.LockLayer(0))
        return;
    BoundingRect bounds;
    std::int32_t index = 0;
    for (const GenParticle& glyph : emitters) {
        if (index >= count)
            break;
        const SpriteFrameInfo& picture = glyphPictures[static_cast<std::size_t>(index)];
        const GenQuad quad = BuildCornerQuad(glyph.position, static_cast<float>(picture.sourceWidth),
                                             static_cast<float>(picture.sourceHeight));
        const BoundingRect glyphBounds = QuadBounds(quad);
        bounds = index == 0 ? glyphBounds : Union(bounds, glyphBounds);
        target.SetQuad(0, index++, quad);
    }
    target.UnlockLayer(0);
    sourceOutline.SetRectangle(bounds.width, bounds.height,
                               {bounds.x + bounds.width / 2, bounds.y + bounds.height / 2, 0.0f});
}

void DS_AnimatedFont::SetLineTransform(DS_ParticlesObj& target)
{
    const math::Vec3 p = position.value;
    const float s = scale.Scaled();
    math::Matrix toOrigin, scaling, back;
    math::MatrixTranslation(&toOrigin, -p.x, -p.y, -p.z);
    math::MatrixScaling(&scaling, s, s, s);
    math::MatrixTranslation(&back, p.x, p.y, p.z);
    const math::Matrix world = toOrigin * scaling * back;
    if (QuadBatchBuffer* layer = target.Layer(0))
        layer->header.world = world;
    for (std::size_t i = 0; i < outline.corners.size(); ++i) {
        math::Vec3 corner;
        math::Vec3TransformCoord(&corner, sourceOutline.corners[i].value, world);
        outline.corners[i].StoreValue(corner);
    }
}

void DS_AnimatedFont::Step(float localTime, DS_ParticlesObj&)
{
    frameSpeed.Advance(localTime);
    for (SpriteFrameInfo& picture : glyphPictures)
        FrameSequence::Step(picture, frameSpeed.Total());
}

void DS_AnimatedFont::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    QuadBatchBuffer* layer = target.Layer(0);
    gfx::Device* device = GetResourceDevice();
    if (!layer || !device)
        return;
    const std::size_t count = std::min<std::size_t>(GlyphCount(), static_cast<std::size_t>(target.QuadCount(0)));
    for (std::size_t i = 0; i < count; ++i) {
        gfx::Texture* frame = glyphPictures[i].CurrentTexture();
        if (!frame)
            continue;
        device->SetTexture(0, frame);
        renderer.DrawIndexedOptionalEffect(*layer, effect.Get(), static_cast<std::uint32_t>(i), 1);
    }
}
