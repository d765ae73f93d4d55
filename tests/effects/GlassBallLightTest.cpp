// The glass-ball light: its generated textures, derived numbers, turning
// clock, bars, stored form, and the composed frame.

#include <cmath>
#include <cstring>

#include "effects/GlassBallLight.h"
#include "effects/GlassBallTextures.h"
#include "objectmodel/ClassRegistry.h"
#include "tests/effects/FixedFunctionLightTestSupport.h"
#include "tests/support/LightWriter.h"
#include "tests/support/RecordingArchive.h"

namespace fixed_light_test {
namespace {

using picture_scene_test::At;

const LinkKey kScene{u"pictures\\scene.bmp", 21};
const LinkKey kBackdropPicture{u"pictures\\backdrop.bmp", 22};
const LinkKey kOverlay{u"pictures\\overlay.bmp", 23};
constexpr std::uint32_t kGreen = 0x00C000;
constexpr COLORREF kTopRed = 0x0000FF;     // COLORREF: red in the low byte
constexpr COLORREF kBottomBlue = 0xFF0000;

// Level `level` of a managed texture as raw bytes, row by row.
std::vector<std::uint8_t> LevelBytes(gfx::Texture& texture, std::uint32_t level, std::uint32_t rowBytes)
{
    gfx::SurfaceDesc desc;
    texture.GetLevelDesc(level, &desc);
    gfx::LockedRect locked;
    std::vector<std::uint8_t> bytes;
    if (texture.LockRect(level, &locked, nullptr, gfx::Lock::ReadOnly) != gfx::kOk)
        return bytes;
    for (std::uint32_t row = 0; row < desc.height; ++row) {
        const auto* begin = static_cast<const std::uint8_t*>(locked.bits) + std::size_t(row) * locked.pitch;
        bytes.insert(bytes.end(), begin, begin + rowBytes);
    }
    texture.UnlockRect(level);
    return bytes;
}

class GlassBallTest : public FixedFunctionLightTest {
protected:
    // A glass ball over a scene picture, its backdrop picture link set to
    // `backdrop`, turning as `turn`, overlays off unless given.
    std::unique_ptr<DS_GlassBallLight> MakeBall(int turn, std::function<std::uint32_t(std::uint32_t, std::uint32_t)>
                                                              scene = [](std::uint32_t, std::uint32_t) { return kGreen; })
    {
        StorePicture(kScene, 32, 32, scene);
        auto ball = std::make_unique<DS_GlassBallLight>();
        ball->turnMode.StoreValue(turn);
        ball->overlayAOn.StoreValue(0);
        ball->overlayBOn.StoreValue(0);
        ball->gradientTop.StoreValue(kTopRed);
        ball->gradientBottom.StoreValue(kBottomBlue);
        ball->pictureLink.StorePathAndId(kScene.path, kScene.id);
        return ball;
    }

