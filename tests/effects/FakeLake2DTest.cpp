// The lake light: its geometry, tints and turning bump matrix, its stored
// form, and what it draws.

#include <cmath>
#include <numbers>

#include "effects/FakeLake2D.h"
#include "objectmodel/ClassRegistry.h"
#include "tests/effects/FixedFunctionLightTestSupport.h"
#include "tests/support/LightWriter.h"
#include "tests/support/RecordingArchive.h"

namespace fixed_light_test {
namespace {

const LinkKey kLakePicture{u"pictures\\lake.bmp", 11};

// Red grows with x, green with y: every pixel tells where it was sampled.
std::uint32_t Ramp(std::uint32_t x, std::uint32_t y)
{
    return ((x * 8 + 4) << 16) | ((y * 8 + 4) << 8);
}

std::uint8_t CornerAlpha(const ColorQuad& quad, int corner)
{
    BufferLock<ColorQuadVertex> lock(quad.Buffer());
    return lock.Holds(4) ? std::uint8_t(lock[std::size_t(corner)].colour >> 24) : 0;
}

class FakeLakeTest : public FixedFunctionLightTest {
protected:
    std::unique_ptr<FakeLake2D> MakeLake(std::uint32_t width, std::uint32_t height, std::uint32_t horizonValue,
                                         const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& colour)
    {
        StorePicture(kLakePicture, width, height, colour);
        auto lake = std::make_unique<FakeLake2D>();
        lake->horizon.SetValue(horizonValue, nullptr);
        SetUpLight(*lake, kLakePicture, PicturePosition::kFit);
        return lake;
    }

