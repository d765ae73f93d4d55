// Spline paths: handle shaping when points are added, Bezier sampling of the
// path into PathSample records, copies, and cursors across rebuilds.

#include <gtest/gtest.h>

#include <vector>

#include "objectmodel/SplinePath.h"
#include "platform/math/MathFunctions.h"
#include "tests/objectmodel/PathTestSupport.h"
#include "tests/support/DocumentWriter.h"

namespace {

class CountingControl : public MediaControl {
public:
    void OnParamChanged(MediaControl* source) override { sources.push_back(source); }
    std::vector<MediaControl*> sources;
};

DX_BSplinePnt* Add(SplinePath& path, math::Vec3 position, MediaControl* source = nullptr)
{
    return path.AddPoint(DX_SmartPnt(position), source);
}

// A path of the given points, each with explicit handles.
struct HandledPoint {
    math::Vec3 position, outgoing, incoming;
};

void Fill(SplinePath& path, const std::vector<HandledPoint>& points)
{
    for (const HandledPoint& p : points) {
        auto point = MakeSafePtr<DX_BSplinePnt>();
        point->QuietSet(p.position);
        point->outgoing.QuietSet(p.outgoing);
        point->incoming.QuietSet(p.incoming);
        path.points.push_back(point);
    }
}

const std::vector<HandledPoint> kThreePoints{
    {{0, 0, 0}, {10, 20, 0}, {0, 0, 0}},
    {{50, 0, 0}, {10, -10, 0}, {-10, 10, 0}},
    {{80, 40, 0}, {0, 0, 0}, {-5, -15, 0}},
};

TEST(SplinePath, AddingPointsShapesTheHandles)
{
    CountingControl observer, handleWatcher; // outlive the path they watch
    SplinePath path;
    path.AddControl(&observer);

    DX_BSplinePnt* first = Add(path, {0, 0, 0}, &observer);
    EXPECT_EQ(first->outgoing.value, (math::Vec3{}));
    EXPECT_EQ(first->incoming.value, (math::Vec3{}));
    EXPECT_TRUE(observer.sources.empty()); // the causing control is not told

    first->outgoing.AddControl(&handleWatcher);
    DX_BSplinePnt* second = Add(path, {3, 0, 0});
    ExpectVecNear(second->incoming.value, {-0.99f, 0, 0});
    ExpectVecNear(first->outgoing.value, {0.99f, 0, 0});
    EXPECT_EQ(second->outgoing.value, (math::Vec3{}));
    // The handle change is announced with no causing control.
    EXPECT_EQ(handleWatcher.sources, std::vector<MediaControl*>{nullptr});
    EXPECT_EQ(observer.sources, std::vector<MediaControl*>{nullptr});

    // A third point mirrors the second point's incoming handle into its
    // outgoing one.
    DX_BSplinePnt* third = Add(path, {3, 6, 0});
    ExpectVecNear(second->outgoing.value, {0.99f, 0, 0});
    ExpectVecNear(third->incoming.value, {0, -1.98f, 0});
    EXPECT_EQ(path.GetPointCount(), 3);
}

TEST(SplinePath, SampleCountsAndLengths)
{
    struct Case {
        std::vector<HandledPoint> points;
        int steps;
        std::size_t expected;
    };
    const Case cases[] = {
        {{}, 20, 0},
        {{kThreePoints[0]}, 20, 0},
        {{kThreePoints[0], kThreePoints[1]}, 20, 21},
        {kThreePoints, 20, 41},
        {kThreePoints, 100, 201},
        {kThreePoints, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points.size() << " points, " << c.steps << " steps");
        SplinePath path;
        Fill(path, c.points);
        path.length = 123.0f;
        const PathSampleList samples = SampleBSplinePath(path, c.steps, false);
        ASSERT_EQ(samples.size(), c.expected);
        if (samples.empty()) {
            EXPECT_EQ(path.length, 0.0f);
            continue;
        }
        ExpectVecNear(samples.front().Position(), c.points.front().position);
        ExpectVecNear(samples.back().Position(), c.points.back().position);
        float sum = 0.0f;
        for (std::size_t i = 0; i + 1 < samples.size(); ++i) {
            sum += samples[i].length;
            EXPECT_NEAR(samples[i].length, math::Vec3Length(samples[i + 1].Position() - samples[i].Position()), 1e-5f);
            EXPECT_NEAR(math::Vec3Length(samples[i].Direction()), 1.0f, 1e-5f);
        }
        EXPECT_EQ(path.length, sum);
        EXPECT_EQ(samples[samples.size() - 2].cumulative, path.length);
        EXPECT_EQ(samples.back().length, 0.0f);
        EXPECT_EQ(samples.back().cumulative, 0.0f);
    }
}

TEST(SplinePath, ReverseSamplingRunsBackwards)
{
    SplinePath path;
    Fill(path, kThreePoints);
    const PathSampleList forward = SampleBSplinePath(path, 20, false);
    const float forwardLength = path.length;
    const PathSampleList reverse = SampleBSplinePath(path, 20, true);
    ASSERT_EQ(reverse.size(), forward.size());
    for (std::size_t i = 0; i < forward.size(); ++i)
        ExpectVecNear(reverse[i].Position(), forward[forward.size() - 1 - i].Position(), 1e-3f);
    EXPECT_NEAR(path.length, forwardLength, 1e-2f);
}

TEST(SplinePath, RebuildKeepsTheSampleListForItsCursors)
{
    SplinePath path;
    Fill(path, kThreePoints);
    path.RebuildCurve();
    const PathSampleList* list = &path.SplineSamples();
    ASSERT_EQ(list->size(), 41u);

    DS_SafePtr<PathCursor> cursor = NewPathCursor(path);
    math::Vec3 position, direction;
    float distance = path.length * 0.9f;
    while (cursor->StepAcrossPoint(distance, position, direction)) {
    }
    EXPECT_GT(cursor->segment, 20); // into the second Bezier segment

    // Fewer points: the same list, shorter; the cursor clamps to its end.
    path.RemovePoint(2, nullptr);
    path.RebuildCurve();
    EXPECT_EQ(&path.SplineSamples(), list);
    ASSERT_EQ(list->size(), 21u);
    EXPECT_FALSE(cursor->Advance(1.0f, position, direction));
    ExpectVecNear(position, kThreePoints[1].position);
    EXPECT_TRUE(cursor->SeekDistance(0.0f, 0.0f, position, direction));

    // The cursor keeps the samples alive after the path is gone.
    auto owned = std::make_unique<SplinePath>();
    Fill(*owned, kThreePoints);
    owned->RebuildCurve();
    DS_SafePtr<PathCursor> survivor = NewPathCursor(*owned);
    owned.reset();
    EXPECT_TRUE(survivor->SeekDistance(1.0f, 0.0f, position, direction));
}

TEST(SplinePath, CopySharesPointsButOwnsItsSamples)
{
    SplinePath source;
    Fill(source, kThreePoints);
    source.RebuildCurve();
    SplinePath copy(source);
    EXPECT_EQ(copy.length, source.length);
    EXPECT_EQ(copy.SplineSamples().size(), source.SplineSamples().size());
    EXPECT_NE(&copy.SplineSamples(), &source.SplineSamples());
    EXPECT_EQ(copy.GetPoint(1), source.GetPoint(1));

    copy.GetPoint(2)->QuietSet({500, 500, 0});
    copy.RemovePoint(0, nullptr);
    copy.RebuildCurve();
    EXPECT_EQ(source.GetPoint(2)->Position(), (math::Vec3{500, 500, 0}));
    EXPECT_EQ(source.SplineSamples().size(), 41u);
    EXPECT_EQ(copy.SplineSamples().size(), 21u);
}

TEST(SplinePath, ForEachSegmentVisitsTheSplineSamples)
{
    SplinePath path;
    Fill(path, {kThreePoints[0], kThreePoints[1]});
    int calls = 0;
    path.ForEachSegment([&](math::Vec3, math::Vec3) { ++calls; });
    EXPECT_EQ(calls, 0); // not sampled yet

    path.RebuildCurve();
    math::Vec3 last = path.SplineSamples().front().Position();
    path.ForEachSegment([&](math::Vec3 a, math::Vec3 b) {
        EXPECT_EQ(a, last);
        last = b;
        ++calls;
    });
    EXPECT_EQ(calls, 20);
    EXPECT_EQ(last, path.SplineSamples().back().Position());
}

TEST(SplinePath, ReadsStoredSplinePoints)
{
    DocumentWriter writer;
    writer.Count(2);
    writer.Int(1).Float(1).Float(2).Float(3).Float(4).Float(5).Float(6).Float(7).Float(8).Float(9);
    writer.Int(0).Float(-1).Float(-2).Float(-3).Float(0).Float(0).Float(0).Float(0.5f).Float(0).Float(0);
    writer.Int(77); // what follows the list
    ByteArchive archive(writer.Bytes());

    SplinePath path;
    path.ReadPoints(archive.Reader());
    ASSERT_EQ(path.GetPointCount(), 2);
    EXPECT_EQ(path.GetPoint(0)->Position(), (math::Vec3{1, 2, 3}));
    EXPECT_EQ(path.GetPoint(0)->outgoing.value, (math::Vec3{4, 5, 6}));
    EXPECT_EQ(path.GetPoint(0)->incoming.value, (math::Vec3{7, 8, 9}));
    EXPECT_EQ(path.GetPoint(1)->Position(), (math::Vec3{-1, -2, -3}));
    EXPECT_EQ(path.GetPoint(1)->incoming.value, (math::Vec3{0.5f, 0, 0}));
    EXPECT_EQ(path.undo.Snapshot().size(), 2u);
    EXPECT_EQ(archive.Reader().ReadInt(), 77);
}

} // namespace
