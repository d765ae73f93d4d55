// File links: path operations, links made from stored records, stored forms,
// the undo control of image links and the named file-link record.

#include "render/FileLink.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "render/DocResManager.h"
#include "render/FileLinkNamed.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/RenderRecordWriter.h"

namespace {

// Reads from the bytes of a writer.
class Reader {
public:
    explicit Reader(const DocumentWriter& writer) : m_bytes(writer.Bytes())
    {
        m_buffer.SetMemory(m_bytes);
    }
    ArchiveReader Archive() { return ArchiveReader(m_archive); }
    std::uint64_t Remaining() const { return m_buffer.BytesRemaining(); }

private:
    std::vector<std::uint8_t> m_bytes;
    ResourceBuffer m_buffer;
    DS_IOF_R<ResourceBuffer> m_archive{m_buffer};
};

// An observer that counts what it is told.
class Recorder : public MediaControl {
public:
    void OnParamChanged(MediaControl* source) override
    {
        ++calls;
        lastSource = source;
    }
    int calls = 0;
    MediaControl* lastSource = nullptr;
};

// An undo sink that records every reported change as history.
class RecordingSink : public UndoSink {
public:
    RecordingSink() { g_UndoSink = this; }
    ~RecordingSink() override { g_UndoSink = nullptr; }
    void ReportChange(UndoCtrl& controller, MediaControl&) override { controller.PushState(); }
};

TEST(FileLinkTest, ExtensionsAndFileNamesFollowTheLastDotAndBackslash)
{
    struct Case {
        const char16_t* path;
        const char16_t* extension;
        const char16_t* fileName;
        bool moduleLink;
    };
    const Case cases[] = {
        {u"C:\\my.pictures\\Sky.PNG", u".png", u"Sky.PNG", false},
        {u"common_res.dll", u".dll", u"", true},
        {u"C:\\Program Files\\Packs\\EXTRA.DLL", u".dll", u"EXTRA.DLL", true},
        {u"birds.GiF", u".gif", u"", false},
        {u"no-extension", u"", u"", false},
        {u"folder.d\\file", u".d\\file", u"file", false},
        {u"", u"", u"", false},
    };
    for (const Case& c : cases) {
        const DS_FileLink3 link(1, c.path);
        EXPECT_EQ(link.GetExtension(), kxi_string(c.extension)) << crt::ToUtf8(c.path);
        EXPECT_EQ(link.GetFileName(), kxi_string(c.fileName)) << crt::ToUtf8(c.path);
        EXPECT_EQ(!link.IsNotModuleLink(), c.moduleLink) << crt::ToUtf8(c.path);
        EXPECT_EQ(link.GetPath(), kxi_string(c.path));
    }
    // Only A-Z are lowered; other code units stay.
    EXPECT_EQ(GetFileExtension(u"x.\u00C4BC"), kxi_string(u".\u00C4bc"));
}

TEST(FileLinkTest, LinksOfStoredRecordsTakeTheirModuleOrANewNumber)
{
    const ModuleResourceBlob moduleRecord(204, u"common_res.dll");
    const DS_FileLink3 moduleLink(moduleRecord);
    EXPECT_EQ(moduleLink.Key(), (LinkKey{u"common_res.dll", 204}));

    const ModuleResourceBlob first(u"a.png");
    const ModuleResourceBlob second(u"b.png");
    const DS_FileLink3 firstLink(first);
    const DS_FileLink3 secondLink(second);
    EXPECT_EQ(firstLink.Path(), u"a.png");
    EXPECT_EQ(secondLink.Path(), u"b.png");
    EXPECT_EQ(secondLink.Id(), firstLink.Id() + 1);
    // The id of a resource is sign-extended.
    EXPECT_EQ(DS_FileLink3(-7, u"x.dll").Id(), -7);
}

TEST(FileLinkTest, AFileLinkTakesTheFileModificationTime)
{
    const auto path = std::filesystem::temp_directory_path() / ("orvanta-link-" + std::to_string(::getpid()));
    std::ofstream(path) << "picture";
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(DS_FileLink3(crt::FromUtf8(path.string())).Id(), static_cast<std::int64_t>(status.st_mtime));
    std::filesystem::remove(path);
    EXPECT_EQ(DS_FileLink3(crt::FromUtf8(path.string())).Id(), 0);
}

TEST(FileLinkTest, ReadingALinkStoresItWithoutTellingAnybody)
{
    DocumentWriter writer;
    WriteFileLinkRecord(writer, u"C:\\pics\\sky.png", 1234567890123);
    WriteFileLinkRecord(writer, u"common_res.dll", 5);
    Reader reader(writer);

    Recorder recorder;
    DS_ImageFileLink image(6, u"common_res.dll");
    image.AddControl(&recorder);
    ReadImageFileLink(reader.Archive(), image);
    EXPECT_EQ(image.Key(), (LinkKey{u"C:\\pics\\sky.png", 1234567890123}));
    EXPECT_EQ(recorder.calls, 0);
    EXPECT_EQ(image.Undo().Current(), (LinkKey{u"common_res.dll", 6}));

    DS_MeshFile mesh;
    ReadFileLink(reader.Archive(), mesh);
    EXPECT_EQ(mesh.Key(), (LinkKey{u"common_res.dll", 5}));
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(FileLinkTest, LinkVectorsAreReadInOrderAndTheirCountIsChecked)
{
    DocumentWriter writer;
    writer.Count(2);
    WriteFileLinkRecord(writer, u"a.png", 1);
    WriteFileLinkRecord(writer, u"b.png", 2);
    Reader reader(writer);
    std::vector<DS_ImageFileLink> links;
    ReadImageLinkVector(reader.Archive(), links);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[1].Key(), (LinkKey{u"b.png", 2}));
    // Each link carries its own undo control, watching that link.
    EXPECT_EQ(links[0].Undo().Link(), &links[0]);
    EXPECT_EQ(links[1].Undo().Link(), &links[1]);

    DocumentWriter huge;
    huge.Int(0x7FFFFFFF);
    WriteFileLinkRecord(huge, u"a.png", 1);
    Reader hugeReader(huge);
    std::vector<DS_ImageFileLink> none;
    EXPECT_THROW(ReadImageLinkVector(hugeReader.Archive(), none), DS_Error);
    EXPECT_TRUE(none.empty());
}

TEST(FileLinkTest, UndoAndRedoWalkTheHistoryAndAlwaysTellTheObservers)
{
    RecordingSink sink;
    Recorder editor;
    Recorder observer;
    DS_ImageFileLink link(5, u"common_res.dll");
    link.AddControl(&observer);

    // Undo with an empty history changes nothing but still tells observers.
    link.Undo().Undo();
    EXPECT_EQ(link.Key(), (LinkKey{u"common_res.dll", 5}));
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(observer.lastSource, &link.Undo());
    EXPECT_EQ(link.Undo().History().Size(), 0u);

    // A change by a control becomes history.
    link.StorePathAndId(u"sky.png", 7);
    link.NotifyObservers(&editor);
    EXPECT_EQ(link.Undo().History().Size(), 1u);
    EXPECT_EQ(link.Undo().Current(), (LinkKey{u"sky.png", 7}));

    link.Undo().Undo();
    EXPECT_EQ(link.Key(), (LinkKey{u"common_res.dll", 5}));
    link.Undo().Redo();
    EXPECT_EQ(link.Key(), (LinkKey{u"sky.png", 7}));
    EXPECT_EQ(observer.calls, 4);

    // A reader's change (no source) is followed without history.
    link.StorePathAndId(u"other.png", 8);
    link.NotifyObservers(nullptr);
    EXPECT_EQ(link.Undo().History().Size(), 1u);
    EXPECT_EQ(link.Undo().Current(), (LinkKey{u"other.png", 8}));
}

TEST(FileLinkTest, CopiesHaveTheirOwnUndoControlAndDeathDetachesObservers)
{
    class DetachRecorder : public Recorder {
    public:
        void Detach() override { detached = true; }
        bool detached = false;
    } observer;
    {
        DS_ImageFileLink original(5, u"common_res.dll");
        original.AddControl(&observer);
        const DS_ImageFileLink copy(original);
        EXPECT_EQ(copy.Key(), original.Key());
        EXPECT_EQ(copy.Undo().Link(), &copy);
        ASSERT_EQ(copy.Observers().size(), 1u); // its undo control only
        EXPECT_EQ(copy.Observers().front(), &copy.Undo());
        EXPECT_EQ(original.Observers().front(), &original.Undo());
    }
    EXPECT_TRUE(observer.detached);
}

TEST(FileLinkTest, SetFileMakesTheManagersLinkAndTellsObserversButTheSource)
{
    DS_DocResManager manager;
    CurrentDocResManagerScope current(&manager);
    const auto path = std::filesystem::temp_directory_path() / ("orvanta-setfile-" + std::to_string(::getpid()));
    std::ofstream(path) << "picture";

    Recorder editor;
    Recorder observer;
    DS_ImageFileLink link(5, u"common_res.dll");
    link.AddControl(&editor);
    link.AddControl(&observer);

    link.SetFile(u"", &editor);
    link.HandleCommand(0, &editor);
    EXPECT_EQ(link.Key(), (LinkKey{u"common_res.dll", 5}));
    EXPECT_EQ(observer.calls, 0);

    const kxi_string file = crt::FromUtf8(path.string());
    link.SetFile(file, &editor);
    EXPECT_EQ(link.Key(), DS_FileLink3(file).Key());
    EXPECT_NE(link.Id(), 0);
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(editor.calls, 0);
    // The manager knows the link; a file it did not store shows nothing.
    EXPECT_FALSE(manager.GetTexture(link).HasTexture());
    std::filesystem::remove(path);
}

// ---------------------------------------------------------------- named file links

TEST(FileLinkTest, NamedRecordsReadByTheirVersionField)
{
    struct Case {
        std::uint32_t versionField;
        bool withPictures;
        std::uint32_t columns, rows;
        LinkKey source;
    };
    const Case cases[] = {
        {2, true, 4, 2, {u"source.png", 77}},
        {1, true, 4, 2, {u"a.png", 1}}, // the source is the first picture
        {0, true, 1, 1, {u"a.png", 1}}, // no grid stored
        {1, false, 4, 2, {}},           // no picture: the source stays empty
    };
    for (const Case& c : cases) {
        NamedFileLinkRecord record;
        record.name = u"sparks";
        if (c.withPictures)
            record.pictures = {{u"a.png", 1}, {u"b.png", 2}};
        record.versionField = c.versionField;
        record.columns = 4;
        record.rows = 2;
        record.sourcePath = u"source.png";
        record.sourceId = 77;
        DocumentWriter writer;
        WriteNamedFileLinkRecord(writer, record);
        Reader reader(writer);

        DS_NamedFileLinkData data;
        ReadResourceRecord(reader.Archive(), data);
        SCOPED_TRACE(c.versionField);
        EXPECT_EQ(reader.Remaining(), 0u);
        EXPECT_EQ(data.name, u"sparks");
        EXPECT_EQ(data.pictures.size(), c.withPictures ? 2u : 0u);
        EXPECT_EQ(data.columns, c.columns);
        EXPECT_EQ(data.rows, c.rows);
        EXPECT_EQ((LinkKey{data.sourcePath, data.sourceId}), c.source);
        EXPECT_EQ(data.version, 2); // reading leaves it
    }
}

TEST(FileLinkTest, NamedLinksDifferByTheirPictures)
{
    DS_NamedFileLinkData a;
    a.pictures.emplace_back(1, u"a.png");
    DS_NamedFileLinkData b = a;
    b.columns = 8;
    EXPECT_FALSE(MediaValueDiffers(a, b));
    b.pictures.emplace_back(2, u"b.png");
    EXPECT_TRUE(MediaValueDiffers(a, b));

    Recorder observer;
    DS_NamedFileLink link;
    link.AddControl(&observer);
    EXPECT_FALSE(link.SetChangedValue(DS_NamedFileLinkData{}, nullptr));
    EXPECT_TRUE(link.SetChangedValue(a, nullptr));
    EXPECT_EQ(observer.calls, 1);
    ASSERT_EQ(link.value.pictures.size(), 1u);
    EXPECT_EQ(link.value.pictures[0].Undo().Link(), &link.value.pictures[0]);
}

} // namespace
