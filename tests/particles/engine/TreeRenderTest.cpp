// The render object of particle trees: the tree clock, one batch per leaf
// met in the same order by building and drawing, the quads of leaves and
// ribbons, screen passes, and what a tree draws through the picture scene
// (headless read-back).

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "particles/engine/ParticleGeometry.h"
#include "particles/engine/TreeLeaves.h"
#include "particles/engine/TreeRendering.h"
#include "particles/engine/TreeRoot.h"
#include "tests/particles/engine/GlowExpectations.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/render/RenderObjectTestSupport.h"

namespace {

using namespace picture_scene_test;

using TreeDrawRecorder = render_object_test::RecordingRenderer;

// Geometry particles of size factor 1 with full size and opacity envelopes.
void MakeVisible(KXI_PtclSys_Geometry& geometry)
{
    geometry.sizeJitter.SetValue(100, nullptr);
    geometry.sizeEnvelope.percents[6].SetValue(100, nullptr);
    geometry.opacityEnvelope.percents[6].SetValue(100, nullptr);
}

template <class G>
G* AddLeaf(TreeNodeVector& nodes, KXI_PSTree_Leaf** leafOut = nullptr)
{
    G* geometry = new G;
    MakeVisible(*geometry);
    auto* leaf = new KXI_PSTree_Leaf(DS_SafePtr<KXI_PtclSys_Geometry>(geometry));
    leaf->size.value = 4;
    nodes.Append(TreeNodeHandle(leaf));
    if (leafOut)
        *leafOut = leaf;
    return geometry;
}

KXI_PSTree_Leaf* AddSwarmLeaf(TreeNodeVector& nodes, std::uint32_t count)
{
    KXI_PSTree_Leaf* leaf = nullptr;
    AddLeaf<KXI_PSGeometry_Swarm>(nodes, &leaf)->count.value = count;
    return leaf;
}

std::unique_ptr<KXI_PtclSys_Mesh> RunTree(KXI_PSTree_Root& root)
{
    std::unique_ptr<KXI_RenderObj> object = root.CreateRenderObject();
    auto* mesh = dynamic_cast<KXI_PtclSys_Mesh*>(object.get());
    EXPECT_NE(mesh, nullptr);
    object.release();
    return std::unique_ptr<KXI_PtclSys_Mesh>(mesh);
}

// ---- without a device -------------------------------------------------------------

TEST(TreeClockTest, TimeGoingBackIsAZeroStepAndAGapCountsAsAFifthOfASecond)
{
    KXI_PSTree_Root root;
    KXI_PSTree_Leaf* leaf = nullptr;
    AddLeaf<KXI_PSGeometry_Point>(root.children, &leaf);
    auto mesh = RunTree(root);
    KXI_PSTree_Root& running = mesh->Root();
    EXPECT_EQ(running.renderObject, mesh.get());
    EXPECT_EQ(mesh->GetKind(), 8);
    ASSERT_EQ(leaf->geometry->particles.size(), 1u);
    const TreeParticle& particle = *leaf->geometry->particles.front();

    mesh->Animate(1.0f); // the first frame after attach: from 0
    EXPECT_FLOAT_EQ(running.Step(), 0.2f);
    mesh->Animate(0.4f);
    EXPECT_FLOAT_EQ(running.Step(), 0.0f);
    EXPECT_FLOAT_EQ(running.TotalTime(), 0.2f);
    EXPECT_EQ(leaf->geometry->particles.size(), 1u);
    EXPECT_FLOAT_EQ(particle.values[TreeParticle::kAge], 0.2f);

    running.speed.SetValue(50, nullptr);
    mesh->Animate(1.4f);
    EXPECT_FLOAT_EQ(running.Step(), 0.1f);
    EXPECT_FLOAT_EQ(running.TotalTime(), 0.3f);
    EXPECT_FLOAT_EQ(running.rootParticle->values[TreeParticle::kAge], 0.3f);

    // The restart keeps particles and clock.
    mesh->Restart();
    EXPECT_EQ(leaf->geometry->particles.size(), 1u);
    EXPECT_FLOAT_EQ(running.TotalTime(), 0.3f);
}

TEST(TreeClockTest, RootParticleFollowsTheOffsetAndCloneSharesTheNodes)
{
    KXI_PSTree_Root root;
    root.offset.value = {5.0f, 6.0f, 0.0f};
    KXI_PSTree_Leaf* leaf = nullptr;
    AddLeaf<KXI_PSGeometry_Point>(root.children, &leaf);
    auto mesh = RunTree(root);
    mesh->Animate(0.1f);
    EXPECT_EQ(mesh->Root().rootParticle->Position(), root.offset.value);
    EXPECT_EQ(mesh->Root().children.value[0].get(), leaf);
    EXPECT_EQ(leaf->parent, static_cast<KXI_PSTree_Node_Parent*>(&mesh->Root()));
    EXPECT_EQ(leaf->geometry->particles.front()->WorldPosition(), (math::Vec3{5.0f, 6.0f, 0.0f}));
}

TEST(TreeClockTest, BatchesThatCannotBeFilledCountNoQuads)
{
    // No device: no buffers and no lock, so nothing is drawn from old data.
    KXI_PSTree_Root root;
    AddSwarmLeaf(root.children, 3);
    auto mesh = RunTree(root);
    mesh->Animate(0.1f);
    ASSERT_EQ(mesh->BatchCount(), 1u);
    EXPECT_EQ(mesh->Batch(0)->quadCount, 0);
}

// ---- with a device ----------------------------------------------------------------

class TreeRenderTest : public PictureSceneTest {
protected:
    void GiveTexture(KXI_PSTree_Leaf& leaf, float ratio = 1.0f)
    {
        SpriteFrameInfo frames;
        frames.frameTextures = {white};
        frames.ratio = ratio;
        leaf.animatedTextures = {frames};
    }

