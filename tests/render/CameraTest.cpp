// The camera: its clock, its three modes with eased moves, and its stored
// form read from bytes made with the document writer.

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "objectmodel/DocumentError.h"
#include "platform/crt/Random.h"
#include "render/Camera.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"

namespace {

constexpr float kPi = 3.1415927f;

float Eased(float progress) { return (1.0f - std::cos(kPi * progress)) / 2.0f; }

struct PathPoint {
    float x, y;
    float duration;
    std::uint32_t zoomPercent;
};

void AddPoints(DSM_Camera& camera, const std::vector<PathPoint>& points)
{
    for (const PathPoint& p : points) {
        DX_CamPathPnt* added = camera.path.AddPoint(DX_SmartPnt(math::Vec3{p.x, p.y, 0}), nullptr);
        added->duration.StoreValue(p.duration);
        added->zoomPercent.StoreValue(p.zoomPercent);
    }
}

// A camera on a 2000 x 1000 picture, animated and restarted in `mode`,
// with the thread's render context installed.
class CameraFixture : public testing::Test {
protected:
    void Start(int mode, const std::vector<PathPoint>& points = {})
    {
        camera.mode.StoreValue(mode);
        AddPoints(camera, points);
        camera.pictureWidth = 2000;
        camera.pictureHeight = 1000;
        camera.animate.StoreValue(1);
        camera.Restart();
    }

    // Runs the clock in steps of 0.1 s up to `time` (steps above 0.2 s
    // would be cut).
    void RunTo(float time)
    {
        while (now + 0.1f < time) {
            now += 0.1f;
            camera.Update(now);
        }
        now = time;
        camera.Update(now);
    }

    bool AllFinite() const
    {
        return std::isfinite(camera.centre.x) && std::isfinite(camera.centre.y) && std::isfinite(camera.scale) &&
               std::isfinite(context.camera(3, 0)) && std::isfinite(context.camera(3, 1)) &&
               std::isfinite(context.parallaxOffset.x) && std::isfinite(context.parallaxOffset.y);
    }

    RenderContext context;
    CurrentRenderContextScope scope{&context};
    DSM_Camera camera;
    float now = 0.0f;
};

TEST(CameraTest, Defaults)
{
    DSM_Camera camera;
    EXPECT_EQ(camera.mode.value, DSM_Camera::kStatic);
    EXPECT_EQ(camera.zoom.value, 120u);
    EXPECT_FLOAT_EQ(camera.zoom.Scaled(), 1.2f);
    EXPECT_EQ(camera.speed.value, 50u);
    EXPECT_FLOAT_EQ(camera.speed.Scaled(), 1.0f);
    EXPECT_EQ(camera.animate.value, 0);
    EXPECT_EQ(camera.imageLink.Key(), (LinkKey{u"common_res.dll", 6}));
    EXPECT_EQ(camera.pathWidth.value, 0u);
    EXPECT_TRUE(camera.path.points.empty());
}

TEST_F(CameraFixture, ClockCutsLongStepsAbsorbsTimeGoingBackAndScalesBySpeed)
{
    Start(DSM_Camera::kStatic);
    camera.Update(1.0f); // a 1 s frame counts 0.2 s
    EXPECT_FLOAT_EQ(camera.localTime, 0.2f);
    camera.Update(1.1f);
    EXPECT_FLOAT_EQ(camera.localTime, 0.3f);
    camera.Update(0.5f); // time went back: no step
    EXPECT_FLOAT_EQ(camera.step, 0.0f);
    EXPECT_FLOAT_EQ(camera.localTime, 0.3f);
    camera.speed.SetValue(100, nullptr); // factor 2
    camera.Update(0.6f);
    EXPECT_FLOAT_EQ(camera.localTime, 0.5f);
    // Restart leaves the clock running.
    camera.Restart();
    EXPECT_FLOAT_EQ(camera.localTime, 0.5f);
}

TEST_F(CameraFixture, StaticOrNotAnimatedCameraIsInactive)
{
    Start(DSM_Camera::kStatic);
    RunTo(3);
    EXPECT_FALSE(context.cameraActive);
    EXPECT_FLOAT_EQ(context.parallaxOffset.x, 0);

    DSM_Camera idle;
    idle.mode.StoreValue(DSM_Camera::kPath);
    idle.Update(1);
    EXPECT_FALSE(idle.IsActive());
    EXPECT_FALSE(context.cameraActive);
}

TEST_F(CameraFixture, PathModeEasesCentreAndScaleBetweenPoints)
{
    Start(DSM_Camera::kPath, {{0, 0, 2, 100}, {100, 50, 4, 200}});
    EXPECT_EQ(camera.startCentre, (math::Vec3{0, 0, 0}));

    // The first update starts the move P0 -> P1, which takes P0's 2 s.
    const struct {
        float time;
        float progress;
    } samples[] = {{0.0f, 0.0f}, {0.5f, 0.25f}, {1.0f, 0.5f}, {1.5f, 0.75f}, {1.9f, 0.95f}};
    for (const auto& s : samples) {
        SCOPED_TRACE(testing::Message() << "t = " << s.time);
        RunTo(s.time);
        const float t = Eased(s.progress);
        EXPECT_NEAR(camera.centre.x, 100 * t, 1e-3f);
        EXPECT_NEAR(camera.centre.y, 50 * t, 1e-3f);
        EXPECT_NEAR(camera.scale, 1 + t, 1e-5f);
        EXPECT_TRUE(context.cameraActive);
        EXPECT_NEAR(context.parallaxOffset.x, 1000 - camera.centre.x, 1e-3f);
        EXPECT_NEAR(context.parallaxOffset.y, 500 - camera.centre.y, 1e-3f);
    }
    // At 2 s the move back starts: P1 -> P0 over P0's 2 s again.
    RunTo(3.0f);
    EXPECT_EQ(camera.startCentre, (math::Vec3{100, 50, 0}));
    EXPECT_EQ(camera.targetCentre, (math::Vec3{0, 0, 0}));
    EXPECT_NEAR(camera.centre.x, 50, 1e-3f);
    EXPECT_NEAR(camera.scale, 1.5f, 1e-5f);
}

TEST_F(CameraFixture, PathModeRunsToTheLastPointAndBack)
{
    Start(DSM_Camera::kPath, {{0, 0, 1, 100}, {10, 0, 2, 100}, {20, 0, 3, 100}});
    const struct {
        float fromX, toX, duration;
    } expectedMoves[] = {{0, 10, 1}, {10, 20, 2}, {20, 10, 2}, {10, 0, 1}, {0, 10, 1}, {10, 20, 2}};
    float time = 0;
    for (const auto& move : expectedMoves) {
        SCOPED_TRACE(testing::Message() << move.fromX << " -> " << move.toX);
        camera.NextTarget(time);
        EXPECT_EQ(camera.startCentre.x, move.fromX);
        EXPECT_EQ(camera.targetCentre.x, move.toX);
        EXPECT_FLOAT_EQ(camera.endTime - camera.startTime, move.duration);
        time = camera.endTime;
    }
}

TEST_F(CameraFixture, ShortPathsAndZeroLengthMovesJumpInsteadOfProducingNaN)
{
    struct Case {
        const char* name;
        std::vector<PathPoint> points;
        math::Vec3 expectedCentre;
    };
    const Case cases[] = {
        {"EmptyPathStaysAtThePictureCentre", {}, {1000, 500, 0}},
        {"OnePointStaysThere", {{300, 200, 5, 150}}, {300, 200, 0}},
        {"ZeroDurationJumpsToTheNextPoint", {{0, 0, 0, 100}, {400, 300, 0, 100}}, {400, 300, 0}},
        {"NaNDurationMovesOn", {{0, 0, std::nanf(""), 100}, {400, 300, 1, 100}}, {400, 300, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        camera.path.points.clear();
        Start(DSM_Camera::kPath, c.points);
        camera.Update(now += 0.05f);
        EXPECT_TRUE(AllFinite());
        EXPECT_FLOAT_EQ(camera.centre.x, c.expectedCentre.x);
        EXPECT_FLOAT_EQ(camera.centre.y, c.expectedCentre.y);
        camera.Update(now += 0.05f);
        EXPECT_TRUE(AllFinite());
    }
}

TEST_F(CameraFixture, ZeroZoomIsTheSmallestZoom)
{
    Start(DSM_Camera::kRandomDrift);
    camera.zoom.SetValue(0, nullptr);
    EXPECT_FLOAT_EQ(camera.ZoomFactor(), DSM_Camera::kMinZoom);
    const PixelSize canvas = camera.CanvasSize({2000, 1000}, PicturePosition::kFit);
    EXPECT_EQ(canvas.width, 200000u);
    EXPECT_EQ(canvas.height, 100000u);
    crt::srand(7);
    for (int i = 0; i < 50; ++i) {
        RunTo(now + 3);
        ASSERT_TRUE(AllFinite());
    }

    // A path point of zoom 0 scales by the smallest zoom, not by 0.
    camera.path.points.clear();
    Start(DSM_Camera::kPath, {{0, 0, 1, 0}, {10, 0, 1, 0}});
    EXPECT_FLOAT_EQ(camera.startScale, DSM_Camera::kMinZoom);
}

TEST_F(CameraFixture, RandomDriftDrawsFromTheSceneSequenceInOrder)
{
    Start(DSM_Camera::kRandomDrift); // zoom 1.2
    const float z = 1.2f;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        // What the camera should draw: parity first, then x, y and duration.
        crt::srand(seed);
        const int first = crt::rand();
        const float rx = float(crt::rand()) / 32767.0f;
        const float ry = float(crt::rand()) / 32767.0f;
        const float rt = float(crt::rand()) / 32767.0f;

        crt::srand(seed);
        const math::Vec3 before = camera.targetCentre;
        camera.NextTarget(10.0f);
        EXPECT_EQ(camera.startCentre, before);
        EXPECT_EQ(camera.startTime, 10.0f);
        if (first % 2 == 0) {
            EXPECT_EQ(camera.endTime, 10.5f); // rests half a second
            EXPECT_EQ(camera.targetCentre, before);
            continue;
        }
        EXPECT_FLOAT_EQ(camera.targetCentre.x, ((1 - z) * (2 * rx - 1) / z + 1) * 2000 * 0.5f);
        EXPECT_FLOAT_EQ(camera.targetCentre.y, ((2 * ry - 1) * (1 - z) / z + 1) * 1000 * 0.5f);
        EXPECT_FLOAT_EQ(camera.endTime, rt * 2 + 5 + 10.0f);
    }
}

TEST_F(CameraFixture, RandomDriftKeepsTheCanvasInsideThePicture)
{
    Start(DSM_Camera::kRandomDrift); // the canvas is the picture / 1.2
    crt::srand(12345);
    int moves = 0;
    for (int i = 0; i < 300; ++i) {
        const float start = camera.endTime;
        camera.NextTarget(start);
        const float duration = camera.endTime - start;
        if (duration == 0.5f)
            continue;
        ++moves;
        EXPECT_GE(duration, 5.0f);
        EXPECT_LE(duration, 7.0f);
        const float halfW = 2000 / 1.2f / 2;
        const float halfH = 1000 / 1.2f / 2;
        EXPECT_GE(camera.targetCentre.x - halfW, -0.01f);
        EXPECT_LE(camera.targetCentre.x + halfW, 2000.01f);
        EXPECT_GE(camera.targetCentre.y - halfH, -0.01f);
        EXPECT_LE(camera.targetCentre.y + halfH, 1000.01f);
    }
    EXPECT_GT(moves, 100);

    // Zoom 1: the band has no width, every target is the picture centre.
    camera.zoom.SetValue(100, nullptr);
    for (int i = 0; i < 20; ++i) {
        camera.NextTarget(camera.endTime);
        EXPECT_FLOAT_EQ(camera.targetCentre.x, 1000);
        EXPECT_FLOAT_EQ(camera.targetCentre.y, 500);
    }
}

TEST_F(CameraFixture, RandomDriftEasesOverTime)
{
    Start(DSM_Camera::kRandomDrift);
    crt::srand(1); // the first draw (41) is odd: a move, not a rest
    RunTo(0.05f);
    const math::Vec3 from = camera.startCentre;
    const math::Vec3 to = camera.targetCentre;
    const float start = camera.startTime;
    const float end = camera.endTime;
    ASSERT_GE(end - start, 5.0f);
    for (float time = 0.3f; time < end - 0.1f; time += 0.7f) {
        RunTo(time);
        const float t = Eased((camera.localTime - start) / (end - start));
        EXPECT_NEAR(camera.centre.x, from.x + (to.x - from.x) * t, 1e-2f);
        EXPECT_NEAR(camera.centre.y, from.y + (to.y - from.y) * t, 1e-2f);
        EXPECT_FLOAT_EQ(camera.scale, 1.0f); // drift never scales
        EXPECT_TRUE(context.cameraActive);
    }
}

TEST_F(CameraFixture, MissingPictureStoresNoNaN)
{
    for (int mode : {DSM_Camera::kStatic, DSM_Camera::kRandomDrift, DSM_Camera::kPath}) {
        SCOPED_TRACE(mode);
        DSM_Camera fresh;
        fresh.mode.StoreValue(mode);
        fresh.animate.StoreValue(1);
        fresh.Restart();
        for (float time = 0; time < 12; time += 0.1f)
            fresh.Update(time);
        EXPECT_TRUE(std::isfinite(fresh.centre.x) && std::isfinite(fresh.centre.y));
        const PixelSize canvas = fresh.CanvasSize({0, 0}, PicturePosition::kFit);
        EXPECT_EQ(canvas.width, 0u);
        EXPECT_EQ(canvas.height, 0u);
    }
}

TEST(CameraTest, CanvasSizeByModeAndAnimation)
{
    DSM_Camera camera;
    camera.zoom.SetValue(125, nullptr);
    camera.pathWidth.StoreValue(1536);
    camera.pathHeight.StoreValue(864);
    const PixelSize picture{1000, 500};

    struct Case {
        const char* name;
        int mode;
        int animate;
        int pictureMode;
        PixelSize expected;
    };
    const Case cases[] = {
        {"NotAnimatedKeepsThePicture", DSM_Camera::kPath, 0, PicturePosition::kFit, {1000, 500}},
        {"StaticKeepsThePicture", DSM_Camera::kStatic, 1, PicturePosition::kFit, {1000, 500}},
        {"DriftDividesByTheZoom", DSM_Camera::kRandomDrift, 1, PicturePosition::kFill, {800, 400}},
        {"PathUsesThePathSize", DSM_Camera::kPath, 1, PicturePosition::kStretch, {1536, 864}},
        {"RenderTargetKeepsThePicture", DSM_Camera::kPath, 1, PicturePosition::kRenderTarget, {1000, 500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        camera.mode.StoreValue(c.mode);
        camera.animate.StoreValue(c.animate);
        const PixelSize canvas = camera.CanvasSize(picture, c.pictureMode);
        EXPECT_EQ(canvas.width, c.expected.width);
        EXPECT_EQ(canvas.height, c.expected.height);
    }
}

TEST(CameraTest, SetSizeTakesFourFifthsAndTellsOnlyOnChange)
{
    struct Counter : MediaControl {
        void OnParamChanged(MediaControl*) override { ++calls; }
        int calls = 0;
    } counter;
    DSM_Camera camera;
    camera.pathWidth.AddControl(&counter);
    camera.SetSize(1920, 1080);
    EXPECT_EQ(camera.pathWidth.value, 1536u);
    EXPECT_EQ(camera.pathHeight.value, 864u);
    EXPECT_EQ(counter.calls, 1);
    camera.SetSize(1920, 1000);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(camera.pathHeight.value, 800u);
    camera.pathWidth.RemoveControl(&counter);
}

// ---- Stored form ------------------------------------------------------------

DocumentWriter& CameraPoint(DocumentWriter& w, std::int32_t version, float x, float y, float duration,
                            std::uint32_t zoom)
{
    w.Int(version).Float(x).Float(y).Float(0).Float(duration);
    if (version >= 1)
        w.Dword(zoom);
    return w;
}

TEST(CameraStoredFormTest, ReadsVersion3WithPathAndLink)
{
    DocumentWriter w;
    w.Section(u"DSM_Camera", 3).Int(2).Dword(1536).Dword(864).Count(2);
    CameraPoint(w, 1, 10, 20, 3.5f, 150);
    CameraPoint(w, 0, 30, 40, 2.0f, 0); // a version-0 point has no zoom
    w.Dword(140).Dword(100).WideString(u"pictures\\sky.png").Int64(1234567890123);
    w.Int(0x5A5A5A5A); // what follows the record stays unread

    MemoryArchive archive(w.Bytes());
    const auto camera = DSM_Camera::Load(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 4u);
    EXPECT_EQ(camera->mode.value, DSM_Camera::kPath);
    EXPECT_EQ(camera->pathWidth.value, 1536u);
    EXPECT_EQ(camera->pathHeight.value, 864u);
    ASSERT_EQ(camera->path.points.size(), 2u);
    EXPECT_EQ(camera->path.points[0]->value, (math::Vec3{10, 20, 0}));
    EXPECT_FLOAT_EQ(camera->path.points[0]->duration.value, 3.5f);
    EXPECT_EQ(camera->path.points[0]->zoomPercent.value, 150u);
    EXPECT_EQ(camera->path.points[1]->zoomPercent.value, 100u);
    EXPECT_FLOAT_EQ(camera->zoom.Scaled(), 1.4f);
    EXPECT_EQ(camera->speed.value, 100u);
    EXPECT_FLOAT_EQ(camera->speed.Scaled(), 2.0f);
    EXPECT_EQ(camera->imageLink.Key(), (LinkKey{u"pictures\\sky.png", 1234567890123}));
}

TEST(CameraStoredFormTest, OlderVersions)
{
    struct Case {
        const char* name;
        std::int32_t version;
        std::int32_t movingFlag;
        int expectedMode;
        bool hasLink;
    };
    const Case cases[] = {
        {"Version2Moving", 2, 5, DSM_Camera::kRandomDrift, true},
        {"Version2Still", 2, 0, DSM_Camera::kStatic, true},
        {"Version1KeepsTheDefaultLink", 1, -1, DSM_Camera::kRandomDrift, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentWriter w;
        w.Section(u"DSM_Camera", c.version).Int(c.movingFlag).Dword(120).Dword(25);
        if (c.hasLink)
            w.WideString(u"common_res.dll").Int64(9);
        MemoryArchive archive(w.Bytes());
        const auto camera = DSM_Camera::Load(archive.Reader());
        EXPECT_EQ(archive.Remaining(), 0u);
        EXPECT_EQ(camera->mode.value, c.expectedMode);
        EXPECT_TRUE(camera->path.points.empty());
        EXPECT_FLOAT_EQ(camera->speed.Scaled(), 0.5f);
        EXPECT_EQ(camera->imageLink.Key(), (LinkKey{u"common_res.dll", c.hasLink ? 9 : 6}));
    }
}

TEST(CameraStoredFormTest, ZoomNotifiesOnlyWhenItChangesAndSpeedIsStoredQuietly)
{
    struct Counter : MediaControl {
        void OnParamChanged(MediaControl*) override { ++calls; }
        int calls = 0;
    };
    for (std::uint32_t storedZoom : {120u, 150u}) {
        Counter zoomCounter;
        Counter speedCounter;
        DSM_Camera camera;
        camera.zoom.AddControl(&zoomCounter);
        camera.speed.AddControl(&speedCounter);
        DocumentWriter w;
        w.Int(1).Dword(storedZoom).Dword(75).WideString(u"a.png").Int64(1);
        MemoryArchive archive(w.Bytes());
        camera.ReadBody(archive.Reader(), 2);
        EXPECT_EQ(zoomCounter.calls, storedZoom == 120u ? 0 : 1);
        EXPECT_FLOAT_EQ(camera.zoom.Scaled(), float(storedZoom) * 0.01f);
        EXPECT_EQ(speedCounter.calls, 0);
        EXPECT_FLOAT_EQ(camera.speed.Scaled(), 1.5f);
        camera.zoom.RemoveControl(&zoomCounter);
        camera.speed.RemoveControl(&speedCounter);
    }
}

TEST(CameraStoredFormTest, DamagedRecordsAreRefused)
{
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    DocumentWriter truncated;
    truncated.Section(u"DSM_Camera", 3).Int(2).Dword(1).Dword(1).Count(1);
    CameraPoint(truncated, 1, 1, 2, 3, 100);
    truncated.Dword(120); // the speed and the link are missing

    DocumentWriter hugeCount;
    hugeCount.Section(u"DSM_Camera", 3).Int(2).Dword(1).Dword(1).Int(0x7FFFFFFF).Dword(120).Dword(50);

    DocumentWriter negativeCount;
    negativeCount.Section(u"DSM_Camera", 3).Int(2).Dword(1).Dword(1).Int(-3).Dword(120).Dword(50);

    DocumentWriter hugeLinkPath;
    hugeLinkPath.Section(u"DSM_Camera", 2).Int(1).Dword(120).Dword(50).WideStringLength(0xFFFFFFF0u);

    const Case cases[] = {
        {"Truncated", truncated.Bytes()},
        {"HugeCount", hugeCount.Bytes()},
        {"NegativeCount", negativeCount.Bytes()},
        {"HugeLinkPath", hugeLinkPath.Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryArchive archive(c.bytes);
        EXPECT_THROW(DSM_Camera::Load(archive.Reader()), DS_Error);
    }
}

TEST(CameraTest, CopyFromTakesValuesPathAndRuntimeState)
{
    DSM_Camera read;
    read.mode.StoreValue(DSM_Camera::kPath);
    read.zoom.SetValue(180, nullptr);
    read.speed.SetValue(100, nullptr);
    read.imageLink.StorePathAndId(u"x.png", 3);
    read.pathWidth.StoreValue(800);
    AddPoints(read, {{1, 2, 3, 100}, {4, 5, 6, 200}});
    read.localTime = 4;
    read.currentPoint = 1;

    DSM_Camera own;
    own.CopyFrom(read);
    EXPECT_EQ(own.mode.value, DSM_Camera::kPath);
    EXPECT_FLOAT_EQ(own.zoom.Scaled(), 1.8f);
    EXPECT_FLOAT_EQ(own.speed.Scaled(), 2.0f);
    EXPECT_EQ(own.imageLink.Key(), (LinkKey{u"x.png", 3}));
    EXPECT_EQ(own.pathWidth.value, 800u);
    EXPECT_FLOAT_EQ(own.localTime, 4);
    EXPECT_EQ(own.currentPoint, 1u);
    ASSERT_EQ(own.path.points.size(), 2u);
    EXPECT_EQ(own.path.points[1].get(), read.path.points[1].get()); // the points are shared
    EXPECT_EQ(own.path.undo.Snapshot().size(), 2u);
}

} // namespace