    // A 1 x 1 V8U8 bump map holding (du, dv).
    gfx::Ref<gfx::Texture> UniformBump(std::int8_t du, std::int8_t dv)
    {
        gfx::Texture* raw = nullptr;
        EXPECT_EQ(device->CreateTexture(1, 1, 1, 0, gfx::Format::V8U8, gfx::Pool::Managed, &raw), gfx::kOk);
        auto texture = gfx::Ref<gfx::Texture>::Adopt(raw);
        gfx::LockedRect locked;
        EXPECT_EQ(raw->LockRect(0, &locked, nullptr, 0), gfx::kOk);
        static_cast<std::int8_t*>(locked.bits)[0] = du;
        static_cast<std::int8_t*>(locked.bits)[1] = dv;
        raw->UnlockRect(0);
        return texture;
    }
};

TEST_F(FakeLakeTest, LakeSpansFromTheHorizonDownAndMirrorsTheBandAbove)
{
    struct Case {
        std::uint32_t horizonValue;
        float horizonY;     // where the lake starts on a 1000 x 800 picture
        float mirroredTop;  // picture v at the bottom of the lake
    };
    const Case cases[] = {{25, 500.0f, 0.25f}, {0, 400.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.horizonValue);
        auto lake = MakeLake(1000, 800, c.horizonValue, Ramp);
        const auto& mesh = lake->Mesh().Vertices();
        // Triangles (1, 0, 2) and (1, 2, 3) of the strip-order quad.
        const float expected[6][4] = {
            {0, c.horizonY, 0, 1 - (800 - c.horizonY) / 800},
            {0, 800, 0, c.mirroredTop},
            {1000, 800, 1, c.mirroredTop},
            {0, c.horizonY, 0, 1 - (800 - c.horizonY) / 800},
            {1000, 800, 1, c.mirroredTop},
            {1000, c.horizonY, 1, 1 - (800 - c.horizonY) / 800},
        };
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(i);
            EXPECT_FLOAT_EQ(mesh[i].x, expected[i][0]);
            EXPECT_FLOAT_EQ(mesh[i].y, expected[i][1]);
            EXPECT_EQ(mesh[i].z, 0.0f);
            EXPECT_FLOAT_EQ(mesh[i].u, expected[i][2]);
            EXPECT_NEAR(mesh[i].v, expected[i][3], 1e-6f);
        }
        EXPECT_EQ(lake->LakeTintRect(), (FitRect{0, c.horizonY, 1000, 800 - c.horizonY}));
        EXPECT_EQ(lake->BandTintRect(), (FitRect{0, c.horizonY, 1000, -7})) << "seven pixels above the horizon";
        // Bump coordinates run from 0.01 to the repeat (1.0 by default).
        EXPECT_FLOAT_EQ(mesh[0].bumpU, 0.01f);
        EXPECT_FLOAT_EQ(mesh[2].bumpU, 1.0f);
        EXPECT_FLOAT_EQ(mesh[5].bumpV, 0.01f);
    }
}

TEST_F(FakeLakeTest, DefaultTintsFadeTowardsTheHorizon)
{
    auto lake = MakeLake(64, 32, 25, Ramp);
    EXPECT_FLOAT_EQ(lake->tintAlpha.Scaled(), 0.248f);
    EXPECT_NEAR(lake->FarTintAlpha(), 0.10416f, 1e-6f) << "0.42 x 0.248";
    // Corner 0 and 2 lie on the far edge, 1 and 3 on the horizon.
    EXPECT_EQ(CornerAlpha(lake->LakeTint(), 0), CornerAlphaByte(0.248f));
    EXPECT_EQ(CornerAlpha(lake->LakeTint(), 2), CornerAlphaByte(0.248f));
    EXPECT_EQ(CornerAlpha(lake->LakeTint(), 1), CornerAlphaByte(0.10416f));
    EXPECT_EQ(CornerAlpha(lake->BandTint(), 0), 0);
    EXPECT_EQ(CornerAlpha(lake->BandTint(), 3), CornerAlphaByte(0.10416f));
    BufferLock<ColorQuadVertex> lock(lake->LakeTint().Buffer());
    ASSERT_TRUE(lock.Holds(4));
    EXPECT_EQ(lock[0].colour & 0xFFFFFFu, 0x008040u) << "COLORREF 0x408000 is green 128, blue 64";
}

TEST_F(FakeLakeTest, BumpMatrixTurnsWithThePhase)
{
    FakeLake2D lake;
    lake.UpdateCamera(0.0f);
    const math::Matrix& m = lake.BumpMatrix();
    EXPECT_FLOAT_EQ(m.m[0][0], 0.04f);
    EXPECT_FLOAT_EQ(m.m[1][1], 0.04f);
    EXPECT_NEAR(m.m[0][1], 0.0f, 1e-7f);
    EXPECT_NEAR(m.m[1][0], 0.0f, 1e-7f);
    // 4.5 radians per unit of phase: a quarter turn after pi / 9 seconds
    // at speed 1 (the clock takes at most 0.2 s per step).
    const float quarter = std::numbers::pi_v<float> / 9.0f;
    lake.UpdateCamera(0.2f);
    lake.UpdateCamera(quarter);
    EXPECT_NEAR(m.m[0][0], 0.0f, 1e-6f);
    EXPECT_NEAR(m.m[1][0], 0.04f, 1e-6f);
    EXPECT_NEAR(m.m[0][1], -0.04f, 1e-6f);
    EXPECT_NEAR(m.m[1][1], 0.0f, 1e-6f);
}

TEST_F(FakeLakeTest, StoredVersionsReadBack)
{
    light_writer::FakeLakeFields fields;
    fields.bumpRepeat = 300;
    fields.speed = 100;
    fields.horizon = 40;
    fields.gradientLevel = 20;
    fields.tintAlpha = 50;
    fields.tintFade = 10;
    fields.normalAmplitude = 9;
    fields.bandHeight = 3;
    fields.mirrorSizeExponent = 2;
    fields.tintColour = 0x112233;
    fields.guid = crt::Guid{0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    fields.keyName = u"bump";
    fields.keyFlag = 0;
    fields.light.backgroundPath = u"pictures\\lake.bmp";
    fields.light.backgroundId = 11;
    for (std::int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        fields.version = version;
        DocumentWriter writer;
        light_writer::WriteFakeLake(writer, fields);
        const std::unique_ptr<DS_2D_Light> read = ReadLight(writer);
        auto* lake = dynamic_cast<FakeLake2D*>(read.get());
        ASSERT_NE(lake, nullptr);
        const FakeLake2D defaults;
        const bool v2 = version > 1;
        EXPECT_FLOAT_EQ(lake->bumpRepeat.Scaled(), v2 ? 3.0f : 1.0f);
        EXPECT_FLOAT_EQ(lake->speed.Scaled(), v2 ? 2.0f : 1.0f) << "the stored speed is the clock's factor";
        EXPECT_FLOAT_EQ(lake->horizon.Scaled(), v2 ? 0.3f : 0.375f);
        EXPECT_FLOAT_EQ(lake->gradientLevel.Scaled(), v2 ? 0.2f : 1.0f);
        EXPECT_FLOAT_EQ(lake->tintAlpha.Scaled(), v2 ? 0.4f : 0.248f);
        EXPECT_FLOAT_EQ(lake->tintFade.Scaled(), v2 ? 0.1f : 0.58f);
        EXPECT_EQ(lake->normalAmplitude.value, v2 ? 9u : 25u);
        EXPECT_EQ(lake->bandHeight.value, v2 ? 3u : 7u);
        EXPECT_EQ(lake->mirrorSizeExponent.value, v2 ? 2 : 1);
        EXPECT_EQ(lake->tintColour.value, v2 ? 0x112233u : 0x408000u);
        EXPECT_EQ(lake->key.guid, fields.guid);
        EXPECT_EQ(lake->key.name, u"bump");
        EXPECT_EQ(lake->key.flag, 0);
        EXPECT_EQ(lake->BackgroundLink().Id(), 11);
    }

    // Saving writes version 2, which reads back the same.
    fields.version = 2;
    DocumentWriter writer;
    light_writer::WriteFakeLake(writer, fields);
    const std::unique_ptr<DS_2D_Light> read = ReadLight(writer);
    RecordingArchive archive;
    read->Save(ArchiveWriter(archive));
    EXPECT_EQ(archive.writer.Bytes(), writer.Bytes());
}

TEST_F(FakeLakeTest, SavingPutsTheBumpMapUnderTheGuid)
{
    FakeLake2D lake;
    auto bump = UniformBump(10, 20);
    lake.SetBumpMap(bump.Get());
    RecordingArchive archive;
    lake.Save(ArchiveWriter(archive));
    EXPECT_EQ(manager->GetGuidTexture(lake.key).Get(), bump.Get());
}

// With tint alpha 0 the lake rows show the mirrored picture rows: on a 32 x
// 32 picture fitted to 64 x 64 with the horizon in the middle, target row y
// of the lake shows what row 63 - y shows above it.
TEST_F(FakeLakeTest, LakeShowsTheMirroredBandAndTheBumpMapMovesIt)
{
    auto lake = MakeLake(32, 32, 0, Ramp);
    lake->tintAlpha.SetValue(0, nullptr);
    lake->CreateDeviceObjects();
    const auto plain = RenderAt(*lake, 0.0f);
    ASSERT_EQ(lake->BumpMap(), nullptr) << "the document stores no bump map";
    for (std::uint32_t y : {33u, 40u, 50u, 60u})
        for (std::uint32_t x : {4u, 30u, 60u}) {
            const std::uint32_t lakePixel = picture_scene_test::At(plain, x, y);
            const std::uint32_t mirrored = picture_scene_test::At(plain, x, 63 - y);
            EXPECT_LE(ColourDistance(lakePixel, mirrored), 6)
                << x << "," << y << ": " << Hex(lakePixel) << " against " << Hex(mirrored);
        }

    // A stored bump map of (du, dv) = (1, 0) shifts the lookup along u by
    // 0.04 at phase 0 (red changes) and along v after a quarter turn
    // (green changes).
    auto bump = UniformBump(127, 0);
    manager->GetGuidTexture(lake->key) = bump;
    lake->CreateDeviceObjects();
    ASSERT_EQ(lake->BumpMap(), bump.Get());
    auto atStart = RenderAt(*lake, 0.0f);
    const std::uint32_t x = 30, y = 48;
    const std::uint32_t before = picture_scene_test::At(plain, x, y);
    const std::uint32_t shiftedU = picture_scene_test::At(atStart, x, y);
    EXPECT_NEAR(ChannelOf(shiftedU, 16) - ChannelOf(before, 16), 0.04 * 256, 4) << Hex(shiftedU);
    EXPECT_NEAR(ChannelOf(shiftedU, 8), ChannelOf(before, 8), 3);
    lake->UpdateCamera(0.2f);
    const auto turned = RenderAt(*lake, std::numbers::pi_v<float> / 9.0f);
    const std::uint32_t shiftedV = picture_scene_test::At(turned, x, y);
    EXPECT_NEAR(ChannelOf(shiftedV, 16), ChannelOf(before, 16), 3) << Hex(shiftedV);
    EXPECT_GT(std::abs(ChannelOf(shiftedV, 8) - ChannelOf(before, 8)), 6) << Hex(shiftedV);
    // The picture above the horizon is untouched.
    EXPECT_EQ(picture_scene_test::At(turned, x, 10), picture_scene_test::At(plain, x, 10));
}

// The test program embeds a height picture as its own "DDS" 2: flat in the
// left half, a ridged sine in the right half.
TEST_F(FakeLakeTest, GeneratedBumpMapFollowsTheHeightPictureUntilTheDocumentsReplacesIt)
{
    FakeLake2D lake;
    lake.GenerateBumpMap();
    EXPECT_EQ(lake.BumpMap(), nullptr) << "nothing before the first device creation";
    SetUpLight(lake, LinkKey{u"missing.bmp", 1}, PicturePosition::kFit);
    ASSERT_FALSE(lake.Generated());
    lake.GenerateBumpMap();
    gfx::Texture* bump = lake.BumpMap();
    ASSERT_NE(bump, nullptr);
    gfx::SurfaceDesc desc;
    ASSERT_EQ(bump->GetLevelDesc(0, &desc), gfx::kOk);
    EXPECT_EQ(desc.format, gfx::Format::V8U8);
    EXPECT_EQ(desc.width, 32u);
    EXPECT_EQ(desc.height, 32u);
    gfx::LockedRect locked;
    ASSERT_EQ(bump->LockRect(0, &locked, nullptr, gfx::Lock::ReadOnly), gfx::kOk);
    const auto du = [&](std::uint32_t x, std::uint32_t y) {
        return int(static_cast<const std::int8_t*>(locked.bits)[std::size_t(y) * locked.pitch + x * 2]);
    };
    int flat = 0, steep = 0;
    for (std::uint32_t x = 2; x < 14; ++x)
        flat = std::max(flat, std::abs(du(x, 4)));
    for (std::uint32_t x = 18; x < 30; ++x)
        steep = std::max(steep, std::abs(du(x, 4)));
    bump->UnlockRect(0);
    EXPECT_LE(flat, 2) << "no slope where the heights are flat";
    EXPECT_GT(steep, 20) << "the ridges tilt the normals";

    // Device creation ends with the document's map: none here.
    lake.CreateDeviceObjects();
    EXPECT_EQ(lake.BumpMap(), nullptr);
}

TEST_F(FakeLakeTest, DegenerateHorizonsAndPicturesDrawOnlyThePicture)
{
    // Horizon value 100 and more put the horizon at or below the bottom.
    for (std::uint32_t horizonValue : {100u, 250u}) {
        SCOPED_TRACE(horizonValue);
        auto lake = MakeLake(32, 32, horizonValue, Ramp);
        EXPECT_FALSE(lake->HasLake());
        const auto pixels = RenderAt(*lake, 0.0f);
        for (std::uint32_t y : {2u, 40u, 62u})
            EXPECT_TRUE(picture_scene_test::ShowsRgb(picture_scene_test::At(pixels, 20, y), Ramp(10, y / 2), 6))
                << y << ": " << Hex(picture_scene_test::At(pixels, 20, y));
    }
    // No picture: nothing but the cleared target, and no NaN anywhere.
    FakeLake2D lake;
    SetUpLight(lake, LinkKey{u"missing.bmp", 1}, PicturePosition::kFit);
    EXPECT_FALSE(lake.HasLake());
    const auto pixels = RenderAt(lake, 0.0f);
    EXPECT_EQ(picture_scene_test::At(pixels, 32, 48) & 0xFFFFFFu, 0u);
}

} // namespace
} // namespace fixed_light_test
