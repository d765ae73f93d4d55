// Scaled parameters: the float or byte copy follows the stored integer.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "objectmodel/ParamRecords.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "platform/crt/Random.h"

namespace {

class CountingControl : public MediaControl {
public:
    void OnParamChanged(MediaControl*) override { ++calls; }
    int calls = 0;
};

TEST(ParamScaled, ByteCopyIsTheClampedTruncatedProduct)
{
    struct Case {
        float scale;
        float offset;
        std::uint32_t value;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {-2.55f, 255.0f, 0, 255},
        {-2.55f, 255.0f, 50, 127},
        {-2.55f, 255.0f, 100, 0},
        // Beyond 100 % the alpha stays 0 instead of wrapping round to 1.
        {-2.55f, 255.0f, 200, 0},
        {-2.55f, 255.0f, 4000000000u, 0},
        {2.55f, 0.0f, 200, 255},
        {1.0f, 0.0f, 37, 37},
        {1.0f, 0.0f, 255, 255},
        {std::numeric_limits<float>::quiet_NaN(), 0.0f, 10, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << test.scale << " value " << test.value);
        UINTSclaleTo<std::uint8_t> param(test.scale, test.offset, test.value);
        EXPECT_EQ(param.Scaled(), test.expected);
    }
}

TEST(ParamScaled, NamedFormsScaleTheirValues)
{
    KXI_JitterMediaPrm jitter;
    jitter.SetValue(30, nullptr);
    EXPECT_FLOAT_EQ(jitter.Scaled(), 0.7f);

    TimeParam time;
    EXPECT_EQ(time.Scaled(), 0.0f);
    time.SetValue(250, nullptr);
    EXPECT_FLOAT_EQ(time.Scaled(), 2.5f);

    MediaSpeedParam speed;
    EXPECT_EQ(speed.value, 1u);
    EXPECT_EQ(speed.Scaled(), 1.0f);

    ColorAndOpacity colour;
    EXPECT_EQ(colour.colour.value, 0x00FFFFFFu);
    EXPECT_EQ(colour.opacity.Scaled(), 255);
}

TEST(ParamScaled, CopyFollowsEveryWayOfSettingButTheDirectStore)
{
    UINTSclaleTo<float> param(0.5f, 1.0f, 4);
    EXPECT_EQ(param.Scaled(), 3.0f);
    param.SetValue(10, nullptr);
    EXPECT_EQ(param.Scaled(), 6.0f);
    param.SetChangedValue(20, nullptr);
    EXPECT_EQ(param.Scaled(), 11.0f);
    param.QuietSet(30);
    EXPECT_EQ(param.Scaled(), 16.0f);
    EXPECT_EQ(param.undo.Current(), 30u);

    // A direct store leaves the copy until it is brought in step.
    param.StoreValue(40);
    EXPECT_EQ(param.Scaled(), 16.0f);
    param.UpdateScaled();
    EXPECT_EQ(param.Scaled(), 21.0f);
}

TEST(ParamScaled, RescalingRecomputesWithoutTellingObservers)
{
    CountingControl control;
    MediaSpeedParam speed;
    speed.AddControl(&control);
    speed.Rescale(0.01f, 0.0f);
    speed.SetValue(100, nullptr);
    EXPECT_EQ(control.calls, 1);
    EXPECT_FLOAT_EQ(speed.Scaled(), 1.0f);
    speed.Rescale(0.05f, 0.0f);
    EXPECT_FLOAT_EQ(speed.Scaled(), 5.0f);
    EXPECT_EQ(control.calls, 1);
    speed.RemoveControl(&control);
}

TEST(ParamScaled, CopyAndAssignmentKeepTheirOwnObservers)
{
    CountingControl control;
    UINTSclaleTo<float> original(0.01f, 0.0f, 250);
    original.AddControl(&control);

    UINTSclaleTo<float> copy(original);
    EXPECT_EQ(copy.Scale(), 0.01f);
    EXPECT_FLOAT_EQ(copy.Scaled(), 2.5f);
    // Its undo controller and itself.
    ASSERT_EQ(copy.Observers().size(), 2u);
    EXPECT_EQ(copy.Observers().front(), &copy.undo);
    copy.SetValue(500, nullptr);
    EXPECT_FLOAT_EQ(copy.Scaled(), 5.0f);
    EXPECT_FLOAT_EQ(original.Scaled(), 2.5f);
    EXPECT_EQ(control.calls, 0);

    // Assignment takes scale, offset and value, and tells the observers.
    UINTSclaleTo<float> other(2.0f, 1.0f, 3);
    original = other;
    EXPECT_EQ(original.Scaled(), 7.0f);
    EXPECT_EQ(control.calls, 1);
    original.RemoveControl(&control);
}

TEST(ParamScaled, ParametersWatchingThemselvesDieCleanly)
{
    // The self-observing part leaves before the parameter part goes; ASan
    // and UBSan check that nothing touches a destroyed part.
    std::vector<UINTSclaleTo<std::uint8_t>> params;
    for (std::uint32_t i = 0; i < 10; ++i)
        params.emplace_back(-2.55f, 255.0f, i * 10);
    params.erase(params.begin() + 3);
    EXPECT_EQ(params[3].value, 40u);
    EXPECT_EQ(params[3].Scaled(), 153);
    params[3].SetValue(100, nullptr);
    EXPECT_EQ(params[3].Scaled(), 0);
}

TEST(ParamScaled, SpeedClockStepsByCappedScaledTime)
{
    struct Tick {
        float time;
        float step;
        float total;
    };
    MediaSpeedParam speed;
    speed.Rescale(0.01f, 0.0f);
    speed.SetValue(200, nullptr); // factor 2
    const Tick ticks[] = {
        {0.1f, 0.2f, 0.2f},  // 0.1 s at factor 2
        {0.15f, 0.1f, 0.3f},
        {0.05f, 0.0f, 0.3f}, // time went back: no step
        {5.05f, 0.4f, 0.7f}, // a 5 s gap counts as 0.2 s
    };
    for (const Tick& tick : ticks) {
        speed.Advance(tick.time);
        EXPECT_NEAR(speed.Step(), tick.step, 1e-6f);
        EXPECT_NEAR(speed.Total(), tick.total, 1e-6f);
        EXPECT_EQ(speed.Last(), tick.time);
    }
}

TEST(ParamScaled, JitteredDrawStaysBetweenTheBounds)
{
    KXI_JitterParam param;
    param.SetValue(80, nullptr);
    struct Case {
        std::uint32_t jitter;
        float r;
        float expected;
    };
    const Case cases[] = {
        {0, 0.0f, 80.0f},  {0, 1.0f, 80.0f},   // no jitter: the value itself
        {100, 0.0f, 0.0f}, {100, 0.5f, 40.0f}, // full jitter: r x value
        {25, 0.0f, 60.0f}, {25, 1.0f, 80.0f},
    };
    for (const Case& test : cases) {
        param.jitter.SetValue(test.jitter, nullptr);
        EXPECT_FLOAT_EQ(param.Jittered(test.r), test.expected);
    }

    param.jitter.SetValue(50, nullptr);
    crt::srand(7);
    for (int i = 0; i < 1000; ++i) {
        const float draw = param.DrawJittered();
        EXPECT_GE(draw, 40.0f);
        EXPECT_LE(draw, 80.0f);
    }
}

TEST(ParamScaled, PercentRecordDefaults)
{
    PercentParamQuad quad;
    const float quadExpected[] = {0.0f, 1.0f, 0.0f, 0.0f};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(quad.percents[i].Scaled(), quadExpected[i]);

    PercentParamGroup group;
    EXPECT_EQ(group.tag, 1);
    const std::uint32_t groupExpected[] = {0, 0, 100, 100, 0, 0, 1};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(group.percents[i].value, groupExpected[i]);
        EXPECT_FLOAT_EQ(group.percents[i].Scaled(), static_cast<float>(groupExpected[i]) * 0.01f);
    }

    ColorSequenceParams colours;
    EXPECT_EQ(colours.colors.value, (std::vector<COLORREF>{0x00FFFFFF, 0x00000000}));
    EXPECT_EQ(colours.colors.undo.Current(), colours.colors.value);
    EXPECT_EQ(colours.colors.selected.value, -1);
    EXPECT_EQ(colours.transparency.Scaled(), 255);
}

TEST(ParamScaled, PercentQuadAssignNotifiesOnlyChangedValues)
{
    PercentParamQuad target, source;
    source.percents[0].SetValue(30, nullptr);
    source.percents[3].SetValue(5, nullptr);
    CountingControl controls[4];
    for (std::size_t i = 0; i < 4; ++i)
        target.percents[i].AddControl(&controls[i]);

    target.Assign(source);
    const int expectedCalls[] = {1, 0, 0, 1};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(controls[i].calls, expectedCalls[i]);
        EXPECT_EQ(target.percents[i].value, source.percents[i].value);
        target.percents[i].RemoveControl(&controls[i]);
    }
    EXPECT_FLOAT_EQ(target.percents[0].Scaled(), 0.3f);
}

} // namespace
