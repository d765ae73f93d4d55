// The stored "DS_2D_Light" level: every version read from writer-made
// bytes, through the light registry and through the base-level read the
// light variants use; damaged records refused; what Save writes.

#include <gtest/gtest.h>

#include "objectmodel/DocumentError.h"
#include "render/PictureScene.h"
#include "tests/render/RenderObjectTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/PictureSceneWriter.h"

namespace {

using namespace picture_scene_writer;

constexpr std::int32_t kSentinel = 0x5A5A5A5A;

struct ExpectedLight {
    std::u16string backgroundPath;
    std::int64_t backgroundId;
    int cameraMode;
    std::uint32_t zoomPercent;
    std::uint32_t speed;
    std::size_t pathPoints;
    std::u16string cameraImagePath = u"common_res.dll";
    std::int64_t cameraImageId = 6;
};

struct RecordCase {
    const char* name;
    LightFields fields;
    ExpectedLight expected;
};

const ExpectedLight kDefaults{u"common_res.dll", 5, DSM_Camera::kStatic, 120, 50, 0, u"common_res.dll", 6};

CameraFields PathCamera()
{
    CameraFields camera;
    camera.mode = DSM_Camera::kPath;
    camera.pathWidth = 1536;
    camera.pathHeight = 864;
    camera.points = {{1, 10, 20, 0, 3.5f, 150}, {0, 30, 40, 0, 2.0f, 0}};
    camera.zoomPercent = 150;
    camera.speed = 100;
    camera.imagePath = u"pictures\\camera.png";
    camera.imageId = 77;
    return camera;
}

LightFields Light(std::int32_t version, CameraFields camera = {})
{
    LightFields light;
    light.version = version;
    light.backgroundPath = u"pictures\\sky.jpg";
    light.backgroundId = 1234567890123;
    light.camera = std::move(camera);
    return light;
}

CameraFields OldCamera()
{
    CameraFields camera;
    camera.version = 1;
    camera.movingFlag = 7;
    camera.zoomPercent = 110;
    camera.speed = 25;
    return camera;
}

const ExpectedLight kSkyWithDefaultCamera{u"pictures\\sky.jpg", 1234567890123, DSM_Camera::kStatic, 120, 50, 0,
                                          u"common_res.dll", 6};
const ExpectedLight kSkyWithPathCamera{u"pictures\\sky.jpg", 1234567890123, DSM_Camera::kPath, 150, 100, 2,
                                       u"pictures\\camera.png", 77};

const RecordCase kRecordCases[] = {
    {"version 0 keeps every default", Light(0), kDefaults},
    {"version 1 keeps every default", Light(1), kDefaults},
    {"version 2 reads the link, keeps the camera", Light(2), kSkyWithDefaultCamera},
    {"version 3 reads the link and the camera", Light(3, PathCamera()), kSkyWithPathCamera},
    {"version 3 with an old camera record",
     Light(3, OldCamera()),
     {u"pictures\\sky.jpg", 1234567890123, DSM_Camera::kRandomDrift, 110, 25, 0, u"common_res.dll", 6}},
    {"a later version reads as version 3", Light(4, PathCamera()), kSkyWithPathCamera},
};

void ExpectLight(const DS_2D_Light& light, const ExpectedLight& expected)
{
    EXPECT_EQ(light.BackgroundLink().Path(), expected.backgroundPath);
    EXPECT_EQ(light.BackgroundLink().Id(), expected.backgroundId);
    const DSM_Camera& camera = light.Camera();
    EXPECT_EQ(camera.mode.value, expected.cameraMode);
    EXPECT_EQ(camera.zoom.value, expected.zoomPercent);
    EXPECT_FLOAT_EQ(camera.zoom.Scaled(), float(expected.zoomPercent) * 0.01f);
    EXPECT_EQ(camera.speed.value, expected.speed);
    EXPECT_EQ(camera.path.points.size(), expected.pathPoints);
    EXPECT_EQ(camera.imageLink.Path(), expected.cameraImagePath);
    EXPECT_EQ(camera.imageLink.Id(), expected.cameraImageId);
    EXPECT_EQ(camera.animate.value, 0) << "whether the camera moves is runtime state";
    EXPECT_EQ(light.PictureMode(), PicturePosition::kFit);
}

std::vector<std::uint8_t> RecordBytes(const LightFields& fields)
{
    DocumentWriter writer;
    WriteLightRecord(writer, fields);
    writer.Int(kSentinel); // what follows the record stays unread
    return writer.Bytes();
}

TEST(PictureSceneRecordTest, ReadsEveryVersionThroughTheLightRegistry)
{
    for (const RecordCase& c : kRecordCases) {
        SCOPED_TRACE(c.name);
        MemoryArchive archive(RecordBytes(c.fields));
        const std::unique_ptr<DS_2D_Light> light = ReadLightObject(archive.Reader());
        ASSERT_NE(light, nullptr);
        EXPECT_EQ(archive.Remaining(), 4u);
        ExpectLight(*light, c.expected);
    }
}

TEST(PictureSceneRecordTest, TheBaseLevelReadIgnoresTheClassName)
{
    for (const RecordCase& c : kRecordCases) {
        SCOPED_TRACE(c.name);
        LightFields fields = c.fields;
        fields.className = u"FakeLake2D"; // a variant reads its base level so
        MemoryArchive archive(RecordBytes(fields));
        DS_2D_Light light;
        DS_2D_Light::Load(archive.Reader(), light);
        EXPECT_EQ(archive.Remaining(), 4u);
        ExpectLight(light, c.expected);
    }
}

TEST(PictureSceneRecordTest, TheCameraPathIsReadPointByPoint)
{
    MemoryArchive archive(RecordBytes(Light(3, PathCamera())));
    const auto light = ReadLightObject(archive.Reader());
    const DSM_Camera& camera = light->Camera();
    EXPECT_EQ(camera.pathWidth.value, 1536u);
    EXPECT_EQ(camera.pathHeight.value, 864u);
    ASSERT_EQ(camera.path.points.size(), 2u);
    EXPECT_EQ(camera.path.points[0]->value, (math::Vec3{10, 20, 0}));
    EXPECT_FLOAT_EQ(camera.path.points[0]->duration.value, 3.5f);
    EXPECT_EQ(camera.path.points[0]->zoomPercent.value, 150u);
    EXPECT_EQ(camera.path.points[1]->value, (math::Vec3{30, 40, 0}));
}

TEST(PictureSceneRecordTest, ANameTheLightRegistryDoesNotKnowIsRefused)
{
    LightFields fields = Light(3, PathCamera());
    fields.className = u"DS_2D_Lite";
    MemoryArchive archive(RecordBytes(fields));
    EXPECT_THROW(ReadLightObject(archive.Reader()), DS_Error);
}

TEST(PictureSceneRecordTest, DamagedRecordsAreRefused)
{
    const std::vector<std::uint8_t> whole = RecordBytes(Light(3, PathCamera()));
    const std::size_t recordSize = whole.size() - 4;
    for (std::size_t size = 0; size < recordSize; ++size) {
        MemoryArchive archive(std::span(whole.data(), size));
        EXPECT_THROW(ReadLightObject(archive.Reader()), DS_Error) << "cut after " << size << " bytes";
    }

    DocumentWriter huge;
    huge.Section(u"DS_2D_Light", 3).WideString(u"sky.jpg").Int64(1);
    huge.Section(u"DSM_Camera", 3).Int(2).Dword(1).Dword(1).Int(0x7FFFFFFF).Dword(120).Dword(50);
    MemoryArchive hugeArchive(huge.Bytes());
    EXPECT_THROW(ReadLightObject(hugeArchive.Reader()), DS_Error);

    DocumentWriter longPath;
    longPath.Section(u"DS_2D_Light", 2).WideStringLength(0xFFFFFFF0u);
    MemoryArchive longArchive(longPath.Bytes());
    EXPECT_THROW(ReadLightObject(longArchive.Reader()), DS_Error);
}

TEST(PictureSceneRecordTest, SaveWritesWhatTheReaderReads)
{
    LightFields fields = Light(3, PathCamera());
    for (CameraPointFields& point : fields.camera.points)
        point.version = 1; // the camera writes every point with its zoom
    MemoryArchive archive(RecordBytes(fields));
    const auto light = ReadLightObject(archive.Reader());

    render_object_test::RecordingArchive recording;
    light->Save(recording.Writer());

    DocumentWriter expected;
    WriteLightRecord(expected, fields);
    EXPECT_EQ(recording.writer.Bytes(), expected.Bytes());
}

} // namespace
