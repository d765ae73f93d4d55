// Sprite arrays: sprites follow the sprite count (bounded), one quad per
// sprite with flips, frame strips and animated-picture extents, the shared
// sprite operations, and what the picture scene draws of an array.

#include <array>
#include <limits>
#include <string>

#include "tests/particles/systems/SpriteSystemTestSupport.h"

namespace sprite_test {
namespace {

class SpriteArrayTest : public SpriteSceneTest {
protected:
    void SetUp() override
    {
        SpriteSceneTest::SetUp();
        if (HasFatalFailure())
            return;
        StorePictures();
    }

    std::unique_ptr<ProbeArray> Make(const TestSpriteCtrl& description)
    {
        return std::make_unique<ProbeArray>(description.Clone());
    }
    static TestSpriteCtrl& Ctrl(ParticleGeomArray& array) { return static_cast<TestSpriteCtrl&>(array.Controller()); }
};

TEST_F(SpriteArrayTest, SpritesFollowTheCountFromTheBack)
{
    TestSpriteCtrl description;
    description.spriteCount.StoreValue(3);
    auto array = Make(description);
    ASSERT_EQ(array->Sprites().size(), 3u);
    EXPECT_EQ(Ctrl(*array).started, 3);
    EXPECT_EQ(array->Quads().QuadCapacity(), 3);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(array->Sprites()[i]->position.x, 10.0f * static_cast<float>(i + 1)) << i;

    Ctrl(*array).spriteCount.SetValue(5, nullptr);
    ASSERT_EQ(array->Sprites().size(), 5u);
    const SpriteParticle* first = array->Sprites()[0].get();
    const SpriteParticle* second = array->Sprites()[1].get();
    Ctrl(*array).spriteCount.SetValue(2, nullptr);
    ASSERT_EQ(array->Sprites().size(), 2u);
    EXPECT_EQ(array->Sprites()[0].get(), first);
    EXPECT_EQ(array->Sprites()[1].get(), second);
    EXPECT_FLOAT_EQ(second->position.y, 40.0f);
    EXPECT_EQ(Ctrl(*array).started, 5) << "kept sprites are not started again";
    EXPECT_EQ(array->Quads().QuadCapacity(), 2);
}

TEST_F(SpriteArrayTest, AHugeStoredCountIsHeldToOneBatchAndZeroDrawsNothing)
{
    TestSpriteCtrl description;
    Link(description.spriteImage, kRedLink);
    description.spriteCount.StoreValue(4000000000u);
    auto huge = Make(description);
    EXPECT_EQ(huge->Sprites().size(), std::size_t(ParticleGeomArray::kMaxSprites));
    EXPECT_EQ(huge->Quads().QuadCapacity(), 16383);
    huge->Animate(0.1f); // writes the clamped count of quads
    EXPECT_EQ(huge->Describe().quadCount, 16383u);
    huge.reset();

    description.spriteCount.StoreValue(0);
    auto none = Make(description);
    none->Animate(0.1f);
    EXPECT_TRUE(none->Sprites().empty());
    EXPECT_EQ(none->Describe().quadCount, 0u);
}

TEST_F(SpriteArrayTest, QuadsFollowPositionAxesExtentsAndFlips)
{
    struct Case {
        const char* name;
        std::int32_t flipU;
        std::int32_t flipV;
        std::array<float, 4> u; // per vertex
        std::array<float, 4> v;
    };
    const Case cases[] = {
        {"plain", 0, 0, {0, 0, 1, 1}, {1, 0, 1, 0}},
        {"flip u", 1, 0, {1, 1, 0, 0}, {1, 0, 1, 0}},
        {"flip v", 0, 1, {0, 0, 1, 1}, {0, 1, 0, 1}},
        {"both", 1, 1, {1, 1, 0, 0}, {0, 1, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSpriteCtrl description;
        description.flipU.StoreValue(c.flipU);
        description.flipV.StoreValue(c.flipV);
        description.colour.StoreValue(0x0000FF); // red
        description.transparency.SetValue(50, nullptr);  // alpha byte 127
        auto array = Make(description);
        SpriteParticle& sprite = *array->Sprites()[0];
        sprite.position = {100, 50, 0};
        sprite.halfWidth = 10;
        sprite.halfHeight = 5;
        sprite.colour = PackSpriteColour(0x0000FF, 127, 1.0f);
        array->FillVertices(array->Controller());

        const auto v = ReadVertices(*array);
        ASSERT_EQ(v.size(), 4u);
        const float x[4] = {90, 90, 110, 110};
        const float y[4] = {55, 45, 55, 45};
        for (int k = 0; k < 4; ++k) {
            EXPECT_FLOAT_EQ(v[k].x, x[k]) << k;
            EXPECT_FLOAT_EQ(v[k].y, y[k]) << k;
            EXPECT_FLOAT_EQ(v[k].u, c.u[k]) << k;
            EXPECT_FLOAT_EQ(v[k].v, c.v[k]) << k;
            EXPECT_EQ(v[k].colour, 0x7FFF0000u) << k; // the timeline is fully on
        }
    }
}

TEST_F(SpriteArrayTest, AFrameStripAdvancesWithTheAnimationClockAndWraps)
{
    TestSpriteCtrl description;
    description.framesInOneImage = 1;
    description.frameCount = 4;
    description.frameRate = 2.0f;
    auto array = Make(description);
    TestSpriteCtrl& ctrl = Ctrl(*array);

    // (animation clock, strip frame shown); a frame lasts more than 0.5 s.
    const std::pair<float, std::uint32_t> steps[] = {{0.0f, 0}, {0.5f, 0}, {0.6f, 1}, {1.2f, 2}, {1.8f, 3}, {2.4f, 0}};
    for (const auto& [clock, frame] : steps) {
        SCOPED_TRACE(clock);
        ctrl.animationClock = clock;
        array->FillVertices(ctrl);
        EXPECT_EQ(array->StripFrame(), frame);
        const auto v = ReadVertices(*array);
        EXPECT_FLOAT_EQ(v[0].u, 0.25f * static_cast<float>(frame));
        EXPECT_FLOAT_EQ(v[2].u, 0.25f * static_cast<float>(frame + 1));
    }

    // A strip of no frames and 0 frames per second stays whole and still.
    ctrl.frameCount = 0;
    ctrl.frameRate = 0.0f;
    array = Make(ctrl);
    Ctrl(*array).animationClock = 10.0f;
    array->FillVertices(Ctrl(*array));
    const auto v = ReadVertices(*array);
    EXPECT_EQ(array->StripFrame(), 0u);
    EXPECT_FLOAT_EQ(v[0].u, 0.0f);
    EXPECT_FLOAT_EQ(v[2].u, 1.0f);
}

TEST_F(SpriteArrayTest, AnAnimatedPictureSpansItsPartOfTheTexture)
{
    TestSpriteCtrl description;
    description.imageKind = DS_BaseSpriteProp::kImageKindAnimated;
    description.flipU.StoreValue(1);
    auto array = Make(description);
    array->PictureFrames().uScale = 0.75f;
    array->PictureFrames().vScale = 0.5f;
    array->Animate(0.1f);
    const auto v = ReadVertices(*array);
    const float u[4] = {0.75f, 0.75f, 0, 0};
    const float vv[4] = {0.5f, 0, 0.5f, 0};
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(v[k].u, u[k]) << k;
        EXPECT_FLOAT_EQ(v[k].v, vv[k]) << k;
    }
}

TEST_F(SpriteArrayTest, RedrawOnFrameChangeKeepsTheQuadsUntilThePictureMoves)
{
    TestSpriteCtrl description;
    description.redrawOnFrameChange.StoreValue(1);
    auto array = Make(description);
    array->PictureFrames().frameDurations = {0.25f, 0.25f};
    array->PictureFrames().frameTextures.resize(2);
    SpriteParticle& sprite = *array->Sprites()[0];

    sprite.position = {30, 30, 0};
    array->Animate(0.1f); // object clock 0.1: the frame stays
    EXPECT_NE(ReadVertices(*array)[0].x, 30.0f - sprite.halfWidth) << "no redraw while the frame stays";
    array->Animate(0.3f); // object clock 0.3: the next frame
    EXPECT_EQ(array->PictureFrames().currentFrame, 1);
    EXPECT_FLOAT_EQ(ReadVertices(*array)[0].x, 30.0f - sprite.halfWidth);
    EXPECT_EQ(Ctrl(*array).updates, 2) << "sprites are updated every frame";
}

TEST_F(SpriteArrayTest, HalfExtentsFollowThePictureShape)
{
    struct Case {
        const char* name;
        std::uint8_t strip;
        std::uint32_t frames;
        float halfWidth;
        float halfHeight;
    };
    // The wide picture is 8 x 4 (ratio 0.5); size 100, size factor 1.
    const Case cases[] = {
        {"picture ratio 0.5", 0, 1, 50, 25},
        {"a strip of two frames is square", 1, 2, 50, 50},
        {"a strip of four frames is tall", 1, 4, 25, 50},
        {"a strip of no frames counts one", 1, 0, 50, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSpriteCtrl description;
        Link(description.spriteImage, kWideLink);
        description.spriteSize.StoreValue(100);
        description.framesInOneImage = c.strip;
        description.frameCount = c.frames;
        auto array = Make(description);
        EXPECT_FLOAT_EQ(array->Sprites()[0]->halfWidth, c.halfWidth);
        EXPECT_FLOAT_EQ(array->Sprites()[0]->halfHeight, c.halfHeight);
    }
}

TEST_F(SpriteArrayTest, TheTextExportWritesKeySegments)
{
    TestSpriteCtrl description;
    description.spriteCount.StoreValue(2);
    auto array = Make(description);
    SpriteParticle& mirrored = *array->Sprites()[0];
    mirrored.position = {10, 20, 0};
    mirrored.halfWidth = -2; // mirrored: its x axis row turns round
    mirrored.halfHeight = 1;
    SpriteParticle& flat = *array->Sprites()[1];
    flat.position = {5, 5, 0};
    flat.halfWidth = 0; // no extent: the axis keeps its sign
    flat.halfHeight = 0;
    flat.colour = 0x80FFFFFFu;
    const std::string block = "[ {x:12,y:19,cx:4,cy:2,tr:[-1,0,0,0,1,0],a:1},"
                              "{x:5,y:5,cx:0,cy:0,tr:[1,0,0,0,1,0],a:0.501961}, ],";

    FrameTextWriter writer;
    for (int frame = 0; frame < 11; ++frame)
        array->OnSpriteCommand(writer, 0);
    array->OnSpriteCommand(writer, 1);
    // The first call opens both texts; the eleventh frame after it passes
    // the base's limit of 10 and starts a key segment; the last closes.
    EXPECT_EQ(writer.mainText, "[ [0,1,11],[1,2,1] ]");
    EXPECT_EQ(writer.spriteText, "[ " + block + block + block + " ]");
    EXPECT_EQ(writer.keyCounter, 1);
}

TEST(SpriteOperations, ColourExtentsAndAlphaSwing)
{
    EXPECT_EQ(PackSpriteColour(0x0000FF, 255, 0.5f), 0x7FFF0000u);
    EXPECT_EQ(PackSpriteColour(0x336699, 255, 1.0f), 0xFF996633u);
    EXPECT_EQ(PackSpriteColour(0xFFFFFF, 200, 1.5f), 0x2CFFFFFFu) << "300 keeps its low byte";

    SpriteParticle sprite;
    sprite.sizeFactor = 0.5f;
    sprite.aspect = 2.0f;
    SetSpriteHalfExtents(sprite, 64);
    EXPECT_FLOAT_EQ(sprite.halfHeight, 16.0f);
    EXPECT_FLOAT_EQ(sprite.halfWidth, 8.0f);

    TestSpriteCtrl controller;
    controller.brightnessMin = 0.2f;
    controller.brightnessMax = 1.0f;
    struct Case {
        float alpha, rate, dt;
        bool reborn;
        float alphaAfter, rateAfter;
        int started;
    };
    const Case cases[] = {
        {0.95f, 1.0f, 0.1f, false, 1.0f, -1.0f, 0},
        {0.5f, 1.0f, 0.1f, false, 0.6f, 1.0f, 0},
        {0.25f, -1.0f, 0.1f, true, 0.2f, 1.0f, 1},
        {0.25f, -1.0f, 0.1f, false, 0.2f, 1.0f, 0},
    };
    for (const Case& c : cases) {
        controller.started = 0;
        sprite.alpha = c.alpha;
        sprite.alphaRate = c.rate;
        OscillateSpriteAlpha(controller, sprite, c.dt, c.reborn);
        EXPECT_FLOAT_EQ(sprite.alpha, c.alphaAfter);
        EXPECT_FLOAT_EQ(sprite.alphaRate, c.rateAfter);
        EXPECT_EQ(controller.started, c.started);
    }
}

// ---- what the picture scene draws -------------------------------------------------

class SpriteArrayDrawTest : public SpriteArrayTest {
protected:
    void SetUp() override
    {
        SpriteArrayTest::SetUp();
        if (HasFatalFailure())
            return;
        light = MakeLight(kBlackLink, PicturePosition::kStretch);
        ASSERT_TRUE(HasSpriteArrayDescriber());
    }
    void TearDown() override
    {
        light.reset();
        SpriteArrayTest::TearDown();
    }

    // Two 4 x 4 sprites of `link` at canvas (4, 4) and (20, 8); the black
    // picture is 4 x 4, stretched over the 64 x 64 target: x 16 each way.
    std::unique_ptr<ProbeArray> TwoSprites(const LinkKey& link)
    {
        TestSpriteCtrl description;
        Link(description.spriteImage, link);
        description.spriteCount.StoreValue(2);
        auto array = Make(description);
        for (const auto& sprite : array->Sprites()) {
            sprite->halfWidth = 0.25f;
            sprite->halfHeight = 0.25f;
        }
        array->Sprites()[0]->position = {0.5f, 0.5f, 0};
        array->Sprites()[1]->position = {2.5f, 1.5f, 0};
        array->Animate(0.0f);
        return array;
    }

    std::vector<std::uint32_t> Draw(ProbeArray& array)
    {
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->DrawTexturedBatch(array);
        return BackBufferPixels();
    }

    std::unique_ptr<DS_2D_Light> light;
};

TEST_F(SpriteArrayDrawTest, SpritesLandWhereTheirPositionsSay)
{
    auto array = TwoSprites(kRedLink);
    const auto pixels = Draw(*array);
    ExpectPixel(pixels, 8, 8, kRedRgb);   // canvas (0.5, 0.5)
    ExpectPixel(pixels, 40, 24, kRedRgb); // canvas (2.5, 1.5)
    ExpectPixel(pixels, 24, 8, kBlackRgb);
    ExpectPixel(pixels, 8, 40, kBlackRgb);
}

TEST_F(SpriteArrayDrawTest, AMissingPictureDrawsNothing)
{
    auto array = TwoSprites(LinkKey{u"pictures\\missing.bmp", 99});
    EXPECT_EQ(array->Describe().quads, nullptr);
    const auto pixels = Draw(*array);
    ExpectPixel(pixels, 8, 8, kBlackRgb);
    ExpectPixel(pixels, 40, 24, kBlackRgb);
}

TEST_F(SpriteArrayDrawTest, TheRecordCarriesBlendModeOverlayAndCount)
{
    TestSpriteCtrl description;
    Link(description.spriteImage, kRedLink);
    Link(description.secondImage, kWhiteLink);
    description.blendMode.StoreValue(1);
    description.spriteCount.StoreValue(3);
    auto array = Make(description);
    const SpriteArrayDraw draw = array->Describe();
    EXPECT_EQ(draw.quads, &array->Quads());
    EXPECT_EQ(draw.frameTexture, manager->GetTexture(DS_FileLink3(kRedLink.id, kRedLink.path)).textures[0].Get());
    EXPECT_EQ(draw.overlayTexture, manager->GetTexture(DS_FileLink3(kWhiteLink.id, kWhiteLink.path)).textures[0].Get());
    EXPECT_EQ(draw.overlayTexture, array->GetHeldTexture());
    EXPECT_EQ(draw.blendMode, 1);
    EXPECT_EQ(draw.quadCount, 3u);
}

TEST_F(SpriteArrayDrawTest, ACameraMoveShiftsTheSpritesWithThePicture)
{
    auto array = TwoSprites(kRedLink);
    // The camera looks 1 canvas unit left of the middle: everything moves 1
    // unit (16 pixels) right.
    renderContext->SetCameraView(4, 4, math::Vec3{1, 2, 0}, 1.0f, true);
    const auto pixels = Draw(*array);
    ExpectPixel(pixels, 24, 8, kRedRgb);
    ExpectPixel(pixels, 8, 8, kBlackRgb);
    ExpectPixel(pixels, 56, 24, kRedRgb);
}

} // namespace
} // namespace sprite_test
