#include <gtest/gtest.h>

#include "platform/audio/Gain.h"

namespace audio {
namespace {

TEST(GainTest, MillibelsToAmplitude)
{
    struct Case {
        int millibels;
        float gain;
    };
    const Case cases[] = {
        {0, 1.0f},
        {-600, 0.5011872f},  // about -6 dB: half the amplitude
        {-2000, 0.1f},       // volume 50 of the graph mapping
        {-4000, 0.01f},      // volume 0 of the graph mapping
        {-5000, 0.0031623f}, // volume 0 of the primary mapping: quiet, not silent
        {-9999, 1.0011e-5f},
        {-10000, 0.0f},      // silent
        {-20000, 0.0f},
        {500, 1.0f},         // there is no amplification
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.millibels);
        EXPECT_NEAR(GainFromMillibels(c.millibels), c.gain, c.gain * 1e-4f);
    }
    EXPECT_GT(GainFromMillibels(-5000), 0.0f);
    EXPECT_EQ(GainFromMillibels(-10000), 0.0f);
}

TEST(GainTest, PanAttenuatesTheOppositeSide)
{
    struct Case {
        int pan;
        float left, right;
    };
    const Case cases[] = {
        {0, 1.0f, 1.0f},
        {1000, 0.3162278f, 1.0f},   // right of centre: the left side loses 10 dB
        {-1000, 1.0f, 0.3162278f},
        {5000, 0.0031623f, 1.0f},   // pan 100 of the sound objects
        {-5000, 1.0f, 0.0031623f},  // pan 0
        {10000, 0.0f, 1.0f},        // hard right: left silent
        {-10000, 1.0f, 0.0f},
        {-2147483647 - 1, 1.0f, 0.0f}, // out of range: as far as it goes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pan);
        const StereoGain g = PanGains(c.pan);
        EXPECT_NEAR(g.left, c.left, 1e-6f);
        EXPECT_NEAR(g.right, c.right, 1e-6f);
    }
}

TEST(GainTest, VolumeAndPanMultiply)
{
    const StereoGain g = VolumePanGains(-2000, 2000);
    EXPECT_NEAR(g.left, 0.01f, 1e-7f);
    EXPECT_NEAR(g.right, 0.1f, 1e-7f);
    const StereoGain silent = VolumePanGains(-10000, 0);
    EXPECT_EQ(silent.left, 0.0f);
    EXPECT_EQ(silent.right, 0.0f);
}

TEST(GainTest, RampMovesInAStraightLineAndLandsExactly)
{
    GainRamp ramp;
    ramp.Snap(1.0f);
    ramp.MoveTo(0.0f, 4);
    EXPECT_FLOAT_EQ(ramp.Next(), 0.75f);
    EXPECT_FLOAT_EQ(ramp.Next(), 0.5f);
    EXPECT_FLOAT_EQ(ramp.Next(), 0.25f);
    EXPECT_EQ(ramp.Next(), 0.0f);
    EXPECT_EQ(ramp.Next(), 0.0f);
    EXPECT_FALSE(ramp.Moving());

    ramp.MoveTo(0.3f, 0); // no frames: at once
    EXPECT_EQ(ramp.Current(), 0.3f);
}

} // namespace
} // namespace audio
