#include "render/Camera.h"

#include <cmath>
#include <limits>

#include "platform/crt/Random.h"
#include "render/DocResManager.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kRestSeconds = 0.5f;
constexpr float kMinDriftSeconds = 5.0f;
constexpr float kDriftSpreadSeconds = 2.0f;
constexpr float kPercent = 0.01f;
constexpr double kPathShare = 0.8;

// Progress 0..1 of a move from `start` to `end` at `now`, eased with a half
// cosine. A move of no length (or one whose end is not a number) is
// complete at once: the camera jumps to its target.
float EasedProgress(float now, float start, float end)
{
    const float span = end - start;
    if (!(span > 0.0f) || !std::isfinite(span))
        return 1.0f;
    return (1.0f - std::cos(kPi * (now - start) / span)) / 2.0f;
}

math::Vec3 Interpolate(const math::Vec3& from, const math::Vec3& to, float t)
{
    return {from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t, from.z + (to.z - from.z) * t};
}

// A path point's zoom as a factor; 0 % counts as the smallest zoom.
float PointZoomFactor(const DX_CamPathPnt& point)
{
    const std::uint32_t percent = point.zoomPercent.value == 0 ? 1u : point.zoomPercent.value;
    return static_cast<float>(percent) * kPercent;
}

// A path point's move duration; a stored value that is not a finite number
// of seconds moves on at once rather than freezing the camera.
float PointDuration(const DX_CamPathPnt& point)
{
    const float seconds = point.duration.value;
    return std::isfinite(seconds) ? seconds : 0.0f;
}

// Truncates toward zero into an unsigned, clamped to its range.
std::uint32_t TruncateToUnsigned(float value)
{
    constexpr float kLimit = 4294967296.0f; // 2^32
    if (!(value > 0.0f))
        return 0;
    if (value >= kLimit)
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(value);
}

std::uint32_t PathShare(std::uint32_t size)
{
    return static_cast<std::uint32_t>(kPathShare * static_cast<double>(size));
}

} // namespace

DSM_Camera::DSM_Camera()
{
    speed.Rescale(0.02f, 0.0f);
    speed.QuietSet(50);
}

DSM_Camera::DSM_Camera(const DSM_Camera& other) = default;

void DSM_Camera::CopyFrom(const DSM_Camera& other)
{
    mode = other.mode;
    zoom = other.zoom;
    speed = other.speed;
    step = other.step;
    localTime = other.localTime;
    lastTime = other.lastTime;
    animate = other.animate;
    imageLink = other.imageLink;
    pathWidth = other.pathWidth;
    pathHeight = other.pathHeight;

    path.points = other.path.points;
    path.currentIndex = other.path.currentIndex;
    path.undo.TakeSnapshot();

    startCentre = other.startCentre;
    targetCentre = other.targetCentre;
    startScale = other.startScale;
    targetScale = other.targetScale;
    startTime = other.startTime;
    endTime = other.endTime;
    pictureWidth = other.pictureWidth;
    pictureHeight = other.pictureHeight;
    currentPoint = other.currentPoint;
    forward = other.forward;
    centre = other.centre;
    scale = other.scale;
}

std::unique_ptr<DSM_Camera> DSM_Camera::Load(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    auto camera = std::make_unique<DSM_Camera>();
    camera->ReadBody(ar, header.version);
    return camera;
}

void DSM_Camera::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version >= 3) {
        mode.StoreValue(ar.ReadInt());
        pathWidth.StoreValue(ar.ReadDword());
        pathHeight.StoreValue(ar.ReadDword());
        path.ReadPoints(ar);
    } else {
        // Older cameras only knew "moving or not"; moving was random drift.
        mode.StoreValue(ar.ReadInt() != 0 ? kRandomDrift : kStatic);
    }

    zoom.SetChangedValue(ar.ReadDword(), nullptr);

    // Stored directly (nobody is told), but the factor must follow the
    // stored value: a camera read from a document moves at its own speed.
    speed.StoreValue(ar.ReadDword());
    speed.UpdateScaled();

    if (version >= 2)
        ReadImageFileLink(ar, imageLink);
}

void DSM_Camera::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    ar->WriteLong(mode.value);
    ar->WriteDword(pathWidth.value);
    ar->WriteDword(pathHeight.value);
    ar->WriteVersion(static_cast<std::int32_t>(path.points.size()));
    for (const auto& point : path.points) {
        ar->WriteVersion(1);
        ar->WriteFloat(point->value.x);
        ar->WriteFloat(point->value.y);
        ar->WriteFloat(point->value.z);
        ar->WriteFloat(point->duration.value);
        ar->WriteDword(point->zoomPercent.value);
    }
    ar->WriteDword(zoom.value);
    ar->WriteDword(speed.value);
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterImage(imageLink);
    WriteFileLink(ar, imageLink);
}

void DSM_Camera::SetSize(std::uint32_t width, std::uint32_t height)
{
    pathWidth.SetChangedValue(PathShare(width), nullptr);
    pathHeight.SetChangedValue(PathShare(height), nullptr);
}

