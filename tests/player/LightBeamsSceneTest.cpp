// The "Light Beams" object as the embedded scene stores it, played headless
// through the player over a dark picture of the embedded slide's width: its
// rays light the picture along them and not beside them, and the fan turns
// as time goes on.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <unistd.h>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "player/HeadlessRender.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/GeneratorWriter.h"

namespace {

constexpr std::uint32_t kPictureWidth = 1740, kPictureHeight = 980;
constexpr std::uint32_t kPictureRgb = 0x202840;
constexpr std::uint32_t kScale = 5; // the frame is the picture at a fifth
const LinkKey kPictureLink{u"pictures\\beams.bmp", 31};

std::vector<std::uint8_t> LightBeamsDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.0f).Float(1.5f).Float(60.0f).Int(0).WideString(u"Light Beams");
    picture_scene_writer::LightFields light;
    light.backgroundPath = std::u16string(kPictureLink.path);
    light.backgroundId = kPictureLink.id;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(1);
    generator_writer::WriteRadialRays(w, generator_writer::LightBeamsFields());
    w.Count(0);
    w.AudioFiles({});
    ModuleResourceBlob stored(u"beams.bmp");
    stored.SetBytes(docres_test::SolidBmp(kPictureWidth, kPictureHeight, kPictureRgb));
    DocResManagerRecord record;
    record.textureSetRecords[kPictureLink] = {stored};
    w.DocResManager(record);
    return w.Bytes();
}

class LightBeamsSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        docres_test::TestModuleFolder(); // the shared module, packed from the sources
        folder = std::filesystem::temp_directory_path() / ("orvanta-beams-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        document = folder / "beams.dds";
        ASSERT_TRUE(DocumentWriter().Raw(LightBeamsDocument()).SaveTo(document));
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    player::HeadlessFrame Render(double seconds)
    {
        player::HeadlessRenderOptions options;
        options.width = kPictureWidth / kScale;
        options.height = kPictureHeight / kScale;
        options.seconds = seconds;
        player::HeadlessFrame frame;
        std::string error;
        const kxi_string path = crt::FromUtf8(document.string());
        EXPECT_TRUE(player::RenderHeadless([path] { return OpenDocumentFile(path); }, options, frame, error)) << error;
        return frame;
    }

    // The green channel around the fan's root, on the half circle below it,
    // one sample per degree.
    static std::vector<int> Profile(const player::HeadlessFrame& frame, float radius)
    {
        const float cx = 869.56f / kScale, cy = 9.31f / kScale;
        std::vector<int> out;
        for (int degree = 5; degree <= 175; ++degree) {
            const float a = float(degree) * 3.14159265f / 180.0f;
            const auto x = std::uint32_t(cx + radius * std::cos(a));
            const auto y = std::uint32_t(cy + radius * std::sin(a));
            out.push_back(int((frame.pixels.at(std::size_t(y) * frame.width + x) >> 8) & 0xFF));
        }
        return out;
    }

    std::filesystem::path folder;
    std::filesystem::path document;
};

TEST_F(LightBeamsSceneTest, RaysLightThePictureAndTheFanTurns)
{
    const player::HeadlessFrame early = Render(2.0);
    const player::HeadlessFrame late = Render(6.0);
    ASSERT_EQ(early.width, kPictureWidth / kScale);
    const int picture = int((kPictureRgb >> 8) & 0xFF);
    const std::vector<int> first = Profile(early, 30.0f);
    const std::vector<int> second = Profile(late, 30.0f);
    // Along a ray the picture is brighter; between the rays it shows as it is.
    EXPECT_GT(*std::max_element(first.begin(), first.end()), picture + 60);
    EXPECT_LE(std::abs(*std::min_element(first.begin(), first.end()) - picture), 6);
    // Four seconds later the fan stands elsewhere.
    int moved = 0;
    for (std::size_t i = 0; i < first.size(); ++i)
        moved += std::abs(first[i] - second[i]) > 30 ? 1 : 0;
    EXPECT_GT(moved, 5);
}

} // namespace
