// The text descriptions: their stored versions (legacy timing, the key of
// the text picture), the sprite they shape, the scroll state handed to the
// effect, the font value with its undo history, and a text picture stored
// under its key drawn headless from a writer-made document.

#include <gtest/gtest.h>

#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "objects/ObjectClasses.h"
#include "objects/TextDescriptions.h"
#include "particles/systems/SpriteParticle.h"
#include "render/BuiltinEffects.h"
#include "render/Timelines.h"
#include "render/TimingSmart.h"
#include "tests/objectmodel/UndoTestSink.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"
#include "tests/support/TextObjectWriter.h"
#include "tests/support/TgaFixture.h"

namespace {

using namespace sprite_test;
using text_writer::ScrollingTextDescriptionFields;
using text_writer::StaticTextDescriptionFields;

const crt::Guid kKey = crt::ParseGuid(u"{6B29FC40-CA47-1067-B31D-00DD010662DA}");

template <class T>
std::unique_ptr<T> ReadAs(const DocumentWriter& w)
{
    RegisterObjectClasses();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u) << "the record reads in step";
    auto* object = dynamic_cast<T*>(item.get());
    if (!object)
        return nullptr;
    item.release();
    return std::unique_ptr<T>(object);
}

StaticTextDescriptionFields SampleText(std::int32_t version)
{
    StaticTextDescriptionFields f;
    f.version = version;
    f.valueA = 7;
    f.text = u"Hello";
    f.font = {18, 400, 2, u"Serif"};
    f.keyGuid = kKey;
    f.keyName = u"title";
    f.keepFlag = 0;
    f.stat.centre = {120.0f, 80.0f, 0.0f};
    f.stat.width = 200;
    f.stat.height = 50;
    return f;
}

TEST(TextDescriptionRecordTest, VersionsReadTheirOwnFields)
{
    struct Case {
        const char* what;
        std::int32_t version;
        std::array<std::uint32_t, 4> legacy; // fade-in, fade-out, on, off
        bool randomTimeline;
        bool keyStored;
    };
    const Case cases[] = {
        {"version 1, on time 0", 1, {100, 200, 0, 300}, false, false},
        {"version 1, legacy timing", 1, {100, 200, 500, 300}, true, false},
        {"version 2", 2, {100, 200, 500, 300}, false, false},
        {"version 3", 3, {100, 200, 500, 300}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StaticTextDescriptionFields f = SampleText(c.version);
        f.legacyTiming = c.legacy;
        DocumentWriter w;
        text_writer::WriteStaticTextDescription(w, f);
        const auto text = ReadAs<DS_StaticTextConstructor>(w);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->valueA.value, 7);
        EXPECT_EQ(text->text.value, u"Hello");
        EXPECT_EQ(text->font.value, (FontData{18, 400, 2, u"Serif"}));
        EXPECT_EQ(text->centre.value.x, 120.0f) << "the base section reads in step";
        EXPECT_EQ(text->width.value, 200u);

        auto* random = dynamic_cast<KXI_RandomTimeLine*>(text->timing.CurrentTimeline());
        EXPECT_EQ(random != nullptr, c.randomTimeline);
        if (random) {
            EXPECT_EQ(text->timing.Selector(), KXI_SmartTiming::kRandom);
            EXPECT_EQ(random->fadeIn.value, 10u);
            EXPECT_EQ(random->fadeOut.value, 20u);
            EXPECT_EQ(random->onLength.min.value, 50u);
            EXPECT_EQ(random->onLength.max.value, 50u);
            EXPECT_EQ(random->offLength.min.value, 30u);
            EXPECT_EQ(random->offLength.max.value, 30u);
        }
        EXPECT_EQ(text->key.guid == kKey, c.keyStored);
        EXPECT_EQ(text->key.name, c.keyStored ? u"title" : u"");
        EXPECT_EQ(text->keepFlag, c.keyStored ? 0 : 1);
    }
}

