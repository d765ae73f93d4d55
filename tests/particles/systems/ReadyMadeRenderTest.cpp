// The ready-made systems drawn headless through the picture scene's frame,
// from writer-made records: every class and version draws over the
// picture, a fountain stays inside its sector and range, and glowing
// fountains that take the picture hand it on.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "particles/systems/FountainPtclSys.h"
#include "particles/systems/RayOfLight.h"
#include "tests/particles/systems/ReadyMadeTestSupport.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/ParticleSampleDocuments.h"

namespace {

using namespace picture_scene_test;
using namespace ready_made_test;

class ReadyMadeRenderTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        DocResManagerRecord record;
        record.frames[{kSampleDotPicture, kSampleDotId}] = {StoredFrame{docres_test::SolidBmp(4, 4, 0xFFFFFF), 0.0f}};
        DocumentWriter w;
        w.DocResManager(record);
        MemoryArchive archive(w.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    // The running object of the record `write` makes, animated for `seconds`.
    DS_SafePtr<KXI_RenderObj> Play(const std::function<void(DocumentWriter&)>& write, float seconds)
    {
        DocumentWriter w;
        write(w);
        RegisterParticleSystemClasses();
        MemoryArchive archive(w.Bytes());
        const std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
        auto* description = dynamic_cast<DS_ABObj_Constructor*>(item.get());
        EXPECT_NE(description, nullptr);
        if (!description)
            return {};
        std::unique_ptr<KXI_RenderObj> object = description->CreateRenderObject();
        for (float t = 0.1f; t <= seconds + 1e-3f; t += 0.1f)
            object->Animate(t);
        return DS_SafePtr<KXI_RenderObj>(object.release());
    }

    std::vector<std::uint32_t> Frame(const RenderObjectList& objects)
    {
        auto light = MakeStripesLight(PicturePosition::kStretch);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }
};

// The pixels where `frame` differs from `plain`.
std::vector<std::pair<std::uint32_t, std::uint32_t>> Changed(const std::vector<std::uint32_t>& frame,
                                                            const std::vector<std::uint32_t>& plain)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
    for (std::uint32_t y = 0; y < kTargetSize; ++y) {
        for (std::uint32_t x = 0; x < kTargetSize; ++x) {
            if (!ShowsRgb(At(frame, x, y), At(plain, x, y) & 0xFFFFFF, 12))
                out.emplace_back(x, y);
        }
    }
    return out;
}

TEST_F(ReadyMadeRenderTest, EveryClassAndVersionDrawsOverThePicture)
{
    const std::vector<std::uint32_t> plain = Frame({});
    for (const NamedReadyMadeRecord& record : ReadyMadeSampleRecords()) {
        // Bursts are spent within a second.
        const float seconds = record.label.starts_with("burst") ? 0.3f : 1.0f;
        DS_SafePtr<KXI_RenderObj> object = Play(record.write, seconds);
        ASSERT_TRUE(object) << record.label;
        const std::vector<std::uint32_t> frame = Frame({object});
        EXPECT_FALSE(Changed(frame, plain).empty()) << record.label;
    }
}

particle_writer::FountainFields WhiteFountain(float x, float y, std::int32_t glowMode)
{
    particle_writer::FountainFields f;
    f.rate = 1000;
    f.burst.position = {x, y, 0.0f};
    f.burst.speed = 5; // 20 px/s
    f.burst.range = 8;
    f.burst.angle = 90;
    f.burst.spread = 40;
    particle_writer::BlockFields& block = f.burst.controller.block;
    block.pictures = {{kSampleDotPicture, kSampleDotId}};
    block.particleSize = 1; // a quad reaches one canvas unit from its centre
    block.flags = 0x2;
    block.glowMode = glowMode;
    block.vibrationAlong = {0, 50, 0};
    block.vibrationAcross = {0, 50, 0};
    return f;
}

TEST_F(ReadyMadeRenderTest, FountainDrawsOnlyInsideItsSectorAndRange)
{
    const std::vector<std::uint32_t> plain = Frame({});
    const particle_writer::FountainFields f = WhiteFountain(16.0f, 12.0f, 0);
    DS_SafePtr<KXI_RenderObj> fountain = Play([&f](DocumentWriter& w) { particle_writer::WriteFountain(w, f); }, 0.6f);
    const auto changed = Changed(Frame({fountain}), plain);
    EXPECT_GT(changed.size(), 4u);
    // A canvas unit is 2 x 4 pixels; a particle reaches one unit past its
    // centre, and a pixel's centre lies within half a pixel of it.
    const float margin = 1.5f;
    const float halfSpread = 20.0f * 3.1415927f / 180.0f;
    for (const auto& [px, py] : changed) {
        const float dx = (static_cast<float>(px) + 0.5f) / 2.0f - 16.0f;
        const float up = 12.0f - (static_cast<float>(py) + 0.5f) / 4.0f;
        EXPECT_GE(up, -margin) << px << ", " << py;
        EXPECT_LE(std::hypot(dx, up), 8.0f + margin) << px << ", " << py;
        // A quad's corner lies a margin off the cone sideways and one lower.
        EXPECT_LE(std::fabs(dx), std::max(up, 0.0f) * std::tan(halfSpread) + margin * (1.0f + std::tan(halfSpread)))
            << px << ", " << py;
    }
}

TEST_F(ReadyMadeRenderTest, GlowingFountainsHandThePictureOn)
{
    // Both take the picture (glow over the screen); this test's resources
    // hold no blur, so each draws the picture back and its particles.
    const particle_writer::FountainFields first = WhiteFountain(8.0f, 14.0f, 2);
    const particle_writer::FountainFields second = WhiteFountain(24.0f, 14.0f, 2);
    const RenderObjectList objects = {
        Play([&first](DocumentWriter& w) { particle_writer::WriteFountain(w, first); }, 0.6f),
        Play([&second](DocumentWriter& w) { particle_writer::WriteFountain(w, second); }, 0.6f),
    };
    auto light = MakeStripesLight(PicturePosition::kStretch);
    EXPECT_EQ(light->CountRenderTargetPasses(objects), 2);
    light->RenderFrame(objects, false);
    const auto pixels = BackBufferPixels();
    EXPECT_TRUE(ShowsRgb(At(pixels, 4, 4), kStripes[0])) << Hex(At(pixels, 4, 4));
    EXPECT_TRUE(ShowsRgb(At(pixels, 60, 4), kStripes[3])) << Hex(At(pixels, 60, 4));
    EXPECT_TRUE(ShowsRgb(At(pixels, 32, 60), kGrey)) << Hex(At(pixels, 32, 60));
    int lit[2] = {};
    for (std::uint32_t y = 36; y < 60; ++y) {
        for (std::uint32_t x = 0; x < kTargetSize; ++x) {
            if (ShowsRgb(At(pixels, x, y), 0xFFFFFF, 40))
                ++lit[x < 32 ? 0 : 1];
        }
    }
    EXPECT_GT(lit[0], 0);
    EXPECT_GT(lit[1], 0);
}

TEST_F(ReadyMadeRenderTest, RaysDrawThreeQuadsEachAndNoneWithoutRays)
{
    for (const std::uint32_t count : {0u, 5u}) {
        particle_writer::RayFields f;
        f.area = particle_writer::CornersOfBox(4.0f, 1.0f, 28.0f, 15.0f);
        f.rayCount = count;
        f.life = 40;
        f.width = 3;
        f.controller.block.pictures = {{kSampleDotPicture, kSampleDotId}};
        DS_SafePtr<KXI_RenderObj> object = Play([&f](DocumentWriter& w) { particle_writer::WriteRays(w, f); }, 0.5f);
        auto* mech = dynamic_cast<KXI_ParticleSystemMech*>(object.get());
        ASSERT_NE(mech, nullptr);
        EXPECT_EQ(mech->QuadCount(0), static_cast<std::int32_t>(3 * count));
    }
}

} // namespace
