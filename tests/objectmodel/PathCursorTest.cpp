// Cursors along sampled spline curves: counting, stepping, advancing and
// seeking by distance, with and without a sideways offset.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "objectmodel/PathCursor.h"
#include "tests/objectmodel/PathTestSupport.h"

namespace {

// Samples on the x axis at the given positions, with the lengths and
// cumulative lengths the sampler would store.
SharedPathSamples SamplesAlongX(const std::vector<float>& xs)
{
    auto samples = MakeSafePtr<PathSampleList>();
    float total = 0.0f;
    for (std::size_t i = 0; i < xs.size(); ++i) {
        PathSample s;
        s.x = xs[i];
        s.dx = 1.0f;
        if (i + 1 < xs.size()) {
            s.length = xs[i + 1] - xs[i];
            total += s.length;
            s.cumulative = total;
        }
        samples->push_back(s);
    }
    return samples;
}

// Segments of length 10, 20 and 30.
SharedPathSamples ThreeSegments() { return SamplesAlongX({0, 10, 30, 60}); }

bool HasNaN(const math::Vec3& v) { return std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z); }

TEST(PathCursor, CountsThePointsAWalkPasses)
{
    struct Case {
        int segment;
        float offset;
        float distance;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 0, 0},   {0, 0, 5, 1},   {0, 0, 10, 1}, {0, 0, 15, 2},  {0, 0, 35, 3},
        {0, 5, 6, 2},   {1, 0, 25, 2},  {0, 0, 1000, 4}, {2, 0, 1000, 2}, {3, 0, 5, 1},
    };
    for (const Case& c : cases) {
        PathCursor cursor(ThreeSegments());
        cursor.segment = c.segment;
        cursor.offset = c.offset;
        EXPECT_EQ(cursor.CountPointsWithin(c.distance), c.expected)
            << "segment " << c.segment << " offset " << c.offset << " distance " << c.distance;
        EXPECT_EQ(cursor.segment, c.segment);
    }
}

TEST(PathCursor, StepAcrossPointHandsOverTheExcess)
{
    PathCursor cursor(ThreeSegments());
    float distance = 35.0f;
    math::Vec3 position, direction;

    EXPECT_TRUE(cursor.StepAcrossPoint(distance, position, direction));
    EXPECT_EQ(distance, 25.0f);
    EXPECT_EQ(position, (math::Vec3{10, 0, 0}));
    EXPECT_TRUE(cursor.StepAcrossPoint(distance, position, direction));
    EXPECT_EQ(distance, 5.0f);
    EXPECT_EQ(position, (math::Vec3{30, 0, 0}));
    EXPECT_FALSE(cursor.StepAcrossPoint(distance, position, direction));
    EXPECT_EQ(distance, 0.0f);
    EXPECT_EQ(position, (math::Vec3{35, 0, 0}));
    EXPECT_EQ(direction, (math::Vec3{1, 0, 0}));
    EXPECT_EQ(cursor.segment, 2);

    // At the last segment: the last sample, distance used up.
    cursor.segment = 3;
    distance = 7.0f;
    EXPECT_FALSE(cursor.StepAcrossPoint(distance, position, direction));
    EXPECT_EQ(position, (math::Vec3{60, 0, 0}));
    EXPECT_EQ(distance, 0.0f);
}

TEST(PathCursor, AdvanceCountsFromTheSegmentStart)
{
    PathCursor cursor(ThreeSegments());
    math::Vec3 position, direction;
    EXPECT_TRUE(cursor.Advance(15.0f, position, direction));
    EXPECT_EQ(position, (math::Vec3{15, 0, 0}));
    EXPECT_EQ(cursor.segment, 1);
    EXPECT_EQ(cursor.offset, 5.0f);
    // The stored offset is not added: 4 from the start of segment 1.
    EXPECT_TRUE(cursor.Advance(4.0f, position, direction));
    EXPECT_EQ(position, (math::Vec3{14, 0, 0}));

    EXPECT_FALSE(cursor.Advance(500.0f, position, direction));
    EXPECT_EQ(position, (math::Vec3{60, 0, 0}));
    EXPECT_EQ(direction, (math::Vec3{1, 0, 0}));
}

TEST(PathCursor, AdvanceWithOffsetShiftsSideways)
{
    PathCursor cursor(ThreeSegments());
    math::Vec3 position, vector;
    // Direction (1, 0, 0): the lateral offset moves along (0, -1).
    EXPECT_TRUE(cursor.AdvanceWithOffset(4.0f, 2.0f, position, vector));
    ExpectVecNear(position, {4, -2, 0});
    ExpectVecNear(vector, {10, 0, 0});
    EXPECT_TRUE(cursor.AdvanceWithOffset(10.0f, 2.0f, position, vector));
    ExpectVecNear(position, {14, -2, 0});
    EXPECT_EQ(cursor.segment, 1);
    EXPECT_EQ(cursor.offset, 4.0f);

    // Past the end: the end of the last segment, false.
    EXPECT_FALSE(cursor.AdvanceWithOffset(100.0f, 2.0f, position, vector));
    ExpectVecNear(position, {60, -2, 0});
    EXPECT_EQ(cursor.segment, 2);
    EXPECT_EQ(cursor.offset, 30.0f);
}

