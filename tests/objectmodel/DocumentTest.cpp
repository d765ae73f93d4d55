// Opening scene documents: the top-level sequence from a file and from the
// program's resources, the refusals with their messages, truncated and
// lying documents, and who owns and frees the document's resource manager.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/ResourceSource.h"
#include "objectmodel/SceneDocument.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/SampleDocuments.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------- test classes

class DocumentTestManager : public DS_DocResManagerBase {
public:
    DocumentTestManager() { ++live; }
    ~DocumentTestManager() override { --live; }
    void ReadBody(ArchiveReader ar, std::int32_t storedVersion) override
    {
        version = storedVersion;
        record = ReadDocResManagerBody(ar, storedVersion);
    }
    static inline int live = 0;
    std::int32_t version = -1;
    DocResManagerRecord record;
};

// A slide whose body is one int32. It notes which manager was current when
// it was read and when it was destroyed.
class DocumentTestSlide : public DS_IOF_Item {
public:
    ~DocumentTestSlide() override { currentAtDestruction = g_DocResManagerTls; }
    void ReadBody(ArchiveReader ar, std::int32_t)
    {
        currentWhileRead = g_DocResManagerTls;
        value = ar.ReadInt();
    }
    static inline DS_DocResManagerBase* currentAtDestruction = nullptr;
    DS_DocResManagerBase* currentWhileRead = nullptr;
    std::int32_t value = 0;
};

const bool g_slideRegistered = RegisterMainClass<DocumentTestSlide>(u"DocumentTestSlide");

class DocumentTestSlideShow : public DS_SlideShowBase {
public:
    DocumentTestSlideShow() { ++live; }
    ~DocumentTestSlideShow() override { --live; }
    void ReadSlide(ArchiveReader ar) override { slides.push_back(ReadSceneObject(ar)); }
    static inline int live = 0;
    std::vector<std::unique_ptr<DS_IOF_Item>> slides;
};

DocumentTestManager& ManagerOf(const SceneDocument& document)
{
    return dynamic_cast<DocumentTestManager&>(*document.ResManager());
}

DocumentTestSlideShow& SlideShowOf(const SceneDocument& document)
{
    return dynamic_cast<DocumentTestSlideShow&>(*document.SlideShow());
}

// ---------------------------------------------------------------- documents

// A document with two slides, two audio files and a full manager record.
Bytes RichDocument()
{
    DocumentWriter writer;
    writer.Header().SlideShowBegin(2);
    writer.Section(u"DocumentTestSlide", 1).Int(10);
    writer.Section(u"DocumentTestSlide", 1).Int(20);
    writer.AudioFiles(SampleAudioFiles()).DocResManager(SampleResourceRecord());
    return writer.Bytes();
}

// The program's embedded documents, by resource id.
std::map<std::uint16_t, Bytes> g_programResources;

std::optional<std::span<const std::uint8_t>> FindTestProgramResource(const ResourceType& type, std::uint16_t id)
{
    if (type.name != u"DDS")
        return std::nullopt;
    const auto it = g_programResources.find(id);
    if (it == g_programResources.end())
        return std::nullopt;
    return std::span<const std::uint8_t>(it->second);
}

class DocumentTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_slideRegistered);
        InstallSlideShowClass([]() -> std::unique_ptr<DS_SlideShowBase> {
            return std::make_unique<DocumentTestSlideShow>();
        });
        InstallDocResManagerClass([]() -> std::unique_ptr<DS_DocResManagerBase> {
            return std::make_unique<DocumentTestManager>();
        });
        InstallProgramResourceFinder(&FindTestProgramResource);
        g_programResources.clear();
        g_DocResManagerTls = nullptr;
    }
    void TearDown() override
    {
        InstallSlideShowClass(nullptr);
        InstallDocResManagerClass(nullptr);
        InstallProgramResourceFinder(nullptr);
        EXPECT_EQ(DocumentTestManager::live, 0) << "a manager outlived its document";
        EXPECT_EQ(DocumentTestSlideShow::live, 0);
        g_DocResManagerTls = nullptr;
    }

    SceneDocument OpenFromResource(const Bytes& bytes)
    {
        g_programResources[kEmbeddedDocumentId] = bytes;
        return OpenDocumentResource(kEmbeddedDocumentId);
    }

    static kxi_string MessageOf(const std::function<void()>& open)
    {
        try {
            open();
        } catch (const DS_Error& error) {
            return error.Message();
        }
        return u"(not refused)";
    }
};

