#include "render/ViewObjCtrl.h"

#include <cmath>
#include <limits>

#include "objectmodel/ParamRecords.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/StoredParams.h"
#include "render/ScreenInfo.h"

namespace {

// Sections from this version on store the animation rate here.
constexpr std::int32_t kFirstVersionWithRate = 2;
// The longest step the animation clock takes at once.
constexpr float kMaxClockStep = 0.2f;

// The edge at `fraction` of a picture side of `size` pixels, truncated to
// whole pixels. Stored fractions are untrusted: a negative or undefined
// result is 0 and one beyond the edge's range its largest value.
std::int32_t PixelEdge(float size, float fraction)
{
    const float pixels = size * fraction;
    if (!(pixels > 0.0f))
        return 0;
    constexpr float kLargest = 2147483520.0f; // the largest float below 2^31
    if (pixels >= kLargest)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(pixels);
}

// The fraction an edge gives of a picture side, or `current` while the side
// is unknown.
float FractionOfSide(std::int32_t edge, float size, float current)
{
    if (!(size > 0.0f) || !std::isfinite(size))
        return current;
    return static_cast<float>(edge) / size;
}

} // namespace

float CurrentPictureWidth()
{
    return static_cast<float>(GetScreenInfo().pictureWidth);
}

float CurrentPictureHeight()
{
    return static_cast<float>(GetScreenInfo().pictureHeight);
}

DS_ViewObjCtrl::DS_ViewObjCtrl() : animationRate(kRealTimeRate)
{
    BindViewCallbacks();
}

DS_ViewObjCtrl::DS_ViewObjCtrl(const DS_ViewObjCtrl& other)
    : DS_ABObj_Constructor(other), animationRate(other.animationRate), viewFlag(other.viewFlag),
      leftFraction(other.leftFraction), rightFraction(other.rightFraction), topFraction(other.topFraction),
      bottomFraction(other.bottomFraction)
{
    BindViewCallbacks();
}

DS_ViewObjCtrl::~DS_ViewObjCtrl() = default;

void DS_ViewObjCtrl::BindViewCallbacks()
{
    UpdatePixelParams();
    m_edgeObservers.AddValueCallback<std::int32_t>(&edges.left, &DS_ViewObjCtrl::OnLeftEdgeChanged);
    m_edgeObservers.AddValueCallback<std::int32_t>(&edges.right, &DS_ViewObjCtrl::OnRightEdgeChanged);
    m_edgeObservers.AddValueCallback<std::int32_t>(&edges.top, &DS_ViewObjCtrl::OnTopEdgeChanged);
    m_edgeObservers.AddValueCallback<std::int32_t>(&edges.bottom, &DS_ViewObjCtrl::OnBottomEdgeChanged);
}

void DS_ViewObjCtrl::OnLeftEdgeChanged(std::int32_t edge)
{
    leftFraction = FractionOfSide(edge, CurrentPictureWidth(), leftFraction);
}

void DS_ViewObjCtrl::OnRightEdgeChanged(std::int32_t edge)
{
    rightFraction = FractionOfSide(edge, CurrentPictureWidth(), rightFraction);
}

void DS_ViewObjCtrl::OnTopEdgeChanged(std::int32_t edge)
{
    topFraction = FractionOfSide(edge, CurrentPictureHeight(), topFraction);
}

void DS_ViewObjCtrl::OnBottomEdgeChanged(std::int32_t edge)
{
    bottomFraction = FractionOfSide(edge, CurrentPictureHeight(), bottomFraction);
}

void DS_ViewObjCtrl::UpdatePixelParams()
{
    const float width = CurrentPictureWidth();
    const float height = CurrentPictureHeight();
    // Each edge is computed when its turn comes: an earlier edge's observer
    // may have snapped its own fraction, never another's.
    edges.left.SetChangedValue(PixelEdge(width, leftFraction), nullptr);
    edges.right.SetChangedValue(PixelEdge(width, rightFraction), nullptr);
    edges.top.SetChangedValue(PixelEdge(height, topFraction), nullptr);
    edges.bottom.SetChangedValue(PixelEdge(height, bottomFraction), nullptr);
}

void DS_ViewObjCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WriteMediaRectangle(ar, edges);
    ar->WriteFloat(leftFraction);
    ar->WriteFloat(rightFraction);
    ar->WriteFloat(topFraction);
    ar->WriteFloat(bottomFraction);
    ar->WriteByte(viewFlag);
    WriteParamValue(ar, animationRate);
    DS_ABObj_Constructor::Save(ar);
}

void DS_ViewObjCtrl::Load(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    ReadMediaRectangle(ar, edges);
    leftFraction = ar.ReadFloat();
    rightFraction = ar.ReadFloat();
    topFraction = ar.ReadFloat();
    bottomFraction = ar.ReadFloat();
    viewFlag = ar.ReadByte();
    if (version >= kFirstVersionWithRate)
        ReadParamValue(ar, animationRate);
    DS_ABObj_Constructor::Load(ar);
}

void DS_ViewObjCtrl::Restart()
{
    animationStep = 0.0f;
    animationClock = 0.0f;
    lastAnimationTime = 0.0f;
}

void DS_ViewObjCtrl::GetViewQuad(QuadVertices& out) const
{
    const float width = CurrentPictureWidth();
    const float height = CurrentPictureHeight();
    const float left = width * leftFraction;
    const float right = width * rightFraction;
    const float top = height * topFraction;
    const float bottom = height * bottomFraction;
    out = QuadVertices{};
    out.vertices[0].x = left;
    out.vertices[0].y = bottom;
    out.vertices[1].x = left;
    out.vertices[1].y = top;
    out.vertices[2].x = right;
    out.vertices[2].y = bottom;
    out.vertices[3].x = right;
    out.vertices[3].y = top;
}

bool DS_ViewObjCtrl::HitTest(float, float)
{
    return false;
}

void DS_ViewObjCtrl::RandomPointInView(math::Vec3& out) const
{
    const float width = CurrentPictureWidth();
    const float height = CurrentPictureHeight();
    const float left = width * leftFraction;
    const float top = height * topFraction;
    const float rx = DrawRandomUnit();
    out.x = rx * (width * rightFraction - left) + left;
    const float ry = DrawRandomUnit();
    out.y = ry * (height * bottomFraction - top) + top;
    out.z = 0.0f;
}

void DS_ViewObjCtrl::RandomPointInViewInset(math::Vec3& out, float halfWidth, float halfHeight) const
{
    const float width = CurrentPictureWidth();
    const float height = CurrentPictureHeight();
    const float left = width * leftFraction + halfWidth;
    const float right = width * rightFraction - halfWidth;
    const float top = height * topFraction + halfHeight;
    const float bottom = height * bottomFraction - halfHeight;
    const float rx = DrawRandomUnit();
    out.x = left + rx * (right - left);
    const float ry = DrawRandomUnit();
    out.y = top + ry * (bottom - top);
    out.z = 0.0f;
}

void DS_ViewObjCtrl::StepAnimationClock(float time)
{
    float step = std::fabs(time - lastAnimationTime);
    if (!(step <= kMaxClockStep)) // also an undefined step
        step = kMaxClockStep;
    lastAnimationTime = time;
    step = static_cast<float>(animationRate.value) * kRateFactor * step;
    animationStep = step;
    animationClock += step;
}