TEST(PathCursor, SeekDistanceFromTheStart)
{
    struct Case {
        float distance;
        bool result;
        math::Vec3 position;
        int segment;
    };
    const Case cases[] = {
        {0.0f, true, {0, -3, 0}, 0},     {5.0f, true, {5, -3, 0}, 0},     {10.0f, true, {10, -3, 0}, 0},
        {12.5f, true, {12.5f, -3, 0}, 1}, {30.0f, true, {30, -3, 0}, 1},   {45.0f, true, {45, -3, 0}, 2},
        {60.0f, true, {60, -3, 0}, 2},    {60.5f, false, {60, -3, 0}, 2}, {1e9f, false, {60, -3, 0}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        PathCursor cursor(ThreeSegments());
        cursor.segment = 2; // a seek starts over wherever the cursor was
        math::Vec3 position, vector;
        EXPECT_EQ(cursor.SeekDistance(c.distance, 3.0f, position, vector), c.result);
        ExpectVecNear(position, c.position);
        EXPECT_EQ(cursor.segment, c.segment);
    }

    PathCursor cursor(ThreeSegments());
    math::Vec3 position{7, 7, 7}, vector;
    EXPECT_FALSE(cursor.SeekDistance(-1.0f, 0.0f, position, vector));
    EXPECT_FALSE(cursor.SeekDistance(std::nanf(""), 0.0f, position, vector));
    EXPECT_EQ(position, (math::Vec3{7, 7, 7}));
}

TEST(PathCursor, SampleAtClampsTheIndex)
{
    const SharedPathSamples samples = ThreeSegments();
    math::Vec3 position, direction;
    ASSERT_TRUE(PathSampleAt(*samples, 1.0f, -5, position, direction));
    EXPECT_EQ(position, (math::Vec3{0, -1, 0}));
    ASSERT_TRUE(PathSampleAt(*samples, 0.0f, 4 + 3, position, direction));
    EXPECT_EQ(position, (math::Vec3{60, 0, 0}));
    EXPECT_EQ(direction, (math::Vec3{1, 0, 0}));
}

TEST(PathCursor, FewerThanTwoSamplesGiveNothing)
{
    for (const SharedPathSamples& samples : {SamplesAlongX({}), SamplesAlongX({4}), SharedPathSamples()}) {
        PathCursor cursor(samples);
        const math::Vec3 untouched{7, 7, 7};
        math::Vec3 position = untouched, direction = untouched;
        float distance = 5.0f;
        EXPECT_EQ(cursor.CountPointsWithin(5.0f), 0);
        EXPECT_FALSE(cursor.StepAcrossPoint(distance, position, direction));
        EXPECT_EQ(distance, 0.0f);
        EXPECT_FALSE(cursor.Advance(1.0f, position, direction));
        EXPECT_FALSE(cursor.AdvanceWithOffset(1.0f, 1.0f, position, direction));
        EXPECT_FALSE(cursor.SeekDistance(1.0f, 1.0f, position, direction));
        if (samples) {
            EXPECT_FALSE(PathSampleAt(*samples, 0.0f, 0, position, direction));
        }
        EXPECT_EQ(position, untouched);
        EXPECT_EQ(direction, untouched);
    }
}

TEST(PathCursor, ZeroLengthSegmentsGiveNoNaN)
{
    // A repeated sample (a zero handle at a junction can give one).
    PathCursor cursor(SamplesAlongX({0, 0, 10}));
    math::Vec3 position, vector;
    float distance = 0.0f;
    cursor.StepAcrossPoint(distance, position, vector);
    EXPECT_FALSE(HasNaN(position) || HasNaN(vector));
    cursor.segment = 0;
    cursor.Advance(-1.0f, position, vector);
    EXPECT_FALSE(HasNaN(position) || HasNaN(vector));
    cursor.segment = 0;
    cursor.offset = 0.0f;
    cursor.AdvanceWithOffset(0.0f, 2.0f, position, vector);
    EXPECT_FALSE(HasNaN(position) || HasNaN(vector));
    EXPECT_TRUE(cursor.SeekDistance(5.0f, 0.0f, position, vector));
    ExpectVecNear(position, {5, 0, 0});
}

} // namespace
