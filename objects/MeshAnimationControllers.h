#pragma once
// The animation controllers of the butterfly and the clock: each turns its
// node's fixed local matrix into the node's world matrix every frame.
//
//   AC_Butterfly      the flight of one butterfly's body: heading, climb,
//                     forward speed and bank eased towards targets that it
//                     picks at random and that keep it inside the view
//                     rectangle; it also beats the wings.
//   AC_ButterflyWing  one wing: the flap matrix and cull flag the body's
//                     controller sets.
//   AC_Static         the clock face, placed at the clock rectangle's centre
//                     and scaled by the item's size.
//   AC_ClockArrow     one clock hand, turned to the local time of day.
//
// Matrices are row-vector matrices; in A x B, A is applied first. Angles are
// in degrees; the picture's y axis points down. The butterfly's random
// choices draw from the thread's shared sequence (platform/crt) in a fixed
// order, so a seeded sequence replays a flight exactly.

#include <cstdint>
#include <memory>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/TransformNode.h"
#include "platform/crt/LocalTime.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

class DS_3D_Obj_Ctrl;
class DS_ClockConstructor;

class AC_ButterflyWing : public DS_AnimationBase {
public:
    // world = local x wing matrix; the node culls as the wing says.
    void Apply(TransformNode& node) override;

    math::Matrix wingMatrix;
    bool cullCounterClockwise = true;
};

// A value that moves towards a target at a signed rate per animation second.
struct EasedValue {
    float current = 0.0f;
    float target = 0.0f;
    float rate = 0.0f;

    // rate = +|rate| when `newTarget` is above the current value, else
    // -|rate|; target = newTarget.
    void Aim(float newTarget);
    // current += step x rate, stopping at the target.
    void Ease(float step);
};

class AC_Butterfly : public DS_AnimationBase {
public:
    static constexpr float kUpperFlapBound = 55.0f;
    static constexpr float kRisingFlapRate = 100.0f;
    static constexpr float kFallingFlapRate = -160.0f;
    static constexpr float kFlapRateFactor = 7.0f;
    static constexpr float kTurnRate = 350.0f;
    static constexpr float kEscapeSpeed = 300.0f;
    static constexpr float kRetargetPeriod = 0.25f;

    // Starts at a random point of the owner's view and a random heading
    // (rand() order: x, y, heading), then watches the owner's size.
    explicit AC_Butterfly(DS_3D_Obj_Ctrl& owner);
    ~AC_Butterfly() override;

    void Apply(TransformNode& node) override;

    // The wings' controllers, handed to the wing nodes once; the butterfly
    // keeps pointers to them and writes them every frame.
    std::unique_ptr<AC_ButterflyWing> TakeWingA() { return std::move(m_ownedWingA); }
    std::unique_ptr<AC_ButterflyWing> TakeWingB() { return std::move(m_ownedWingB); }
    AC_ButterflyWing& WingA() const { return *m_wingA; }
    AC_ButterflyWing& WingB() const { return *m_wingB; }

    // scale matrix = size / 100 in every axis.
    void OnSizeChanged(std::uint32_t size);

    float flapAngle = 0.0f;
    float flapRate = kRisingFlapRate;
    float upperFlapBound = kUpperFlapBound;
    float lowerFlapBound = -kUpperFlapBound;
    math::Vec3 position;
    EasedValue climb{50.0f, 50.0f, 250.0f};
    EasedValue heading{0.0f, 0.0f, kTurnRate};
    EasedValue bank{0.0f, 0.0f, 50.0f};
    EasedValue forward{50.0f, 50.0f, 350.0f};
    math::Matrix tiltMatrix;
    math::Matrix mirrorMatrix;
    math::Matrix scaleMatrix;
    std::int32_t appliedMode = 0;
    std::int32_t mode = 0;
    float lastRetargetTime = 0.0f;

private:
    void SteerIntoTurn();
    void Flap(float step);
    void Move(const math::Matrix& headingRotation, float step);
    void EaseValues(float step);
    void KeepInView();
    void ApplyMode(float total);
    void Retarget();

    DS_3D_Obj_Ctrl* m_owner;
    std::unique_ptr<AC_ButterflyWing> m_ownedWingA = std::make_unique<AC_ButterflyWing>();
    std::unique_ptr<AC_ButterflyWing> m_ownedWingB = std::make_unique<AC_ButterflyWing>();
    AC_ButterflyWing* m_wingA = m_ownedWingA.get();
    AC_ButterflyWing* m_wingB = m_ownedWingB.get();
    CallbackControlList<AC_Butterfly> m_callbacks{this};
};

class AC_Static : public DS_AnimationBase {
public:
    // Watches the owner's size (run at once) and its clock rectangle (later
    // changes only).
    explicit AC_Static(DS_ClockConstructor& owner);
    ~AC_Static() override;

    // world = scale x local x translation.
    void Apply(TransformNode& node) override;

    // The rectangle's edges around its centre at half the size (integer
    // half), written without telling anybody; scale = size.
    void OnSizeChanged(std::uint32_t size);
    // The same edges, and translation = the centre.
    void OnRectangleChanged();

    math::Matrix scaleMatrix;
    math::Matrix translationMatrix;

private:
    void PlaceEdges(std::uint32_t size);

    DS_ClockConstructor* m_owner;
    CallbackControlList<AC_Static> m_callbacks{this};
};

// Where the clock hands read the local time of day. The default reads the
// wall clock (crt::ReadLocalTimeOfDay); tests install a fixed time.
class ClockTimeSource {
public:
    virtual ~ClockTimeSource() = default;
    // False when the time cannot be read.
    virtual bool Read(crt::LocalTimeOfDay& out) const = 0;
};

const ClockTimeSource& CurrentClockTimeSource();

// Makes `source` the clock's time source for the scope's lifetime.
class ClockTimeSourceScope {
public:
    explicit ClockTimeSourceScope(const ClockTimeSource& source);
    ~ClockTimeSourceScope();
    ClockTimeSourceScope(const ClockTimeSourceScope&) = delete;
    ClockTimeSourceScope& operator=(const ClockTimeSourceScope&) = delete;

private:
    const ClockTimeSource* m_previous;
};

class AC_ClockArrow : public DS_AnimationBase {
public:
    explicit AC_ClockArrow(bool hourHand) : m_hourHand(hourHand) {}

    // world = local x rotation about Y by the hand's angle for the current
    // local time (0 degrees, 12 o'clock, when it cannot be read).
    void Apply(TransformNode& node) override;

    // The hand's angle in degrees at `time`.
    float AngleAt(const crt::LocalTimeOfDay& time) const;
    bool IsHourHand() const { return m_hourHand; }

private:
    bool m_hourHand;
};
