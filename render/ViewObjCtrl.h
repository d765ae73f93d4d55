#pragma once
// DS_ViewObjCtrl: a description placed in a rectangle of the picture.
//
// The rectangle is held twice: as four edges in picture pixels, which the
// user edits, and as four fractions of the picture size, which survive a
// change of picture size. The edges are observed: a change of an edge
// rewrites its fraction (edge / picture size). UpdatePixelParams goes the
// other way when the picture size changes, and the fractions then snap to
// whole pixels. A copy rebuilds its edges from the fractions at the picture
// size current when it is made.
//
// The picture size is that of the current document (GetScreenInfo). While
// it is unknown (0), the fractions are left as they are.
//
// It also runs the sprite animation clock, at animation rate x 0.02 of real
// time (50 is real time).
//
// Stored section "DS_ViewObjCtrl" (written as version 2): the edges
// (MediaRectangle form), left, right, top, bottom fractions (floats), the
// view flag (byte), for v > 1 the animation rate (uint32, stored directly),
// then the DS_ABObj_Constructor section.

#include <cstdint>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/ShapeParams.h"
#include "platform/math/Vector.h"
#include "render/ABObjConstructor.h"
#include "render/QuadVertices.h"

class DS_ViewObjCtrl : public DS_ABObj_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_ViewObjCtrl";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::uint32_t kRealTimeRate = 50;
    // The animation clock runs at rate x this factor of real time.
    static constexpr float kRateFactor = 0.02f;

    // The whole picture, edges computed at the current picture size.
    DS_ViewObjCtrl();
    // Copies fractions, view flag and rate; edges are rebuilt from the
    // fractions at the current picture size; the clocks start at 0.
    DS_ViewObjCtrl(const DS_ViewObjCtrl& other);
    DS_ViewObjCtrl& operator=(const DS_ViewObjCtrl&) = delete;
    ~DS_ViewObjCtrl() override;

    // Writes the DS_ViewObjCtrl section and the sections below it.
    void Save(ArchiveWriter ar) const override;
    // Reads the DS_ViewObjCtrl section, header included.
    void Load(ArchiveReader ar);

    // Clears the animation clock.
    void Restart() override;

    // The view rectangle in picture pixels, corners in quad order:
    // (left, bottom), (left, top), (right, bottom), (right, top).
    virtual void GetViewQuad(QuadVertices& out) const;
    // Whether the point (window pixels) hits the object: never in the base.
    virtual bool HitTest(float x, float y);

    // Recomputes the edges from the fractions at the current picture size;
    // each edge that changes tells its observers (and so snaps its
    // fraction to the whole pixel).
    void UpdatePixelParams();
    // A point drawn evenly in the view rectangle (x first, then y; z = 0).
    void RandomPointInView(math::Vec3& out) const;
    // As RandomPointInView in the rectangle shrunk by the half extents.
    void RandomPointInViewInset(math::Vec3& out, float halfWidth, float halfHeight) const;

    // Left, right, top, bottom in picture pixels.
    MediaRectangle edges;
    // Speed of the animation clock in percent of 50 (real time).
    MediaParamT<std::uint32_t> animationRate;
    // Meaning belongs to the derived classes.
    std::uint8_t viewFlag = 0;
    float leftFraction = 0.0f;
    float rightFraction = 1.0f;
    float topFraction = 0.0f;
    float bottomFraction = 1.0f;
    // The animation clock: the last step, the running total and the time of
    // the last step.
    float animationStep = 0.0f;
    float animationClock = 0.0f;
    float lastAnimationTime = 0.0f;

protected:
    // Advances the animation clock to absolute time `time`: the step is
    // |time - last| (a jump back counts forward), at most 0.2 s, times
    // rate x 0.02.
    void StepAnimationClock(float time);

private:
    // Attaches the edge observers after computing the edges.
    void BindViewCallbacks();
    void OnLeftEdgeChanged(std::int32_t edge);
    void OnRightEdgeChanged(std::int32_t edge);
    void OnTopEdgeChanged(std::int32_t edge);
    void OnBottomEdgeChanged(std::int32_t edge);

    CallbackControlList<DS_ViewObjCtrl> m_edgeObservers{this};
};

// The picture size of the current document as floats (0 when unknown).
float CurrentPictureWidth();
float CurrentPictureHeight();