    std::vector<std::uint32_t> Frame(DS_GlassBallLight& ball, float time)
    {
        return RenderAt(ball, time);
    }
};

TEST_F(GlassBallTest, GeneratedTexturesHoldTheHemisphereTheDiscAndTheGradient)
{
    // Bump texels: flat at the centre, steep at the rim, none in the last column.
    EXPECT_EQ(glass_ball::BumpTexelAt(128, 128).du, 63);
    EXPECT_EQ(glass_ball::BumpTexelAt(128, 128).dv, 63);
    EXPECT_NEAR(glass_ball::BumpTexelAt(128, 250).du, 20809, 3) << "atan(38.73 - 35.43) x 51200 / pi";
    EXPECT_EQ(glass_ball::BumpTexelAt(128, 250).dv, 210) << "the slope down the rows is gentle there";
    EXPECT_EQ(glass_ball::BumpTexelAt(128, 255).du, 0);
    EXPECT_EQ(glass_ball::BumpTexelAt(128, 255).dv, 0);
    EXPECT_EQ(glass_ball::BumpTexelAt(10, 10).du, 0) << "outside the hemisphere";
    auto bump = glass_ball::MakeBumpTexture(*device);
    ASSERT_TRUE(bump);
    const auto bumpBytes = LevelBytes(*bump, 0, 256 * 4);
    for (auto [row, column] : {std::pair{128u, 128u}, {128u, 250u}, {40u, 200u}, {255u, 100u}, {128u, 255u}}) {
        std::int16_t du = 0, dv = 0;
        std::memcpy(&du, &bumpBytes[(row * 256 + column) * 4], 2);
        std::memcpy(&dv, &bumpBytes[(row * 256 + column) * 4 + 2], 2);
        EXPECT_EQ(du, glass_ball::BumpTexelAt(row, column).du) << row << "," << column;
        EXPECT_EQ(dv, glass_ball::BumpTexelAt(row, column).dv) << row << "," << column;
    }

    auto mask = glass_ball::MakeMaskTexture(*device);
    ASSERT_TRUE(mask);
    const auto maskBytes = LevelBytes(*mask, 0, 1024);
    struct MaskCase {
        int x, y;
        std::uint8_t expected;
    };
    for (const MaskCase& c : {MaskCase{0, 0, 0}, MaskCase{508, 0, 0}, MaskCase{509, 0, 255}, MaskCase{0, -508, 0},
                              MaskCase{0, -509, 255}, MaskCase{359, 359, 0}, MaskCase{360, 359, 255},
                              MaskCase{-512, -512, 255}})
        EXPECT_EQ(maskBytes[std::size_t(c.y + 512) * 1024 + std::size_t(c.x + 512)], c.expected) << c.x << "," << c.y;

    EXPECT_EQ(glass_ball::GradientRow(kTopRed, kBottomBlue, 0), 0xFF0000u);
    EXPECT_EQ(glass_ball::GradientRow(kTopRed, kBottomBlue, 255), 0x0000FFu);
    EXPECT_EQ(glass_ball::GradientRow(kTopRed, kBottomBlue, 128), 0x7F0080u);
    auto gradient = glass_ball::MakeGradientTexture(*device, kTopRed, kBottomBlue);
    ASSERT_TRUE(gradient);
    ASSERT_EQ(gradient->GetLevelCount(), 9u);
    const auto top = LevelBytes(*gradient, 0, 256 * 4);
    std::uint32_t texel = 0;
    std::memcpy(&texel, &top[(128 * 256 + 7) * 4], 4);
    EXPECT_EQ(texel, 0x007F0080u) << "alpha 0";
    // Every smaller level holds the gradient too, down to 1 x 1.
    for (std::uint32_t level = 1; level < 9; ++level) {
        const std::uint32_t side = 256u >> level;
        const auto bytes = LevelBytes(*gradient, level, side * 4);
        std::uint32_t first = 0, last = 0;
        std::memcpy(&first, &bytes[0], 4);
        std::memcpy(&last, &bytes[bytes.size() - 4], 4);
        EXPECT_GT((first >> 16) & 0xFF, 0x40u) << "level " << level << " starts red";
        EXPECT_GT(last & 0xFF, 0x40u) << "level " << level << " ends blue";
    }
}

TEST_F(GlassBallTest, DerivedNumbersFollowSizeAndStrength)
{
    struct Case {
        std::uint32_t size, strength;
        float cameraZ, swingAmplitude, bumpScale;
    };
    const Case cases[] = {
        {100, 0, -600.0f, 0.125f, (1.105f + 0.385f) * 1.05f},
        {200, 0, -600.0f / 1.75f, 0.125f, (2.21f + 0.385f) * 1.05f},
        {100, 100, -600.0f, 0.1875f, (1.105f + 0.385f) * 1.05f * 1.5f},
    };
    for (const Case& c : cases) {
        DS_GlassBallLight ball;
        ball.ballSize.StoreValue(c.size);
        ball.lensStrength.StoreValue(c.strength);
        ball.UpdateDerived();
        EXPECT_FLOAT_EQ(ball.CameraZ(), c.cameraZ) << c.size;
        EXPECT_FLOAT_EQ(ball.SwingAmplitude(), c.swingAmplitude) << c.strength;
        EXPECT_FLOAT_EQ(ball.BumpScale(), c.bumpScale) << c.size << "," << c.strength;
    }
}

TEST_F(GlassBallTest, StoredVersionsReadBack)
{
    light_writer::GlassBallFields fields;
    fields.overlayAId = 70;
    fields.picturePath = u"pictures\\backdrop.bmp";
    fields.pictureId = 22;
    fields.turnSpeed = 100;
    fields.offsetX = -20;
    fields.offsetY = 30;
    fields.ballSize = 150;
    fields.lensStrength = 40;
    fields.overlayBOn = 0;
    fields.standOn = 1;
    fields.backdropMode = 1;
    fields.turnMode = 2;
    fields.gradientTop = 0x102030;
    fields.gradientBottom = 0x405060;
    for (std::int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        fields.version = version;
        DocumentWriter writer;
        light_writer::WriteGlassBall(writer, fields);
        const std::unique_ptr<DS_2D_Light> read = ReadLight(writer);
        auto* ball = dynamic_cast<DS_GlassBallLight*>(read.get());
        ASSERT_NE(ball, nullptr);
        EXPECT_EQ(ball->turnSpeed.value, version == 1 ? 99u : 100u) << "version 1: 2v / 3 + 33";
        EXPECT_FLOAT_EQ(ball->turnSpeed.Scaled(), version == 1 ? 2.97f : 3.0f);
        EXPECT_EQ(ball->overlayALink.Id(), 70);
        EXPECT_EQ(ball->pictureLink.Path(), u"pictures\\backdrop.bmp");
        EXPECT_EQ(ball->ballOffsetX.value, -20);
        EXPECT_EQ(ball->ballOffsetY.value, 30);
        EXPECT_EQ(ball->ballSize.value, 150u);
        EXPECT_EQ(ball->lensStrength.value, 40u);
        EXPECT_EQ(ball->overlayAOn.value, 1);
        EXPECT_EQ(ball->overlayBOn.value, 0);
        EXPECT_EQ(ball->standOn.value, 1);
        EXPECT_EQ(ball->backdropMode.value, 1);
        EXPECT_EQ(ball->turnMode.value, 2);
        EXPECT_EQ(ball->gradientTop.value, 0x102030u);
        EXPECT_EQ(ball->gradientBottom.value, 0x405060u);
        EXPECT_EQ(ball->plain.value, 0) << "not stored";
    }
    fields.version = 2;
    DocumentWriter writer;
    light_writer::WriteGlassBall(writer, fields);
    RecordingArchive archive;
    ReadLight(writer)->Save(ArchiveWriter(archive));
    EXPECT_EQ(archive.writer.Bytes(), writer.Bytes());
}

TEST_F(GlassBallTest, TurnModesShareOnePhase)
{
    auto swinging = MakeBall(DS_GlassBallLight::kSwing);
    SetUpLight(*swinging, kScene, PicturePosition::kFit);
    auto oneWay = MakeBall(DS_GlassBallLight::kScrollOneWay);
    SetUpLight(*oneWay, kScene, PicturePosition::kFit);
    auto otherWay = MakeBall(DS_GlassBallLight::kScrollOtherWay);
    SetUpLight(*otherWay, kScene, PicturePosition::kFit);
    auto still = MakeBall(DS_GlassBallLight::kNoTurn);
    SetUpLight(*still, kScene, PicturePosition::kFit);

    const float step = 0.99f * 0.0625f; // turn speed 33 per second
    swinging->UpdateCamera(5000.0f);    // the shared clock takes this time
    const float start = DS_GlassBallLight::SharedPhase();
    swinging->UpdateCamera(5002.0f);
    EXPECT_NEAR(DS_GlassBallLight::SharedPhase(), start + 2 * step, 1e-3f);
    const float p1 = DS_GlassBallLight::SharedPhase();
    EXPECT_NEAR(swinging->SwingValue(), std::fabs((p1 * 0.5f - std::floor(p1 * 0.5f)) * 2 - 1) * 2 - 1, 1e-4f);
    still->UpdateCamera(5010.0f);
    EXPECT_EQ(DS_GlassBallLight::SharedPhase(), p1) << "turn mode 0 leaves the phase";
    EXPECT_EQ(still->SwingValue(), 0.0f);

    oneWay->UpdateCamera(5003.0f);
    const float p2 = DS_GlassBallLight::SharedPhase();
    EXPECT_NEAR(p2, p1 + step, 1e-3f) << "the other light moved the same phase on";
    otherWay->UpdateCamera(5003.0f);
    EXPECT_EQ(DS_GlassBallLight::SharedPhase(), p2);
    const auto scrollX = [](const DS_GlassBallLight& ball, int quad) {
        BufferLock<TexturedScreenVertex> lock(ball.ScrollQuad(quad).Buffer());
        return lock.Holds(4) ? lock[1].x : -1.0f;
    };
    const auto frac = [](float v) { return v - std::floor(v); };
    EXPECT_NEAR(scrollX(*oneWay, 0), 64.0f * frac(-0.5f * p2), 1e-2f);
    EXPECT_NEAR(scrollX(*oneWay, 1), 64.0f * (frac(-0.5f * p2) - 1.0f), 1e-2f);
    EXPECT_NEAR(scrollX(*otherWay, 0), 64.0f * frac(0.5f * p2), 1e-2f);
    EXPECT_EQ(oneWay->SwingValue(), 0.0f);
}

TEST_F(GlassBallTest, TextureMatrixOfBothPasses)
{
    auto ball = MakeBall(DS_GlassBallLight::kSwing);
    SetUpLight(*ball, kScene, PicturePosition::kFit);
    ball->SetBallTransforms(false);
    math::Matrix plain = ball->TextureMatrix();
    EXPECT_FLOAT_EQ(plain.m[3][0], 0.5f);
    EXPECT_FLOAT_EQ(plain.m[3][1], 0.5f);
    EXPECT_GT(plain.m[0][0], 0.0f);
    EXPECT_FLOAT_EQ(plain.m[1][1], -plain.m[0][0]) << "square picture in a square view";
    EXPECT_EQ(plain.m[2][0], 0.0f);
    // The bump pass shifts by the swing and reaches deeper (its bump scale).
    ball->UpdateCamera(6000.0f);
    ball->UpdateCamera(6001.0f);
    ball->SetBallTransforms(true);
    const math::Matrix bump = ball->TextureMatrix();
    const float shift = ball->SwingAmplitude() * ball->SwingValue();
    EXPECT_NEAR(bump.m[3][0], shift - std::floor(shift) + 0.5f, 1e-5f);
    EXPECT_LT(bump.m[0][0], plain.m[0][0]);
    std::uint32_t index = 0;
    device->GetTextureStageState(1, gfx::TextureStageState::TexCoordIndex, &index);
    EXPECT_EQ(index, gfx::TexCoordIndex::CameraSpacePosition | 1u);
}

// The composed frame: the scene in the disc, the gradient around it.
TEST_F(GlassBallTest, BallShowsTheSceneInsideAndTheBackdropAround)
{
    auto ball = MakeBall(DS_GlassBallLight::kNoTurn);
    SetUpLight(*ball, kScene, PicturePosition::kFit);
    ASSERT_TRUE(ball->CanCompose());
    auto pixels = Frame(*ball, 1.0f);
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 32, 32), kGreen, 8)) << Hex(At(pixels, 32, 32));
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 20, 40), kGreen, 8)) << Hex(At(pixels, 20, 40));
    EXPECT_GT(ChannelOf(At(pixels, 0, 0), 16), 0xC0) << "top corner: the top colour " << Hex(At(pixels, 0, 0));
    EXPECT_LT(ChannelOf(At(pixels, 0, 0), 0), 0x40);
    EXPECT_GT(ChannelOf(At(pixels, 63, 63), 0), 0xC0) << "bottom corner: the bottom colour " << Hex(At(pixels, 63, 63));

    // An overlay is drawn over the ball, inside the disc only.
    StorePicture(kOverlay, 8, 8, [](std::uint32_t, std::uint32_t) { return 0xFFFF00u; });
    ball->overlayALink.StorePathAndId(kOverlay.path, kOverlay.id);
    ball->overlayAOn.StoreValue(1);
    ball->CreateDeviceObjects();
    pixels = Frame(*ball, 1.0f);
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 32, 32), 0xFFFF00, 8)) << Hex(At(pixels, 32, 32));
    EXPECT_GT(ChannelOf(At(pixels, 0, 0), 16), 0xC0) << Hex(At(pixels, 0, 0));
    EXPECT_LT(ChannelOf(At(pixels, 0, 0), 8), 0x40) << Hex(At(pixels, 0, 0));

    // Without its texture an overlay is not drawn at all.
    ball->overlayALink.StorePathAndId(u"missing.bmp", 3);
    ball->CreateDeviceObjects();
    pixels = Frame(*ball, 1.0f);
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 32, 32), kGreen, 8)) << Hex(At(pixels, 32, 32));
}

