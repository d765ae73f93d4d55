// The line inputs of line-based image effects: the lines through the centre
// (plain and perspective) and what SetLineParams hands the effect, and a
// picture so large that its per-pixel vectors vanish, which must leave every
// input zero rather than infinite or NaN.

#include <array>
#include <cmath>
#include <string_view>

#include "effects/EffectBases.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"

namespace image_effect_test {
namespace {

// An effect that takes every input of the line-based effects.
constexpr std::string_view kLineEffect = R"(orvanta-effect 1
include image-effect
parameter vec2 Center
parameter vec3 Ln
parameter vec3 Lt
parameter vec2 t
parameter vec2 n

common
vec4 ImageEffect(vec2 uv)
{
    float along = dot(Ln, vec3(uv, 1.0)) + dot(Lt, vec3(uv, 1.0));
    return vec4(BackgroundAt(uv + Center * along + (t + n) * 0.001).rgb, 1.0);
}
end
include image-effect-techniques
)";

class TestLineEffect : public DS_LineBased {
public:
    void Apply(DS_ABRender&) override {}
    std::unique_ptr<DS_FX_Constructor> Clone() const override { return std::make_unique<TestLineEffect>(*this); }
};

class LineInputsTest : public docres_test::ManagerDeviceTest {
protected:
    void SetUp() override
    {
        ManagerDeviceTest::SetUp();
        if (HasFatalFailure())
            return;
        scope = std::make_unique<CurrentRenderContextScope>(&context);
    }
    void TearDown() override
    {
        scope.reset();
        ManagerDeviceTest::TearDown();
    }

    // A line effect at `centre` along `angle` with the test effect.
    std::unique_ptr<TestLineEffect> MakeEffect(math::Vec3 centre, std::uint32_t angle)
    {
        auto fx = std::make_unique<TestLineEffect>();
        fx->centre.value = centre;
        fx->lineDirection.QuietSet(angle);
        fx->effect = CreateEffectFromBytes(
            std::span(reinterpret_cast<const std::uint8_t*>(kLineEffect.data()), kLineEffect.size()));
        EXPECT_NE(fx->effect, nullptr) << "the test effect does not build";
        return fx;
    }

    static void ExpectNear(const std::array<float, 3>& actual, const std::array<float, 3>& expected, const char* what)
    {
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(actual[i], expected[i], 1e-4f) << what << "[" << i << "]";
    }

    RenderContext context;
    std::unique_ptr<CurrentRenderContextScope> scope;
    RecordingHost host{200, 100};
};

TEST_F(LineInputsTest, LinesAndInputsFollowTheCentreAndTheAngle)
{
    context.pictureWidth = 200.0f;
    context.pictureHeight = 100.0f;
    struct Case {
        std::uint32_t angle;
        std::array<float, 3> ln;
        std::array<float, 3> lt;
        std::array<float, 3> perspectiveLt; // Ln has length 1: Lt unscaled
        std::vector<float> across;          // "t"
        std::vector<float> along;           // "n"
    };
    // Centre (50, 25) of a 200 x 100 picture: uv (0.25, 0.25); one pixel
    // along x is 0.005 of the width, along y 0.01 of the height. The line
    // direction turns (1, 0) by the angle and its normal is (0, 1) turned
    // alike; "t" and "n" flip y into uv.
    const Case cases[] = {
        {0, {0.0f, 1.0f, -0.25f}, {1.0f, 0.0f, -0.25f}, {0.01f, 0.0f, -0.0025f}, {0.0f, -1.0f}, {1.0f, 0.0f}},
        {90, {1.0f, 0.0f, -0.25f}, {0.0f, -1.0f, 0.25f}, {0.0f, -0.005f, 0.00125f}, {-1.0f, 0.0f}, {0.0f, -1.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        auto fx = MakeEffect({50.0f, 25.0f, 0.0f}, c.angle);
        ASSERT_NE(fx->effect, nullptr);
        fx->UpdateLines();
        ExpectNear(fx->ln, c.ln, "Ln");
        ExpectNear(fx->lt, c.lt, "Lt");

        fx->SetLineParams(host);
        ExpectFloats(*fx->effect, "Center", {0.25f, 0.25f});
        ExpectFloats(*fx->effect, "Ln", {c.ln[0], c.ln[1], c.ln[2]}, 1e-4f);
        ExpectFloats(*fx->effect, "Lt", {c.lt[0], c.lt[1], c.lt[2]}, 1e-4f);
        ExpectFloats(*fx->effect, "t", c.across, 1e-4f);
        ExpectFloats(*fx->effect, "n", c.along, 1e-4f);

        fx->UpdateLinesPerspective();
        ExpectNear(fx->ln, c.ln, "perspective Ln");
        ExpectNear(fx->lt, c.perspectiveLt, "perspective Lt");
    }
}

TEST_F(LineInputsTest, VectorsThatVanishOnAnEnormousPictureStayZero)
{
    // One pixel of a picture this size is too small a fraction to square:
    // every length the inputs divide by comes out 0.
    context.pictureWidth = 3.0e38f;
    context.pictureHeight = 3.0e38f;
    for (const std::uint32_t angle : {0u, 30u, 90u}) {
        SCOPED_TRACE(angle);
        auto fx = MakeEffect({50.0f, 25.0f, 0.0f}, angle);
        ASSERT_NE(fx->effect, nullptr);
        for (const bool perspective : {false, true}) {
            if (perspective)
                fx->UpdateLinesPerspective();
            else
                fx->UpdateLines();
            for (std::size_t i = 0; i < 3; ++i) {
                EXPECT_EQ(fx->ln[i], 0.0f) << perspective << " Ln " << i;
                EXPECT_EQ(fx->lt[i], 0.0f) << perspective << " Lt " << i;
            }
        }
        fx->SetLineParams(host);
        for (const char* name : {"Ln", "Lt", "t", "n"})
            for (const float value : fx->effect->GetFloats(name))
                EXPECT_EQ(value, 0.0f) << name;
    }
}

} // namespace
} // namespace image_effect_test