float DSM_Camera::ZoomFactor() const
{
    const float factor = zoom.Scaled();
    return factor > kMinZoom ? factor : kMinZoom;
}

PixelSize DSM_Camera::CanvasSize(PixelSize picture, int pictureMode) const
{
    if (animate.value == 0 || pictureMode == PicturePosition::kRenderTarget)
        return picture;
    if (mode.value == kRandomDrift) {
        const float factor = ZoomFactor();
        return {TruncateToUnsigned(static_cast<float>(picture.width) / factor),
                TruncateToUnsigned(static_cast<float>(picture.height) / factor)};
    }
    if (mode.value == kPath)
        return {pathWidth.value, pathHeight.value};
    return picture;
}

void DSM_Camera::SetView(gfx::Device& device, const QuadVertices& viewQuad, PixelSize picture, int pictureMode,
                         bool viewPushed)
{
    pictureWidth = picture.width;
    pictureHeight = picture.height;
    RenderContext* context = g_RenderContextTls;
    if (!context)
        return;
    context->SetViewFromCamera(device, viewQuad, picture, CanvasSize(picture, pictureMode), pictureMode,
                               viewPushed);
}

math::Vec3 DSM_Camera::PictureCentre() const
{
    return {static_cast<float>(pictureWidth) * 0.5f, static_cast<float>(pictureHeight) * 0.5f, 0.0f};
}

void DSM_Camera::Restart()
{
    startTime = 0.0f;
    endTime = 0.0f;
    startScale = 1.0f;
    targetScale = 1.0f;
    currentPoint = 0;
    startCentre = PictureCentre();
    targetCentre = startCentre;
    if (mode.value == kPath && !path.points.empty()) {
        const DX_CamPathPnt& first = *path.points.front();
        startCentre = first.value;
        targetCentre = first.value;
        startScale = PointZoomFactor(first);
        targetScale = startScale;
    }
    forward = true;
}

void DSM_Camera::Update(float time)
{
    if (time < lastTime)
        lastTime = time;
    step = time - lastTime;
    lastTime = time;
    if (step > kMaxStep)
        step = kMaxStep;
    step = step * speed.Scaled();
    localTime = localTime + step;

    RenderContext* context = g_RenderContextTls;
    if (!IsActive()) {
        // The centre is unused while inactive; the picture centre gives
        // zero parallax offsets.
        centre = PictureCentre();
        scale = 1.0f;
        if (context)
            context->SetCameraView(pictureWidth, pictureHeight, centre, scale, false);
        return;
    }

    if (localTime >= endTime)
        NextTarget(localTime);
    const float t = EasedProgress(localTime, startTime, endTime);
    centre = Interpolate(startCentre, targetCentre, t);
    scale = 1.0f;
    if (mode.value == kPath && path.points.size() >= 2)
        scale = startScale + (targetScale - startScale) * t;
    if (context)
        context->SetCameraView(pictureWidth, pictureHeight, centre, scale, true);
}

void DSM_Camera::NextTarget(float now)
{
    startCentre = targetCentre;
    startScale = targetScale;
    startTime = now;
    if (mode.value == kRandomDrift)
        NextRandomTarget(now);
    else if (mode.value == kPath)
        NextPathTarget(now);
}

void DSM_Camera::NextRandomTarget(float now)
{
    if (crt::rand() % 2 == 0) {
        endTime = now + kRestSeconds;
        return;
    }
    // With zoom z the canvas is the picture / z: keeping its centre within
    // this band keeps the whole canvas inside the picture.
    const float z = ZoomFactor();
    const float pw = static_cast<float>(pictureWidth);
    const float ph = static_cast<float>(pictureHeight);
    const float rx = crt::RandomUnit();
    targetCentre.x = ((1.0f - z) * (2.0f * rx - 1.0f) / z + 1.0f) * pw * 0.5f;
    const float ry = crt::RandomUnit();
    targetCentre.y = ((2.0f * ry - 1.0f) * (1.0f - z) / z + 1.0f) * ph * 0.5f;
    const float rt = crt::RandomUnit();
    endTime = rt * kDriftSpreadSeconds + kMinDriftSeconds + now;
}

void DSM_Camera::NextPathTarget(float now)
{
    const std::size_t count = path.points.size();
    // The path may have been shortened under the camera; it then rests.
    if (count < 2 || currentPoint >= count)
        return;

    if (currentPoint == 0)
        forward = true;
    if (forward) {
        endTime = PointDuration(*path.points[currentPoint]) + now;
        ++currentPoint;
    } else {
        --currentPoint;
        endTime = PointDuration(*path.points[currentPoint]) + now;
    }
    if (currentPoint >= count) {
        forward = false;
        currentPoint = count - 2;
        endTime = PointDuration(*path.points[currentPoint]) + now;
    }
    if (currentPoint == 0)
        forward = true;

    const DX_CamPathPnt& target = *path.points[currentPoint];
    targetCentre = target.value;
    targetScale = PointZoomFactor(target);
}
