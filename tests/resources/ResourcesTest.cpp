// The program's embedded resources and the built common_res.dll.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/gfx/EffectFile.h"
#include "platform/win/ProgramResources.h"
#include "platform/win/ResourceModule.h"

namespace {

// Tests run in their source folder.
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool SameBytes(win::ResourceBytes bytes, const std::vector<std::uint8_t>& expected) {
    return std::equal(bytes.begin(), bytes.end(), expected.begin(), expected.end());
}

TEST(ProgramResourcesTest, EmbeddedFilesAreFoundByTypeAndId) {
    const auto sample = ReadFile("data/embedded-sample.bin");
    ASSERT_FALSE(sample.empty());
    const auto dds = win::FindProgramResource("DDS", 7);
    const auto rcdata = win::FindProgramResource(win::RT_RCDATA, 9);
    ASSERT_TRUE(dds);
    ASSERT_TRUE(rcdata);
    EXPECT_TRUE(SameBytes(*dds, sample));
    EXPECT_TRUE(SameBytes(*rcdata, sample));
    EXPECT_FALSE(win::FindProgramResource("DDS", 9));
    EXPECT_FALSE(win::FindProgramResource(win::RT_RCDATA, 7));
}

TEST(CommonResTest, HoldsTheGlowBlurEffect) {
    const win::ResourceModule* module = win::LoadResourceModule("common_res.dll");
    ASSERT_NE(module, nullptr) << "common_res.dll is not next to the test";
    const auto effect = module->Find(win::RT_RCDATA, 202);
    ASSERT_TRUE(effect);
    EXPECT_TRUE(SameBytes(*effect, ReadFile("../../resources/effects/gaussian-blur.fx")));

    std::string error;
    const auto description = gfx::ParseEffectFile(*effect, error);
    ASSERT_TRUE(description) << error;
    std::vector<std::string> techniques;
    for (const auto& technique : description->techniques) techniques.push_back(technique.name);
    EXPECT_EQ(techniques, (std::vector<std::string>{"GaussianBlurVFirst", "GaussianBlurV", "GaussianBlurH"}));
    for (const char* name : {"TexW", "TexH"}) {
        ASSERT_NE(description->FindParameter(name), nullptr) << name;
        EXPECT_EQ(description->FindParameter(name)->type, gfx::EffectParameterType::Float);
    }
    ASSERT_NE(description->FindParameter("Texture"), nullptr);
    EXPECT_EQ(description->FindParameter("Texture")->type, gfx::EffectParameterType::Texture);
}

}  // namespace
