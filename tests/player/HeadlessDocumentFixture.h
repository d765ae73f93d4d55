#pragma once
// A writer-made document played headless through the player: the bytes are
// saved into a folder of the test's own and rendered for a number of
// seconds at the given size; pixels are read back as 0xRRGGBB. Also the
// storing of resource bytes under a link in a document's resource record.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "player/HeadlessRender.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/support/DescriptionWriter.h"
#include "tests/support/DocumentWriter.h"

namespace player_test {

class HeadlessDocumentFixture : public ::testing::Test {
protected:
    // `name` tells the folders of concurrent tests apart.
    explicit HeadlessDocumentFixture(std::string name) : m_name(std::move(name)) {}

    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("orvanta-" + m_name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    player::HeadlessFrame RenderDocument(const std::vector<std::uint8_t>& bytes, std::uint32_t width,
                                         std::uint32_t height, double seconds)
    {
        const std::filesystem::path document = folder / (m_name + ".dds");
        EXPECT_TRUE(DocumentWriter().Raw(bytes).SaveTo(document));
        player::HeadlessRenderOptions options;
        options.width = width;
        options.height = height;
        options.seconds = seconds;
        player::HeadlessFrame frame;
        std::string error;
        const kxi_string path = crt::FromUtf8(document.string());
        EXPECT_TRUE(player::RenderHeadless([path] { return OpenDocumentFile(path); }, options, frame, error)) << error;
        return frame;
    }

    static std::uint32_t Rgb(const player::HeadlessFrame& frame, std::uint32_t x, std::uint32_t y)
    {
        return frame.pixels.at(std::size_t(y) * frame.width + x) & 0xFFFFFFu;
    }

    std::filesystem::path folder;

private:
    std::string m_name;
};

// Stores `bytes` as one more record of `link`, named after the link's file.
inline void StoreBytes(std::map<LinkKey, std::vector<ModuleResourceBlob>>& into,
                       const description_writer::StoredLink& link, std::vector<std::uint8_t> bytes)
{
    ModuleResourceBlob blob(link.path.substr(link.path.rfind(u'\\') + 1));
    blob.SetBytes(std::move(bytes));
    into[LinkKey{link.path, link.id}].push_back(blob);
}

} // namespace player_test
