// The 3D objects as a document stores them, played headless through the
// player's frame over a dark 800 x 600 picture shown at half size: the
// clock fills its square with the face and shows the hands of a fixed time,
// butterflies show their stored wing picture, and a leaf drawn at size 100
// covers about that many picture pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

#include "objectmodel/SceneDocument.h"
#include "objects/MeshAnimationControllers.h"
#include "platform/crt/WideString.h"
#include "player/HeadlessRender.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/MeshObjectSampleDocuments.h"
#include "tests/support/RgbCompare.h"

namespace {

using namespace mesh_object_samples;

constexpr std::uint32_t kScale = 2; // the frame shows the picture at half size

class FixedTime : public ClockTimeSource {
public:
    bool Read(crt::LocalTimeOfDay& out) const override
    {
        out = {3, 0, 0};
        return true;
    }
};

class MeshObjectSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        docres_test::TestModuleFolder();
        folder = std::filesystem::temp_directory_path() / ("orvanta-meshes-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    player::HeadlessFrame Render(const MeshSceneContent& content, double seconds = 1.0)
    {
        const std::filesystem::path document = folder / "meshes.dds";
        EXPECT_TRUE(DocumentWriter().Raw(MeshObjectsDocument(content)).SaveTo(document));
        player::HeadlessRenderOptions options;
        options.width = kPictureWidth / kScale;
        options.height = kPictureHeight / kScale;
        options.seconds = seconds;
        player::HeadlessFrame frame;
        std::string error;
        const kxi_string path = crt::FromUtf8(document.string());
        const FixedTime threeOClock;
        const ClockTimeSourceScope scope(threeOClock);
        EXPECT_TRUE(player::RenderHeadless([path] { return OpenDocumentFile(path); }, options, frame, error)) << error;
        return frame;
    }

    // Whether frame pixel (x, y) shows `rgb`.
    static bool Shows(const player::HeadlessFrame& frame, std::uint32_t x, std::uint32_t y, std::uint32_t rgb)
    {
        return rgb_compare::ShowsRgb(frame.pixels.at(std::size_t(y) * frame.width + x), rgb, 24);
    }

    std::filesystem::path folder;
};

TEST_F(MeshObjectSceneTest, TheClockFillsItsSquareAndShowsThreeOClock)
{
    const player::HeadlessFrame frame = Render({true, false, false});
    ASSERT_EQ(frame.width, kPictureWidth / kScale);
    // Size 400 around (400, 300): the picture's square [200, 600) x [100, 500).
    struct Probe {
        std::uint32_t x, y, rgb;
    };
    const Probe probes[] = {
        {101, 51, kFaceRgb}, {298, 51, kFaceRgb}, {101, 248, kFaceRgb}, {298, 248, kFaceRgb},
        {98, 48, kBackgroundRgb}, {302, 48, kBackgroundRgb}, {98, 252, kBackgroundRgb}, {302, 252, kBackgroundRgb},
        // 3:00: the hour hand points right of the centre, the minute hand up.
        {230, 150, kHandsRgb}, {240, 150, kHandsRgb}, {200, 120, kHandsRgb}, {200, 100, kHandsRgb},
        {170, 150, kFaceRgb}, {200, 180, kFaceRgb},
    };
    for (const Probe& p : probes)
        EXPECT_TRUE(Shows(frame, p.x, p.y, p.rgb)) << "(" << p.x << ", " << p.y << ") shows " << std::hex
                                                    << frame.pixels.at(std::size_t(p.y) * frame.width + p.x);
}

TEST_F(MeshObjectSceneTest, ButterfliesShowTheirStoredWingsAndALeafItsSize)
{
    const player::HeadlessFrame frame = Render({false, true, true});
    ASSERT_EQ(frame.width, kPictureWidth / kScale);
    int wings = 0;
    std::uint32_t left = frame.width, right = 0;
    for (std::uint32_t y = 0; y < frame.height; ++y)
        for (std::uint32_t x = 0; x < frame.width; ++x) {
            wings += Shows(frame, x, y, kWingRgb) ? 1 : 0;
            if (Shows(frame, x, y, kLeafRgb)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    EXPECT_GT(wings, 20) << "the wing picture is drawn";
    // The leaf's sphere gets the diameter 100; the blade is 100 / 110 of it
    // long, barely turned: about 91 picture pixels, 45 in the frame.
    ASSERT_LT(left, right) << "the leaf is drawn";
    const std::uint32_t across = right - left + 1;
    EXPECT_LE(across, 52u);
    // The copy starts at a random point: measured only when no edge cuts it.
    if (left > 0 && right + 1 < frame.width) {
        EXPECT_GE(across, 38u);
    }
}

} // namespace