    void StorePicture(const LinkKey& link, std::uint32_t size, std::uint32_t (*colour)(std::uint32_t, std::uint32_t))
    {
        DocResManagerRecord record;
        record.frames[link] = {StoredFrame{docres_test::BmpPicture(size, size, colour), 0.0f}};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    static void LinkPicture(KXI_PSTree_Leaf& leaf, const LinkKey& link)
    {
        leaf.textures.value.pictures.emplace_back(0, link.path);
        leaf.textures.value.pictures.back().StorePathAndId(link.path, link.id);
    }

    // A point leaf drawing the picture at `link` on the root particle at
    // canvas (x, y).
    KXI_PSTree_Leaf* PictureLeaf(KXI_PSTree_Root& root, const LinkKey& link, float x, float y, std::uint32_t size)
    {
        root.offset.value = {x, y, 0.0f};
        KXI_PSTree_Leaf* leaf = nullptr;
        AddLeaf<KXI_PSGeometry_Point>(root.children, &leaf);
        LinkPicture(*leaf, link);
        leaf->size.value = size;
        return leaf;
    }

    std::vector<std::uint32_t> RenderTree(std::unique_ptr<KXI_PtclSys_Mesh> mesh)
    {
        auto light = MakeStripesLight(PicturePosition::kStretch);
        const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(mesh.release())};
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }
};

TEST_F(TreeRenderTest, EveryLeafMeetsItsOwnBatchAndEmptyLeavesDrawNothing)
{
    KXI_PSTree_Root root;
    KXI_PSTree_Leaf* a = AddSwarmLeaf(root.children, 1);
    auto* stem = new KXI_PSTree_Stem(DS_SafePtr<KXI_PtclSys_Geometry>(new KXI_PSGeometry_Point));
    root.children.Append(TreeNodeHandle(stem));
    KXI_PSTree_Leaf* b = AddSwarmLeaf(stem->children, 2);
    KXI_PSTree_Leaf* c = AddSwarmLeaf(stem->children, 3);
    KXI_PSTree_Leaf* empty = AddSwarmLeaf(root.children, 0);
    auto mesh = RunTree(root);
    for (KXI_PSTree_Leaf* leaf : {a, b, c, empty})
        GiveTexture(*leaf);
    mesh->Animate(0.1f);

    // Reverse order on both walks: empty, then the stem's c and b, then a.
    ASSERT_EQ(mesh->BatchCount(), 4u);
    const std::int32_t expectedQuads[4] = {0, 3, 2, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(mesh->Batch(i)->quadCount, expectedQuads[i]) << i;
    TreeDrawRecorder recorder;
    int counter = 0;
    mesh->RenderTo(recorder, counter);
    ASSERT_EQ(recorder.draws.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const auto& draw = recorder.draws[std::size_t(i)];
        EXPECT_EQ(draw.batch, mesh->Batch(i + 1)) << i;
        EXPECT_EQ(draw.firstQuad, 0u) << i;
        EXPECT_EQ(draw.quads, std::uint32_t(3 - i)) << i;
        EXPECT_EQ(draw.effect, mesh->Root().effect.Get()) << i;
    }

    // Fewer leaves next frame: the list shrinks with the tree, and b's two
    // quads go into the batch that held c's three (buffers only grow).
    stem->children.value.pop_back();
    mesh->Animate(0.2f);
    EXPECT_EQ(mesh->BatchCount(), 3u);
    EXPECT_EQ(mesh->Batch(1)->quadCount, 2);
    EXPECT_EQ(mesh->Batch(1)->QuadCapacity(), 3);
    b->geometry->particles.resize(1);
    mesh->Animate(0.3f);
    EXPECT_EQ(mesh->Batch(1)->quadCount, 1);

    // A leaf without a texture draws nothing.
    a->animatedTextures.clear();
    recorder.draws.clear();
    mesh->RenderTo(recorder, counter);
    EXPECT_EQ(recorder.draws.size(), 1u);
}

TEST_F(TreeRenderTest, TwoScreenGlowLeavesCountTwoPassesAndSwitchBeforeEach)
{
    KXI_PSTree_Root root;
    KXI_PSTree_Leaf* first = AddSwarmLeaf(root.children, 1);
    KXI_PSTree_Leaf* second = AddSwarmLeaf(root.children, 1);
    KXI_PSTree_Leaf* plain = AddSwarmLeaf(root.children, 1);
    first->glowMode.value = 2;
    second->glowMode.value = 2;
    plain->glowMode.value = 1;
    auto mesh = RunTree(root);
    EXPECT_EQ(mesh->NeedsRenderTarget(), 2);
    mesh->Animate(0.1f);
    TreeDrawRecorder recorder;
    int counter = mesh->NeedsRenderTarget();
    mesh->RenderTo(recorder, counter);
    EXPECT_EQ(recorder.switches, 2);
    EXPECT_EQ(counter, 0);
    // Without a blur effect there is no glow; the pictures handed over by
    // the two switches are drawn back.
    EXPECT_EQ(recorder.screenDraws, 2);
    mesh->SetEnabled(0);
    EXPECT_EQ(mesh->NeedsRenderTarget(), 0);
}

TEST_F(TreeRenderTest, LeafQuadsClampTheirColourAndFlipTheirPicture)
{
    KXI_PSTree_Root root;
    KXI_PSTree_Leaf* leaf = nullptr;
    KXI_PSGeometry_Point* point = AddLeaf<KXI_PSGeometry_Point>(root.children, &leaf);
    point->opacityEnvelope.percents[6].SetValue(150, nullptr); // "full" at 150 %
    leaf->colours.colors.value = {0x00FFFFFF};
    auto mesh = RunTree(root);
    GiveTexture(*leaf, 0.5f);
    leaf->animatedTextures[0].uScale = 0.75f;
    leaf->animatedTextures[0].vScale = 0.5f;

    struct Row {
        int flipU, flipV;
        float u0, v0; // corner 0 (left, bottom)
    };
    for (const Row& row : {Row{0, 0, 0.0f, 0.5f}, Row{1, 0, 0.75f, 0.5f}, Row{0, 1, 0.0f, 0.0f}, Row{1, 1, 0.75f, 0.0f}}) {
        leaf->flipU.value = row.flipU;
        leaf->flipV.value = row.flipV;
        mesh->Animate(0.1f);
        QuadBatchVertex* v = mesh->Batch(0)->LockQuads();
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v[0].colour, 0xFFFFFFFFu) << "alpha 382 is clamped, not wrapped to 126";
        EXPECT_FLOAT_EQ(v[0].u, row.u0);
        EXPECT_FLOAT_EQ(v[0].v, row.v0);
        EXPECT_FLOAT_EQ(v[3].u, 0.75f - row.u0);
        EXPECT_FLOAT_EQ(v[3].v, 0.5f - row.v0);
        // Corners: 4 wide, 2 high (ratio 0.5) around the root at 0.
        EXPECT_EQ(v[0].x, -2.0f);
        EXPECT_EQ(v[0].y, 1.0f);
        EXPECT_EQ(v[3].x, 2.0f);
        EXPECT_EQ(v[3].y, -1.0f);
        mesh->Batch(0)->UnlockQuads();
    }

    // A negative opacity (an oscillation past 50 %) draws transparent.
    EXPECT_EQ(PackTreeColour(-40.0f, {300.0f, 128.9f, -1.0f}), 0x00FF8000u);
}

TEST_F(TreeRenderTest, RibbonOfThreePointsGivesTwoQuads)
{
    KXI_PSTree_Root root;
    auto* geometry = new KXI_PSGeometry_Point;
    MakeVisible(*geometry);
    auto trace = std::make_unique<KXI_PSTree_Trace>(DS_SafePtr<KXI_PtclSys_Geometry>(geometry));
    trace->size.value = 4;
    auto mesh = RunTree(root);
    mesh->ResizeBatches(1);
    GiveTexture(*trace, 0.5f);

    const TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    parent->Velocity() = {3.0f, 0.0f, 0.0f};
    for (const float x : {0.0f, 10.0f, 20.0f}) {
        parent->Position() = {x, 0.0f, 0.0f};
        trace->SpawnFrom(parent);
    }
    const TreeParticleList& points = trace->Trails().at(0).points;
    ASSERT_EQ(points.size(), 3u);
    points[1]->spriteCell.x = 10.0f; // the segment's length (the second point of a trail stores 0)
    points[0]->values[TreeParticle::kOpacity] = 1.0f;
    points[1]->values[TreeParticle::kOpacity] = 0.5f;
    points[1]->values[TreeParticle::kSize] = 2.0f;
    points[0]->Color() = {255.0f, 128.0f, 0.0f};

    int index = 0;
    trace->BuildQuads(*mesh, index);
    EXPECT_EQ(index, 1);
    ASSERT_EQ(mesh->Batch(0)->quadCount, 2);
    QuadBatchVertex* v = mesh->Batch(0)->LockQuads();
    ASSERT_NE(v, nullptr);
    // Segment 0 from a (0, 0), width 4, to b (10, 0), width 8; perpendicular (0, 1).
    const float corners[4][2] = {{10.0f, 8.0f}, {0.0f, 4.0f}, {10.0f, -8.0f}, {0.0f, -4.0f}};
    const std::uint32_t colours[4] = {0x7FFF8000u, 0xFFFF8000u, 0x7FFF8000u, 0xFFFF8000u};
    // Lengths in picture heights: 10 / (0.5 x 4) = 5, then 20 / 2 = 10.
    const float vs[4] = {5.0f, 0.0f, 5.0f, 0.0f};
    const float us[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(v[k].x, corners[k][0]) << k;
        EXPECT_EQ(v[k].y, corners[k][1]) << k;
        EXPECT_EQ(v[k].colour, colours[k]) << k;
        EXPECT_EQ(v[k].u, us[k]) << k;
        EXPECT_EQ(v[k].v, vs[k]) << k;
    }
    EXPECT_EQ(v[4].v, 15.0f);
    EXPECT_EQ(v[5].v, 5.0f);
    EXPECT_EQ(v[4].x, 20.0f);
    mesh->Batch(0)->UnlockQuads();

    // A ribbon of no width has segments of no length.
    trace->size.value = 0;
    index = 0;
    trace->BuildQuads(*mesh, index);
    v = mesh->Batch(0)->LockQuads();
    ASSERT_NE(v, nullptr);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(v[k].v, 0.0f) << k;
    mesh->Batch(0)->UnlockQuads();
}

// ---- read-back --------------------------------------------------------------------

const LinkKey kDotLink{u"pictures\\dot.bmp", 21};
const LinkKey kQuadrantsLink{u"pictures\\quadrants.bmp", 22};

std::uint32_t White(std::uint32_t, std::uint32_t)
{
    return 0xFFFFFF;
}

// Red, green over blue, yellow.
std::uint32_t Quadrants(std::uint32_t x, std::uint32_t y)
{
    if (y < 4)
        return x < 4 ? kRedRgb : kGreenRgb;
    return x < 4 ? kBlueRgb : kYellowRgb;
}

TEST_F(TreeRenderTest, OneParticleLeafLandsAtItsPlaceSizeAndColour)
{
    StorePicture(kDotLink, 4, White);
    KXI_PSTree_Root root;
    KXI_PSTree_Leaf* leaf = PictureLeaf(root, kDotLink, 8.0f, 12.0f, 4);
    leaf->colours.colors.value = {0x000000FF}; // red
    auto mesh = RunTree(root);
    ASSERT_NE(leaf->FirstTexture(), nullptr);
    ASSERT_NE(mesh->Root().effect.Get(), nullptr) << "the built-in particle effect stands in";
    mesh->Animate(0.1f);
    const auto pixels = RenderTree(std::move(mesh));
    // Canvas 32 x 16 over 64 x 64: the 4 x 4 quad around (8, 12) covers
    // pixels 12..19 x 40..55.
    EXPECT_TRUE(ShowsRgb(At(pixels, 13, 41), kRedRgb)) << Hex(At(pixels, 13, 41));
    EXPECT_TRUE(ShowsRgb(At(pixels, 18, 54), kRedRgb)) << Hex(At(pixels, 18, 54));
    EXPECT_TRUE(ShowsRgb(At(pixels, 10, 48), kGrey)) << Hex(At(pixels, 10, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 21, 48), kGrey)) << Hex(At(pixels, 21, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 16, 37), kGrey)) << Hex(At(pixels, 16, 37));
}

