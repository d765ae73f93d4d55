// The single-object controllers: the static picture's turn and fade, and
// the picture that walks a path, with their stored forms. Drawing is read
// back from a headless picture scene.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/engine/ObjectPath.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "particles/engine/SingleParticle.h"
#include "platform/math/MathFunctions.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/SingleObjectWriter.h"

namespace {

using namespace picture_scene_test;
using Quad = std::array<QuadBatchVertex, 4>;

// An 8 x 4 picture in four colours: red left-top, green right-top, blue
// left-bottom, yellow right-bottom.
const LinkKey kQuartersLink{u"pictures\\quarters.bmp", 21};
constexpr std::uint32_t kQuarterColours[2][2] = {{kRedRgb, kGreenRgb}, {kBlueRgb, kYellowRgb}};

// A timeline that stays at one level (nothing here advances it).
class FixedLevelTimeline : public KXI_Timing {
public:
    explicit FixedLevelTimeline(float level) { m_level = level; }
};

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, float t)
{
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const float channel = float((a >> shift) & 0xFF) * (1.0f - t) + float((b >> shift) & 0xFF) * t;
        out |= std::uint32_t(std::lround(channel)) << shift;
    }
    return out;
}

// Runs of the controllers over the headless scene. The scene's canvas is
// the 32 x 16 striped picture over a 64 x 64 target: a canvas point (x, y)
// shows at pixel (2x, 4y).
class SingleObjectsTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        DocResManagerRecord record;
        record.frames[kQuartersLink] = {StoredFrame{docres_test::BmpPicture(8, 4,
                                                                            [](std::uint32_t x, std::uint32_t y) {
                                                                                return kQuarterColours[y / 2][x / 4];
                                                                            }),
                                                    0.0f}};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    static void UseQuarters(KXI_ParticleSystemCtrl& controller, std::uint32_t sizePercent)
    {
        DS_NamedFileLinkData& set = controller.params.textureLink.value;
        set.pictures.emplace_back(static_cast<std::int32_t>(kQuartersLink.id), kQuartersLink.path);
        set.pictures.back().StorePathAndId(kQuartersLink.path, kQuartersLink.id);
        controller.params.flags = ParticleSystemParams::kFlagFilteredTextures;
        controller.params.colours.colors.value = {0x00FFFFFF};
        controller.params.particleSize.value = sizePercent;
    }

    // The running clone's render object, held as the scene holds it.
    struct Running {
        DS_SafePtr<KXI_RenderObj> object;
        KXI_ParticleSystemMech* operator->() const { return static_cast<KXI_ParticleSystemMech*>(object.get()); }
        KXI_ParticleSystemMech& operator*() const { return *operator->(); }
    };

    static Running Run(KXI_ParticleSystemCtrl& description)
    {
        std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
        EXPECT_NE(dynamic_cast<KXI_ParticleSystemMech*>(object.get()), nullptr);
        return Running{DS_SafePtr<KXI_RenderObj>(object.release())};
    }

    static Quad ReadQuad(KXI_ParticleSystemMech& mech)
    {
        Quad quad{};
        QuadBatchVertex* vertices = mech.Batch(0) ? mech.Batch(0)->LockQuads() : nullptr;
        EXPECT_NE(vertices, nullptr);
        if (!vertices)
            return quad;
        std::copy(vertices, vertices + 4, quad.begin());
        mech.Batch(0)->UnlockQuads();
        return quad;
    }

    std::vector<std::uint32_t> Draw(const Running& mech)
    {
        auto light = MakeStripesLight(PicturePosition::kStretch);
        const RenderObjectList objects = {mech.object};
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    // The static object's running clone: a 4 x 12 picture standing at (16, 8).
    Running RunStanding(KXI_StaticObject& description)
    {
        UseQuarters(description, 100);
        description.quad.SetRectangle(4.0f, 12.0f, {16.0f, 8.0f, 0.0f});
        return Run(description);
    }

    static KXI_StaticObject& Static(KXI_ParticleSystemMech& mech)
    {
        return dynamic_cast<KXI_StaticObject&>(mech.Controller());
    }
    static KXI_SigleObjectPath& Walker(KXI_ParticleSystemMech& mech)
    {
        return dynamic_cast<KXI_SigleObjectPath&>(mech.Controller());
    }

    // A walking picture (8 x 4 canvas units at size 100) over `points`.
    Running RunWalker(std::vector<math::Vec3> points, std::uint32_t speed,
                                                 std::int32_t orientation)
    {
        KXI_SigleObjectPath description;
        UseQuarters(description, 100);
        for (const math::Vec3& point : points)
            description.path.AddPoint(DX_SmartPnt(point), nullptr);
        description.walkSpeed.SetValue(speed, nullptr);
        description.orientation.value = orientation;
        return Run(description);
    }
};

