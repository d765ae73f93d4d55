// How effect links resolve, and when a class's built-in effect stands in.

#include <gtest/gtest.h>

#include <string>

#include "render/BuiltinEffects.h"
#include "render/EffectResolution.h"
#include "tests/render/DocResManagerTestSupport.h"

using namespace docres_test;

namespace {

using EffectResolutionTest = ManagerDeviceTest;

std::vector<std::uint8_t> HlslBytes()
{
    const std::string text = "technique T { pass P { PixelShader = compile ps_2_0 Main(); } }";
    return {text.begin(), text.end()};
}

TEST(BuiltinEffectsTest, EveryEffectFileIsCompiledInByName)
{
    for (const char* name : {"particle-tree", "gaussian-blur"}) {
        const auto bytes = FindBuiltinEffectSource(name);
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(gfx::IsEffectFile(bytes)) << name;
    }
    EXPECT_TRUE(FindBuiltinEffectSource("no-such-effect").empty());
    EXPECT_TRUE(FindBuiltinEffectSource("").empty());
}

TEST_F(EffectResolutionTest, OriginsTellTheCasesApart)
{
    DocResManagerRecord record;
    ModuleResourceBlob hlsl(u"water.fx");
    hlsl.SetBytes(HlslBytes());
    record.storedResources[{u"water.fx", 1}] = {hlsl};
    ModuleResourceBlob broken(u"broken.fx");
    const std::string text = "orvanta-effect 1\ntechnique";
    broken.SetBytes({text.begin(), text.end()});
    record.storedResources[{u"broken.fx", 2}] = {broken};
    const SceneDocument document = ReadDocument(record);
    DS_DocResManager& read = ManagerOf(document);

    struct Case {
        DS_FileLink3 link;
        EffectLinkOrigin origin;
    };
    const Case cases[] = {
        {DS_FileLink3(kEffectId, kTestModule), EffectLinkOrigin::Linked},
        {DS_FileLink3(1, u"water.fx"), EffectLinkOrigin::Unrunnable},
        {DS_FileLink3(2, u"broken.fx"), EffectLinkOrigin::Unrunnable},
        {DS_FileLink3(), EffectLinkOrigin::EmptyLink},
        {DS_FileLink3(kEffectId, kMissingModule), EffectLinkOrigin::Missing},
        {DS_FileLink3(9, u"nowhere.fx"), EffectLinkOrigin::Missing},
    };
    for (const Case& c : cases) {
        const ResolvedEffect resolved = ResolveEffectLink(read, c.link);
        EXPECT_EQ(resolved.origin, c.origin);
        EXPECT_EQ(resolved.effect != nullptr, c.origin == EffectLinkOrigin::Linked);
    }
}

TEST_F(EffectResolutionTest, EachRuleTakesTheBuiltinEffectOnlyWhereItSays)
{
    DocResManagerRecord record;
    ModuleResourceBlob hlsl(u"water.fx");
    hlsl.SetBytes(HlslBytes());
    record.storedResources[{u"water.fx", 1}] = {hlsl};
    const SceneDocument document = ReadDocument(record);
    DS_DocResManager& read = ManagerOf(document);
    const gfx::Ref<gfx::Effect> builtin = read.GetBuiltinEffect("particle-tree");
    ASSERT_NE(builtin, nullptr);
    EXPECT_EQ(builtin->SetTechnique("BlendSum"), gfx::kOk);

    struct Case {
        DS_FileLink3 link;
        BuiltinEffectRule rule;
        bool builtinUsed;
    };
    const Case cases[] = {
        {DS_FileLink3(), BuiltinEffectRule::ForAnyUnusableLink, true},
        {DS_FileLink3(), BuiltinEffectRule::ForUnrunnableBytesOnly, false},
        {DS_FileLink3(9, kMissingModule), BuiltinEffectRule::ForAnyUnusableLink, true},
        {DS_FileLink3(9, kMissingModule), BuiltinEffectRule::ForUnrunnableBytesOnly, false},
        {DS_FileLink3(1, u"water.fx"), BuiltinEffectRule::ForAnyUnusableLink, true},
        {DS_FileLink3(1, u"water.fx"), BuiltinEffectRule::ForUnrunnableBytesOnly, true},
    };
    for (const Case& c : cases) {
        const ResolvedEffect resolved = ResolveEffectWithFallback(read, c.link, "particle-tree", c.rule);
        EXPECT_EQ(resolved.effect, c.builtinUsed ? builtin : nullptr);
    }
    // A usable link keeps its own effect under either rule.
    const ResolvedEffect own = ResolveEffectWithFallback(
        read, DS_FileLink3(kEffectId, kTestModule), "particle-tree", BuiltinEffectRule::ForAnyUnusableLink);
    ASSERT_NE(own.effect, nullptr);
    EXPECT_NE(own.effect, builtin);
    // An unknown built-in name gives no effect, and nothing crashes.
    EXPECT_EQ(ResolveEffectWithFallback(read, DS_FileLink3(), "no-such-effect",
                                        BuiltinEffectRule::ForAnyUnusableLink).effect,
              nullptr);
}

TEST_F(EffectResolutionTest, BuiltinEffectsAreMadeOnceAndSurviveAReset)
{
    const gfx::Ref<gfx::Effect> first = manager->GetBuiltinEffect("gaussian-blur");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(manager->GetBuiltinEffect("gaussian-blur"), first);
    manager->OnLostDevice();
    manager->OnResetDevice();
    EXPECT_EQ(manager->GetBuiltinEffect("gaussian-blur"), first);
    EXPECT_EQ(first->SetTechnique("GaussianBlurH"), gfx::kOk);
}

} // namespace
