// The particle-engine text items read from writer-made records and drawn
// headless through a picture scene set up as the player sets one up: the
// backing picture, the text and its drop shadow, the scrolling text's walk
// through its quad, and the text link's hit test.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "objects/ObjectClasses.h"
#include "objects/TextItems.h"
#include "platform/math/MathFunctions.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/TextObjectWriter.h"
#include "tests/support/TgaFixture.h"

namespace {

using namespace picture_scene_test;
using text_writer::ScrollingTexFields;
using text_writer::StaticTextFields;

// A 64 x 64 grey ground: a canvas unit is one pixel of the 64 x 64 target.
const LinkKey kGroundLink{u"pictures\\ground.bmp", 40};
constexpr std::uint32_t kGroundRgb = 0x404040;
// 32 x 32 text picture: an opaque white bar over columns 4..9 and rows
// 14..19, transparent elsewhere.
const LinkKey kTextLink{u"pictures\\text.tga", 41};
// 32 x 32 opaque green backing picture.
const LinkKey kBackingLink{u"pictures\\backing.tga", 42};
const LinkKey kMissingLink{u"pictures\\missing.tga", 43};

bool OnBar(std::uint32_t x, std::uint32_t y)
{
    return x >= 4 && x <= 9 && y >= 14 && y <= 19;
}

// A timeline held on at level 1 with a phase of `length` seconds.
class PhaseTimeline : public KXI_Timing {
public:
    PhaseTimeline(float length, int state) : m_phase(length) { m_state = state; m_level = 1.0f; }
    float Advance(float time) override { return time; }
    float GetLength() const override { return m_phase; }

private:
    float m_phase;
};

class TextItemsTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        if (HasFatalFailure())
            return;
        RegisterObjectClasses();
        DocResManagerRecord record;
        ModuleResourceBlob ground(kGroundLink.path);
        ground.SetBytes(docres_test::SolidBmp(64, 64, kGroundRgb));
        record.textureSetRecords[kGroundLink] = {ground};
        record.frames[kTextLink] = {StoredFrame{docres_test::TgaPicture(32, 32, [](std::uint32_t x, std::uint32_t y) {
                                                    return OnBar(x, y) ? 0xFFFFFFFFu : 0x00000000u;
                                                }),
                                                0.0f}};
        record.frames[kBackingLink] = {
            StoredFrame{docres_test::TgaPicture(32, 32, [](std::uint32_t, std::uint32_t) { return 0xFF00FF00u; }),
                        0.0f}};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
        light = MakeLight(kGroundLink, PicturePosition::kStretch);
    }
    void TearDown() override
    {
        objects.clear();
        light.reset();
        PictureSceneTest::TearDown();
    }

    // A 32 x 32 item centred on (32, 32) showing `pictures` as its texture
    // sets, unturned.
    static StaticTextFields Text(std::vector<LinkKey> pictures)
    {
        StaticTextFields fields;
        fields.object.turnSpeed = 0;
        fields.object.single.corners = particle_writer::RectangleCorners(32.0f, 32.0f, 32.0f, 32.0f);
        for (const LinkKey& link : pictures)
            fields.object.single.controller.block.pictures.push_back({std::u16string(link.path), link.id});
        return fields;
    }

    // The running clone of the record `write` writes, held as the scene holds it.
    template <class Fields>
    KXI_ParticleSystemMech& Run(DocumentWriter& (*write)(DocumentWriter&, const Fields&), const Fields& fields,
                                std::unique_ptr<KXI_Timing> timeline = nullptr)
    {
        DocumentWriter w;
        write(w, fields);
        MemoryArchive archive(w.Bytes());
        std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
        EXPECT_EQ(archive.Remaining(), 0u);
        auto* description = dynamic_cast<DS_StaticText*>(item.get());
        EXPECT_NE(description, nullptr);
        if (timeline)
            description->timing.SetTimeline(std::move(timeline));
        std::unique_ptr<KXI_RenderObj> made = description->CreateRenderObject();
        auto* mech = dynamic_cast<KXI_ParticleSystemMech*>(made.get());
        EXPECT_NE(mech, nullptr);
        objects.push_back(DS_SafePtr<KXI_RenderObj>(made.release()));
        return *mech;
    }

    std::vector<std::uint32_t> Frame(float time)
    {
        for (const auto& object : objects)
            object->Update(time);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    void ExpectPixel(const std::vector<std::uint32_t>& pixels, std::uint32_t x, std::uint32_t y, std::uint32_t rgb)
    {
        const std::uint32_t pixel = At(pixels, x, y);
        EXPECT_TRUE(ShowsRgb(pixel, rgb)) << "(" << x << ", " << y << ") shows " << Hex(pixel) << ", expected "
                                          << Hex(rgb);
    }

    std::unique_ptr<DS_2D_Light> light;
    RenderObjectList objects;
};