// ---------------------------------------------------------------- reading

TEST_F(DocumentTest, MinimalDocumentReadsFromFileAndResource)
{
    TempFile file(MinimalDocument());
    std::function<SceneDocument()> openers[] = {
        [&] { return OpenDocumentFile(file.WidePath()); },
        [&] { return OpenFromResource(MinimalDocument()); },
    };
    for (auto& open : openers) {
        SceneDocument document = open();
        ASSERT_TRUE(document);
        EXPECT_TRUE(SlideShowOf(document).slides.empty());
        EXPECT_TRUE(document.SlideShow()->AudioFiles().empty());
        EXPECT_EQ(ManagerOf(document).version, 4);
        EXPECT_TRUE(ManagerOf(document).record.textureSetRecords.empty());
        EXPECT_EQ(g_DocResManagerTls, document.ResManager()) << "the document's manager is current after opening";
    }
}

TEST_F(DocumentTest, ReadsSlidesAudioFilesAndResourcesInStoredOrder)
{
    SceneDocument document = OpenFromResource(RichDocument());
    const auto& slides = SlideShowOf(document).slides;
    ASSERT_EQ(slides.size(), 2u);
    for (std::size_t i = 0; i < slides.size(); ++i) {
        const auto& slide = dynamic_cast<const DocumentTestSlide&>(*slides[i]);
        EXPECT_EQ(slide.value, 10 * std::int32_t(i + 1));
        EXPECT_EQ(slide.currentWhileRead, document.ResManager()) << "the new manager is current while slides read";
    }
    const auto& audio = document.SlideShow()->AudioFiles();
    const std::vector<DS_AudioFile> expectedAudio = SampleAudioFiles();
    ASSERT_EQ(audio.size(), expectedAudio.size());
    for (std::size_t i = 0; i < audio.size(); ++i) {
        EXPECT_EQ(audio[i]->m_name, expectedAudio[i].m_name);
        EXPECT_EQ(audio[i]->m_data, expectedAudio[i].m_data);
    }

    const DocResManagerRecord expected = SampleResourceRecord();
    const DocResManagerRecord& read = ManagerOf(document).record;
    EXPECT_EQ(read.textureSetRecords, expected.textureSetRecords);
    EXPECT_EQ(read.textureSetValues, expected.textureSetValues);
    EXPECT_EQ(read.storedResources, expected.storedResources);
    ASSERT_EQ(read.guidTextures.size(), 1u);
    EXPECT_EQ(read.guidTextures.begin()->second.key.name, u"glow");
    EXPECT_EQ(read.guidTextures.begin()->second.key.flag, 1);
    EXPECT_EQ(read.guidTextures.begin()->second.blob, expected.guidTextures.begin()->second.blob);
    const auto& frames = read.frames.at({u"birds.gif", 9});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].bytes, Bytes{3});
    EXPECT_EQ(frames[1].frameTime, 0.25f);
}

TEST_F(DocumentTest, ManagerRecordReadsTheMapsOfItsVersion)
{
    // Versions compare against 1, 2 and 3 only: 0 and 5+ read all five maps.
    const struct {
        std::int32_t version;
        int counts;
    } cases[] = {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {0, 5}, {9, 5}};
    for (const auto& c : cases) {
        DocumentWriter writer;
        for (int i = 0; i < c.counts; ++i)
            writer.Int(0);
        writer.Int(12345); // whatever follows the record stays unread
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerBody(archive.Reader(), c.version);
        EXPECT_EQ(archive.Consumed(), 4u * c.counts) << c.version;
    }
}