TEST_F(GlassBallTest, ScrollingModesMoveTheSceneInsideTheBall)
{
    const auto stripes = [](std::uint32_t x, std::uint32_t) { return (x / 4) % 2 ? 0xFFFFFFu : 0x000000u; };
    for (int turn : {DS_GlassBallLight::kScrollOneWay, DS_GlassBallLight::kScrollOtherWay}) {
        SCOPED_TRACE(turn);
        auto ball = MakeBall(turn, stripes);
        SetUpLight(*ball, kScene, PicturePosition::kFit);
        const auto before = Frame(*ball, 7000.0f);
        const auto after = Frame(*ball, 7002.0f);
        int changed = 0;
        for (std::uint32_t y = 20; y < 44; ++y)
            for (std::uint32_t x = 20; x < 44; ++x)
                changed += ColourDistance(At(before, x, y), At(after, x, y)) > 64 ? 1 : 0;
        EXPECT_GT(changed, 50);
        EXPECT_FALSE(ball->InRenderTarget());
    }
}

// Backdrop mode 1 with a picture narrower than the view, in Fit: bars of
// trunc(L) + 1 pixels on both sides, as high as the view; a one-pixel top
// bar and a bottom bar just below the view.
TEST_F(GlassBallTest, BarsFrameANarrowPicture)
{
    StorePicture(kBackdropPicture, 16, 32, [](std::uint32_t, std::uint32_t) { return 0xFFFFFFu; });
    auto ball = MakeBall(DS_GlassBallLight::kNoTurn);
    ball->backdropMode.StoreValue(1);
    ball->pictureLink.StorePathAndId(kBackdropPicture.path, kBackdropPicture.id);
    SetUpLight(*ball, kScene, PicturePosition::kFit);
    const auto corners = [](const ScreenQuad& quad) {
        BufferLock<ScreenQuadVertex> lock(quad.Buffer());
        EXPECT_TRUE(lock.Holds(4));
        return FitRect{lock[1].x, lock[1].y, lock[3].x - lock[1].x, lock[0].y - lock[1].y};
    };
    EXPECT_EQ(corners(ball->BarQuad(DS_GlassBallLight::kLeftBar)), (FitRect{0, 0, 17, 64}));
    EXPECT_EQ(corners(ball->BarQuad(DS_GlassBallLight::kRightBar)), (FitRect{48, 0, 17, 64}));
    EXPECT_EQ(corners(ball->BarQuad(DS_GlassBallLight::kTopBar)), (FitRect{0, 0, 32, 1}));
    EXPECT_EQ(corners(ball->BarQuad(DS_GlassBallLight::kBottomBar)), (FitRect{0, 64, 32, 1}));
    const auto pixels = Frame(*ball, 1.0f);
    EXPECT_EQ(At(pixels, 3, 10) & 0xFFFFFFu, 0u) << "the left bar";
    EXPECT_EQ(At(pixels, 60, 10) & 0xFFFFFFu, 0u) << "the right bar";

    // The backdrop keeps its own mode through the frame's pass; the
    // gradient backdrop always fills.
    ball->SetPictureMode(PicturePosition::kFill);
    Frame(*ball, 2.0f);
    EXPECT_EQ(ball->BallPictureMode(), PicturePosition::kFill);
    ball->backdropMode.StoreValue(0);
    ball->SetPictureMode(PicturePosition::kFit);
    Frame(*ball, 3.0f);
    EXPECT_EQ(ball->BallPictureMode(), PicturePosition::kFill);
}

