#include "effects/EffectBases.h"

#include <cmath>

#include "objectmodel/StoredParams.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/RenderContext.h"
#include "render/ScreenInfo.h"

namespace {

constexpr float kDegreesToRadians = 3.1415927f / 180.0f;

// (x, y) scaled to length 1; a zero vector stays zero.
std::array<float, 2> Normalised(float x, float y)
{
    const float length = std::sqrt(x * x + y * y);
    if (length == 0.0f)
        return {0.0f, 0.0f};
    return {x / length, y / length};
}

// The normalised equation of the line through points a and b, as (yA - yB,
// xB - xA, yB xA - xB yA) / |b - a|; zeros when the points coincide.
std::array<float, 3> LineThrough(float xa, float ya, float xb, float yb)
{
    const float dx = xb - xa;
    const float dy = ya - yb;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0f)
        return {0.0f, 0.0f, 0.0f};
    return {(ya - yb) / length, (xb - xa) / length, (yb * xa - xb * ya) / length};
}

} // namespace

// ---- DS_DirectionBased

DS_DirectionBased::DS_DirectionBased()
{
    m_callbacks.AddMemberCallback(&DS_DirectionBased::UpdateDirection, &angle);
    UpdateDirection();
}

DS_DirectionBased::DS_DirectionBased(const DS_DirectionBased& other)
    : DS_FX_Constructor(other), magnitude(other.magnitude), angle(other.angle)
{
    m_callbacks.AddMemberCallback(&DS_DirectionBased::UpdateDirection, &angle);
    UpdateDirection();
}

void DS_DirectionBased::UpdateDirection()
{
    // 360 - angle as a signed integer, as the angle is stored unsigned.
    const std::int32_t turn = 360 - static_cast<std::int32_t>(angle.value);
    math::Matrix rotation;
    math::MatrixRotationZ(&rotation, static_cast<float>(turn) * kDegreesToRadians);
    const math::Vec4 unit{1.0f, 0.0f, 0.0f, 0.0f};
    math::Vec4Transform(&direction, unit, rotation);
}

void DS_DirectionBased::Load(ArchiveReader ar, DS_DirectionBased& fx)
{
    ar.ReadSectionHeader();
    ReadChangedParamValue(ar, fx.magnitude);
    ReadParamValue(ar, fx.angle);
    DS_FX_Constructor::Load(ar, fx);
}

void DS_DirectionBased::SaveDirectionLevel(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, magnitude);
    WriteParamValue(ar, angle);
    SaveFxLevel(ar);
}

// ---- DS_CentralBased

void DS_CentralBased::Attach(gfx::Ref<gfx::Texture>* holder)
{
    if (keepId == 0) {
        const ScreenInfo& screen = GetScreenInfo();
        centre.StoreValue(math::Vec3{static_cast<float>(screen.pictureWidth) * 0.5f,
                                     static_cast<float>(screen.pictureHeight) * 0.5f, 0.0f});
        keepId = 1;
        centre.NotifyObservers(nullptr);
    }
    DS_FX_Constructor::Attach(holder);
}

void DS_CentralBased::AttachWithGrid(gfx::Ref<gfx::Texture>* holder)
{
    DS_CentralBased::Attach(holder);
    BuildRegionGrid();
}

bool DS_CentralBased::CentreInTextureUnits(std::array<float, 2>& uv) const
{
    const RenderContext* context = g_RenderContextTls;
    if (!context || !(context->pictureWidth > 0.0f) || !(context->pictureHeight > 0.0f))
        return false;
    uv = {centre.value.x / context->pictureWidth, centre.value.y / context->pictureHeight};
    return true;
}

void DS_CentralBased::SetCentreInput()
{
    std::array<float, 2> center{};
    if (effect && CentreInTextureUnits(center))
        effect->SetFloatArray("Center", center.data(), 2);
}

void DS_CentralBased::Load(ArchiveReader ar, DS_CentralBased& fx)
{
    ar.ReadSectionHeader();
    ReadParamValue(ar, fx.centre);
    DS_FX_Constructor::Load(ar, fx);
}

void DS_CentralBased::SaveCentralLevel(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, centre);
    SaveFxLevel(ar);
}

// ---- DS_LineBased

void DS_LineBased::Attach(gfx::Ref<gfx::Texture>* holder)
{
    DS_CentralBased::Attach(holder);
    UpdateLines();
}

bool DS_LineBased::ComputeLines(bool perspective)
{
    const RenderContext* context = g_RenderContextTls;
    if (!context || !(context->pictureWidth > 0.0f) || !(context->pictureHeight > 0.0f))
        return false;
    const float width = context->pictureWidth;
    const float height = context->pictureHeight;
    const math::Vec3& c = centre.value;
    const math::Vec4& d = lineDirection.Direction();
    const math::Vec4& n = lineDirection.Normal();
    const float xa = c.x / width, ya = c.y / height;
    const float xb = (c.x + d.x) / width, yb = (c.y - d.y) / height;
    const float xc = (c.x + n.x) / width, yc = (c.y - n.y) / height;
    ln = LineThrough(xa, ya, xb, yb);
    if (!perspective) {
        lt = LineThrough(xa, ya, xc, yc);
        return true;
    }
    const float lnLength = std::sqrt(ln[0] * ln[0] + ln[1] * ln[1]);
    const float k = lnLength == 0.0f ? 0.0f : 1.0f / lnLength;
    lt = {(ya - yc) * k, (xc - xa) * k, (yc * xa - xc * ya) * k};
    return true;
}

void DS_LineBased::UpdateLines()
{
    ComputeLines(false);
}

void DS_LineBased::UpdateLinesPerspective()
{
    ComputeLines(true);
}

void DS_LineBased::SetLineParams(DS_ABRender& host)
{
    SetCommonParams(host);
    std::array<float, 2> center{};
    if (!effect || !CentreInTextureUnits(center))
        return;
    const float width = g_RenderContextTls->pictureWidth;
    const float height = g_RenderContextTls->pictureHeight;
    effect->SetFloatArray("Center", center.data(), 2);
    effect->SetFloatArray("Ln", ln.data(), 3);
    effect->SetFloatArray("Lt", lt.data(), 3);
    const math::Vec4& d = lineDirection.Direction();
    const math::Vec4& n = lineDirection.Normal();
    const auto t = Normalised(n.x / width, -n.y / height);
    const auto along = Normalised(d.x / width, -d.y / height);
    effect->SetFloatArray("t", t.data(), 2);
    effect->SetFloatArray("n", along.data(), 2);
}

void DS_LineBased::Load(ArchiveReader ar, DS_LineBased& fx)
{
    ar.ReadSectionHeader();
    ReadParamValue(ar, fx.lineDirection);
    ReadParamValue(ar, fx.centre);
    fx.lineDirection.UpdateVectors();
    DS_FX_Constructor::Load(ar, fx);
}

void DS_LineBased::SaveLineLevel(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, lineDirection);
    WriteParamValue(ar, centre);
    SaveFxLevel(ar);
}
