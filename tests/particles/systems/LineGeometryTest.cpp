// The envelope rule and the three quad builders the line systems share.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "particles/systems/LineCtrl.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

PercentParamQuad Envelope(std::uint32_t in, std::uint32_t out, std::uint32_t floorIn, std::uint32_t floorOut)
{
    PercentParamQuad envelope;
    const std::uint32_t values[4] = {in, out, floorIn, floorOut};
    for (std::size_t i = 0; i < 4; ++i)
        envelope.percents[i].SetValue(values[i], nullptr);
    return envelope;
}

TEST(LineEnvelopeTest, FactorAlongTheLine)
{
    struct Case {
        const char* what;
        PercentParamQuad envelope;
        float x;
        float factor;
    };
    const Case cases[] = {
        {"defaults at the start", Envelope(0, 100, 0, 0), 0.0f, 1.0f},
        {"defaults in the middle", Envelope(0, 100, 0, 0), 0.5f, 1.0f},
        {"defaults at the end", Envelope(0, 100, 0, 0), 1.0f, 1.0f},
        {"fade-in halfway", Envelope(40, 100, 0, 0), 0.2f, 0.5f},
        {"fade-in from its floor", Envelope(40, 100, 50, 0), 0.0f, 0.5f},
        {"fade-in halfway over a floor", Envelope(40, 100, 50, 0), 0.2f, 0.75f},
        {"past the fade-in", Envelope(40, 100, 50, 0), 0.6f, 1.0f},
        {"fade-out halfway", Envelope(0, 60, 0, 0), 0.8f, 0.5f},
        {"fade-out to its floor", Envelope(0, 60, 0, 20), 1.0f, 0.2f},
        {"not a number", Envelope(50, 50, 10, 10), kNaN, 1.0f},
        {"+infinity clamps to the end", Envelope(0, 60, 0, 20), kInf, 0.2f},
        {"-infinity clamps to the start", Envelope(40, 100, 50, 0), -kInf, 0.5f},
        {"beyond the end clamps", Envelope(0, 60, 0, 0), 3.0f, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(LineEnvelopeFactor(c.x, c.envelope), c.factor) << c.what;
    EXPECT_TRUE(std::isnan(LinePosition(1.0f, 0.0f)));
    EXPECT_TRUE(std::isnan(LinePosition(0.0f, 0.0f)));
    EXPECT_FLOAT_EQ(LinePosition(1.0f, 4.0f), 0.25f);
}

LinePoint Point(math::Vec3 position, math::Vec3 direction, float v = 0.0f)
{
    LinePoint p;
    p.position = position;
    p.direction = direction;
    p.v = v;
    SetLinePointEdges(p, 1.0f);
    return p;
}

void ExpectNear(const math::Vec3& a, const math::Vec3& b, const char* what)
{
    EXPECT_NEAR(a.x, b.x, 1e-4f) << what;
    EXPECT_NEAR(a.y, b.y, 1e-4f) << what;
    EXPECT_NEAR(a.z, b.z, 1e-4f) << what;
}

math::Vec3 At(const QuadBatchVertex& v)
{
    return {v.x, v.y, v.z};
}

enum class Builder { kMitred, kOwn, kSegment };

void Build(Builder builder, const LinePoint& previous, LinePoint& current, float width, QuadBatchVertex* out)
{
    switch (builder) {
    case Builder::kMitred: BuildLineQuad(previous, current, width, out); break;
    case Builder::kOwn: BuildLineQuadOwnDirection(previous, current, width, out); break;
    case Builder::kSegment: BuildLineQuadSegmentDirection(previous, current, width, out); break;
    }
}

TEST(LineQuadTest, EdgePointsOfEachBuilder)
{
    const float s60 = std::sqrt(3.0f) / 2.0f;
    struct Case {
        const char* what;
        Builder builder;
        math::Vec3 to;        // current position; the previous point is at the origin heading +x
        math::Vec3 direction; // the current point's own direction
        math::Vec3 left;      // expected current left edge (width 4)
        math::Vec3 right;
    };
    const Case cases[] = {
        {"straight: half the width", Builder::kMitred, {10, 0, 0}, {1, 0, 0}, {10, 2, 0}, {10, -2, 0}},
        // The direction turned 60 degrees off the segment: 1 / sqrt(1 - k^2) = 2.
        {"60-degree turn: the exact mitre", Builder::kMitred, {10, 0, 0}, {0.5f, s60, 0}, {10 - 4 * s60, 2, 0},
         {10 + 4 * s60, -2, 0}},
        // Nearly at right angles to the segment: the factor is capped at 4.
        {"near-right angle: capped at 4", Builder::kMitred, {10, 0, 0}, {0.001f, 0.9999995f, 0}, {10 - 8, 0.008f, 0},
         {10 + 8, -0.008f, 0}},
        {"exactly at right angles: capped at 4", Builder::kMitred, {10, 0, 0}, {0, 1, 0}, {2, 0, 0}, {18, 0, 0}},
        {"own direction, not the segment's", Builder::kOwn, {10, 5, 0}, {0, 1, 0}, {8, 5, 0}, {12, 5, 0}},
        {"segment direction replaces its own", Builder::kSegment, {0, 10, 0}, {1, 0, 0}, {-2, 10, 0}, {2, 10, 0}},
    };
    for (const Case& c : cases) {
        const LinePoint previous = Point({0, 0, 0}, {1, 0, 0});
        LinePoint current = Point(c.to, c.direction);
        QuadBatchVertex quad[4];
        Build(c.builder, previous, current, 4.0f, quad);
        ExpectNear(At(quad[0]), c.left, c.what);
        ExpectNear(At(quad[2]), c.right, c.what);
        ExpectNear(At(quad[1]), previous.left, c.what);
        ExpectNear(At(quad[3]), previous.right, c.what);
        EXPECT_EQ(current.edgeReady, 1.0f) << c.what;
    }
}

TEST(LineQuadTest, CoincidentPointsCopyThePreviousOne)
{
    for (const Builder builder : {Builder::kMitred, Builder::kSegment}) {
        LinePoint previous = Point({3, 4, 0}, {0, 1, 0}, 0.25f);
        previous.red = 0.5f;
        LinePoint current = Point({3, 4, 0}, {1, 0, 0}, 0.75f);
        QuadBatchVertex quad[4];
        Build(builder, previous, current, 8.0f, quad);
        ExpectNear(current.left, previous.left, "left");
        ExpectNear(current.direction, previous.direction, "direction");
        EXPECT_FLOAT_EQ(current.v, 0.25f);
        EXPECT_FLOAT_EQ(current.red, 0.5f);
        for (const QuadBatchVertex& v : quad)
            EXPECT_FALSE(std::isnan(v.x) || std::isnan(v.y));
    }
}

TEST(LineQuadTest, VertexOrderTextureAndColourPacking)
{
    LinePoint previous = Point({0, 0, 0}, {1, 0, 0}, 0.5f);
    previous.red = 1.0f;
    previous.green = 0.0f;
    previous.blue = 0.5f;
    previous.alpha = kNaN;
    LinePoint current = Point({10, 0, 0}, {1, 0, 0}, 2.5f);
    current.red = 2.0f;
    current.green = -1.0f;
    current.blue = kNaN;
    current.alpha = 1.0f;
    QuadBatchVertex quad[4];
    BuildLineQuad(previous, current, 2.0f, quad);
    // current left, previous left, current right, previous right.
    const float expected[4][4] = {{10, 1, 1, 2.5f}, {0, 1, 1, 0.5f}, {10, -1, 0, 2.5f}, {0, -1, 0, 0.5f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(quad[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(quad[i].y, expected[i][1]) << i;
        EXPECT_FLOAT_EQ(quad[i].u, expected[i][2]) << i;
        EXPECT_FLOAT_EQ(quad[i].v, expected[i][3]) << i;
    }
    // 1.0 -> 255, 0.0 -> 0, 0.5 -> 128, NaN -> 0.
    EXPECT_EQ(quad[1].colour, 0x00FF0080u);
    EXPECT_EQ(quad[3].colour, 0x00FF0080u);
    EXPECT_EQ(quad[0].colour, 0xFFFF0000u);
    EXPECT_EQ(quad[2].colour, 0xFFFF0000u);
}

} // namespace
