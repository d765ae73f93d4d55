// The object animations in one writer-made document, played headless through
// the player over a flat picture: a still animation whose linked effect
// bytes this platform cannot run draws through the built-in one, a still
// animation with no effect link draws nothing, copies wander inside their
// region, and a picture walks its path. Their stored screen blend mode
// never switches the target: the picture comes through wherever nothing
// was drawn.

#include <gtest/gtest.h>

#include "tests/player/HeadlessDocumentFixture.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/ObjectAnimationWriter.h"
#include "tests/support/PictureSceneWriter.h"

namespace {

using namespace generator_writer;
using description_writer::StoredLink;
using player_test::StoreBytes;

constexpr std::uint32_t kWidth = 320, kHeight = 180;
constexpr std::uint32_t kPictureRgb = 0x203040;
constexpr std::uint32_t kRedRgb = 0xFF0000;
const LinkKey kPictureLink{u"pictures\\flat.bmp", 41};
const StoredLink kRedLink{u"pictures\\red.bmp", 42};
const StoredLink kForeignEffect{u"effects\\still.fx", 45};

TexGeneratorFields Red(std::u16string name, const StoredLink& effect)
{
    TexGeneratorFields textured;
    textured.textures = {kRedLink};
    textured.effect = effect;
    textured.colour = 0xFFFFFF;
    textured.opacity = 0; // opaque
    textured.blendMode = 1; // screen: never taken by these objects
    textured.generator.base.name = std::move(name);
    return textured;
}

// Still animations over 20..60 x 20..60 (foreign effect bytes) and
// 80..120 x 20..60 (no effect); copies in 160..200 x 20..60; a walk from
// (40, 130) to (280, 130). The bottom rows and the right edge stay empty.
std::vector<std::uint8_t> AnimationsDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.0f).Float(1.5f).Float(60.0f).Int(0).WideString(u"Animations");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPictureLink.path;
    light.backgroundId = kPictureLink.id;
    light.camera.mode = 0;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(4);

    StaticAnimationFields still;
    still.rect.rect = RectCorners(20, 20, 40, 40);
    still.rect.base.textured = Red(u"Still", kForeignEffect);
    WriteStaticAnimation(w, still);

    StaticAnimationFields bare = still;
    bare.rect.rect = RectCorners(80, 20, 40, 40);
    bare.rect.base.textured = Red(u"Bare", StoredLink{});
    WriteStaticAnimation(w, bare);

    BrownAnimationFields brown;
    brown.count = 3;
    brown.size = 100;
    brown.region.region = RectangleQuad(180, 40, 40, 40);
    brown.region.textured = Red(u"Wanderers", StoredLink{});
    WriteBrownAnimation(w, brown);

    PathAnimationFields walker;
    walker.moveSpeed = 20; // 60 px/s
    walker.size = 200;     // 16 x 16
    walker.path.points = {{40, 130, 0}, {280, 130, 0}};
    walker.path.textured = Red(u"Walker", StoredLink{});
    WritePathAnimation(w, walker);

    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    StoreBytes(record.textureSetRecords, {kPictureLink.path, kPictureLink.id},
               docres_test::SolidBmp(kWidth, kHeight, kPictureRgb));
    StoreBytes(record.textureSetRecords, kRedLink, docres_test::SolidBmp(8, 8, kRedRgb));
    const std::string foreign = "technique Blend_Normal { pass P0 { PixelShader = compile ps_2_0 Main(); } }";
    StoreBytes(record.storedResources, kForeignEffect, std::vector<std::uint8_t>(foreign.begin(), foreign.end()));
    w.DocResManager(record);
    return w.Bytes();
}

class ObjectAnimationsSceneTest : public player_test::HeadlessDocumentFixture {
protected:
    ObjectAnimationsSceneTest() : HeadlessDocumentFixture("animations") {}

    static bool IsRed(std::uint32_t rgb) { return (rgb >> 16) > 0xE0 && (rgb & 0xFFFF) < 0x2020; }
};

TEST_F(ObjectAnimationsSceneTest, EachAnimationShowsWhereItShouldAndThePictureStaysElsewhere)
{
    const player::HeadlessFrame frame = RenderDocument(AnimationsDocument(), kWidth, kHeight, 1.0);
    ASSERT_EQ(frame.width, kWidth);
    for (const auto& [x, y] : {std::pair{310u, 10u}, std::pair{310u, 170u}, std::pair{140u, 90u}, std::pair{10u, 170u}})
        EXPECT_EQ(Rgb(frame, x, y), kPictureRgb) << x << ", " << y;

    EXPECT_TRUE(IsRed(Rgb(frame, 40, 40))) << "the built-in effect stands in for foreign bytes: " << std::hex
                                           << Rgb(frame, 40, 40);
    EXPECT_EQ(Rgb(frame, 100, 40), kPictureRgb) << "no effect link: nothing drawn";

    std::size_t wanderers = 0;
    for (std::uint32_t y = 10; y < 70; ++y)
        for (std::uint32_t x = 150; x < 210; ++x)
            wanderers += IsRed(Rgb(frame, x, y)) ? 1 : 0;
    EXPECT_GT(wanderers, 0u) << "the copies show in their region";

    std::size_t walked = 0;
    std::uint32_t walkedX = 0;
    for (std::uint32_t x = 30; x < 290; ++x)
        if (IsRed(Rgb(frame, x, 130))) {
            ++walked;
            walkedX = x;
        }
    EXPECT_GE(walked, 14u) << "the walker is 16 pixels wide";
    EXPECT_LE(walked, 18u);
    EXPECT_GT(walkedX, 48u) << "it has left its first point";
}

} // namespace