// The bar of the text picture lands on screen at x 20..25, y 30..35.
TEST_F(TextItemsTest, BackingPictureUnderTheTextWhenTheBlockHoldsOne)
{
    struct Case {
        const char* name;
        std::vector<LinkKey> pictures;
        std::uint32_t bar;
        std::uint32_t around;
    };
    const Case cases[] = {
        {"text and backing", {kTextLink, kBackingLink}, 0xFFFFFF, kGreenRgb},
        {"text only", {kTextLink}, 0xFFFFFF, kGroundRgb},
        // No text picture: nothing at all, not even the backing.
        {"no text picture", {kMissingLink, kBackingLink}, kGroundRgb, kGroundRgb},
        {"no picture", {}, kGroundRgb, kGroundRgb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        objects.clear();
        Run(&text_writer::WriteStaticText, Text(c.pictures));
        const auto pixels = Frame(0.1f);
        ExpectPixel(pixels, 22, 32, c.bar);
        ExpectPixel(pixels, 40, 40, c.around);
        ExpectPixel(pixels, 8, 8, kGroundRgb); // outside the quad
    }
}

TEST_F(TextItemsTest, ShadowLiesItsDistanceAlongTheShadowAngle)
{
    struct Case {
        std::uint32_t angle;
        std::uint32_t distance;
        std::uint32_t shadowX, shadowY; // a pixel of the shadow off the bar
    };
    // Angle 0 points to +x, 90 up the screen.
    for (const Case& c : {Case{0, 10, 32, 32}, Case{90, 10, 22, 22}}) {
        SCOPED_TRACE(c.angle);
        objects.clear();
        StaticTextFields fields = Text({kTextLink});
        fields.shadowOn = 1;
        fields.shadow = {0x00FF0000, 0}; // blue, opaque
        fields.shadowAngle = c.angle;
        fields.shadowDistance = c.distance;
        Run(&text_writer::WriteStaticText, fields);
        const auto pixels = Frame(0.1f);
        ExpectPixel(pixels, 22, 32, 0xFFFFFF);
        ExpectPixel(pixels, c.shadowX, c.shadowY, kBlueRgb);
        // The shadow's far edge: 10 pixels past the bar's last column or row.
        ExpectPixel(pixels, c.angle == 0 ? 36 : 22, c.angle == 0 ? 32 : 18, kGroundRgb);
    }
}

TEST_F(TextItemsTest, ShadowAtDistanceZeroLiesUnderTheText)
{
    // A half-transparent bar shows what lies under it: the shadow, not the
    // ground.
    StaticTextFields fields = Text({kTextLink});
    fields.object.single.controller.block.transparency = 50;
    fields.shadowOn = 1;
    fields.shadow = {0x00FF0000, 0};
    Run(&text_writer::WriteStaticText, fields);
    const std::uint32_t under = At(Frame(0.1f), 22, 32);
    const auto channel = [under](int shift) { return (under >> shift) & 0xFFu; };
    EXPECT_GT(channel(0), channel(16) + 40) << Hex(under); // more blue than red
}

TEST_F(TextItemsTest, ItemsNeverSwitchTheRenderTargetForTheBlockGlow)
{
    StaticTextFields fields = Text({kTextLink});
    fields.object.single.controller.block.glowMode = 2;
    KXI_ParticleSystemMech& mech = Run(&text_writer::WriteStaticText, fields);
    EXPECT_EQ(mech.Controller().CountScreenPasses(), 0);
    EXPECT_EQ(mech.NeedsRenderTarget(), 0);
    ExpectPixel(Frame(0.1f), 22, 32, 0xFFFFFF);
}

// ---- scrolling ------------------------------------------------------------------------

TEST_F(TextItemsTest, ScrollingTextCrossesItsQuadUpwardsOverOneTimelineLength)
{
    ScrollingTexFields fields;
    fields.scrollMode = 0;
    fields.text = Text({kTextLink});
    KXI_ParticleSystemMech& mech =
        Run(&text_writer::WriteScrollingTex, fields, std::make_unique<PhaseTimeline>(1.0f, kTimingOn));
    auto& scrolling = dynamic_cast<DS_ScrollingTex&>(mech.Controller());
    EXPECT_FLOAT_EQ(scrolling.wrapLength, 1.0f);
    EXPECT_FLOAT_EQ(scrolling.offset, 1.0f); // below the quad

    // Offset 1 - 2t: the bar (rows 14..19) shows 32 (1 - 2t) rows lower.
    struct Probe {
        float time;
        std::uint32_t barRow;   // a screen row of the bar, or 0 when none
        std::uint32_t emptyRow; // a screen row without it
    };
    const Probe probes[] = {{0.0f, 0, 32}, {0.25f, 47, 32}, {0.5f, 32, 47}, {0.75f, 17, 32}, {1.0f, 0, 17}};
    float time = 0.0f;
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.time);
        std::vector<std::uint32_t> pixels;
        while (time < p.time - 1e-4f) {
            time += 0.05f;
            pixels = Frame(time);
        }
        if (pixels.empty())
            pixels = Frame(time);
        EXPECT_NEAR(scrolling.offset, 1.0f - 2.0f * p.time, 1e-4f);
        if (p.barRow != 0)
            ExpectPixel(pixels, 22, p.barRow, 0xFFFFFF);
        ExpectPixel(pixels, 22, p.emptyRow, kGroundRgb);
    }
}