TEST(TextureSetValueTest, FrameTimesAreStoredAsFloatBitPatterns)
{
    EXPECT_EQ(FrameTimeValue(0.1f), 0x3DCCCCCDu);
    EXPECT_EQ(FrameTimeOfValue(FrameTimeValue(0.1f)), 0.1f);
    EXPECT_EQ(FrameTimeOfValue(FrameTimeValue(2.5f)), 2.5f);
    // Values that are no usable duration count as no time at all.
    const std::uint32_t unusable[] = {0x7FC00000u /* NaN */, 0x7F800000u /* +inf */, 0xFF800000u /* -inf */,
                                      FrameTimeValue(-0.1f), 0x80000000u /* -0 */};
    for (const std::uint32_t value : unusable)
        EXPECT_EQ(FrameTimeOfValue(value), 0.0f) << std::hex << value;
}

TEST_F(DocumentTest, EmbeddedHeaderIsNotChecked)
{
    DocumentWriter writer;
    writer.Header(u"anything").SlideShowBegin(0).Int(0).DocResManager({});
    EXPECT_TRUE(OpenFromResource(writer.Bytes()));
}

// ---------------------------------------------------------------- refusals

TEST_F(DocumentTest, FileRefusalsGiveTheirMessages)
{
    const Bytes minimal = MinimalDocument();
    const Bytes outdatedHeader = DocumentWriter().Header(u"VIZ v 3.0.0").Bytes();
    const Bytes lowerCaseHeader = DocumentWriter().Header(u"viz v 4.0.0").Bytes();
    const Bytes cutHeader(minimal.begin(), minimal.begin() + 10);
    const kxi_string ok = u"(not refused)";
    const struct {
        const char* name;
        std::string suffix;
        Bytes bytes;
        kxi_string message;
    } cases[] = {
        {"refused extension", ".vsx", minimal, kUnsupportedFormatMessage},
        {"refused extension in capitals", ".VSX", minimal, kUnsupportedFormatMessage},
        {"refused extension in mixed case", ".vSx", minimal, kUnsupportedFormatMessage},
        {"only the last extension counts", ".vsx.bak", outdatedHeader, kOutdatedFormatMessage},
        {"no extension at all", "", minimal, ok},
        {"empty file", ".vsd", {}, kOutdatedFormatMessage},
        {"older header", ".vsd", outdatedHeader, kOutdatedFormatMessage},
        {"header compared case-sensitively", ".vsd", lowerCaseHeader, kOutdatedFormatMessage},
        {"file cut inside the header", ".vsd", cutHeader, kOutdatedFormatMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.bytes, c.suffix);
        EXPECT_EQ(MessageOf([&] { OpenDocumentFile(file.WidePath()); }), c.message);
    }
}

TEST_F(DocumentTest, DocumentsThatCannotBeOpenedThrowTheCode)
{
    g_programResources[5] = {};
    const std::function<void()> opens[] = {
        [] { OpenDocumentFile(u"/nonexistent/orvanta/scene.vsd"); },
        [] { OpenDocumentFile(crt::FromUtf8(std::filesystem::temp_directory_path().string())); },
        [] { OpenDocumentResource(4); }, // no such resource
        [] { OpenDocumentResource(5); }, // a resource of size 0
    };
    for (const auto& open : opens) {
        try {
            open();
            ADD_FAILURE() << "opened";
        } catch (const DocumentOpenFailure& failure) {
            EXPECT_EQ(failure.code, 0x8200000Bu);
        }
    }
}

TEST_F(DocumentTest, EveryTruncationIsRefusedAndLeavesNothingBehind)
{
    const Bytes whole = RichDocument();
    const std::size_t headerBytes = DocumentWriter().Header().Size();
    DocumentTestManager previous;
    g_DocResManagerTls = &previous;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        const Bytes cut(whole.begin(), whole.begin() + length);
        if (length > 0) {
            EXPECT_THROW(OpenFromResource(cut), DS_Error);
        }
        TempFile file(cut);
        const kxi_string message = MessageOf([&] { OpenDocumentFile(file.WidePath()); });
        if (length < headerBytes)
            EXPECT_EQ(message, kOutdatedFormatMessage);
        else
            EXPECT_EQ(message.rfind(u"Cannot open file: the document is damaged", 0), 0u) << crt::ToUtf8(message);
        EXPECT_EQ(g_DocResManagerTls, &previous) << "a refused document leaves the current manager as it was";
        EXPECT_EQ(DocumentTestManager::live, 1);
        EXPECT_EQ(DocumentTestSlideShow::live, 0);
    }
    g_DocResManagerTls = nullptr;
}