TEST_F(GlassBallTest, WithoutTheBallTheFrameIsStillShown)
{
    const auto stripes = [](std::uint32_t x, std::uint32_t) { return (x / 8) % 2 ? 0xFF0000u : 0x0000FFu; };
    // Plain: drawn as the plain light draws, without a pass of its own.
    auto plain = MakeBall(DS_GlassBallLight::kScrollOneWay, stripes);
    plain->plain.StoreValue(1);
    SetUpLight(*plain, kScene, PicturePosition::kFit);
    EXPECT_FALSE(plain->NeedsRenderTarget());
    auto pixels = Frame(*plain, 1.0f);
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 4, 32), 0x0000FF, 8)) << Hex(At(pixels, 4, 32));
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 20, 32), 0xFF0000, 8)) << Hex(At(pixels, 20, 32));

    // No render-target pair: the frame went straight to the target, and no
    // empty scroll quad covers it.
    auto unpaired = MakeBall(DS_GlassBallLight::kScrollOneWay, stripes);
    SetUpLight(*unpaired, kScene, PicturePosition::kFit);
    unpaired->Pair().ReleaseTextures();
    pixels = Frame(*unpaired, 2.0f);
    EXPECT_FALSE(unpaired->InRenderTarget());
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 4, 32), 0x0000FF, 8)) << Hex(At(pixels, 4, 32));

    // A backdrop picture that cannot be loaded: the scene, plainly.
    auto missing = MakeBall(DS_GlassBallLight::kNoTurn, stripes);
    missing->backdropMode.StoreValue(1);
    missing->pictureLink.StorePathAndId(u"missing.bmp", 4);
    SetUpLight(*missing, kScene, PicturePosition::kFit);
    EXPECT_FALSE(missing->CanCompose());
    pixels = Frame(*missing, 1.0f);
    EXPECT_FALSE(missing->InRenderTarget());
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 4, 32), 0x0000FF, 8)) << Hex(At(pixels, 4, 32));
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 20, 32), 0xFF0000, 8)) << Hex(At(pixels, 20, 32));
    for (const auto& row : missing->TextureMatrix().m)
        for (float value : row)
            EXPECT_TRUE(std::isfinite(value));
}

} // namespace
} // namespace fixed_light_test
