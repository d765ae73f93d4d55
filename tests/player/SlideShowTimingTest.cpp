// The slide show's clock: which slide is on screen and how much of it the
// black cover hides, driven by absolute times as the player's frames give.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/player/PlayerTestSupport.h"

namespace {

using player_test::MakeSlide;

struct Expected {
    float t;
    int slide;
    float cover;
};

std::unique_ptr<DS_SlideShow_Light> MakeShow(std::initializer_list<DS_SafePtr<DS_SlideContainer>> slides)
{
    auto show = std::make_unique<DS_SlideShow_Light>();
    for (const auto& slide : slides)
        show->Slides().push_back(slide);
    return show;
}

void ExpectSequence(DS_SlideShow_Light& show, const std::vector<Expected>& steps)
{
    for (const Expected& step : steps) {
        show.Update(step.t);
        EXPECT_EQ(show.CurrentIndex(), step.slide) << "at t = " << step.t;
        EXPECT_NEAR(show.CoverFactor(), step.cover, 1e-3f) << "at t = " << step.t;
    }
}

TEST(SlideShowTiming, DefaultTimingsCycleTwoSlidesWithTheFirstPastItsFadeIn)
{
    auto owned = MakeShow({MakeSlide(1, 10, 1), MakeSlide(1, 10, 1)});
    DS_SlideShow_Light& show = *owned;
    show.Update(100.0f);
    EXPECT_EQ(show.CurrentIndex(), 0);
    EXPECT_FLOAT_EQ(show.SlideStart(), 99.0f);
    ExpectSequence(show, {
                             {105.0f, 0, 0.0f},
                             {110.5f, 0, 0.5f},  // 10.5 s after it was first shown: fading out
                             {110.75f, 0, 0.75f},
                             {111.25f, 1, 1.0f}, // 12.25 s passed: slide 2 starts covered
                             {111.75f, 1, 0.5f},
                             {112.25f, 1, 0.0f},
                             {122.5f, 1, 0.25f}, // 11.25 s into slide 2: fading out
                             {123.5f, 0, 1.0f},        // back to slide 1, covered
                             {124.0f, 0, 0.5f},
                         });
    EXPECT_EQ(show.NextIndex(), 1);
}

TEST(SlideShowTiming, ThreeSlidesRunInOrderAndWrap)
{
    auto owned = MakeShow({MakeSlide(0, 1, 0), MakeSlide(0, 1, 0), MakeSlide(0, 1, 0)});
    DS_SlideShow_Light& show = *owned;
    show.Update(0.0f);
    std::vector<int> shown{show.CurrentIndex()};
    std::vector<int> next{show.NextIndex()};
    for (float t = 1.5f; t < 9.0f; t += 1.5f) {
        show.Update(t);
        shown.push_back(show.CurrentIndex());
        next.push_back(show.NextIndex());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(next, (std::vector<int>{1, 2, 0, 1, 2, 0}));
}

TEST(SlideShowTiming, OneSlideNeverSwitchesNorFades)
{
    auto owned = MakeShow({MakeSlide(2, 1, 1)});
    DS_SlideShow_Light& show = *owned;
    show.Update(10.0f);
    EXPECT_FLOAT_EQ(show.SlideStart(), 8.0f); // objects see t - (first time - fade-in)
    ExpectSequence(show, {{12.0f, 0, 0.0f}, {13.5f, 0, 0.0f}, {100.0f, 0, 0.0f}});
    EXPECT_FLOAT_EQ(show.SlideStart(), 8.0f);
}

TEST(SlideShowTiming, ModeOneSlideStaysForGood)
{
    auto owned =
        MakeShow({MakeSlide(0, 1, 0), MakeSlide(1, 1, 1, DS_SlideContainer::kModeStays), MakeSlide(0, 1, 0)});
    DS_SlideShow_Light& show = *owned;
    // On the frame of the switch the cover still follows the slide that was left
    // (no fade-in there), so it reads 0 until the next frame.
    ExpectSequence(show, {{0.0f, 0, 0.0f}, {1.5f, 1, 0.0f}, {2.0f, 1, 0.5f}, {3.0f, 1, 0.0f}, {1000.0f, 1, 0.0f}});
}

TEST(SlideShowTiming, ZeroFadesSwitchWhenFadeInPlusHoldHavePassed)
{
    auto owned = MakeShow({MakeSlide(0, 2, 0), MakeSlide(0, 2, 0)});
    DS_SlideShow_Light& show = *owned;
    ExpectSequence(show, {{0.0f, 0, 0.0f}, {2.0f, 0, 0.0f}, {2.001f, 1, 0.0f}});
}

TEST(SlideShowTiming, CoverFactorStaysWithinZeroAndOne)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float e, fadeIn, hold, fadeOut;
        float expected;
    } cases[] = {
        {0.5f, 1.0f, 10.0f, 1.0f, 0.5f},  // fading in
        {-1.0f, 1.0f, 10.0f, 1.0f, 1.0f}, // before the start: fully covered, not 2
        {11.5f, 1.0f, 10.0f, 0.0f, 1.0f}, // zero fade-out: covered, not infinite
        {20.0f, 1.0f, 10.0f, 1.0f, 1.0f}, // past the fade-out
        {11.5f, 1.0f, 10.0f, -2.0f, 0.0f},
        {11.5f, 1.0f, 10.0f, nan, 0.0f},
    };
    for (const Case& c : cases) {
        const float cover = DS_SlideShow_Light::ComputeCoverFactor(c.e, c.fadeIn, c.hold, c.fadeOut, 0);
        EXPECT_FLOAT_EQ(cover, c.expected) << "e " << c.e << " fade-out " << c.fadeOut;
    }
    EXPECT_FLOAT_EQ(DS_SlideShow_Light::ComputeCoverFactor(20.0f, 1.0f, 10.0f, 1.0f, DS_SlideContainer::kModeStays),
                    0.0f);
}

TEST(SlideShowTiming, ShowWithoutSlidesStaysIdle)
{
    DS_SlideShow_Light show;
    show.Update(5.0f);
    show.Update(50.0f);
    EXPECT_EQ(show.CurrentSlide(), nullptr);
    EXPECT_EQ(show.CurrentIndex(), -1);
}

} // namespace
