#include "objects/TextItems.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/StoredParams.h"
#include "platform/math/MathFunctions.h"
#include "platform/win/Cursor.h"
#include "render/RenderContext.h"
#include "render/SharedResource.h"
#include "render/Timing.h"
#include "render/TimingSmart.h"

namespace {

// A colour with its opacity percentage: the colour stored directly, the
// opacity announced when it differs.
void ReadColourAndOpacity(ArchiveReader ar, ColorAndOpacity& pair)
{
    pair.colour.StoreValue(static_cast<COLORREF>(ar.ReadLong()));
    pair.opacity.SetChangedValue(ar.ReadDword(), nullptr);
}

// The same pair with both values stored directly.
void StoreColourAndOpacity(ArchiveReader ar, ColorAndOpacity& pair)
{
    pair.colour.StoreValue(static_cast<COLORREF>(ar.ReadLong()));
    pair.opacity.StoreValue(ar.ReadDword());
    pair.opacity.UpdateScaled();
}

void WriteColourAndOpacity(ArchiveWriter ar, const ColorAndOpacity& pair)
{
    ar->WriteLong(static_cast<std::int32_t>(pair.colour.value));
    ar->WriteDword(pair.opacity.value);
}

float Distance(const math::Vec3& a, const math::Vec3& b)
{
    return std::hypot(b.x - a.x, b.y - a.y, b.z - a.z);
}

} // namespace

// ---- TextItemProperties ----------------------------------------------------------------

TextItemProperties::TextItemProperties()
{
    group1Colour.colour.StoreValue(0);
    group2Colour.colour.StoreValue(0);
}

void TextItemProperties::Read(ArchiveReader ar)
{
    ReadParamValue(ar, text);
    ReadParamValue(ar, face);
    ReadParamValue(ar, size);
    ReadParamValue(ar, fontValue1);
    ReadParamValue(ar, fontValue2);
    fontColour.StoreValue(static_cast<COLORREF>(ar.ReadLong()));
    ReadParamValue(ar, value1);
    ReadParamValue(ar, value2);
    ReadParamValue(ar, group1Value);
    StoreColourAndOpacity(ar, group1Colour);
    ReadParamValue(ar, value3);
    ReadParamValue(ar, group2Value);
    StoreColourAndOpacity(ar, group2Colour);
}

void TextItemProperties::Write(ArchiveWriter ar) const
{
    WriteParamValue(ar, text);
    WriteParamValue(ar, face);
    WriteParamValue(ar, size);
    WriteParamValue(ar, fontValue1);
    WriteParamValue(ar, fontValue2);
    ar->WriteLong(static_cast<std::int32_t>(fontColour.value));
    WriteParamValue(ar, value1);
    WriteParamValue(ar, value2);
    WriteParamValue(ar, group1Value);
    WriteColourAndOpacity(ar, group1Colour);
    WriteParamValue(ar, value3);
    WriteParamValue(ar, group2Value);
    WriteColourAndOpacity(ar, group2Colour);
}

// ---- DS_StaticText ---------------------------------------------------------------------

DS_StaticText::DS_StaticText() = default;

DS_StaticText::DS_StaticText(const DS_StaticText& other) = default;

DS_StaticText::~DS_StaticText() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> DS_StaticText::Clone() const
{
    return std::make_unique<DS_StaticText>(*this);
}

void DS_StaticText::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    params.effectLink.StorePathAndId(kCommonResModule, kCommonResTextItemEffect);
    KXI_SingleParticle::AttachRenderObject(mech);
}

int DS_StaticText::CountScreenPasses() const
{
    return 0;
}

void DS_StaticText::ReloadTextures()
{
    params.LoadTextures();
}

const SpriteFrameInfo* DS_StaticText::TextPicture() const
{
    if (params.textures.size() <= static_cast<std::size_t>(kTextSet))
        return nullptr;
    const SpriteFrameInfo& text = params.textures[kTextSet];
    if (!text.CurrentTexture() || text.textureWidth == 0 || text.textureHeight == 0)
        return nullptr;
    return &text;
}

std::array<float, 2> DS_StaticText::ShadowShift(std::array<float, 2> shift) const
{
    const SpriteFrameInfo* text = TextPicture();
    if (!text)
        return shift;
    const math::Vec4& direction = shadowDirection.Direction();
    const auto distance = static_cast<float>(shadowDistance.value);
    return {shift[0] + direction.x * distance / static_cast<float>(text->textureWidth),
            shift[1] - direction.y * distance / static_cast<float>(text->textureHeight)};
}