math::Vec3 Centre(const Quad& q)
{
    return {(q[0].x + q[3].x) / 2.0f, (q[0].y + q[3].y) / 2.0f, (q[0].z + q[3].z) / 2.0f};
}

// ---- static object ------------------------------------------------------------------

TEST(StaticObjectTurnTest, TurnStepsByTheClampedClock)
{
    // No render object: only the turn is computed. Value 100 is 40 degrees
    // per second; steps above 0.2 s count as 0.2 s; time going back is no step.
    struct Step {
        float time;
        float angle;
    };
    struct Case {
        const char* name;
        std::uint32_t speed;
        std::int32_t reverse;
        std::vector<Step> steps;
    } cases[] = {
        {"forward", 100, 0, {{0.0f, 0.0f}, {0.1f, 4.0f}, {0.25f, 10.0f}, {1.25f, 18.0f}, {1.0f, 18.0f}, {1.1f, 22.0f}}},
        {"reverse", 100, 1, {{0.0f, 0.0f}, {0.2f, -8.0f}, {0.3f, -12.0f}}},
        {"value 1", 1, 0, {{0.0f, 0.0f}, {0.2f, 0.08f}}},
        {"stopped", 0, 0, {{0.0f, 0.0f}, {0.2f, 0.0f}, {5.0f, 0.0f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KXI_StaticObject picture;
        picture.turnSpeed.SetValue(c.speed, nullptr);
        picture.reverse.value = c.reverse;
        for (const Step& step : c.steps) {
            picture.Update(step.time);
            EXPECT_NEAR(picture.angle, step.angle, 1e-4f) << "at " << step.time;
        }
    }
}

TEST_F(SingleObjectsTest, StaticPictureTurnsAboutTheCentreOfCornersZeroAndThree)
{
    KXI_StaticObject description;
    description.turnSpeed.SetValue(100, nullptr); // 40 degrees per second
    // Corners 0 and 3 of a 4 x 12 quad at (16, 8); the quad is not square,
    // so a turn about any other point would move the probes off it.
    const Running mech = RunStanding(description);
    KXI_StaticObject& running = Static(*mech);

    // Probes: canvas points and the quarter of the picture each must show,
    // for the turn reached at each time (0.15 s steps stay below the clamp).
    struct Probe {
        float x, y;
        std::uint32_t rgb;
    };
    struct Case {
        float until;
        float angle;
        std::vector<Probe> probes;
    } cases[] = {
        {0.0f, 0.0f, {{15.0f, 5.0f, kRedRgb}, {17.0f, 11.0f, kYellowRgb}, {19.0f, 7.0f, StripesColour(19, 7)}}},
        {2.25f, 90.0f, {{19.0f, 7.0f, kRedRgb}, {13.0f, 9.0f, kYellowRgb}, {15.0f, 5.0f, StripesColour(15, 5)}}},
        {4.5f, 180.0f, {{17.0f, 11.0f, kRedRgb}, {15.0f, 5.0f, kYellowRgb}}},
    };
    float time = 0.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "angle " << c.angle);
        for (; time < c.until + 1e-3f; time += 0.15f)
            mech->Animate(time);
        time -= 0.15f;
        EXPECT_NEAR(running.angle, c.angle, 1e-3f);
        // The centre of corners 0 and 3 stays where it is.
        math::Vec3 centre;
        math::Vec3TransformCoord(&centre, {16.0f, 8.0f, 0.0f}, mech->Batch(0)->header.world);
        EXPECT_NEAR(centre.x, 16.0f, 1e-4f);
        EXPECT_NEAR(centre.y, 8.0f, 1e-4f);
        const auto pixels = Draw(mech);
        for (const Probe& p : c.probes) {
            const std::uint32_t pixel = At(pixels, std::uint32_t(2 * p.x), std::uint32_t(4 * p.y));
            EXPECT_TRUE(ShowsRgb(pixel, p.rgb)) << "(" << p.x << ", " << p.y << "): " << Hex(pixel);
        }
        time += 0.15f;
    }

    // Turn speed 0: upright again at the next update, and it stays so.
    running.turnSpeed.SetValue(0, nullptr);
    mech->Animate(time);
    mech->Animate(time + 0.1f);
    EXPECT_EQ(running.angle, 0.0f);
    EXPECT_EQ(mech->Batch(0)->header.world, math::Matrix());
    const auto pixels = Draw(mech);
    EXPECT_TRUE(ShowsRgb(At(pixels, 30, 20), kRedRgb)) << Hex(At(pixels, 30, 20));
    EXPECT_TRUE(ShowsRgb(At(pixels, 34, 44), kYellowRgb)) << Hex(At(pixels, 34, 44));
}

TEST_F(SingleObjectsTest, StaticPictureFadesWithItsTimeline)
{
    // Over the grey lower half of the backdrop: an 8 x 4 picture at (16, 12).
    for (const float level : {1.0f, 0.5f, 0.0f}) {
        SCOPED_TRACE(testing::Message() << "level " << level);
        KXI_StaticObject description;
        UseQuarters(description, 100);
        description.turnSpeed.SetValue(0, nullptr);
        description.quad.SetRectangle(8.0f, 4.0f, {16.0f, 12.0f, 0.0f});
        const Running mech = Run(description);
        Static(*mech).timing.SetTimeline(std::make_unique<FixedLevelTimeline>(level));
        mech->Animate(0.0f);
        const std::uint32_t alpha = ReadQuad(*mech)[0].colour >> 24;
        EXPECT_NEAR(double(alpha), 255.0 * level, 1.0);
        const auto pixels = Draw(mech);
        // The red quarter at canvas (14, 11).
        const std::uint32_t expected = Mix(kGrey, kRedRgb, level);
        EXPECT_TRUE(ShowsRgb(At(pixels, 28, 44), expected)) << Hex(At(pixels, 28, 44)) << " for " << Hex(expected);
    }
}

TEST_F(SingleObjectsTest, ChangedQuadShowsOnlyAfterTheNextAttach)
{
    KXI_StaticObject description;
    description.turnSpeed.SetValue(0, nullptr);
    const Running mech = RunStanding(description);
    KXI_StaticObject& running = Static(*mech);
    mech->Animate(0.0f);
    const Quad before = ReadQuad(*mech);
    // Vertex order: corners 1, 0, 3, 2.
    EXPECT_EQ(before[0].x, 14.0f);
    EXPECT_EQ(before[0].y, 14.0f);
    EXPECT_EQ(before[1].y, 2.0f);
    EXPECT_EQ(before[3].x, 18.0f);
    EXPECT_EQ(before[3].y, 2.0f);

    running.quad.SetRectangle(2.0f, 2.0f, {4.0f, 4.0f, 0.0f});
    running.timing.SetTimeline(std::make_unique<FixedLevelTimeline>(0.5f));
    mech->Animate(0.1f);
    const Quad updated = ReadQuad(*mech);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(updated[k].x, before[k].x) << k;
        EXPECT_EQ(updated[k].y, before[k].y) << k;
        EXPECT_EQ(updated[k].u, before[k].u) << k;
        EXPECT_LT(updated[k].colour >> 24, before[k].colour >> 24) << k; // only the colours follow
    }

    running.AttachRenderObject(&*mech);
    const Quad attached = ReadQuad(*mech);
    EXPECT_EQ(attached[0].x, 3.0f);
    EXPECT_EQ(attached[0].y, 5.0f);
    EXPECT_EQ(attached[3].x, 5.0f);
    EXPECT_EQ(attached[3].y, 3.0f);
    EXPECT_EQ(mech->QuadCount(0), 1);
}

