// The inspector's view of image effects in a document: shared fields, the
// mask the document keeps under the key, and the class's own values as the
// reader left them.

#include "objectmodel/Archive.h"
#include "objectmodel/SceneDocument.h"
#include "render/DocResManager.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/DocumentSummaryClasses.h"
#include "tests/support/PictureSceneWriter.h"
#include "tools/scene/SceneJson.h"

namespace image_effect_test {
namespace {

using namespace image_effect_writer;

const crt::Guid kMasked = crt::ParseGuid("{0A0B0C0D-1111-4222-8333-444455556666}");
const crt::Guid kUnmasked = crt::ParseGuid("{0A0B0C0D-1111-4222-8333-444455557777}");

std::string InspectSlideOf(const std::function<void(DocumentWriter&)>& writeObjects, std::int32_t objects)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(5.0f).Int(0).WideString(u"effects");
    picture_scene_writer::WriteLightRecord(w, picture_scene_writer::LightFields{});
    w.Count(std::size_t(objects));
    writeObjects(w);
    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    GuidTextureRecord mask;
    mask.key = GuidNameKey{kMasked, u"", 1};
    mask.blob = ResourceBlob(u"mask.bmp");
    mask.blob.SetBytes(bmp_fixture::BmpPicture(4, 4, [](std::uint32_t x, std::uint32_t) { return x < 2 ? 0xFFFFFFu : 0u; }));
    record.guidTextures[mask.key] = mask;
    w.DocResManager(record);

    InstallInspectionDocumentClasses();
    InstallRenderDocResManager();
    RegisterEffectClasses();
    ResourceBuffer buffer;
    buffer.SetMemory(w.Bytes());
    DS_IOF_R<ResourceBuffer> archive(buffer);
    ArchiveReader ar(archive);
    ar.ReadWideString();
    const SceneDocument document = ReadSceneDocument(ar);
    return InspectDocumentJson(document);
}

TEST(ImageEffectJsonTest, ShowsSharedFieldsTheMaskAndOwnValuesAfterConversion)
{
    const std::string json = InspectSlideOf(
        [](DocumentWriter& w) {
            WaterFields water;
            water.shape = 33;
            water.fx.guid = kMasked;
            water.fx.mode = 2;
            water.fx.region[9] = 110.0f;
            WriteWater(w, water);
            MoveFields move; // version 1: kind 0 plays as 3, b takes a
            move.version = 1;
            move.direction.magnitude = 80;
            move.direction.fx.guid = kUnmasked;
            WriteMove(w, move);
        },
        2);
    const std::string masked = "\"key\": \"" + crt::FormatGuid(kMasked) + "\"";
    const std::string unmasked = "\"key\": \"" + crt::FormatGuid(kUnmasked) + "\"";
    const auto water = json.find(masked), move = json.find(unmasked);
    ASSERT_NE(water, std::string::npos) << json;
    ASSERT_NE(move, std::string::npos) << json;
    const std::string waterPart = json.substr(water, move - water);
    const std::string movePart = json.substr(move);
    for (const char* field : {"\"mode\": 2", "\"mask\": true", "\"shape\": 33", "[110, 0, 0]",
                              "\"bump\": {\"path\": \"common_res.dll\", \"id\": 89}"})
        EXPECT_NE(waterPart.find(field), std::string::npos) << field << "\n" << waterPart;
    for (const char* field : {"\"mask\": false", "\"kind\": 3", "\"secondMagnitude\": 80", "\"magnitude\": 80"})
        EXPECT_NE(movePart.find(field), std::string::npos) << field << "\n" << movePart;
}

} // namespace
} // namespace image_effect_test
