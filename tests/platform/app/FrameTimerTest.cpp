// The frame clock: running, stopped and reset, on a clock the test moves.

#include <gtest/gtest.h>

#include "platform/app/FrameTimer.h"

namespace {

using namespace std::chrono_literals;

class FrameTimerTest : public ::testing::Test {
protected:
    std::chrono::nanoseconds now = 100s; // any origin
    app::FrameTimer timer{[this] { return now; }};
};

TEST_F(FrameTimerTest, CountsSecondsFromTheReset)
{
    EXPECT_DOUBLE_EQ(timer.GetTime(), 0.0);
    now += 1500ms;
    EXPECT_DOUBLE_EQ(timer.GetTime(), 1.5);
    timer.Reset();
    now += 250ms;
    EXPECT_DOUBLE_EQ(timer.GetTime(), 0.25);
}

TEST_F(FrameTimerTest, StandsStillWhileStoppedAndLeavesThatSpanOut)
{
    now += 2s;
    timer.Stop();
    now += 10s;
    EXPECT_TRUE(timer.IsStopped());
    EXPECT_DOUBLE_EQ(timer.GetTime(), 2.0);
    timer.Stop(); // a second stop changes nothing
    timer.Start();
    now += 1s;
    EXPECT_DOUBLE_EQ(timer.GetTime(), 3.0);
    timer.Start(); // nor does a second start
    EXPECT_DOUBLE_EQ(timer.GetTime(), 3.0);
}

TEST_F(FrameTimerTest, StepsAreMeasuredBetweenCallsAndAreZeroWhileStopped)
{
    double time = -1;
    float elapsed = -1;
    now += 40ms;
    timer.GetTimeValues(&time, &elapsed);
    EXPECT_DOUBLE_EQ(time, 0.04);
    EXPECT_FLOAT_EQ(elapsed, 0.04f);
    now += 30ms;
    timer.GetTimeValues(&time, &elapsed);
    EXPECT_DOUBLE_EQ(time, 0.07);
    EXPECT_FLOAT_EQ(elapsed, 0.03f);

    timer.Stop();
    now += 5s;
    timer.GetTimeValues(&time, &elapsed);
    EXPECT_DOUBLE_EQ(time, 0.07);
    EXPECT_FLOAT_EQ(elapsed, 0.0f);
    timer.Start();
    now += 10ms;
    timer.GetTimeValues(&time, &elapsed);
    EXPECT_DOUBLE_EQ(time, 0.08);
    EXPECT_FLOAT_EQ(elapsed, 0.01f);
}

} // namespace
