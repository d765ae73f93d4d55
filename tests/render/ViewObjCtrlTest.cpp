// Descriptions placed in a rectangle of the picture: edges and fractions
// kept in step, copies at another picture size, the view quad, random
// points, the stored section of both versions, and untrusted fractions.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/crt/Random.h"
#include "tests/render/RenderObjectTestSupport.h"
#include "tests/support/DescriptionWriter.h"

namespace {

using namespace render_object_test;
using namespace description_writer;

class ViewDescription : public DS_ViewObjCtrl {
public:
    ViewDescription() = default;
    ViewDescription(const ViewDescription&) = default;
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override
    {
        return std::make_unique<TestRenderObject>(std::make_unique<ViewDescription>(*this));
    }
    void StepAnimation(float time) { StepAnimationClock(time); }
};

void SetFractions(DS_ViewObjCtrl& view, float left, float right, float top, float bottom)
{
    view.leftFraction = left;
    view.rightFraction = right;
    view.topFraction = top;
    view.bottomFraction = bottom;
}

std::array<std::int32_t, 4> Edges(const DS_ViewObjCtrl& view)
{
    return {view.edges.left.value, view.edges.right.value, view.edges.top.value, view.edges.bottom.value};
}

TEST(ViewRectangle, NewDescriptionCoversThePicture)
{
    PictureSizeScope picture(800, 600);
    const ViewDescription view;
    EXPECT_EQ(Edges(view), (std::array<std::int32_t, 4>{0, 800, 0, 600}));
    EXPECT_FLOAT_EQ(view.rightFraction, 1.0f);
    EXPECT_FLOAT_EQ(view.bottomFraction, 1.0f);
    EXPECT_EQ(view.animationRate.value, 50u);
}

TEST(ViewRectangle, QuadFollowsFractionsAtPictureSize)
{
    PictureSizeScope picture(1000, 600);
    ViewDescription view;
    SetFractions(view, 0.25f, 0.75f, 0.0f, 1.0f);

    QuadVertices quad;
    view.GetViewQuad(quad);
    const float expected[4][2] = {{250, 600}, {250, 0}, {750, 600}, {750, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(quad.vertices[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(quad.vertices[i].y, expected[i][1]) << i;
    }
    // Texture coordinates and depth as a fresh quad has them.
    EXPECT_FLOAT_EQ(quad.vertices[0].v, 1.0f);
    EXPECT_FLOAT_EQ(quad.vertices[3].u, 1.0f);
    EXPECT_FLOAT_EQ(quad.vertices[2].z, 1.0f);
}

TEST(ViewRectangle, EditedEdgeRewritesItsFraction)
{
    PictureSizeScope picture(1000, 500);
    ViewDescription view;
    view.edges.left.SetValue(250, nullptr);
    view.edges.bottom.SetValue(400, nullptr);
    EXPECT_FLOAT_EQ(view.leftFraction, 0.25f);
    EXPECT_FLOAT_EQ(view.bottomFraction, 0.8f);
    EXPECT_FLOAT_EQ(view.rightFraction, 1.0f);
}

TEST(ViewRectangle, EdgeEditWithoutPictureKeepsFraction)
{
    // No document is current: the picture size is 0 and no fraction may
    // become undefined.
    ViewDescription view;
    view.edges.right.SetValue(300, nullptr);
    EXPECT_FLOAT_EQ(view.rightFraction, 1.0f);
}

TEST(ViewRectangle, UpdatePixelParamsSnapsFractionsToPixels)
{
    PictureSizeScope picture(1000, 600);
    ViewDescription view;
    SetFractions(view, 0.3337f, 0.9f, 0.5f, 1.0f);
    view.UpdatePixelParams();
    EXPECT_EQ(Edges(view), (std::array<std::int32_t, 4>{333, 900, 300, 600}));
    EXPECT_FLOAT_EQ(view.leftFraction, 0.333f);
    EXPECT_FLOAT_EQ(view.topFraction, 0.5f);
}

TEST(ViewRectangle, CopyRebuildsEdgesAtTheCurrentSize)
{
    PictureSizeScope picture(1000, 600);
    ViewDescription original;
    SetFractions(original, 0.25f, 0.75f, 0.5f, 1.0f);
    original.UpdatePixelParams();
    original.viewFlag = 1;
    original.animationRate.QuietSet(80);
    original.animationClock = 3.0f;

    picture.Resize(2000, 1000);
    ViewDescription copy(original);
    EXPECT_EQ(Edges(copy), (std::array<std::int32_t, 4>{500, 1500, 500, 1000}));
    EXPECT_EQ(Edges(original), (std::array<std::int32_t, 4>{250, 750, 300, 600}));
    EXPECT_EQ(copy.viewFlag, 1);
    EXPECT_EQ(copy.animationRate.value, 80u);
    EXPECT_FLOAT_EQ(copy.animationClock, 0.0f);

    // The copy's edges are observed by the copy, not by the original.
    copy.edges.left.SetValue(1000, nullptr);
    EXPECT_FLOAT_EQ(copy.leftFraction, 0.5f);
    EXPECT_FLOAT_EQ(original.leftFraction, 0.25f);
}

TEST(ViewRectangle, UntrustedFractionsGiveBoundedEdges)
{
    PictureSizeScope picture(1000, 600);
    ViewDescription view;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    SetFractions(view, nan, inf, -2.0f, 1e30f);
    view.UpdatePixelParams();
    const std::int32_t largest = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(Edges(view), (std::array<std::int32_t, 4>{0, largest, 0, largest}));
}

TEST(ViewRandomPoints, DrawXThenYInsideTheRectangle)
{
    PictureSizeScope picture(1000, 600);
    ViewDescription view;
    SetFractions(view, 0.1f, 0.5f, 0.25f, 0.75f);

    crt::srand(11);
    const float rx = static_cast<float>(crt::rand()) / 32767.0f;
    const float ry = static_cast<float>(crt::rand()) / 32767.0f;
    crt::srand(11);
    math::Vec3 point{1, 1, 1};
    view.RandomPointInView(point);
    EXPECT_FLOAT_EQ(point.x, rx * (500.0f - 100.0f) + 100.0f);
    EXPECT_FLOAT_EQ(point.y, ry * (450.0f - 150.0f) + 150.0f);
    EXPECT_FLOAT_EQ(point.z, 0.0f);

    crt::srand(5);
    for (int i = 0; i < 200; ++i) {
        view.RandomPointInViewInset(point, 20.0f, 10.0f);
        EXPECT_GE(point.x, 120.0f);
        EXPECT_LE(point.x, 480.0f);
        EXPECT_GE(point.y, 160.0f);
        EXPECT_LE(point.y, 440.0f);
    }
}

TEST(ViewClock, AnimationClockRunsAtRateAndRestarts)
{
    ViewDescription view;
    view.animationRate.QuietSet(100); // twice real time
    view.StepAnimation(0.1f);
    EXPECT_FLOAT_EQ(view.animationStep, 0.2f);
    // A stall counts as 0.2 s; a jump back counts forward.
    view.StepAnimation(5.0f);
    EXPECT_FLOAT_EQ(view.animationStep, 0.4f);
    view.StepAnimation(4.9f);
    EXPECT_NEAR(view.animationStep, 0.2f, 1e-5f);
    EXPECT_NEAR(view.animationClock, 0.8f, 1e-5f);

    view.Restart();
    EXPECT_FLOAT_EQ(view.animationClock, 0.0f);
    EXPECT_FLOAT_EQ(view.animationStep, 0.0f);
    EXPECT_FLOAT_EQ(view.lastAnimationTime, 0.0f);
    EXPECT_FALSE(view.HitTest(1.0f, 1.0f));
}

struct ViewVersionCase {
    std::int32_t version;
    std::uint32_t expectedRate;
};

class ViewSectionTest : public testing::TestWithParam<ViewVersionCase> {};

TEST_P(ViewSectionTest, ReadsEdgesFractionsFlagAndRate)
{
    ViewFields fields;
    fields.version = GetParam().version;
    fields.edges = {10, 20, 30, 40, 15, 35};
    fields.fractions = {0.125f, 0.5f, 0.25f, 0.75f};
    fields.viewFlag = 1;
    fields.animationRate = 75;
    fields.base.name = u"Rain";
    fields.base.guid = TestGuid(12);
    DocumentWriter w;
    WriteView(w, fields);

    ViewDescription view;
    MemoryArchive archive(w.Bytes());
    view.DS_ViewObjCtrl::Load(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);

    EXPECT_EQ(Edges(view), (std::array<std::int32_t, 4>{10, 20, 30, 40}));
    EXPECT_EQ(view.edges.centreX.value, 15);
    EXPECT_EQ(view.edges.centreY.value, 35);
    EXPECT_FLOAT_EQ(view.leftFraction, 0.125f);
    EXPECT_FLOAT_EQ(view.rightFraction, 0.5f);
    EXPECT_FLOAT_EQ(view.topFraction, 0.25f);
    EXPECT_FLOAT_EQ(view.bottomFraction, 0.75f);
    EXPECT_EQ(view.viewFlag, 1);
    EXPECT_EQ(view.animationRate.value, GetParam().expectedRate);
    EXPECT_EQ(view.name, u"Rain");
    EXPECT_EQ(view.guid, TestGuid(12));
}

INSTANTIATE_TEST_SUITE_P(BothVersions, ViewSectionTest,
                         testing::Values(ViewVersionCase{1, 50}, // no rate stored: the default stays
                                         ViewVersionCase{2, 75}),
                         [](const testing::TestParamInfo<ViewVersionCase>& info) {
                             return "v" + std::to_string(info.param.version);
                         });

TEST(ViewSection, WrittenSectionReadsBack)
{
    PictureSizeScope picture(640, 480);
    ViewDescription original;
    SetFractions(original, 0.25f, 0.5f, 0.125f, 0.625f);
    original.UpdatePixelParams();
    original.viewFlag = 1;
    original.animationRate.QuietSet(20);
    original.name = u"Flow";

    RecordingArchive recording;
    original.Save(recording.Writer());
    ViewDescription copy;
    MemoryArchive archive(recording.writer.Bytes());
    copy.DS_ViewObjCtrl::Load(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_EQ(Edges(copy), Edges(original));
    EXPECT_FLOAT_EQ(copy.rightFraction, 0.5f);
    EXPECT_FLOAT_EQ(copy.bottomFraction, 0.625f);
    EXPECT_EQ(copy.animationRate.value, 20u);
    EXPECT_EQ(copy.name, u"Flow");
}

} // namespace
