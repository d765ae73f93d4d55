// The headless renderer behind "orvanta-scene render": a document made by
// the writer, played through the player and written as PNG, shows its
// slide's picture where each picture position puts it.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

extern "C" {
#include <stb/stb_image.h>
}

#include "objectmodel/SceneDocument.h"
#include "player/HeadlessRender.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/RgbCompare.h"

namespace {

constexpr std::uint32_t kLeftRgb = 0xE02020;  // left half of the picture
constexpr std::uint32_t kRightRgb = 0x2020E0; // right half
const LinkKey kPictureLink{u"pictures\\wide.bmp", 21};

// A 32 x 16 picture, red on the left half and blue on the right, on one
// slide of default timings.
std::vector<std::uint8_t> WidePictureDocument()
{
    player_test::SlideFields slide;
    slide.light.backgroundPath = std::u16string(kPictureLink.path);
    slide.light.backgroundId = kPictureLink.id;
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    player_test::WriteSlide(w, slide);
    w.AudioFiles({});
    ModuleResourceBlob stored(u"wide.bmp");
    stored.SetBytes(docres_test::BmpPicture(32, 16, [](std::uint32_t x, std::uint32_t) {
        return x < 16 ? kLeftRgb : kRightRgb;
    }));
    DocResManagerRecord record;
    record.textureSetRecords[kPictureLink] = {stored};
    w.DocResManager(record);
    return w.Bytes();
}

struct Png {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t At(int x, int y) const { return rgb.at(std::size_t(y) * width + x); }
};

Png ReadPng(const std::string& path)
{
    Png png;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &png.width, &png.height, &channels, 3);
    if (!data)
        return png;
    for (int i = 0; i < png.width * png.height; ++i)
        png.rgb.push_back(std::uint32_t(data[i * 3]) << 16 | std::uint32_t(data[i * 3 + 1]) << 8 | data[i * 3 + 2]);
    stbi_image_free(data);
    return png;
}

class HeadlessRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("orvanta-render-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        document = folder / "wide.dds";
        ASSERT_TRUE(DocumentWriter().Raw(WidePictureDocument()).SaveTo(document));
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    Png Render(int position, double seconds = 0.5)
    {
        player::HeadlessRenderOptions options;
        options.width = 64;
        options.height = 64;
        options.seconds = seconds;
        options.picturePosition = position;
        player::HeadlessFrame frame;
        std::string error;
        const kxi_string path = crt::FromUtf8(document.string());
        EXPECT_TRUE(player::RenderHeadless([path] { return OpenDocumentFile(path); }, options, frame, error)) << error;
        const std::string png = (folder / "frame.png").string();
        EXPECT_TRUE(player::WriteFramePng(frame, png, error)) << error;
        return ReadPng(png);
    }

    std::filesystem::path folder;
    std::filesystem::path document;
};

TEST_F(HeadlessRenderTest, EachPicturePositionPlacesThePicture)
{
    struct Probe {
        int x, y;
        std::uint32_t rgb;
    };
    struct Case {
        int position;
        const char* name;
        std::vector<Probe> probes;
    } cases[] = {
        // Stretched over the whole square: the halves split it left and right.
        {0, "stretch", {{4, 4, kLeftRgb}, {59, 59, kRightRgb}, {4, 59, kLeftRgb}}},
        // Fitted: 64 x 32 in the middle, black bars above and below.
        {1, "fit", {{4, 4, 0x000000}, {4, 32, kLeftRgb}, {59, 32, kRightRgb}, {59, 60, 0x000000}}},
        // Filled: 128 x 64 centred, so the square shows the picture's middle.
        {2, "fill", {{4, 4, kLeftRgb}, {4, 60, kLeftRgb}, {59, 4, kRightRgb}}},
    };
    for (const Case& c : cases) {
        const Png png = Render(c.position);
        ASSERT_EQ(png.width, 64) << c.name;
        ASSERT_EQ(png.height, 64) << c.name;
        for (const Probe& probe : c.probes) {
            EXPECT_TRUE(rgb_compare::ShowsRgb(png.At(probe.x, probe.y), probe.rgb, 10))
                << c.name << " at (" << probe.x << ", " << probe.y << "): " << std::hex << png.At(probe.x, probe.y);
        }
    }
}

TEST_F(HeadlessRenderTest, RefusedDocumentIsAnErrorNotAFrame)
{
    ASSERT_TRUE(DocumentWriter().Header().Int(12345).SaveTo(document));
    player::HeadlessRenderOptions options;
    options.width = 16;
    options.height = 16;
    player::HeadlessFrame frame;
    std::string error;
    const kxi_string path = crt::FromUtf8(document.string());
    EXPECT_FALSE(player::RenderHeadless([path] { return OpenDocumentFile(path); }, options, frame, error));
    EXPECT_FALSE(error.empty());
}

} // namespace