// ---- walking object -----------------------------------------------------------------

TEST_F(SingleObjectsTest, WalkerMovesItsSpeedOncePerUpdateWhateverTheFrame)
{
    // Value 10 is one canvas unit per update, at 10 ms and at 60 ms frames.
    const Running mech = RunWalker({{0, 0, 0}, {100, 0, 0}}, 10, 0);
    float x = 0.0f;
    for (const float time : {0.0f, 0.01f, 0.02f, 0.08f, 0.14f, 0.15f}) {
        mech->Animate(time);
        x += 1.0f;
        const Quad q = ReadQuad(*mech);
        EXPECT_FLOAT_EQ(Centre(q).x, x) << "at " << time;
        EXPECT_FLOAT_EQ(Centre(q).y, 0.0f);
        // The first picture's 8 x 4 pixels at size 100.
        EXPECT_FLOAT_EQ(q[2].x - q[0].x, 8.0f);
        EXPECT_FLOAT_EQ(q[0].y - q[1].y, 4.0f);
    }
    // A restart puts it back at the first point.
    Walker(*mech).Restart();
    mech->Animate(0.2f);
    EXPECT_FLOAT_EQ(Centre(ReadQuad(*mech)).x, 1.0f);
}

TEST_F(SingleObjectsTest, OrientationFollowsTheDirectionOfTheWalk)
{
    // Speed 3 units per update over a path 10 long: updates 1-3 walk out,
    // 4-6 back, 7 out again.
    const math::Vec3 kRight{10, 0, 0};
    const math::Vec3 kDown{0, 10, 0};
    struct Case {
        const char* name;
        std::int32_t mode;
        math::Vec3 end;
        bool mirroredOut, mirroredBack;
        bool leftRight; // which mirror is looked at
    } cases[] = {
        {"upright, along x", 0, kRight, false, false, true},
        {"left-right, along x", 2, kRight, false, true, true},
        {"left-right, along y", 2, kDown, false, false, true},
        {"top-bottom, along y", 3, kDown, true, false, false},
        {"top-bottom, along x", 3, kRight, false, false, false},
        {"upright, along y", 0, kDown, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Running mech = RunWalker({{0, 0, 0}, c.end}, 30, c.mode);
        for (int update = 1; update <= 7; ++update) {
            mech->Animate(0.03f * float(update));
            const Quad q = ReadQuad(*mech);
            const bool back = update >= 4 && update <= 6;
            const bool expected = back ? c.mirroredBack : c.mirroredOut;
            // Upright: vertex 0 is left of vertex 2 and below vertex 1.
            const bool mirrored = c.leftRight ? q[0].x > q[2].x : q[0].y < q[1].y;
            EXPECT_EQ(mirrored, expected) << "update " << update;
            // Mirrored or not, the picture keeps its full size: 8 x 4.
            EXPECT_FLOAT_EQ(std::fabs(q[2].x - q[0].x), 8.0f) << "update " << update;
            EXPECT_FLOAT_EQ(std::fabs(q[0].y - q[1].y), 4.0f) << "update " << update;
        }
    }
}

TEST_F(SingleObjectsTest, TurnedAlongTheWalk)
{
    // Walking toward +y: the width runs along y, the height along +x.
    const Running mech = RunWalker({{5, 0, 0}, {5, 10, 0}}, 20, 1);
    mech->Animate(0.0f);
    const Quad q = ReadQuad(*mech);
    EXPECT_FLOAT_EQ(Centre(q).x, 5.0f);
    EXPECT_FLOAT_EQ(Centre(q).y, 2.0f);
    EXPECT_FLOAT_EQ(q[2].y - q[0].y, 8.0f); // 2 w = the direction x W
    EXPECT_FLOAT_EQ(q[2].x - q[0].x, 0.0f);
    EXPECT_FLOAT_EQ(q[0].x - q[1].x, 4.0f); // 2 h = (D.y, -D.x) x H
    EXPECT_FLOAT_EQ(q[0].y - q[1].y, 0.0f);
}

TEST_F(SingleObjectsTest, MirroredWalkerIsDrawnMirrored)
{
    // Speed 10 units over a path from x 4 to 28 at y 12: the first update
    // stands at x 14 walking right, the third at x 22 walking back.
    struct Case {
        int updates;
        float x;
        std::uint32_t left, right; // the top quarters seen on screen
    } cases[] = {
        {1, 14.0f, kRedRgb, kGreenRgb},
        {3, 22.0f, kGreenRgb, kRedRgb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.updates << " updates");
        const Running mech = RunWalker({{4, 12, 0}, {28, 12, 0}}, 100, 2);
        for (int update = 0; update < c.updates; ++update)
            mech->Animate(0.05f * float(update));
        const auto pixels = Draw(mech);
        // Canvas (x - 3, 11) and (x + 3, 11).
        const auto left = At(pixels, std::uint32_t(2 * (c.x - 3)), 44);
        const auto right = At(pixels, std::uint32_t(2 * (c.x + 3)), 44);
        EXPECT_TRUE(ShowsRgb(left, c.left)) << Hex(left);
        EXPECT_TRUE(ShowsRgb(right, c.right)) << Hex(right);
    }
}

TEST_F(SingleObjectsTest, PathsOfOnePointAndOfNone)
{
    // No points: nothing to draw, and updates walk nothing.
    const Running nowhere = RunWalker({}, 10, 1);
    for (const float time : {0.0f, 0.1f, 0.2f})
        nowhere->Animate(time);
    EXPECT_EQ(nowhere->QuadCount(0), 0);
    EXPECT_EQ(Walker(*nowhere).path.walker.distance, 0.0f);

    // One point, or two in the same place: upright at it in every mode, and
    // it stays there.
    const std::vector<math::Vec3> onePlace[] = {{{6, 9, 0}}, {{6, 9, 0}, {6, 9, 0}}};
    for (std::int32_t mode = 0; mode <= 3; ++mode) {
        for (const std::vector<math::Vec3>& points : onePlace) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << points.size() << " points");
            const Running standing = RunWalker(points, 10, mode);
            for (const float time : {0.0f, 0.1f, 0.2f})
                standing->Animate(time);
            EXPECT_EQ(standing->QuadCount(0), 1);
            if (points.size() == 1) {
                EXPECT_EQ(Walker(*standing).path.walker.distance, 0.0f);
            }
            const Quad q = ReadQuad(*standing);
            EXPECT_FLOAT_EQ(Centre(q).x, 6.0f);
            EXPECT_FLOAT_EQ(Centre(q).y, 9.0f);
            EXPECT_FLOAT_EQ(q[2].x - q[0].x, 8.0f);
            EXPECT_FLOAT_EQ(q[0].y - q[1].y, 4.0f);
        }
    }
}

