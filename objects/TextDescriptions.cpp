#include "objects/TextDescriptions.h"

#include <cmath>

#include "objectmodel/StoredParams.h"
#include "particles/systems/SpriteParticle.h"
#include "platform/crt/Guid.h"
#include "platform/win/Cursor.h"
#include "render/DocResManager.h"
#include "render/LegacyTimeline.h"
#include "render/ScreenInfo.h"
#include "render/Timing.h"
#include "render/TimingSmart.h"
#include "render/ViewProjection.h"

namespace {

// The texture range across `size` pixels of a picture repeated every
// `tile` pixels; a tile of 0 is the size itself (the picture once).
float TileRange(float size, float tile)
{
    if (tile == 0.0f)
        return 1.0f;
    return size / tile;
}

// The shift of a moving offset: from its fractional part a, 3a - 1 for
// a > 0, else 3a + 1.
float ShiftOfOffset(float offset)
{
    float whole = 0.0f;
    const float a = std::modf(offset, &whole);
    return a > 0.0f ? 3.0f * a - 1.0f : 3.0f * a + 1.0f;
}

bool TimelineIsOff(const KXI_SmartTiming& timing)
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline && timeline->GetState() == kTimingOff;
}

} // namespace

// ---- DS_StaticTextConstructor ------------------------------------------------------------

DS_StaticTextConstructor::DS_StaticTextConstructor()
{
    key.guid = crt::CreateGuid();
    colour.SetValue(kDefaultTint, nullptr);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_StaticTextConstructor::Clone() const
{
    return std::make_unique<DS_StaticTextConstructor>(*this);
}

void DS_StaticTextConstructor::FetchEffect()
{
    if (keepId == 0) {
        key.guid = crt::CreateGuid();
        key.name.clear();
    }
    DS_StatBaseFXCtrl::FetchEffect();
    if (DS_DocResManager* manager = CurrentDocResManager())
        textTexture = manager->GetGuidTexture(key);
}

void DS_StaticTextConstructor::UpdateSprite(SpriteParticle& sprite)
{
    sprite.position = centre.value;
    sprite.halfWidth = static_cast<float>(width.value) / 2.0f;
    sprite.halfHeight = static_cast<float>(height.value) / 2.0f;
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
}

bool DS_StaticTextConstructor::SetTextParameters(gfx::Effect& effect)
{
    effect.SetTechnique("CommonVretexColor");
    effect.SetTexture("Texture1", textTexture.Get());
    return true;
}

bool DS_StaticTextConstructor::SetEffectParameters(DS_ABRender&, ParticleGeomArray&)
{
    gfx::Effect* effect = HeldEffect();
    if (!effect || !textTexture)
        return false;
    return SetTextParameters(*effect);
}

void DS_StaticTextConstructor::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadParamValue(ar, valueA);
    ReadParamValue(ar, valueB);
    ReadParamValue(ar, text);
    FontData stored;
    stored.size = ar.ReadLong();
    stored.weight = static_cast<std::int32_t>(ar.ReadDword());
    stored.flags = ar.ReadLong();
    stored.face = ar.ReadWideString();
    font.StoreValue(stored);
    std::array<std::uint32_t, 4> legacy{};
    if (version < kFirstVersionWithoutLegacyTiming)
        for (std::uint32_t& value : legacy)
            value = ar.ReadDword();
    if (version >= kFirstVersionWithKey) {
        ReadGuid(ar, &key.guid);
        key.name = ar.ReadWideString();
        keepFlag = ar.ReadByte();
    }
    DS_StatBaseFXCtrl::Load(ar);
    // After the base sections: their timing record would otherwise replace
    // the timeline the legacy values describe.
    const auto [fadeIn, fadeOut, on, off] = legacy;
    if (on != 0)
        InstallLegacyRandomTimeline(timing, {fadeIn / kLegacyTimeDivisor, fadeOut / kLegacyTimeDivisor,
                                             on / kLegacyTimeDivisor, on / kLegacyTimeDivisor,
                                             off / kLegacyTimeDivisor, off / kLegacyTimeDivisor});
}

void DS_StaticTextConstructor::LoadStaticTextSection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    ReadBody(ar, header.version);
}

void DS_StaticTextConstructor::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteParamValue(ar, valueA);
    WriteParamValue(ar, valueB);
    WriteParamValue(ar, text);
    ar->WriteLong(font.value.size);
    ar->WriteDword(static_cast<std::uint32_t>(font.value.weight));
    ar->WriteLong(font.value.flags);
    ar->WriteWideString(font.value.face);
    WriteGuid(ar, key.guid);
    ar->WriteWideString(key.name);
    ar->WriteByte(keepFlag);
    DS_StatBaseFXCtrl::Save(ar);
}

