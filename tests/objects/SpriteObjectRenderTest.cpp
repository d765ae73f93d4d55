// Sprite objects read from writer-made records and drawn headless through a
// picture scene set up as the player sets one up (its device reset states):
// a placed object covers exactly its bounds, a fish swimming left shows its
// picture mirrored, lighting adds to the picture while a plain sprite
// covers it, and a stored count beyond one batch is held to one batch.

#include "objects/ObjectClasses.h"
#include "objects/PlacedSpriteConstructors.h"
#include "tests/objects/SpriteObjectTestSupport.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"
#include "tests/support/SpriteObjectWriter.h"

namespace sprite_object_test {
namespace {

using namespace sprite_object_writer;
using namespace sprite_test;

// 8 x 4: red on the left half, green on the right.
const LinkKey kFishLink{u"pictures\\fish.bmp", 31};

class SpriteObjectRenderTest : public SpriteSceneTest {
protected:
    void SetUp() override
    {
        SpriteSceneTest::SetUp();
        if (HasFatalFailure())
            return;
        RegisterObjectClasses();
        DocResManagerRecord record;
        ModuleResourceBlob fish(kFishLink.path);
        fish.SetBytes(docres_test::BmpPicture(8, 4, [](std::uint32_t x, std::uint32_t) {
            return x < 4 ? kRedRgb : kGreenRgb;
        }));
        record.textureSetRecords[kFishLink] = {fish};
        StorePictures(record);
    }
    void TearDown() override
    {
        light.reset();
        SpriteSceneTest::TearDown();
    }

    // The sprite array of the record `write` writes.
    template <class Fields>
    DS_SpriteArrayObj& Made(DocumentWriter& (*write)(DocumentWriter&, const Fields&), const Fields& fields)
    {
        DocumentWriter w;
        write(w, fields);
        auto description = ReadObjectAs<DS_ParticleSystemCtrl>(w.Bytes());
        EXPECT_NE(description, nullptr);
        std::unique_ptr<KXI_RenderObj> made = description->CreateRenderObject();
        auto* array = dynamic_cast<DS_SpriteArrayObj*>(made.get());
        EXPECT_NE(array, nullptr);
        objects.push_back(DS_SafePtr<KXI_RenderObj>(made.release()));
        return *array;
    }

    std::vector<std::uint32_t> Frame(float time)
    {
        for (const auto& object : objects)
            object->Update(time);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    static description_writer::SpriteFields Sprites(const LinkKey& picture, std::uint32_t size, std::int32_t colour)
    {
        description_writer::SpriteFields sprite;
        sprite.spriteImage = {std::u16string(picture.path), picture.id};
        sprite.spriteSize = size;
        sprite.colour = colour;
        return sprite;
    }

    static StatObjFields Placed(std::int32_t colour)
    {
        StatObjFields placed;
        placed.bounds = {0, 0, 0, 0, 2, 2};
        placed.sprite = Sprites(kWhiteLink, 2, colour);
        return placed;
    }

    std::unique_ptr<DS_2D_Light> light;
    RenderObjectList objects;
};

// The 4 x 4 picture fills the 64 x 64 target: a picture pixel is 16 x 16.
TEST_F(SpriteObjectRenderTest, APlacedObjectCoversExactlyItsBounds)
{
    light = MakeLight(kBlackLink, PicturePosition::kStretch);
    DS_SpriteArrayObj& array = Made(&WriteStatObj, Placed(0xFFFFFF));
    const auto pixels = Frame(0.1f);
    const auto& placed = static_cast<const DS_StatObjConstructor&>(array.Controller());
    EXPECT_EQ(placed.bounds.left.value, 1);
    EXPECT_EQ(placed.bounds.right.value, 3);
    EXPECT_EQ(placed.bounds.top.value, 1);
    EXPECT_EQ(placed.bounds.bottom.value, 3);
    for (std::uint32_t inside : {17u, 32u, 46u})
        ExpectPixel(pixels, inside, inside, 0xFFFFFF);
    for (auto [x, y] : {std::pair{14u, 30u}, {49u, 30u}, {30u, 14u}, {30u, 49u}})
        ExpectPixel(pixels, x, y, kBlackRgb);
}

TEST_F(SpriteObjectRenderTest, AFishSwimmingLeftShowsItsPictureMirrored)
{
    light = MakeLight(kBlackLink, PicturePosition::kStretch);
    FishFields fields;
    fields.maxSpeedX = fields.maxSpeedY = 0.0f;
    fields.sprite = Sprites(kFishLink, 4, 0xFFFFFF);
    DS_SpriteArrayObj& array = Made(&WriteFish, fields);
    SpriteParticle& fish = *array.Sprites()[0];
    fish.position = {2.0f, 2.0f, 0.0f};
    EXPECT_GT(fish.halfWidth, 0.0f);
    auto pixels = Frame(0.1f);
    ExpectPixel(pixels, 16, 32, kRedRgb);
    ExpectPixel(pixels, 48, 32, kGreenRgb);

    fish.velocity.x = -0.001f;
    fish.halfWidth = -fish.halfWidth;
    pixels = Frame(0.2f);
    ExpectPixel(pixels, 16, 32, kGreenRgb);
    ExpectPixel(pixels, 48, 32, kRedRgb);
}

// Over a red picture a green flash makes yellow; a green placed sprite
// (blend mode 0) covers the red.
TEST_F(SpriteObjectRenderTest, LightingAddsToThePictureWhileAPlainSpriteCoversIt)
{
    light = MakeLight(kRedLink, PicturePosition::kStretch);
    LightingFields lighting{2, 100, 100, Sprites(kWhiteLink, 4, 0x00FF00)};
    lighting.sprite.blendMode = 1;
    Made(&WriteLighting, lighting);
    auto pixels = Frame(0.1f);
    ExpectPixel(pixels, 32, 32, 0xFFFF00, 24);

    objects.clear();
    Made(&WriteStatObj, Placed(0x00FF00));
    pixels = Frame(0.2f);
    ExpectPixel(pixels, 32, 32, kGreenRgb, 24);
}

TEST_F(SpriteObjectRenderTest, AStoredCountBeyondOneBatchIsHeldToOneBatch)
{
    light = MakeLight(kBlackLink, PicturePosition::kStretch);
    FlowFields flow;
    flow.speed = 1.0f;
    flow.sprite = Sprites(kWhiteLink, 1, 0xFFFFFF);
    flow.sprite.spriteCount = 4000000000u;
    DS_SpriteArrayObj& array = Made(&WriteFlow, flow);
    EXPECT_EQ(array.Sprites().size(), ParticleGeomArray::kMaxSprites);
    Frame(0.1f);
    EXPECT_EQ(array.Describe().quadCount, ParticleGeomArray::kMaxSprites);
}

} // namespace
} // namespace sprite_object_test