TEST_F(SingleObjectsTest, ABatchWithoutVertexMemoryDrawsNoQuad)
{
    KXI_StaticObject description;
    const Running standing = RunStanding(description);
    const Running walking = RunWalker({{0, 0, 0}, {40, 0, 0}}, 10, 0);
    for (const Running* running : {&standing, &walking}) {
        SCOPED_TRACE(running == &standing ? "static" : "walking");
        (*running)->Animate(0.1f);
        ASSERT_EQ((*running)->QuadCount(0), 1);
        (*running)->Batch(0)->vertices.Release();
        (*running)->Animate(0.2f);
        EXPECT_EQ((*running)->QuadCount(0), 0);
    }
}

// ---- stored forms -------------------------------------------------------------------

template <class T, class Fields, class Write>
std::unique_ptr<T> ReadRecord(const Fields& fields, Write write, std::vector<std::uint8_t>* bytes = nullptr)
{
    RegisterParticleEngineClasses();
    DocumentWriter w;
    write(w, fields);
    if (bytes)
        *bytes = w.Bytes();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    return std::unique_ptr<T>(dynamic_cast<T*>(item.release()));
}

std::vector<std::uint8_t> Saved(const DS_IOF_Item& item)
{
    RecordingArchive out;
    item.Save(out.Writer());
    return out.writer.Bytes();
}