TEST_F(DocumentTest, LyingSizesAndUnknownClassesAreRefused)
{
    const Bytes hugeClassName = DocumentWriter().Header().WideStringLength(0xFFFFFFFFu).Word(0x44).Bytes();
    const Bytes hugeSlideCount = DocumentWriter().Header().SlideShowBegin(0x7FFFFFFF).Bytes();
    const Bytes negativeAudioCount = DocumentWriter().Header().SlideShowBegin(0).Int(-1).Bytes();
    DocumentWriter unknownSlide;
    unknownSlide.Header().SlideShowBegin(1).Section(u"DS_SlideContainer", 1).Int(0);
    DocumentWriter hugeBlob;
    hugeBlob.Header().SlideShowBegin(0).Count(1).Section(u"DS_AudioFile", 1).WideString(u"a").Int(0x7FFFFFF0);
    const struct {
        const char* name;
        Bytes bytes;
        kxi_string messageStart;
    } cases[] = {
        {"class name of 4 G units", hugeClassName, u"Cannot open file: the document is damaged"},
        {"2 G slides", hugeSlideCount, u"Cannot open file: the document is damaged: a count of 2147483647"},
        {"negative audio count", negativeAudioCount, u"Cannot open file: the document is damaged: a count is negative"},
        {"audio blob of 2 G bytes", hugeBlob.Bytes(), u"Cannot open file: the document is damaged"},
        {"unregistered slide class", unknownSlide.Bytes(),
         u"Cannot open file: the document holds an object of unknown class \"DS_SlideContainer\"."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.bytes);
        for (const kxi_string& message : {MessageOf([&] { OpenFromResource(c.bytes); }),
                                          MessageOf([&] { OpenDocumentFile(file.WidePath()); })})
            EXPECT_EQ(message.rfind(c.messageStart, 0), 0u) << crt::ToUtf8(message);
    }
}

// ---------------------------------------------------------------- ownership

TEST_F(DocumentTest, EachDocumentOwnsItsManager)
{
    TempFile file(RichDocument());
    auto first = std::make_optional(OpenDocumentFile(file.WidePath()));
    DS_DocResManagerBase* firstManager = first->ResManager();
    SceneDocument second = OpenDocumentFile(file.WidePath());
    EXPECT_EQ(DocumentTestManager::live, 2) << "opening a document frees no other document's manager";
    EXPECT_EQ(g_DocResManagerTls, second.ResManager());
    EXPECT_EQ(ManagerOf(*first).version, 4);

    // The slides are torn down with their own manager current; the thread's
    // current manager is put back afterwards.
    first.reset();
    EXPECT_EQ(DocumentTestSlide::currentAtDestruction, firstManager);
    EXPECT_EQ(g_DocResManagerTls, second.ResManager());
    EXPECT_EQ(DocumentTestManager::live, 1);

    // Freeing the current manager leaves the thread with none, not a dangling one.
    second = SceneDocument();
    EXPECT_EQ(g_DocResManagerTls, nullptr);
    EXPECT_EQ(DocumentTestManager::live, 0);
}

TEST_F(DocumentTest, ARefusedSecondDocumentKeepsTheFirstCurrent)
{
    SceneDocument first = OpenFromResource(MinimalDocument());
    Bytes cut = RichDocument();
    cut.resize(cut.size() - 1);
    EXPECT_THROW(OpenFromResource(cut), DS_Error);
    EXPECT_EQ(g_DocResManagerTls, first.ResManager());
}

} // namespace