TEST(TextDescriptionRecordTest, ScrollingVersionsAndTheLinkReadInStep)
{
    for (const std::int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        ScrollingTextDescriptionFields f;
        f.version = version;
        f.period = 4;
        f.directionMode = 3;
        f.tileHeight = 25.0f;
        f.tileWidth = 50.0f;
        f.text = SampleText(3);
        DocumentWriter w;
        text_writer::WriteScrollingTextDescription(w, f);
        const auto scrolling = ReadAs<DS_ScrollingTextConstructor>(w);
        ASSERT_NE(scrolling, nullptr);
        EXPECT_EQ(scrolling->period.value, 4u);
        EXPECT_EQ(scrolling->directionMode.value, 3);
        EXPECT_EQ(scrolling->tileWidth, version == 1 ? 0.0f : 50.0f);
        EXPECT_EQ(scrolling->key.name, u"title");

        // A tile of 0 is the item's own size: the picture once.
        SpriteParticle sprite;
        scrolling->UpdateSprite(sprite);
        EXPECT_FLOAT_EQ(sprite.texU1, version == 1 ? 1.0f : 4.0f);
        EXPECT_FLOAT_EQ(sprite.texV1, version == 1 ? 1.0f : 2.0f);
        EXPECT_EQ(sprite.texU0, 0.0f);
    }
    text_writer::TextLinkDescriptionFields link;
    link.linkNumber = 9;
    link.text = SampleText(3);
    DocumentWriter w;
    text_writer::WriteTextLinkDescription(w, link);
    const auto read = ReadAs<DS_TextLinkConstructor>(w);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->linkNumber.value, 9u);
    EXPECT_EQ(read->font.value.face, u"Serif");
}

TEST(TextDescriptionSpriteTest, SpriteTakesCentreSizesAndTheAlphaByte)
{
    DS_StaticTextConstructor text;
    text.centre.StoreValue({30.0f, 40.0f, 0.0f});
    text.width.StoreValue(101);
    text.height.StoreValue(20);
    text.transparency.SetValue(50, nullptr); // alpha byte 127
    SpriteParticle sprite;
    sprite.alpha = 1.0f;
    text.UpdateSprite(sprite);
    EXPECT_EQ(sprite.position, (math::Vec3{30.0f, 40.0f, 0.0f}));
    EXPECT_FLOAT_EQ(sprite.halfWidth, 50.5f);
    EXPECT_FLOAT_EQ(sprite.halfHeight, 10.0f);
    EXPECT_EQ(text.Alpha(), 127);
    EXPECT_EQ(sprite.colour, 0x7FFF0000u) << "red tint with the alpha byte";
}

