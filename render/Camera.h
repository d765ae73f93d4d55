#pragma once
// DSM_Camera: the view of a slide's background picture. It decides how
// large the canvas is on which the slide's objects are placed, and moves
// slowly over the picture:
//   mode 0  stands still;
//   mode 1  drifts to random points with random hold times, zoomed in;
//   mode 2  flies along its path of points, to the last and back without
//           end, with a zoom per point.
// Each move is eased with a half cosine. Every frame the camera hands its
// centre and scale to the thread's RenderContext, which turns them into the
// camera matrix and the parallax offsets.
//
// The camera moves only while `animate` is 1 (runtime state set by its
// picture scene, never stored).

#include <cstddef>
#include <cstdint>
#include <memory>

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartPath.h"
#include "platform/math/Vector.h"
#include "render/FileLink.h"
#include "render/QuadVertices.h"
#include "render/RenderContext.h"

namespace gfx {
class Device;
}

class DSM_Camera : public DS_IOF_Item {
public:
    static constexpr std::int32_t kStoredVersion = 3;
    static constexpr std::u16string_view kClassName = u"DSM_Camera";
    static constexpr std::u16string_view kImageModule = u"common_res.dll";
    static constexpr std::int32_t kImageResourceId = 6;

    enum Mode : int { kStatic = 0, kRandomDrift = 1, kPath = 2 };

    // A move lasts at most this much per frame of clock (a longer frame gap
    // is cut to it, so a pause does not make the camera jump).
    static constexpr float kMaxStep = 0.2f;
    // The smallest zoom a stored percentage can give (1 %). A stored zoom
    // of 0 is used as this, so no size is divided by zero.
    static constexpr float kMinZoom = 0.01f;

    DSM_Camera();
    // Copies every value, the image link, the path (sharing its points) and
    // the runtime state.
    DSM_Camera(const DSM_Camera& other);
    DSM_Camera& operator=(const DSM_Camera&) = delete;
    ~DSM_Camera() override = default;

    // Takes every value, the image link, the path and the runtime state of
    // `other` (the picture scene copies a camera it read into its own).
    void CopyFrom(const DSM_Camera& other);

    // Reads a section header (the class name is not compared) and a camera
    // body of that version into a new camera.
    static std::unique_ptr<DSM_Camera> Load(ArchiveReader ar);
    // Reads the stored body of `version` (1 to 3).
    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // Path size := 80 % of the picture's size, each changed (and its
    // observers told) only when it differs.
    void SetSize(std::uint32_t width, std::uint32_t height);

    // Remembers the picture's size and sets the thread's view for it, with
    // the canvas the camera decides (see CanvasSize).
    void SetView(gfx::Device& device, const QuadVertices& viewQuad, PixelSize picture, int pictureMode,
                 bool viewPushed);
    // The canvas for a picture: the picture itself; while animated (and not
    // drawing into a render target), the picture / zoom in mode 1 and the
    // path size in mode 2.
    PixelSize CanvasSize(PixelSize picture, int pictureMode) const;

    // Starts over from the picture centre (or the first path point in mode
    // 2) with a new move due at once.
    void Restart();
    // Advances the clock by the frame's step and, while animated, eases the
    // centre and scale along the current move, handing them to the thread's
    // render context.
    void Update(float time);
    // Ends the current move at `now` and chooses the next one.
    void NextTarget(float now);

    // The zoom as used: the stored percentage's factor, at least kMinZoom.
    float ZoomFactor() const;
    // Whether Update moves the camera: a mode other than 0 and animate 1.
    bool IsActive() const { return mode.value != kStatic && animate.value == 1; }

    MediaParamT<int> mode{kStatic};
    // Percent; its float is the factor (120 -> 1.2).
    UINTSclaleTo<float> zoom{0.01f, 0.0f, 120};
    // Its float multiplies the clock's steps (50 -> 1.0).
    MediaSpeedParam speed;

    // The camera's clock.
    float step = 0.0f;
    float localTime = 0.0f;
    float lastTime = 0.0f;

    MediaParamTB<int> animate{0};
    // Stored and copied with the camera; nothing in the player draws it.
    DS_ImageFileLink imageLink{kImageResourceId, kxi_string(kImageModule)};
    // The canvas size in path mode.
    MediaParamT<std::uint32_t> pathWidth{0u};
    MediaParamT<std::uint32_t> pathHeight{0u};
    CameraPath path;

    // The move in progress.
    math::Vec3 startCentre;
    math::Vec3 targetCentre;
    float startScale = 1.0f;
    float targetScale = 1.0f;
    float startTime = 0.0f;
    float endTime = 0.0f;
    // The picture size last handed to SetView.
    std::uint32_t pictureWidth = 0;
    std::uint32_t pictureHeight = 0;
    // Index of the path point the camera flies to or from.
    std::size_t currentPoint = 0;
    bool forward = true;

    // What the last Update handed to the render context.
    math::Vec3 centre;
    float scale = 1.0f;

private:
    void NextRandomTarget(float now);
    void NextPathTarget(float now);
    math::Vec3 PictureCentre() const;
};
