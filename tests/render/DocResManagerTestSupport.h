#pragma once
// Fixtures for the resource-manager tests: a headless device installed as
// the resource device, pictures (BMP, GIF) and an .X mesh written in code,
// test resource packs in a folder that the module search uses, and the
// shared module packed from resources/common_res/.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "objectmodel/DocumentClasses.h"
#include "objectmodel/SceneDocument.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "platform/gfx/TextureLoaderDevice.h"
#include "platform/win/ResourceModule.h"
#include "platform/win/ResourcePack.h"
#include "render/DocResManager.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/GifFixture.h"
#include "render/ResourceLoading.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/DocumentSummaryClasses.h"
#include "tests/support/RenderRecordWriter.h"

namespace docres_test {

// ---------------------------------------------------------------- pictures

using bmp_fixture::BmpPicture;

inline std::vector<std::uint8_t> SolidBmp(std::uint32_t width, std::uint32_t height, std::uint32_t rgb)
{
    return BmpPicture(width, height, [rgb](std::uint32_t, std::uint32_t) { return rgb; });
}

// A GIF89a of one frame filled with `rgb`.
inline std::vector<std::uint8_t> SolidGif(std::uint16_t width, std::uint16_t height, std::uint32_t rgb)
{
    const std::uint32_t palette[4] = {rgb, 0, 0, 0};
    return gfx::testing::WriteGif(width, height, palette,
                                  {{std::vector<std::uint8_t>(std::size_t(width) * height, 0), 0}});
}

// ---------------------------------------------------------------- meshes

// A text .X tetrahedron with corners at the origin and on the axes at
// distance `size`.
inline std::vector<std::uint8_t> TetrahedronX(float size)
{
    std::ostringstream out;
    out << "xof 0303txt 0032\nMesh {\n 4;\n 0;0;0;,\n " << size << ";0;0;,\n 0;" << size << ";0;,\n 0;0;" << size
        << ";;\n 4;\n 3;0,2,1;,\n 3;0,1,3;,\n 3;0,3,2;,\n 3;1,2,3;;\n}\n";
    const std::string text = out.str();
    return {text.begin(), text.end()};
}

// ---------------------------------------------------------------- modules

inline std::filesystem::path SourceFolder()
{
    // Tests run in their source folder (tests/render).
    return std::filesystem::path("../..");
}

inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A pack from (type, id, bytes) entries.
struct PackEntry {
    win::ResourceType type;
    std::uint16_t id;
    std::vector<std::uint8_t> bytes;
};

inline std::vector<std::uint8_t> BuildPack(const std::vector<PackEntry>& entries)
{
    win::ResourcePackWriter writer;
    for (const PackEntry& entry : entries)
        EXPECT_TRUE(writer.Add(entry.type, entry.id, entry.bytes));
    return writer.Build();
}

// The shared module as the build packs it: every file of
// resources/common_res/, named <type>-<id>-<what>.<ext>.
inline std::vector<std::uint8_t> BuildCommonResPack()
{
    std::vector<PackEntry> entries;
    for (const auto& file : std::filesystem::directory_iterator(SourceFolder() / "resources" / "common_res")) {
        const std::string name = file.path().filename().string();
        const auto first = name.find('-');
        const auto second = name.find('-', first + 1);
        const auto type = win::ResourceType::Parse(name.substr(0, first));
        if (!type || second == std::string::npos)
            continue;
        const auto id = static_cast<std::uint16_t>(std::stoi(name.substr(first + 1, second - first - 1)));
        entries.push_back({*type, id, ReadFileBytes(file.path())});
    }
    return BuildPack(entries);
}

// Test modules, written once per process into a folder of their own that
// becomes the only folder the module search looks in.
inline constexpr char16_t kTestModule[] = u"docres_test.dll";
inline constexpr char16_t kOtherModule[] = u"docres_other.dll";
inline constexpr char16_t kMissingModule[] = u"docres_missing.dll";

// Ids in the test modules.
inline constexpr std::uint16_t kPictureId = 5;       // DDS: 100 x 50 BMP, red
inline constexpr std::uint16_t kTextureSetId = 9;    // DDS: a texture-set resource
inline constexpr std::uint16_t kMeshId = 11;         // DDS: tetrahedron (size 1; 3 in the other module)
inline constexpr std::uint16_t kEffectId = 12;       // RCDATA: the blur effect
inline constexpr std::uint16_t kSoundId = 13;        // RCDATA: raw bytes
inline constexpr std::uint32_t kPictureRgb = 0xFF0000;

inline std::vector<std::uint8_t> BlurEffectBytes()
{
    return ReadFileBytes(SourceFolder() / "resources" / "common_res" / "RCDATA-202-gaussian-blur.fx");
}

// The texture set of the test module: two pictures of its own (16 x 16
// green, 32 x 8 blue) and one in the module (the red picture), values 40, 60.
inline std::vector<std::uint8_t> TestTextureSetResource();

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline const std::filesystem::path& TestModuleFolder()
{
    static const std::filesystem::path folder = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("orvanta-docres-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const win::ResourceType dds("DDS");
        const win::ResourceType rcdata(win::RT_RCDATA);
        WriteFile(dir / "docres_test.dll", BuildPack({
                                               {dds, kPictureId, SolidBmp(100, 50, kPictureRgb)},
                                               {dds, kTextureSetId, TestTextureSetResource()},
                                               {dds, kMeshId, TetrahedronX(1.0f)},
                                               {rcdata, kEffectId, BlurEffectBytes()},
                                               {rcdata, kSoundId, {'R', 'I', 'F', 'F'}},
                                           }));
        WriteFile(dir / "docres_other.dll", BuildPack({{dds, kMeshId, TetrahedronX(3.0f)}}));
        WriteFile(dir / "common_res.dll", BuildCommonResPack());
        win::SetResourceModuleSearchDirsForTesting({dir});
        return dir;
    }();
    return folder;
}

// Removes the module folder when the test program ends.
struct TestModuleFolderCleanup {
    ~TestModuleFolderCleanup()
    {
        std::error_code error;
        std::filesystem::remove_all(
            std::filesystem::temp_directory_path() / ("orvanta-docres-" + std::to_string(::getpid())), error);
    }
};
inline TestModuleFolderCleanup g_testModuleFolderCleanup;

// ---------------------------------------------------------------- device

inline std::unique_ptr<gfx::Device> MakeHeadlessDevice(std::string* error)
{
    return gfx::CreateHeadlessDevice(64, 64, error);
}

// A manager test with a device, the test modules, and the test slide-show
// class installed so that documents can be read.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestModuleFolder();
        InstallSlideShowClass([]() -> std::unique_ptr<DS_SlideShowBase> { return std::make_unique<InspectionSlideShow>(); });
        InstallRenderDocResManager();
        std::string error;
        device = MakeHeadlessDevice(&error);
        ASSERT_NE(device, nullptr) << "no headless GL device: " << error;
        scope = std::make_unique<ResourceDeviceScope>(device.get());
    }
    void TearDown() override
    {
        scope.reset();
        g_DocResManagerTls = nullptr;
    }

    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> scope;
};