TEST(TextDescriptionLinkTest, HitsWithinTheHalvedSizesScaledFromTheWindow)
{
    // No render context: the view leaves the scaled point as it is.
    DS_DocResManager manager;
    CurrentDocResManagerScope scope(&manager);
    manager.ScreenInfoRecord().scaleX = 0.5f;
    manager.ScreenInfoRecord().scaleY = 0.5f;
    DS_TextLinkConstructor link;
    link.centre.StoreValue({100.0f, 50.0f, 0.0f});
    link.width.StoreValue(41); // halved to 20
    link.height.StoreValue(20);
    struct Case {
        int x, y;
        bool hit;
    };
    const Case cases[] = {{160, 80, true},  {240, 120, true}, {159, 100, false},
                          {241, 100, false}, {200, 79, false}, {200, 121, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        EXPECT_EQ(link.HitTest(float(c.x), float(c.y)), c.hit);
        EXPECT_EQ(link.OnMouseMove(c.x, c.y), c.hit ? 1 : 0);
        EXPECT_EQ(link.OnMouseClick(c.x, c.y), c.hit ? 1 : 0);
    }
    HoldTimeline(link, kTimingOff, 0.0f);
    EXPECT_EQ(link.OnMouseMove(200, 100), 0) << "no hand while off";
    EXPECT_EQ(link.OnMouseClick(0, 0), 1);
}

TEST(TextDescriptionScrollTest, ShiftsFollowTheDirectionMode)
{
    struct Case {
        std::int32_t mode;
        std::uint32_t period;
        bool off;
        std::array<float, 2> afterOne; // shift after one step of 0.5 s
        std::array<float, 2> afterTwo;
    };
    // Offsets start at (0, 1/3); period 2 moves 0.25 a step.
    const Case cases[] = {
        {0, 2, false, {-0.25f, 0.0f}, {0.5f, 0.0f}},
        {1, 2, false, {0.25f, 0.0f}, {-0.5f, 0.0f}},
        {2, 2, false, {0.0f, 0.75f}, {0.0f, 1.5f}},
        {3, 2, false, {0.0f, -0.75f}, {0.0f, 0.5f}},
        // Switched off: both offsets 0, the shift of a = 0 is 1.
        {0, 2, true, {1.0f, 0.0f}, {1.0f, 0.0f}},
        {3, 2, true, {0.0f, 1.0f}, {0.0f, 1.0f}},
        // Period 0 does not scroll.
        {0, 0, false, {1.0f, 0.0f}, {1.0f, 0.0f}},
        {2, 0, false, {0.0f, 0.0f}, {0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " period " << c.period << " off " << c.off);
        DS_ScrollingTextConstructor text;
        text.directionMode.StoreValue(c.mode);
        text.period.StoreValue(c.period);
        text.StepScroll(c.off, 0.5f);
        EXPECT_NEAR(text.Shift()[0], c.afterOne[0], 1e-5f);
        EXPECT_NEAR(text.Shift()[1], c.afterOne[1], 1e-5f);
        text.StepScroll(c.off, 0.5f);
        EXPECT_NEAR(text.Shift()[0], c.afterTwo[0], 1e-5f);
        EXPECT_NEAR(text.Shift()[1], c.afterTwo[1], 1e-5f);
    }
}

TEST(FontValueTest, EqualityAndUndoHistory)
{
    const FontData arial;
    EXPECT_EQ(arial, (FontData{32, 700, 0, u"Arial"}));
    for (const FontData& other : {FontData{31, 700, 0, u"Arial"}, FontData{32, 400, 0, u"Arial"},
                                  FontData{32, 700, 1, u"Arial"}, FontData{32, 700, 0, u"Serif"}})
        EXPECT_NE(arial, other);

    struct Editor : MediaControl {
        void OnParamChanged(MediaControl*) override { ++heard; }
        int heard = 0;
    };
    UndoTestSink sink;
    Editor editor, watcher;
    FontMediaParam font;
    font.AddControl(&watcher);
    EXPECT_FALSE(font.SetChangedValue(arial, &editor)) << "an equal value changes nothing";
    font.SetValue({32, 700, 0, u"Serif"}, &editor);
    font.SetValue({12, 700, 0, u"Serif"}, &editor);
    EXPECT_EQ(watcher.heard, 2);
    font.undo.Undo();
    EXPECT_EQ(font.value, (FontData{32, 700, 0, u"Serif"}));
    font.undo.Undo();
    EXPECT_EQ(font.value, arial);
    font.undo.Redo();
    EXPECT_EQ(font.value.face, u"Serif");
    font.RemoveControl(&watcher);
}

// ---- drawing --------------------------------------------------------------------------

const LinkKey kForeignEffectLink{u"fx\\text.fx", 31};

class TextDescriptionRenderTest : public SpriteSceneTest {
protected:
    void SetUp() override
    {
        SpriteSceneTest::SetUp();
        if (HasFatalFailure())
            return;
        RegisterObjectClasses();
        DocResManagerRecord record;
        ModuleResourceBlob hlsl{kxi_string(u"text.fx")};
        const std::string_view source = "technique ScrollText { pass P { PixelShader = compile ps_2_0 Text(); } }";
        hlsl.SetBytes(std::vector<std::uint8_t>(source.begin(), source.end()));
        record.storedResources[kForeignEffectLink] = {hlsl};
        // 4 x 4: the left half white, the right half transparent.
        GuidTextureRecord picture;
        picture.key.guid = kKey;
        picture.blob = ResourceBlob{};
        picture.blob.SetBytes(docres_test::TgaPicture(
            4, 4, [](std::uint32_t x, std::uint32_t) { return x < 2 ? 0xFFFFFFFFu : 0x00000000u; }));
        record.guidTextures[picture.key] = picture;
        StorePictures(record);
        light = MakeLight(kBlackLink, PicturePosition::kStretch);
    }
    void TearDown() override
    {
        objects.clear();
        light.reset();
        SpriteSceneTest::TearDown();
    }

    std::vector<std::uint32_t> Frame(float time)
    {
        for (const auto& object : objects)
            object->Update(time);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    // A description covering the 4 x 4 picture (a canvas unit is 16 pixels).
    static StaticTextDescriptionFields Covering(const crt::Guid& key, const LinkKey& effect)
    {
        StaticTextDescriptionFields f;
        f.keyGuid = key;
        f.stat.centre = {2.0f, 2.0f, 0.0f};
        f.stat.width = 4;
        f.stat.height = 4;
        f.stat.base.fx.effect = {std::u16string(effect.path), effect.id};
        f.stat.base.fx.sprite.colour = 0x00FF00; // green tint
        return f;
    }

    std::unique_ptr<DS_2D_Light> light;
    RenderObjectList objects;
};

TEST_F(TextDescriptionRenderTest, TheStoredPictureDrawsWithTheBuiltInEffect)
{
    struct Case {
        const char* what;
        crt::Guid key;
        LinkKey effect;
        std::uint32_t left;
    };
    const Case cases[] = {
        {"stored picture, foreign effect bytes", kKey, kForeignEffectLink, kGreenRgb},
        {"no picture under the key", crt::ParseGuid(u"{00000000-0000-0000-0000-000000000001}"), kForeignEffectLink,
         kBlackRgb},
        {"empty effect link", kKey, LinkKey{}, kBlackRgb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        objects.clear();
        DocumentWriter w;
        text_writer::WriteStaticTextDescription(w, Covering(c.key, c.effect));
        auto description = ReadAs<DS_StaticTextConstructor>(w);
        ASSERT_NE(description, nullptr);
        objects.push_back(DS_SafePtr<KXI_RenderObj>(description->CreateRenderObject().release()));
        const auto pixels = Frame(0.1f);
        ExpectPixel(pixels, 12, 32, c.left);
        ExpectPixel(pixels, 52, 32, kBlackRgb);
    }
}

TEST_F(TextDescriptionRenderTest, ScrollingTextTilesAndMovesThePicture)
{
    // Tiles of 2 canvas units: the picture twice across, each copy's left
    // half white. Shifted by half a tile, the white moves to the right half
    // of each tile.
    ScrollingTextDescriptionFields f;
    f.tileWidth = 2.0f;
    f.tileHeight = 4.0f;
    f.text = Covering(kKey, kForeignEffectLink);
    f.text.stat.base.fx.sprite.colour = 0xFFFFFF;
    DocumentWriter w;
    text_writer::WriteScrollingTextDescription(w, f);
    auto description = ReadAs<DS_ScrollingTextConstructor>(w);
    ASSERT_NE(description, nullptr);
    objects.push_back(DS_SafePtr<KXI_RenderObj>(description->CreateRenderObject().release()));
    auto& running = dynamic_cast<DS_ScrollingTextConstructor&>(
        dynamic_cast<DS_FXObj&>(*objects.front().get()).EffectController());
    // Mode 0 without a period: the shift of offset 0 is a whole turn.
    auto pixels = Frame(0.1f);
    for (std::uint32_t x : {4u, 36u})
        ExpectPixel(pixels, x, 32, 0xFFFFFF);
    for (std::uint32_t x : {24u, 56u})
        ExpectPixel(pixels, x, 32, kBlackRgb);

    running.horizontalOffset = 0.5f; // shift 0.5: half the picture
    pixels = Frame(0.1f);
    for (std::uint32_t x : {4u, 36u})
        ExpectPixel(pixels, x, 32, kBlackRgb);
    for (std::uint32_t x : {24u, 56u})
        ExpectPixel(pixels, x, 32, 0xFFFFFF);
}

} // namespace