TEST(SingleObjectRecordTest, StaticObjectReadsAndSavesBack)
{
    particle_writer::StaticObjectFields fields;
    fields.turnSpeed = 100;
    fields.reverse = 1;
    fields.single.corners = particle_writer::RectangleCorners(8.0f, 6.0f, 10.0f, 8.0f);
    fields.single.corners[2][2] = 3.0f;
    fields.single.controller.base.name = u"Picture";
    fields.single.controller.block.particleSize = 150;
    std::vector<std::uint8_t> stored;
    const auto picture =
        ReadRecord<KXI_StaticObject>(fields, particle_writer::WriteStaticObject, &stored);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->turnSpeed.value, 100u);
    EXPECT_FLOAT_EQ(picture->turnSpeed.Scaled(), 40.0f); // stored directly, scaled copy in step
    EXPECT_EQ(picture->reverse.value, 1);
    EXPECT_EQ(picture->quad.corners[1].value, (math::Vec3{6.0f, 11.0f, 0.0f}));
    EXPECT_EQ(picture->quad.corners[2].value, (math::Vec3{14.0f, 5.0f, 3.0f}));
    EXPECT_EQ(picture->params.particleSize.value, 150u);
    EXPECT_EQ(picture->name, u"Picture");
    EXPECT_EQ(Saved(*picture), stored);
}

