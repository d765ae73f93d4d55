// Plain and camera paths: the point list and its notifications, the sampled
// curve (straight or spline), the segment visitor, the ping-pong walker, and
// reading stored points.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "objectmodel/SmartPath.h"
#include "tests/objectmodel/PathTestSupport.h"
#include "tests/support/DocumentWriter.h"

namespace {

class CountingControl : public MediaControl {
public:
    void OnParamChanged(MediaControl* source) override { sources.push_back(source); }
    std::vector<MediaControl*> sources;
};

SmartPath<DX_SmartPnt> PathThrough(const std::vector<math::Vec3>& positions, int curveMode = 0)
{
    SmartPath<DX_SmartPnt> path;
    path.curveMode.QuietSet(curveMode);
    for (const math::Vec3& p : positions)
        path.AddPoint(DX_SmartPnt(p), nullptr);
    path.RebuildCurve();
    return path;
}

bool IsFinite(const math::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST(PathCtrlPoints, AddAndRemoveTellEveryObserverButTheSource)
{
    SmartPath<DX_SmartPnt> path;
    CountingControl editor, watcher;
    path.AddControl(&editor);
    path.AddControl(&watcher);

    DX_SmartPnt* added = path.AddPoint(DX_SmartPnt({1, 2, 3}), &editor);
    path.AddPoint(DX_SmartPnt({4, 5, 6}), nullptr);
    EXPECT_EQ(added->Position(), (math::Vec3{1, 2, 3}));
    EXPECT_EQ(path.GetPoint(1)->Position(), (math::Vec3{4, 5, 6}));
    EXPECT_EQ(editor.sources, std::vector<MediaControl*>{nullptr});
    EXPECT_EQ(watcher.sources, (std::vector<MediaControl*>{&editor, nullptr}));

    path.RemovePoint(0, &watcher);
    EXPECT_EQ(path.GetPointCount(), 1);
    EXPECT_EQ(path.GetPoint(0)->Position(), (math::Vec3{4, 5, 6}));
    EXPECT_EQ(editor.sources.size(), 2u);
    EXPECT_EQ(watcher.sources.size(), 2u);

    // Indices outside the list change nothing and tell nobody.
    path.RemovePoint(1, nullptr);
    path.RemovePoint(-1, nullptr);
    EXPECT_EQ(path.GetPoint(1), nullptr);
    EXPECT_EQ(path.GetPoint(-1), nullptr);
    EXPECT_EQ(path.GetPointCount(), 1);
    EXPECT_EQ(watcher.sources.size(), 2u);
    // The undo controller is the path's first observer.
    EXPECT_EQ(path.Observers().front(), &path.undo);
    path.RemoveControl(&editor);
    path.RemoveControl(&watcher);
}

TEST(PathCtrlPoints, NewPointsShareTheAttachmentAndTakeTheirKindsDefaults)
{
    DX_CamPathPnt model;
    model.QuietSet({7, 8, 9});
    model.duration.QuietSet(1.5f);
    model.zoomPercent.QuietSet(250);

    CameraPath camera;
    EXPECT_EQ(camera.currentIndex, -1);
    DX_CamPathPnt* point = camera.AddPoint(model, nullptr);
    EXPECT_EQ(point->Position(), (math::Vec3{7, 8, 9}));
    EXPECT_EQ(point->duration.value, 5.0f);
    EXPECT_EQ(point->zoomPercent.value, 100u);
    EXPECT_TRUE(point->attachment.SharesBlockWith(model.attachment));
    EXPECT_FALSE(point->attachment.IsNull());

    // Assignment copies the position quietly and shares the attachment.
    DX_SmartPnt a({1, 1, 1}), b({2, 2, 2});
    CountingControl watcher;
    a.AddControl(&watcher);
    a = b;
    EXPECT_EQ(a.Position(), (math::Vec3{2, 2, 2}));
    EXPECT_EQ(a.undo.Current(), (math::Vec3{2, 2, 2}));
    EXPECT_TRUE(a.attachment.SharesBlockWith(b.attachment));
    EXPECT_TRUE(watcher.sources.empty());
    a.RemoveControl(&watcher);
}

TEST(PathCtrlPoints, CopiesShareTheirPoints)
{
    SmartPath<DX_SmartPnt> source = PathThrough({{0, 0, 0}, {10, 0, 0}});
    source.walker.distance = 3.0f;
    SmartPath<DX_SmartPnt> copy(source);
    EXPECT_EQ(copy.samples.size(), 2u);
    EXPECT_EQ(copy.walker.distance, 3.0f);
    ASSERT_EQ(copy.Observers().size(), 1u); // only its own undo controller
    EXPECT_EQ(copy.Observers().front(), &copy.undo);

    copy.GetPoint(1)->SetValue({20, 5, 0}, nullptr);
    EXPECT_EQ(source.GetPoint(1)->Position(), (math::Vec3{20, 5, 0}));
}

TEST(PathCtrlPoints, RebuildCurveStraightOrSpline)
{
    const std::vector<math::Vec3> five{{0, 0, 1}, {5, 5, 2}, {10, 0, 3}, {15, 5, 4}, {20, 0, 5}};
    EXPECT_EQ(PathThrough(five, 0).samples, five);

    const std::vector<math::Vec3> two{{0, 0, 1}, {5, 5, 2}};
    EXPECT_EQ(PathThrough(two, 1).samples, two);

    const SmartPath<DX_SmartPnt> three = PathThrough({{0, 0, 9}, {5, 5, 9}, {10, 0, 9}}, 1);
    ASSERT_EQ(three.samples.size(), 100u);
    for (const math::Vec3& s : three.samples)
        EXPECT_EQ(s.z, 0.0f);
    EXPECT_EQ(three.samples.front(), (math::Vec3{0, 0, 0}));

    const SmartPath<DX_SmartPnt> four = PathThrough({{0, 0, 0}, {5, 5, 0}, {10, 0, 0}, {15, 5, 0}}, 2);
    ASSERT_EQ(four.samples.size(), 101u);
    ExpectVecNear(four.samples.back(), {15, 5, 0}, 1e-4f);

    // Rebuilding refills the same vector.
    SmartPath<DX_SmartPnt> path = PathThrough(five, 0);
    const std::vector<math::Vec3>* before = &path.samples;
    path.curveMode.QuietSet(1);
    path.RebuildCurve();
    EXPECT_EQ(&path.samples, before);
    EXPECT_EQ(path.samples.size(), 100u); // 5 points: the step 0.04 overshoots 4
}

TEST(PathCtrlPoints, ForEachSegmentVisitsConsecutiveSamples)
{
    for (std::size_t count : {0u, 1u}) {
        std::vector<math::Vec3> points(count);
        int calls = 0;
        PathThrough(points).ForEachSegment([&](math::Vec3, math::Vec3) { ++calls; });
        EXPECT_EQ(calls, 0);
        // With nothing to visit an empty function is never called.
        PathThrough(points).ForEachSegment({});
    }

    std::vector<std::pair<math::Vec3, math::Vec3>> visited;
    const SmartPath<DX_SmartPnt> path = PathThrough({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    path.ForEachSegment([&](math::Vec3 a, math::Vec3 b) { visited.push_back({a, b}); });
    ASSERT_EQ(visited.size(), 2u);
    EXPECT_EQ(visited[0].first, (math::Vec3{1, 0, 0}));
    EXPECT_EQ(visited[1].second, (math::Vec3{3, 0, 0}));
    EXPECT_THROW(path.ForEachSegment({}), std::bad_function_call);
}

TEST(PathCtrlPoints, WalkerRunsToTheEndAndBack)
{
    SmartPath<DX_SmartPnt> path = PathThrough({{0, 0, 0}, {10, 0, 0}});
    path.walker.distance = 15.0f;
    math::Vec3 position;
    ASSERT_TRUE(WalkPathPingPong(path, position));
    EXPECT_EQ(position, (math::Vec3{5, 0, 0}));
    EXPECT_EQ(path.walker.index, 1);
    EXPECT_FALSE(path.walker.forward);
    EXPECT_EQ(path.walker.direction, (math::Vec3{-1, 0, 0}));

    // Steps of 4 along legs of 10 and 20: forth, back, and forth again.
    SmartPath<DX_SmartPnt> bent = PathThrough({{0, 0, 0}, {10, 0, 0}, {10, 20, 0}});
    const math::Vec3 expected[] = {{4, 0, 0},  {8, 0, 0},   {10, 2, 0},  {10, 6, 0},  {10, 10, 0}, {10, 14, 0},
                                   {10, 18, 0}, {10, 18, 0}, {10, 14, 0}, {10, 10, 0}, {10, 6, 0},  {10, 2, 0},
                                   {8, 0, 0},   {4, 0, 0},   {0, 0, 0},   {4, 0, 0}};
    for (const math::Vec3& e : expected) {
        bent.walker.distance += 4.0f;
        ASSERT_TRUE(WalkPathPingPong(bent, position));
        ExpectVecNear(position, e);
    }
}

TEST(PathCtrlPoints, WalkerEndsOnDegeneratePaths)
{
    math::Vec3 position{7, 7, 7};
    SmartPath<DX_SmartPnt> single = PathThrough({{1, 1, 0}});
    single.walker.distance = 3.0f;
    EXPECT_FALSE(WalkPathPingPong(single, position));
    EXPECT_EQ(position, (math::Vec3{7, 7, 7}));

    // Zero-length legs are passed over.
    SmartPath<DX_SmartPnt> repeated = PathThrough({{0, 0, 0}, {0, 0, 0}, {10, 0, 0}});
    repeated.walker.distance = 5.0f;
    ASSERT_TRUE(WalkPathPingPong(repeated, position));
    EXPECT_EQ(position, (math::Vec3{5, 0, 0}));

    // Every leg of zero length: the walk stops on its sample.
    SmartPath<DX_SmartPnt> still = PathThrough({{3, 3, 0}, {3, 3, 0}, {3, 3, 0}});
    still.walker.distance = 5.0f;
    ASSERT_TRUE(WalkPathPingPong(still, position));
    EXPECT_EQ(position, (math::Vec3{3, 3, 0}));
    EXPECT_EQ(still.walker.distance, 0.0f);

    // Distances no walk can use up step by step still end, on the path.
    for (float distance : {1e30f, INFINITY, NAN, -INFINITY, 123456.75f}) {
        SmartPath<DX_SmartPnt> path = PathThrough({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
        path.walker.distance = distance;
        ASSERT_TRUE(WalkPathPingPong(path, position));
        EXPECT_TRUE(IsFinite(position)) << distance;
        EXPECT_TRUE(position.x >= 0 && position.x <= 1 && position.y >= 0 && position.y <= 1) << distance;
    }

    // A walker left past the end of a shortened curve starts over from the
    // first sample (its distance cleared).
    SmartPath<DX_SmartPnt> shrunk = PathThrough({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    shrunk.walker.index = 3;
    shrunk.walker.forward = true;
    shrunk.RemovePoint(3, nullptr);
    shrunk.RemovePoint(2, nullptr);
    shrunk.RebuildCurve();
    shrunk.walker.distance = 0.5f;
    ASSERT_TRUE(WalkPathPingPong(shrunk, position));
    EXPECT_EQ(position, (math::Vec3{0, 0, 0}));
    EXPECT_EQ(shrunk.walker.index, 0);
    EXPECT_TRUE(shrunk.walker.forward);
    // One at the last sample still heading forward turns round.
    shrunk.walker.index = 1;
    shrunk.walker.forward = true;
    shrunk.walker.distance = 0.25f;
    ASSERT_TRUE(WalkPathPingPong(shrunk, position));
    EXPECT_EQ(position, (math::Vec3{0.75f, 0, 0}));
}

TEST(PathCtrlPoints, ReadsStoredPoints)
{
    DocumentWriter writer;
    writer.Count(2).Float(1).Float(2).Float(3).Float(-4).Float(0.5f).Float(6);
    ByteArchive plain(writer.Bytes());
    SmartPath<DX_SmartPnt> path;
    path.ReadPoints(plain.Reader());
    ASSERT_EQ(path.GetPointCount(), 2);
    EXPECT_EQ(path.GetPoint(1)->Position(), (math::Vec3{-4, 0.5f, 6}));
    EXPECT_EQ(path.GetPoint(1)->undo.Current(), (math::Vec3{-4, 0.5f, 6}));
    EXPECT_EQ(path.undo.Snapshot().size(), 2u);
    EXPECT_EQ(plain.Remaining(), 0u);

    // Camera points: the zoom is stored from version 1 on.
    DocumentWriter camera;
    camera.Count(2);
    camera.Int(0).Float(1).Float(2).Float(3).Float(2.5f);
    camera.Int(1).Float(4).Float(5).Float(6).Float(0.75f).Dword(180);
    ByteArchive cameraBytes(camera.Bytes());
    std::vector<DS_SafePtr<DX_CamPathPnt>> points;
    ReadPointHandles(cameraBytes.Reader(), points);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0]->duration.value, 2.5f);
    EXPECT_EQ(points[0]->zoomPercent.value, 100u);
    EXPECT_EQ(points[1]->Position(), (math::Vec3{4, 5, 6}));
    EXPECT_EQ(points[1]->duration.value, 0.75f);
    EXPECT_EQ(points[1]->zoomPercent.value, 180u);
    EXPECT_EQ(cameraBytes.Remaining(), 0u);
}

TEST(PathCtrlPoints, RefusesDamagedPointLists)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"negative count", DocumentWriter().Int(-1).Bytes()},
        {"count beyond the bytes", DocumentWriter().Int(1000000).Float(1).Float(2).Float(3).Bytes()},
        {"huge count", DocumentWriter().Int(0x7FFFFFFF).Bytes()},
        {"truncated point", DocumentWriter().Int(1).Float(1).Float(2).Bytes()},
        {"second point cut", DocumentWriter().Int(2).Float(1).Float(2).Float(3).Float(4).Float(5).Word(0).Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ByteArchive archive(c.bytes);
        SmartPath<DX_SmartPnt> path;
        EXPECT_THROW(path.ReadPoints(archive.Reader()), DS_Error);
    }
    // A camera point of version 1 whose zoom is missing passes the count
    // check (20 bytes at least) but not the read.
    ByteArchive cutCamera(DocumentWriter().Int(1).Int(1).Float(1).Float(2).Float(3).Float(4).Bytes());
    std::vector<DS_SafePtr<DX_CamPathPnt>> cameraPoints;
    EXPECT_THROW(ReadPointHandles(cutCamera.Reader(), cameraPoints), DS_Error);

    // A spline point needs 40 bytes: three of them cannot fit in 100.
    DocumentWriter spline;
    spline.Int(3);
    for (int i = 0; i < 25; ++i)
        spline.Float(0);
    ByteArchive archive(spline.Bytes());
    std::vector<DS_SafePtr<DX_BSplinePnt>> points;
    EXPECT_THROW(ReadRefCountedVector(archive.Reader(), points), DS_Error);
    EXPECT_TRUE(points.empty());
}

} // namespace