// A device test with an empty manager that is the thread's current one.
class ManagerDeviceTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        manager = std::make_unique<DS_DocResManager>();
        current = std::make_unique<CurrentDocResManagerScope>(manager.get());
    }
    void TearDown() override
    {
        current.reset();
        manager.reset();
        DeviceTest::TearDown();
    }

    std::unique_ptr<DS_DocResManager> manager;
    std::unique_ptr<CurrentDocResManagerScope> current;
};

// Reads a document with no slides whose manager record is `record`.
inline SceneDocument ReadDocument(const DocResManagerRecord& record, std::int32_t version = 4)
{
    DocumentWriter writer;
    writer.Header().SlideShowBegin(0).Int(0).DocResManager(record, version);
    ResourceBuffer buffer;
    buffer.SetMemory(writer.Bytes());
    DS_IOF_R<ResourceBuffer> archive(buffer);
    ArchiveReader ar(archive);
    ar.ReadWideString();
    return ReadSceneDocument(ar);
}

inline DS_DocResManager& ManagerOf(const SceneDocument& document)
{
    auto* manager = dynamic_cast<DS_DocResManager*>(document.ResManager());
    EXPECT_NE(manager, nullptr);
    return *manager;
}

// The colour (0xAARRGGBB) of pixel (x, y) of a texture's level 0.
inline std::uint32_t TexturePixel(gfx::Texture* texture, std::uint32_t x, std::uint32_t y)
{
    const gfx::Image image = gfx::ReadSurfaceImage(texture->SurfaceLevel(0).Get());
    const gfx::Image argb = gfx::ConvertImage(image, gfx::Format::A8R8G8B8);
    return argb.Empty() ? 0 : argb.Pixel(x, y);
}

// The largest difference between two 0xAARRGGBB colours in any channel.
inline int ChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

inline std::vector<std::uint8_t> TestTextureSetResource()
{
    ModuleResourceBlob green(u"green.bmp");
    green.SetBytes(SolidBmp(16, 16, 0x00FF00));
    ModuleResourceBlob blue(u"blue.bmp");
    blue.SetBytes(SolidBmp(32, 8, 0x0000FF));
    const ModuleResourceBlob red(kPictureId, kTestModule);
    return TextureSetResourceBytes({40, 60}, {green, blue, red});
}

} // namespace docres_test