TEST(SingleObjectRecordTest, WalkingObjectReadsAndSavesBack)
{
    particle_writer::ObjectPathFields fields;
    fields.speed = 35;
    fields.orientation = 3;
    fields.path.points = {{1.0f, 2.0f, 0.0f}, {5.0f, -4.0f, 0.5f}, {9.0f, 9.0f, 0.0f}};
    fields.path.controller.base.name = u"Walker";
    std::vector<std::uint8_t> stored;
    const auto walker = ReadRecord<KXI_SigleObjectPath>(fields, particle_writer::WriteObjectPath, &stored);
    ASSERT_NE(walker, nullptr);
    EXPECT_EQ(walker->walkSpeed.value, 35u);
    EXPECT_FLOAT_EQ(walker->walkSpeed.Scaled(), 3.5f);
    EXPECT_EQ(walker->orientation.value, 3);
    ASSERT_EQ(walker->path.points.size(), 3u);
    EXPECT_EQ(walker->path.points[1]->Position(), (math::Vec3{5.0f, -4.0f, 0.5f}));
    EXPECT_EQ(Saved(*walker), stored);

    // A clone shares the points and keeps the values.
    const std::unique_ptr<KXI_ParticleSystemCtrl> clone = walker->Clone();
    const auto& copy = dynamic_cast<const KXI_SigleObjectPath&>(*clone);
    EXPECT_EQ(copy.path.points[1].get(), walker->path.points[1].get());
    EXPECT_EQ(Saved(copy), stored);
}

TEST(SingleObjectRecordTest, DamagedRecordsAreRefused)
{
    RegisterParticleEngineClasses();
    DocumentWriter hugePath;
    hugePath.Section(u"KXI_SigleObjectPath", 1).Dword(10).Int(0);
    hugePath.Section(u"KXI_ParticlePathCtrl", 1).Int(0x7FFFFFFF).Float(1.0f).Float(2.0f).Float(0.0f);
    DocumentWriter negativePath;
    negativePath.Section(u"KXI_SigleObjectPath", 1).Dword(10).Int(0).Section(u"KXI_ParticlePathCtrl", 1).Int(-1);

    DocumentWriter whole;
    particle_writer::WriteStaticObject(whole, {});
    std::vector<std::uint8_t> truncated = whole.Bytes();
    truncated.resize(truncated.size() / 2);

    for (const std::vector<std::uint8_t>& bytes : {hugePath.Bytes(), negativePath.Bytes(), truncated}) {
        MemoryArchive archive(bytes);
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace
