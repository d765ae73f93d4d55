#include "objects/MeshAnimationControllers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "objectmodel/ScaledParams.h"
#include "objects/ButterflyClockItems.h"
#include "objects/MeshObjectCtrl.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "objects/MeshMatrices.h"

using namespace mesh_matrices;

namespace {

// The tilt of the body: 10 degrees about X, in radians as stored.
constexpr float kTiltRadians = 0.17453292f;
// Turning by more than this (degrees) banks the body.
constexpr float kBankThreshold = 5.0f;
constexpr float kBankAngle = 25.0f;
// Below this forward speed the body pitches up, up to this many degrees.
constexpr float kFullSpeed = 100.0f;
constexpr float kSlowPitch = 15.0f;
// How high the body bobs against the wing beat: 3 px per 45 degrees.
constexpr float kBobPerDegree = 3.0f / 45.0f;
// Climb targets at the view's edges and of the random moves.
constexpr float kClimbAtTop = 100.0f;
constexpr float kClimbAtBottom = -190.0f;

bool IsOdd(int value)
{
    return (value & 1) != 0;
}

// An edge of the clock rectangle: centre + offset, held to int32.
std::int32_t EdgeAt(std::int32_t centre, std::int64_t offset)
{
    const std::int64_t edge = std::int64_t(centre) + offset;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(edge, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

class WallClock : public ClockTimeSource {
public:
    bool Read(crt::LocalTimeOfDay& out) const override { return crt::ReadLocalTimeOfDay(out); }
};

const ClockTimeSource*& InstalledClockTimeSource()
{
    static const WallClock wallClock;
    static const ClockTimeSource* source = &wallClock;
    return source;
}

} // namespace

// ---- AC_ButterflyWing ----------------------------------------------------------------

void AC_ButterflyWing::Apply(TransformNode& node)
{
    node.world = node.local * wingMatrix;
    node.cullCounterClockwise = cullCounterClockwise;
}

// ---- EasedValue ----------------------------------------------------------------------

void EasedValue::Aim(float newTarget)
{
    rate = newTarget > current ? std::fabs(rate) : -std::fabs(rate);
    target = newTarget;
}

void EasedValue::Ease(float step)
{
    if (current == target)
        return;
    current += step * rate;
    if (rate > 0.0f && current > target)
        current = target;
    if (rate < 0.0f && current < target)
        current = target;
}

// ---- AC_Butterfly ------------------------------------------------------------------

AC_Butterfly::AC_Butterfly(DS_3D_Obj_Ctrl& owner) : m_owner(&owner)
{
    owner.RandomPointInView(position);
    position.z = 0.0f;
    heading.current = DrawRandomUnit() * 360.0f;
    heading.target = heading.current;
    tiltMatrix = RotationX(kTiltRadians);
    mirrorMatrix = Scaling(-1.0f, 1.0f, 1.0f);
    m_callbacks.AddValueCallback<std::uint32_t>(&owner.size, &AC_Butterfly::OnSizeChanged);
}

AC_Butterfly::~AC_Butterfly()
{
    m_callbacks.Clear();
}

void AC_Butterfly::OnSizeChanged(std::uint32_t size)
{
    // In float: an integer division would make every size below 100 vanish.
    const float s = static_cast<float>(size) / 100.0f;
    scaleMatrix = Scaling(s);
}

void AC_Butterfly::Apply(TransformNode& node)
{
    const float step = m_owner->animationStep;
    math::Matrix world = node.local;
    const math::Matrix headingRotation = TurnY(heading.current);
    world = headingRotation * world;
    SteerIntoTurn();
    if (forward.current < kFullSpeed)
        world = TurnX((1.0f - forward.current / kFullSpeed) * kSlowPitch) * world;
    world = tiltMatrix * world;
    world = TurnZ(bank.current) * world;
    if (bank.current == bank.target)
        bank.Aim(0.0f);
    Flap(step);
    world = Translation(0.0f, -flapAngle * kBobPerDegree, 0.0f) * world;
    const math::Matrix flap = TurnZ(flapAngle);
    m_wingA->wingMatrix = flap;
    m_wingB->wingMatrix = flap * mirrorMatrix;
    m_wingA->cullCounterClockwise = flapAngle > 0.0f;
    m_wingB->cullCounterClockwise = flapAngle < 0.0f;
    Move(headingRotation, step);
    world = world * Translation(position.x, position.y, 0.0f);
    EaseValues(step);
    KeepInView();
    ApplyMode(m_owner->animationClock);
    node.world = scaleMatrix * world;
}

void AC_Butterfly::SteerIntoTurn()
{
    const float turn = heading.current - heading.target;
    if (turn < -kBankThreshold)
        bank.Aim(kBankAngle);
    else if (turn > kBankThreshold)
        bank.Aim(-kBankAngle);
}

void AC_Butterfly::Flap(float step)
{
    flapAngle += step * kFlapRateFactor * flapRate;
    if (flapAngle > upperFlapBound)
        flapRate = kFallingFlapRate;
    if (flapAngle < lowerFlapBound)
        flapRate = kRisingFlapRate;
}

void AC_Butterfly::Move(const math::Matrix& headingRotation, float step)
{
    // Only the picture-plane part of the heading moves the body.
    math::Vec3 velocity;
    math::Vec3TransformCoord(&velocity, math::Vec3{forward.current, 0.0f, 0.0f}, headingRotation);
    position.x += velocity.x * step;
    position.y += climb.current * step;
    position.z = 0.0f;
}

void AC_Butterfly::EaseValues(float step)
{
    climb.Ease(step);
    bank.Ease(step);
    heading.Ease(step);
    forward.Ease(step);
}

void AC_Butterfly::KeepInView()
{
    const float width = CurrentPictureWidth();
    const float height = CurrentPictureHeight();
    if (position.y < height * m_owner->topFraction) {
        mode = 1;
        climb.Aim(kClimbAtTop);
    } else if (position.y > height * m_owner->bottomFraction) {
        mode = 0;
        climb.Aim(kClimbAtBottom);
    }
    bool outside = true;
    if (position.x < width * m_owner->leftFraction)
        heading.target = 0.0f;
    else if (position.x > width * m_owner->rightFraction)
        heading.target = -180.0f;
    else
        outside = false;
    if (!outside)
        return;
    heading.rate = heading.target > heading.current ? kTurnRate : -kTurnRate;
    forward.Aim(kEscapeSpeed);
}

void AC_Butterfly::ApplyMode(float total)
{
    if (mode != appliedMode) {
        if (mode == 1) {
            // Gliding: the wings beat only below the level.
            upperFlapBound = 0.0f;
            if (flapAngle < 0.5f * lowerFlapBound) {
                appliedMode = 1;
                flapRate = -std::fabs(flapRate) / 100.0f;
            }
        } else {
            upperFlapBound = -lowerFlapBound;
            appliedMode = 0;
            flapRate = forward.current > 20.0f ? DrawRandomUnit() * (forward.current / 3.0f + 110.0f) - 160.0f
                                               : 160.0f;
        }
        return;
    }
    if (total - lastRetargetTime > kRetargetPeriod) {
        Retarget();
        lastRetargetTime = total;
    }
}

void AC_Butterfly::Retarget()
{
    switch (crt::rand() % 5) {
    case 0:
        mode = 0;
        climb.Aim(DrawRandomUnit() * 190.0f - 190.0f);
        break;
    case 1:
        mode = 1;
        climb.Aim(DrawRandomUnit() * 50.0f + 100.0f);
        break;
    case 2:
        mode = 0;
        forward.Aim(DrawRandomUnit() * 325.0f - 25.0f);
        break;
    default:
        if (mode != 0 || heading.current != heading.target)
            break;
        {
            const bool right = IsOdd(crt::rand());
            const float rate = DrawRandomUnit() * 300.0f + 50.0f;
            const float target = DrawRandomUnit() * 50.0f + (right ? -25.0f : 155.0f);
            heading.rate = rate;
            heading.Aim(target);
        }
        break;
    }
}

// ---- AC_Static ---------------------------------------------------------------------

AC_Static::AC_Static(DS_ClockConstructor& owner) : m_owner(&owner)
{
    m_callbacks.AddValueCallback<std::uint32_t>(&owner.size, &AC_Static::OnSizeChanged);
    m_callbacks.AddMemberCallback(&AC_Static::OnRectangleChanged, &owner.clockRectangle);
    const float scale = static_cast<float>(owner.size.value);
    scaleMatrix = Scaling(scale);
    translationMatrix = Translation(static_cast<float>(owner.clockRectangle.centreX.value),
                                    static_cast<float>(owner.clockRectangle.centreY.value), 0.0f);
}

AC_Static::~AC_Static()
{
    m_callbacks.Clear();
}

void AC_Static::Apply(TransformNode& node)
{
    node.world = scaleMatrix * node.local * translationMatrix;
}

void AC_Static::PlaceEdges(std::uint32_t size)
{
    MediaRectangle& rectangle = m_owner->clockRectangle;
    const std::int64_t half = size / 2;
    const std::int32_t x = rectangle.centreX.value;
    const std::int32_t y = rectangle.centreY.value;
    rectangle.left.StoreValue(EdgeAt(x, -half));
    rectangle.right.StoreValue(EdgeAt(x, half));
    rectangle.top.StoreValue(EdgeAt(y, -half));
    rectangle.bottom.StoreValue(EdgeAt(y, half));
}

void AC_Static::OnSizeChanged(std::uint32_t size)
{
    PlaceEdges(size);
    const float scale = static_cast<float>(m_owner->size.value);
    scaleMatrix = Scaling(scale);
}

void AC_Static::OnRectangleChanged()
{
    PlaceEdges(m_owner->size.value);
    const MediaRectangle& rectangle = m_owner->clockRectangle;
    translationMatrix = Translation(static_cast<float>(rectangle.centreX.value),
                                    static_cast<float>(rectangle.centreY.value), 0.0f);
}

// ---- the clock's time ------------------------------------------------------------------

const ClockTimeSource& CurrentClockTimeSource()
{
    return *InstalledClockTimeSource();
}

ClockTimeSourceScope::ClockTimeSourceScope(const ClockTimeSource& source) : m_previous(InstalledClockTimeSource())
{
    InstalledClockTimeSource() = &source;
}

ClockTimeSourceScope::~ClockTimeSourceScope()
{
    InstalledClockTimeSource() = m_previous;
}

// ---- AC_ClockArrow -----------------------------------------------------------------

float AC_ClockArrow::AngleAt(const crt::LocalTimeOfDay& time) const
{
    const float minutes = static_cast<float>(time.minutes);
    if (m_hourHand)
        return (static_cast<float>(time.hours % 12) + minutes / 60.0f) * 30.0f;
    return (static_cast<float>(time.seconds) / 60.0f + minutes) * 6.0f;
}

void AC_ClockArrow::Apply(TransformNode& node)
{
    crt::LocalTimeOfDay time;
    const float angle = CurrentClockTimeSource().Read(time) ? AngleAt(time) : 0.0f;
    node.world = node.local * TurnY(angle);
}