// ---- DS_ScrollingTextConstructor -----------------------------------------------------------

std::unique_ptr<DS_ParticleSystemCtrl> DS_ScrollingTextConstructor::Clone() const
{
    return std::make_unique<DS_ScrollingTextConstructor>(*this);
}

void DS_ScrollingTextConstructor::UpdateSprite(SpriteParticle& sprite)
{
    DS_StaticTextConstructor::UpdateSprite(sprite);
    sprite.texU0 = 0.0f;
    sprite.texU1 = TileRange(static_cast<float>(width.value), tileWidth);
    sprite.texV0 = 0.0f;
    sprite.texV1 = TileRange(static_cast<float>(height.value), tileHeight);
    StepScroll(TimelineIsOff(timing), animationStep);
}

void DS_ScrollingTextConstructor::StepScroll(bool timelineOff, float step)
{
    if (timelineOff) {
        horizontalOffset = 0.0f;
        verticalOffset = 0.0f;
        return;
    }
    if (period.value == 0)
        return;
    const float delta = step / static_cast<float>(period.value);
    switch (directionMode.value) {
    case 0: horizontalOffset += delta; break;
    case 1: horizontalOffset -= delta; break;
    case 2: verticalOffset += delta; break;
    case 3: verticalOffset -= delta; break;
    default: break;
    }
}

std::array<float, 2> DS_ScrollingTextConstructor::Shift() const
{
    switch (directionMode.value) {
    case 0:
    case 1: return {ShiftOfOffset(horizontalOffset), 0.0f};
    case 2:
    case 3: return {0.0f, ShiftOfOffset(verticalOffset)};
    default: return {0.0f, 0.0f};
    }
}

bool DS_ScrollingTextConstructor::SetTextParameters(gfx::Effect& effect)
{
    const std::array<float, 2> shift = Shift();
    effect.SetTechnique("ScrollText");
    effect.SetTexture("Texture1", textTexture.Get());
    effect.SetFloatArray("Shift", shift.data(), 2);
    return true;
}

void DS_ScrollingTextConstructor::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadParamValue(ar, period);
    ReadParamValue(ar, directionMode);
    if (version >= kFirstVersionWithTiles) {
        tileHeight = ar.ReadFloat();
        tileWidth = ar.ReadFloat();
    }
    LoadStaticTextSection(ar);
}

void DS_ScrollingTextConstructor::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteParamValue(ar, period);
    WriteParamValue(ar, directionMode);
    ar->WriteFloat(tileHeight);
    ar->WriteFloat(tileWidth);
    DS_StaticTextConstructor::Save(ar);
}

// ---- DS_TextLinkConstructor ----------------------------------------------------------------

std::unique_ptr<DS_ParticleSystemCtrl> DS_TextLinkConstructor::Clone() const
{
    return std::make_unique<DS_TextLinkConstructor>(*this);
}

bool DS_TextLinkConstructor::TimelineOff() const
{
    return TimelineIsOff(timing);
}

bool DS_TextLinkConstructor::HitTest(float x, float y)
{
    const ScreenInfo& screen = GetScreenInfo();
    const math::Vec3 point = ProjectToView(screen, x * screen.scaleX, y * screen.scaleY, 0.0f);
    const auto halfWidth = static_cast<float>(width.value / 2);
    const auto halfHeight = static_cast<float>(height.value / 2);
    return centre.value.x - halfWidth <= point.x && point.x <= centre.value.x + halfWidth &&
           centre.value.y - halfHeight <= point.y && point.y <= centre.value.y + halfHeight;
}

int DS_TextLinkConstructor::OnMouseMove(int x, int y)
{
    if (TimelineOff() || !HitTest(static_cast<float>(x), static_cast<float>(y)))
        return 0;
    win::SetSystemCursor(win::kIdcHand);
    return 1;
}

int DS_TextLinkConstructor::OnMouseClick(int x, int y)
{
    if (TimelineOff())
        return 1;
    return HitTest(static_cast<float>(x), static_cast<float>(y)) ? 1 : 0;
}

void DS_TextLinkConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, linkNumber);
    LoadStaticTextSection(ar);
}

void DS_TextLinkConstructor::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteParamValue(ar, linkNumber);
    DS_StaticTextConstructor::Save(ar);
}