TEST_F(TreeRenderTest, FlippingBothWaysTurnsThePictureHalfAround)
{
    StorePicture(kQuadrantsLink, 8, Quadrants);
    struct Row {
        int flipU, flipV;
        std::uint32_t topLeft, bottomRight;
    };
    for (const Row& row : {Row{0, 0, kRedRgb, kYellowRgb}, Row{1, 1, kYellowRgb, kRedRgb},
                           Row{1, 0, kGreenRgb, kBlueRgb}}) {
        KXI_PSTree_Root root;
        KXI_PSTree_Leaf* leaf = PictureLeaf(root, kQuadrantsLink, 16.0f, 8.0f, 16);
        leaf->flipU.value = row.flipU;
        leaf->flipV.value = row.flipV;
        auto mesh = RunTree(root);
        mesh->Animate(0.1f);
        // The quad covers canvas x 8..24, y 0..16: pixels 16..47 x 0..63.
        const auto pixels = RenderTree(std::move(mesh));
        EXPECT_TRUE(ShowsRgb(At(pixels, 20, 8), row.topLeft)) << row.flipU << row.flipV << Hex(At(pixels, 20, 8));
        EXPECT_TRUE(ShowsRgb(At(pixels, 44, 56), row.bottomRight)) << row.flipU << row.flipV
                                                                  << Hex(At(pixels, 44, 56));
    }
}

TEST_F(TreeRenderTest, TwoScreenGlowLeavesInASceneKeepThePictureAndBothDots)
{
    // Without a blur effect each glow-2 leaf only takes the picture drawn so
    // far and draws it back; both switches must leave picture and dots.
    StorePicture(kDotLink, 4, White);
    KXI_PSTree_Root root;
    KXI_PSTree_Leaf* left = PictureLeaf(root, kDotLink, 8.0f, 12.0f, 4);
    KXI_PSTree_Leaf* right = nullptr;
    AddLeaf<KXI_PSGeometry_Point>(root.children, &right)->offset.value = {16.0f, 0.0f, 0.0f};
    LinkPicture(*right, kDotLink);
    left->colours.colors.value = {0x000000FF};  // red
    right->colours.colors.value = {0x0000FF00}; // green
    left->glowMode.value = 2;
    right->glowMode.value = 2;
    auto mesh = RunTree(root);
    mesh->Animate(0.1f);
    EXPECT_EQ(mesh->NeedsRenderTarget(), 2);
    const auto pixels = RenderTree(std::move(mesh));
    EXPECT_TRUE(ShowsRgb(At(pixels, 16, 48), kRedRgb)) << Hex(At(pixels, 16, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 48, 48), kGreenRgb)) << Hex(At(pixels, 48, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 32, 48), kGrey)) << Hex(At(pixels, 32, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 4, 4), kStripes[0])) << Hex(At(pixels, 4, 4));
    EXPECT_TRUE(ShowsRgb(At(pixels, 60, 4), kStripes[3])) << Hex(At(pixels, 60, 4));
}