TEST_F(TextItemsTest, ScrollSpeedWrapAndRestart)
{
    struct Case {
        std::int32_t mode;
        float quadWidth, quadHeight;
        float wrap;       // the quad's size along the axis over the picture's
        float start;      // the offset after a restart
        float speed;      // for a timeline of 2 s
    };
    // The picture is 32 x 32 in a 32 x 32 texture: extents 1.
    const Case cases[] = {
        {0, 32.0f, 16.0f, 0.5f, 0.5f, -0.75f},
        {1, 32.0f, 16.0f, 0.5f, -1.0f, 0.75f},
        {2, 64.0f, 16.0f, 2.0f, 2.0f, -1.5f},
        {3, 64.0f, 16.0f, 2.0f, -1.0f, 1.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        objects.clear();
        ScrollingTexFields fields;
        fields.scrollMode = c.mode;
        fields.text = Text({kTextLink});
        fields.text.object.single.corners = particle_writer::RectangleCorners(c.quadWidth, c.quadHeight, 32.0f, 32.0f);
        KXI_ParticleSystemMech& mech =
            Run(&text_writer::WriteScrollingTex, fields, std::make_unique<PhaseTimeline>(2.0f, kTimingOn));
        auto& scrolling = dynamic_cast<DS_ScrollingTex&>(mech.Controller());
        EXPECT_FLOAT_EQ(scrolling.wrapLength, c.wrap);
        EXPECT_FLOAT_EQ(scrolling.offset, c.start);
        Frame(0.1f);
        EXPECT_FLOAT_EQ(scrolling.scrollSpeed, c.speed);
        EXPECT_NEAR(scrolling.offset, c.start + 0.1f * c.speed, 1e-5f);
    }
}

TEST_F(TextItemsTest, ScrollingRestsAtItsStartWhileTheTimelineIsOffOrHasNoLength)
{
    struct Case {
        const char* name;
        float length;
        int state;
    };
    for (const Case& c : {Case{"off", 1.0f, kTimingOff}, Case{"no length", 0.0f, kTimingOn}}) {
        SCOPED_TRACE(c.name);
        objects.clear();
        ScrollingTexFields fields;
        fields.text = Text({kTextLink});
        KXI_ParticleSystemMech& mech =
            Run(&text_writer::WriteScrollingTex, fields, std::make_unique<PhaseTimeline>(c.length, c.state));
        auto& scrolling = dynamic_cast<DS_ScrollingTex&>(mech.Controller());
        for (float t : {0.1f, 0.2f, 0.3f}) {
            const auto pixels = Frame(t);
            EXPECT_FLOAT_EQ(scrolling.offset, 1.0f);
            ExpectPixel(pixels, 22, 32, kGroundRgb);
        }
    }
}

TEST_F(TextItemsTest, ScrollingWithoutAPictureSizeDrawsNothing)
{
    ScrollingTexFields fields;
    fields.text = Text({kMissingLink});
    KXI_ParticleSystemMech& mech =
        Run(&text_writer::WriteScrollingTex, fields, std::make_unique<PhaseTimeline>(1.0f, kTimingOn));
    EXPECT_EQ(mech.QuadCount(0), 0);
    const auto pixels = Frame(0.1f);
    ExpectPixel(pixels, 32, 32, kGroundRgb);
    EXPECT_TRUE(std::isfinite(dynamic_cast<DS_ScrollingTex&>(mech.Controller()).offset));
}

// ---- text link ---------------------------------------------------------------------

TEST_F(TextItemsTest, TextLinkHitsThroughTheInverseViewAndSceneMatrices)
{
    text_writer::TextLinkFields fields;
    fields.text = Text({kTextLink}); // picture x 16..48, y 16..48
    KXI_ParticleSystemMech& mech = Run(&text_writer::WriteTextLink, fields);
    auto& link = dynamic_cast<DS_TextLink&>(mech.Controller());
    // Window pixels are twice the picture's, and the scene moved by 10.
    math::MatrixScaling(&renderContext->inverseView, 0.5f, 0.5f, 1.0f);
    math::MatrixTranslation(&renderContext->inverseScene, 10.0f, 0.0f, 0.0f);
    struct Case {
        int x, y;
        bool hit;
    };
    const Case cases[] = {{12, 32, true},  {76, 96, true}, {10, 32, false},
                          {78, 32, false}, {40, 30, false}, {40, 98, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        EXPECT_EQ(link.HitTest(c.x, c.y), c.hit);
        EXPECT_EQ(link.OnMouseMove(c.x, c.y), c.hit ? 1 : 0);
        EXPECT_EQ(link.OnMouseClick(c.x, c.y), c.hit ? 1 : 0);
    }
    // Switched off: no hand, and a click answers 1 wherever it lands.
    link.timing.SetTimeline(std::make_unique<PhaseTimeline>(1.0f, kTimingOff));
    EXPECT_EQ(link.OnMouseMove(40, 64), 0);
    EXPECT_EQ(link.OnMouseClick(0, 0), 1);
}

} // namespace
