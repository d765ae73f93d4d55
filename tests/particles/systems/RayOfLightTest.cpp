// Rays of light without a device: the edge factor, the 12 vertices of one
// ray, the fade lengths, the rise and fall of a ray's brightness, and the
// bound on the ray count.

#include <gtest/gtest.h>

#include <array>

#include "particles/systems/RayOfLight.h"
#include "tests/particles/systems/ReadyMadeTestSupport.h"

namespace {

using namespace ready_made_test;
using particle_writer::RayFields;

// A 200 x 100 area; rays from y 0 down to y 100.
RayFields RaysOf(std::uint32_t count)
{
    RayFields f;
    f.area = particle_writer::CornersOfBox(0.0f, 0.0f, 200.0f, 100.0f);
    f.rayCount = count;
    f.life = 40;
    f.width = 10;
    f.spreadFactor = 20; // twice as wide at the bottom
    f.fadeIn = 20;
    f.fadeOut = 30;
    f.controller.block.colours = {0x00332211};
    return f;
}

std::unique_ptr<DS_RayOfLight> Rays(const RayFields& f)
{
    return Running<DS_RayOfLight>(particle_writer::WriteRays, f);
}

TEST(RayOfLightTest, EdgeFactorFadesNearTheSidesAndVanishesOutside)
{
    struct Case {
        float x;
        std::uint32_t edgeFade;
        float factor;
    };
    const Case cases[] = {
        {0.05f, 20, 0.5f}, {0.5f, 20, 1.0f}, {0.97f, 20, 0.3f}, {-0.1f, 20, 0.0f}, {1.2f, 20, 0.0f},
        {0.5f, 0, 1.0f},   {0.0f, 0, 1.0f},  {1.0f, 0, 1.0f},   {-0.1f, 0, 0.0f},  {1.1f, 0, 0.0f},
    };
    for (const Case& c : cases) {
        RayFields f = RaysOf(1);
        f.edgeFade = c.edgeFade;
        auto rays = Rays(f);
        ASSERT_NE(rays, nullptr);
        EXPECT_NEAR(rays->EdgeFactor(c.x), c.factor, 1e-5f) << c.x << " " << c.edgeFade;
    }
}

struct ExpectedVertex {
    float x, y, u, v;
    bool lit;
};

TEST(RayOfLightTest, OneRayWritesThreeQuadsAsComputedByHand)
{
    auto rays = Rays(RaysOf(1));
    ASSERT_NE(rays, nullptr);
    InnerParticle ray({0.25f, 0.0f, 0.0f});
    ray.values[InnerParticle::kSizeValue] = 10.0f;
    ray.values[InnerParticle::kOpacityValue] = 0.8f;
    std::array<QuadBatchVertex, 12> out{};
    rays->WriteRay(ray, 0.5f, 0.75f, out.data());
    // Top (150, 0), fade-in end (150, 20), fade-out start (150, 70), bottom
    // (150, 100); half-widths 5, 6, 8.5 and 10.
    const ExpectedVertex expected[12] = {
        {141.5f, 70.0f, 0.0f, 0.525f, true}, {144.0f, 20.0f, 0.0f, 0.15f, true},
        {158.5f, 70.0f, 0.5f, 0.525f, true}, {156.0f, 20.0f, 0.5f, 0.15f, true},
        {144.0f, 20.0f, 0.0f, 0.15f, true},  {145.0f, 0.0f, 0.0f, 0.0f, false},
        {156.0f, 20.0f, 0.5f, 0.15f, true},  {155.0f, 0.0f, 0.5f, 0.0f, false},
        {140.0f, 100.0f, 0.0f, 0.75f, false}, {141.5f, 70.0f, 0.0f, 0.525f, true},
        {160.0f, 100.0f, 0.5f, 0.75f, false}, {158.5f, 70.0f, 0.5f, 0.525f, true},
    };
    for (int i = 0; i < 12; ++i) {
        const ExpectedVertex& e = expected[i];
        EXPECT_NEAR(out[i].x, e.x, 1e-3f) << i;
        EXPECT_NEAR(out[i].y, e.y, 1e-3f) << i;
        EXPECT_EQ(out[i].z, 0.0f) << i;
        EXPECT_NEAR(out[i].u, e.u, 1e-6f) << i;
        EXPECT_NEAR(out[i].v, e.v, 1e-6f) << i;
        // Alpha 255 x 0.8 = 204 on the lit vertices; red 0x11, green 0x22, blue 0x33.
        EXPECT_EQ(out[i].colour, e.lit ? 0xCC112233u : 0x00112233u) << i;
    }
}

TEST(RayOfLightTest, FadeLengthsPlaceTheMiddleQuad)
{
    struct Case {
        std::uint32_t fadeIn, fadeOut;
        float middleTop, middleBottom;
    };
    for (const Case& c : {Case{0, 0, 0.0f, 100.0f}, Case{50, 50, 50.0f, 50.0f}}) {
        RayFields f = RaysOf(1);
        f.fadeIn = c.fadeIn;
        f.fadeOut = c.fadeOut;
        auto rays = Rays(f);
        ASSERT_NE(rays, nullptr);
        InnerParticle ray({0.5f, 0.0f, 0.0f});
        ray.values[InnerParticle::kSizeValue] = 10.0f;
        std::array<QuadBatchVertex, 12> out{};
        rays->WriteRay(ray, 1.0f, 1.0f, out.data());
        EXPECT_NEAR(out[1].y, c.middleTop, 1e-3f);
        EXPECT_NEAR(out[0].y, c.middleBottom, 1e-3f);
        // The top fade quad runs from the top to the middle quad.
        EXPECT_NEAR(out[5].y, 0.0f, 1e-3f);
        EXPECT_NEAR(out[4].y, c.middleTop, 1e-3f);
    }
}

TEST(RayOfLightTest, AnEmptyColourListDrawsWhite)
{
    RayFields f = RaysOf(1);
    f.controller.block.colours = {};
    auto rays = Rays(f);
    ASSERT_NE(rays, nullptr);
    InnerParticle ray({0.5f, 0.0f, 0.0f});
    ray.values[InnerParticle::kOpacityValue] = 1.0f;
    std::array<QuadBatchVertex, 12> out{};
    rays->WriteRay(ray, 1.0f, 1.0f, out.data());
    EXPECT_EQ(out[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(out[5].colour, 0x00FFFFFFu);
}

TEST(RayOfLightTest, BrightnessPeaksAfterOneSecondOfPlay)
{
    auto rays = Rays(RaysOf(1)); // life 4 s, no jitter
    ASSERT_NE(rays, nullptr);
    float brightest = -1.0f, peakTime = 0.0f;
    for (int frame = 1; frame <= 40; ++frame) {
        const float t = static_cast<float>(frame) * 0.05f;
        rays->Update(t);
        ASSERT_EQ(rays->particles.Size(), 1u);
        const float b = rays->particles.Particles().front()->values[InnerParticle::kOpacityValue];
        if (b > brightest) {
            brightest = b;
            peakTime = t;
        }
    }
    EXPECT_NEAR(brightest, 1.0f, 0.05f);
    EXPECT_NEAR(peakTime, 1.0f, 0.1f);
}

TEST(RayOfLightTest, RayCountIsToppedUpAndBounded)
{
    struct Case {
        std::uint32_t count;
        std::size_t kept;
    };
    for (const Case& c : {Case{0, 0}, Case{7, 7}, Case{4000000000u, DS_RayOfLight::kMaxRays}}) {
        auto rays = Rays(RaysOf(c.count));
        ASSERT_NE(rays, nullptr);
        EXPECT_TRUE(rays->Emit(0.1f).empty());
        EXPECT_EQ(rays->particles.Size(), c.kept);
        for (InnerParticle* ray : ParticlesOf(rays->particles)) {
            EXPECT_GE(ray->position.x, 0.0f);
            EXPECT_LE(ray->position.x, 1.0f);
            EXPECT_EQ(ray->values[InnerParticle::kOpacityValue], 0.0f);
        }
    }
}

} // namespace
