// The document resource manager's stored record, read from writer-made
// documents of every version, and its lifetime.

#include "render/DocResManager.h"

#include <gtest/gtest.h>

#include "render/DocResManagerSummary.h"
#include "tests/render/DocResManagerTestSupport.h"

namespace docres_test {
namespace {

crt::Guid FixedGuid(std::uint8_t first)
{
    const std::uint8_t bytes[16] = {first, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    return crt::GuidFromBytes(bytes);
}

ModuleResourceBlob StoredPicture(const char16_t* name, std::uint32_t width, std::uint32_t height, std::uint32_t rgb)
{
    ModuleResourceBlob blob(name);
    blob.SetBytes(SolidBmp(width, height, rgb));
    return blob;
}

const LinkKey kSky{u"C:\\pics\\sky.bmp", 77};
const LinkKey kBirds{u"C:\\pics\\birds.bmp", 78};
const LinkKey kWater{u"water.fx", -7};

// A record with an entry in every map: a one-picture set with values
// stored for it, a two-picture set, a stored resource (also stored for the
// one-picture set's key, which keeps its own records), a GUID texture and
// the frames of an animated picture.
DocResManagerRecord FullRecord()
{
    DocResManagerRecord record;
    record.textureSetRecords[kSky] = {StoredPicture(u"sky.bmp", 100, 50, 0x112233)};
    record.textureSetValues[kSky] = {5, 6};
    record.textureSetRecords[kBirds] = {StoredPicture(u"bird1.bmp", 8, 8, 0xFF0000),
                                        StoredPicture(u"bird2.bmp", 16, 4, 0x00FF00)};
    record.textureSetValues[kBirds] = {100, 200};
    ModuleResourceBlob effect(u"water.fx");
    effect.SetBytes({'f', 'x'});
    record.storedResources[kWater] = {effect};
    record.storedResources[kSky] = {ModuleResourceBlob(u"elsewhere.bmp")};
    const GuidNameKey glow{FixedGuid(1), u"glow", 1};
    ResourceBlob texture(u"glow.bmp");
    texture.SetBytes(SolidBmp(4, 4, 0x0000FF));
    record.guidTextures[glow] = {glow, texture};
    record.frames[{u"flock.gif", 9}] = {{SolidGif(4, 4, 0xFFFFFF), 0.1f}, {SolidGif(4, 4, 0), 0.25f}};
    return record;
}

class DocResManagerRecordTest : public DeviceTest {};

TEST_F(DocResManagerRecordTest, EachVersionReadsItsMaps)
{
    struct Case {
        std::int32_t version;
        std::size_t storedResources, guidTextures, animatedPictures;
    };
    // Versions are compared only against 1, 2 and 3.
    const Case cases[] = {{1, 0, 0, 0}, {2, 2, 0, 0}, {3, 2, 1, 0}, {4, 2, 1, 1}, {0, 2, 1, 1}, {5, 2, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const SceneDocument document = ReadDocument(FullRecord(), c.version);
        const DS_DocResManager& manager = ManagerOf(document);
        EXPECT_EQ(manager.StoredVersion(), c.version);
        EXPECT_EQ(manager.TextureSets().size(), 2u);
        EXPECT_EQ(manager.StoredResources().size(), c.storedResources);
        EXPECT_EQ(manager.GuidTextures().size(), c.guidTextures);
        EXPECT_EQ(manager.FrameDataMap().size(), c.animatedPictures);
        // Transient maps are empty once the record is read.
        EXPECT_TRUE(manager.TextureSetRecords().empty());
        EXPECT_TRUE(manager.PendingFrameData().empty());
    }
}

TEST_F(DocResManagerRecordTest, TextureSetsAreBuiltFromTheStoredPictures)
{
    const SceneDocument document = ReadDocument(FullRecord());
    DS_DocResManager& manager = ManagerOf(document);

    // One picture: one texture, no values although values are stored.
    const TextureSetEntry& sky = manager.TextureSets().at(kSky);
    ASSERT_EQ(sky.textures.size(), 1u);
    ASSERT_TRUE(sky.HasTexture());
    EXPECT_EQ(sky.width, 100u);
    EXPECT_EQ(sky.height, 50u);
    EXPECT_FLOAT_EQ(sky.ratio, 0.5f);
    EXPECT_EQ(sky.textures[0]->Width(), 128u); // rounded up to powers of two
    EXPECT_EQ(sky.textures[0]->Height(), 64u);
    EXPECT_TRUE(sky.values.empty());
    EXPECT_EQ(TexturePixel(sky.textures[0].Get(), 64, 32), 0xFF112233u);

    // Two pictures: two textures, the size of the last, the values copied.
    const TextureSetEntry& birds = manager.TextureSets().at(kBirds);
    ASSERT_EQ(birds.textures.size(), 2u);
    EXPECT_EQ(birds.width, 16u);
    EXPECT_EQ(birds.height, 4u);
    EXPECT_EQ(birds.values, (std::vector<std::uint32_t>{100, 200}));

    // The records: those of the texture sets, then the stored resources
    // for keys not already known.
    const auto& records = manager.ResourceRecordMap();
    EXPECT_EQ(records.size(), 3u);
    ASSERT_EQ(records.at(kSky).size(), 1u);
    EXPECT_EQ(records.at(kSky)[0].Name(), u"sky.bmp");
    EXPECT_EQ(records.at(kBirds).size(), 2u);
    EXPECT_EQ(records.at(kWater)[0].Size(), 2);

    // GUID textures are made from their stored bytes.
    const auto& guid = manager.GuidTextures().begin()->second;
    ASSERT_NE(guid, nullptr);
    EXPECT_EQ(TexturePixel(guid.Get(), 1, 1), 0xFF0000FFu);

    // Stored frames wait for their first use, as they were stored.
    const auto& frames = manager.FrameDataMap().at({u"flock.gif", 9});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_FLOAT_EQ(frames[1].frameTime, 0.25f);
    EXPECT_EQ(frames[0].Bytes().size(), SolidGif(4, 4, 0xFFFFFF).size());
}

// The pictures a document stores are counted from their headers against the
// budget (lowered here): within it the document is read, one byte over it
// is refused naming the limit, and a picture whose header alone claims more
// is refused before anything is decoded (its pixels are not even there).
TEST_F(DocResManagerRecordTest, PicturesBeyondTheBudgetRefuseTheDocument)
{
    // sky 100 x 50, birds 8 x 8 and 16 x 4, glow 4 x 4: 32-bit pixels.
    const std::uint64_t fullRecord = (100 * 50 + 8 * 8 + 16 * 4 + 4 * 4) * 4;
    std::vector<std::uint8_t> headerOnly = SolidBmp(8000, 8000, 0);
    headerOnly.resize(54);
    DocResManagerRecord claims;
    ModuleResourceBlob huge(u"huge.bmp");
    huge.SetBytes(headerOnly);
    claims.textureSetRecords[kSky] = {huge};

    struct Case {
        const char* what;
        DocResManagerRecord record;
        std::uint64_t budget;
        const char* refusal; // null: read
    };
    const Case cases[] = {
        {"exactly the budget", FullRecord(), fullRecord, nullptr},
        {"one byte over", FullRecord(), fullRecord - 1, "more than 20575 bytes decoded"},
        {"a header claiming 8000 x 8000", claims, 100 << 20, "more than 100 MB decoded"},
    };
    for (const Case& c : cases) {
        SetDocumentPictureBudgetForTesting(c.budget);
        try {
            const SceneDocument document = ReadDocument(c.record);
            EXPECT_EQ(c.refusal, nullptr) << c.what;
        } catch (const DS_Error& error) {
            ASSERT_NE(c.refusal, nullptr) << c.what << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find(c.refusal), std::string::npos) << c.what << ": " << error.what();
        }
    }
    SetDocumentPictureBudgetForTesting(0);
    EXPECT_EQ(DocumentPictureBudget(), kDocumentPictureBudget);
}

TEST_F(DocResManagerRecordTest, DamagedRecordsAreRefused)
{
    DocumentWriter full;
    full.Header().SlideShowBegin(0).Int(0).DocResManager(FullRecord());
    std::vector<std::uint8_t> truncated = full.Bytes();
    truncated.resize(truncated.size() - 3);

    DocumentWriter hugeCount;
    hugeCount.Header().SlideShowBegin(0).Int(0).Section(u"DS_DocResManager", 4).Int(0x7FFFFFF0);

    DocumentWriter hugeFrame;
    hugeFrame.Header().SlideShowBegin(0).Int(0).Section(u"DS_DocResManager", 4).Int(0).Int(0).Int(0).Int(0);
    hugeFrame.Int(1).WideString(u"a.gif").Int64(1).Int(1).Int(1).Int(0x7FFFFFFF);

    DS_DocResManagerBase* before = g_DocResManagerTls;
    for (const auto& bytes : {truncated, hugeCount.Bytes(), hugeFrame.Bytes()}) {
        ResourceBuffer buffer;
        buffer.SetMemory(bytes);
        DS_IOF_R<ResourceBuffer> archive(buffer);
        ArchiveReader ar(archive);
        ar.ReadWideString();
        EXPECT_THROW(ReadSceneDocument(ar), DS_Error);
        EXPECT_EQ(g_DocResManagerTls, before);
    }
}

TEST_F(DocResManagerRecordTest, TheDocumentsManagerIsCurrentAndOwnsTheCurrentCache)
{
    SceneDocument document = ReadDocument({});
    DS_DocResManager& manager = ManagerOf(document);
    EXPECT_EQ(CurrentDocResManager(), &manager);
    EXPECT_EQ(g_CurrentResourceCache, &manager.Cache());
    // Objects find the picture's place on the screen through it.
    EXPECT_EQ(GetCurrentScreenInfoForWriting(), &manager.ScreenInfoRecord());

    // A second manager takes over the current cache; destroying it leaves
    // no current cache rather than a freed one.
    {
        DS_DocResManager other;
        EXPECT_EQ(g_CurrentResourceCache, &other.Cache());
    }
    EXPECT_EQ(g_CurrentResourceCache, nullptr);

    document = SceneDocument();
    EXPECT_EQ(g_DocResManagerTls, nullptr);
}

TEST_F(DocResManagerRecordTest, TheSummaryCountsWhatTheRecordMade)
{
    const SceneDocument document = ReadDocument(FullRecord());
    const auto summary = SummarizeDocResManager(document.ResManager());
    ASSERT_TRUE(summary);
    EXPECT_EQ(DocResManagerSummaryJson(*summary),
              "{\"version\": 4, \"textureSets\": 2, \"textureSetValues\": 2, \"storedResources\": 2, "
              "\"guidTextures\": 1, \"animatedPictures\": 1, \"resourceRecords\": 3, \"loadedTextures\": 2, "
              "\"meshes\": 0, \"effects\": 0, \"sharedRenderTargets\": 0, \"losableObjects\": 0}");
    InspectionResManager other;
    EXPECT_FALSE(SummarizeDocResManager(&other));
}

TEST(DocResManagerWithoutDeviceTest, ReadingWithoutADeviceKeepsTheRecordsAndMakesNoTextures)
{
    TestModuleFolder();
    InstallSlideShowClass([]() -> std::unique_ptr<DS_SlideShowBase> { return std::make_unique<InspectionSlideShow>(); });
    InstallRenderDocResManager();
    ASSERT_EQ(GetResourceDevice(), nullptr);
    const SceneDocument document = ReadDocument(FullRecord());
    const DS_DocResManager& manager = ManagerOf(document);
    EXPECT_EQ(manager.TextureSets().size(), 2u);
    EXPECT_FALSE(manager.TextureSets().at(kSky).HasTexture());
    EXPECT_EQ(manager.TextureSets().at(kSky).width, 0u);
    EXPECT_EQ(manager.ResourceRecordMap().size(), 3u);
    g_DocResManagerTls = nullptr;
}

} // namespace
} // namespace docres_test