void DS_StaticText::DrawText(DS_ABRender& renderer, std::array<float, 2> shift)
{
    KXI_ParticleSystemMech* mech = RenderObject();
    gfx::Effect* effect = params.effect.Get();
    const SpriteFrameInfo* text = TextPicture();
    if (!mech || !effect || !text)
        return;
    effect->SetTexture("Texture", text->CurrentTexture());
    if (shadowOn.value != 0) {
        const COLORREF c = shadowColour.colour.value;
        const std::array<float, 4> colour{static_cast<float>(c & 0xFFu) / 255.0f,
                                          static_cast<float>((c >> 8) & 0xFFu) / 255.0f,
                                          static_cast<float>((c >> 16) & 0xFFu) / 255.0f,
                                          static_cast<float>(shadowColour.opacity.Scaled()) / 255.0f};
        effect->SetFloatArray("Color", colour.data(), 4);
        const std::array<float, 2> shadow = ShadowShift(shift);
        effect->SetFloatArray("Shift", shadow.data(), 2);
        mech->DrawBatch(renderer, effect, "Shadow", 0);
    }
    effect->SetFloatArray("Shift", shift.data(), 2);
    mech->DrawBatch(renderer, effect, "Main", 0);
}

void DS_StaticText::Render(DS_ABRender& renderer, int&)
{
    KXI_ParticleSystemMech* mech = RenderObject();
    gfx::Effect* effect = params.effect.Get();
    if (!mech || !effect || !TextPicture())
        return;
    // The backing picture, when the block holds one.
    if (params.textures.size() > static_cast<std::size_t>(kBackingSet)) {
        if (gfx::Texture* backing = params.textures[kBackingSet].CurrentTexture()) {
            const std::array<float, 2> none{0.0f, 0.0f};
            effect->SetTexture("Texture", backing);
            effect->SetFloatArray("Shift", none.data(), 2);
            mech->DrawBatch(renderer, effect, "Main", 0);
        }
    }
    DrawText(renderer, {0.0f, 0.0f});
}

void DS_StaticText::ReadBody(ArchiveReader ar, std::int32_t)
{
    properties.Read(ar);
    ReadParamValue(ar, shadowOn);
    ReadColourAndOpacity(ar, shadowColour);
    ReadParamValue(ar, shadowDistance);
    shadowDirection.StoreValue(ar.ReadDword());
    shadowDirection.UpdateVectors();
    ReadColourAndOpacity(ar, colour2);
    ReadColourAndOpacity(ar, colour3);
    ReadParamValue(ar, valueD);
    ReadParamValue(ar, valueE);
    LoadStaticObjectSection(ar);
}

void DS_StaticText::LoadStaticTextSection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    ReadBody(ar, header.version);
}

void DS_StaticText::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    properties.Write(ar);
    WriteParamValue(ar, shadowOn);
    WriteColourAndOpacity(ar, shadowColour);
    WriteParamValue(ar, shadowDistance);
    ar->WriteDword(shadowDirection.value);
    WriteColourAndOpacity(ar, colour2);
    WriteColourAndOpacity(ar, colour3);
    WriteParamValue(ar, valueD);
    WriteParamValue(ar, valueE);
    KXI_StaticObject::Save(ar);
}

// ---- DS_ScrollingTex -------------------------------------------------------------------

std::unique_ptr<KXI_ParticleSystemCtrl> DS_ScrollingTex::Clone() const
{
    return std::make_unique<DS_ScrollingTex>(*this);
}

bool DS_ScrollingTex::Horizontal() const
{
    return scrollMode.value == 2 || scrollMode.value == 3;
}

float DS_ScrollingTex::Extent() const
{
    const SpriteFrameInfo* text = TextPicture();
    if (!text)
        return 0.0f;
    return Horizontal() ? text->uScale : text->vScale;
}

float DS_ScrollingTex::SpeedFor(float length) const
{
    const float crossing = (Extent() + wrapLength) / length;
    const bool odd = scrollMode.value == 1 || scrollMode.value == 3;
    return odd ? crossing : -crossing;
}

void DS_ScrollingTex::Restart()
{
    DS_StaticText::Restart();
    switch (scrollMode.value) {
    case 1:
    case 3:
        offset = -Extent();
        break;
    default:
        offset = wrapLength;
        break;
    }
}

void DS_ScrollingTex::BuildQuad()
{
    KXI_ParticleSystemMech* mech = RenderObject();
    const SpriteFrameInfo* text = TextPicture();
    if (!mech)
        return;
    const SingleQuadLock lock(mech);
    if (!lock.Vertices() || !text || text->sourceWidth == 0 || text->sourceHeight == 0) {
        mech->SetQuadCount(0, 0);
        return;
    }
    QuadBatchVertex* vertices = lock.Vertices();
    WriteCorners(vertices);
    float u = text->uScale;
    float v = text->vScale;
    // Corners 0 and 1 are the left edge, 0 and 2 the top edge.
    if (Horizontal()) {
        u *= Distance(quad.corners[0].value, quad.corners[2].value) / static_cast<float>(text->sourceWidth);
        wrapLength = u;
    } else {
        v *= Distance(quad.corners[0].value, quad.corners[1].value) / static_cast<float>(text->sourceHeight);
        wrapLength = v;
    }
    const std::array<std::array<float, 2>, 4> corners{{{0.0f, v}, {0.0f, 0.0f}, {u, v}, {u, 0.0f}}};
    for (std::size_t k = 0; k < corners.size(); ++k) {
        vertices[k].u = corners[k][0];
        vertices[k].v = corners[k][1];
    }
    mech->SetQuadCount(0, 1);
}

void DS_ScrollingTex::Update(float localTime)
{
    speed.Advance(localTime);
    params.AdvanceTime(localTime);
    {
        const SingleQuadLock lock(RenderObject());
        if (lock.Vertices())
            RenderObject()->SetQuadColour(lock.Vertices(), TimelineLevel());
    }
    const KXI_Timing* timeline = timing.CurrentTimeline();
    const float length = timeline ? timeline->GetLength() : 0.0f;
    if (timeline && length > 0.0f && timeline->GetState() != kTimingOff) {
        scrollSpeed = SpeedFor(length);
        offset += speed.Step() * scrollSpeed;
        return;
    }
    Restart();
}

void DS_ScrollingTex::Render(DS_ABRender& renderer, int&)
{
    if (Horizontal())
        DrawText(renderer, {offset, 0.0f});
    else
        DrawText(renderer, {0.0f, offset});
}

void DS_ScrollingTex::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, scrollMode);
    LoadStaticTextSection(ar);
}

void DS_ScrollingTex::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteParamValue(ar, scrollMode);
    DS_StaticText::Save(ar);
}

// ---- DS_TextLink -----------------------------------------------------------------------

std::unique_ptr<KXI_ParticleSystemCtrl> DS_TextLink::Clone() const
{
    return std::make_unique<DS_TextLink>(*this);
}

bool DS_TextLink::TimelineOff() const
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline && timeline->GetState() == kTimingOff;
}

bool DS_TextLink::HitTest(int x, int y) const
{
    math::Vec3 point{static_cast<float>(x), static_cast<float>(y), 0.0f};
    if (const RenderContext* context = g_RenderContextTls) {
        math::Vec3 fitted{};
        math::Vec3TransformCoord(&fitted, point, context->inverseView);
        math::Vec3TransformCoord(&point, fitted, context->inverseScene);
    }
    float left = quad.corners[0].value.x;
    float right = left;
    float top = quad.corners[0].value.y;
    float bottom = top;
    for (const auto& corner : quad.corners) {
        left = std::min(left, corner.value.x);
        right = std::max(right, corner.value.x);
        top = std::min(top, corner.value.y);
        bottom = std::max(bottom, corner.value.y);
    }
    return left <= point.x && point.x <= right && top <= point.y && point.y <= bottom;
}

int DS_TextLink::OnMouseMove(int x, int y)
{
    if (TimelineOff() || !HitTest(x, y))
        return 0;
    win::SetSystemCursor(win::kIdcHand);
    return 1;
}

int DS_TextLink::OnMouseClick(int x, int y)
{
    if (TimelineOff())
        return 1;
    return HitTest(x, y) ? 1 : 0;
}

void DS_TextLink::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, linkNumber);
    LoadStaticTextSection(ar);
}

void DS_TextLink::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteParamValue(ar, linkNumber);
    DS_StaticText::Save(ar);
}