TEST_F(TreeRenderTest, ScreenGlowLeafKeepsThePictureAndBrightensNearItsParticle)
{
    StorePicture(kDotLink, 4, White);
    KXI_PSTree_Root root;
    KXI_PSTree_Leaf* leaf = PictureLeaf(root, kDotLink, 8.0f, 12.0f, 2);
    leaf->colours.colors.value = {0x00FF0000}; // blue
    leaf->glowMode.value = 2;
    leaf->glowColour.value = 0x00FFFFFF;
    leaf->glowSurface.strength.SetValue(0, nullptr);
    // The blur the shared module would give, as the leaf's own effect link.
    renderContext->pictureWidth = float(kPictureWidth);
    renderContext->pictureHeight = float(kPictureHeight);
    auto mesh = RunTree(root);
    leaf->effect = manager->GetBuiltinEffect("gaussian-blur");
    ASSERT_TRUE(leaf->effect);
    leaf->glowSurface.SetEffect(leaf->effect.Get());
    ASSERT_GT(leaf->glowSurface.BlurredWidth(), 0);
    mesh->Animate(0.1f);
    const auto pixels = RenderTree(std::move(mesh));
    glow_expectations::ExpectScreenGlowNearTheDotKeepingThePicture(pixels);
}

} // namespace
