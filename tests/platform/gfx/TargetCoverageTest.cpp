// Counting full-target work: which triangle sets cover a target, and the
// device's count of whole-target draws, copies and clears.

#include <gtest/gtest.h>

#include <vector>

#include "GfxTestSupport.h"
#include "platform/gfx/TargetCoverage.h"

namespace gfx::test {
namespace {

using Corners = std::vector<math::Vec2>;

// Two triangles over the rectangle, as a list.
Corners QuadTriangles(float left, float top, float right, float bottom)
{
    return {{left, top}, {right, top}, {left, bottom}, {right, top}, {right, bottom}, {left, bottom}};
}

Corners Join(std::initializer_list<Corners> parts)
{
    Corners all;
    for (const Corners& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(TargetCoverage, TrianglesCoverTheTargetOnlyWhenTheyFillIt)
{
    struct Case {
        const char* what;
        Corners corners;
        bool covers;
    };
    const Case cases[] = {
        {"a quad from corner to corner", QuadTriangles(0, 0, 16, 16), true},
        {"a quad through the pixel centres", QuadTriangles(-0.5f, -0.5f, 15.5f, 15.5f), true},
        {"a quad larger than the target", QuadTriangles(-40, -40, 56, 56), true},
        {"a picture fitted a pixel narrower on each side", QuadTriangles(0.8f, 0, 15.2f, 16), true},
        {"a 2 x 2 grid", Join({QuadTriangles(0, 0, 8, 8), QuadTriangles(8, 0, 16, 8), QuadTriangles(0, 8, 8, 16),
                               QuadTriangles(8, 8, 16, 16)}),
         true},
        {"a quad six columns short", QuadTriangles(0, 0, 10, 16), false},
        {"a quad four rows short at the top", QuadTriangles(0, 4, 16, 16), false},
        {"sprites in the four corners", Join({QuadTriangles(0, 0, 3, 3), QuadTriangles(13, 0, 16, 3),
                                              QuadTriangles(0, 13, 3, 16), QuadTriangles(13, 13, 16, 16)}),
         false},
        {"one triangle over half the target", {{0, 0}, {16, 0}, {0, 16}}, false},
        {"a border bar reaching far beyond the target", QuadTriangles(-1000, -1000, 1, 1000), false},
        {"no triangle", {{0, 0}, {16, 16}}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrianglesCoverTarget(c.corners, 16, 16), c.covers) << c.what;
}

class FullTargetPassTest : public DeviceTest {
protected:
    FullTargetPasses Counted() const { return device->FullTargetPassCount(); }

    // What changed since `before`, as {draws, copies, clears}.
    std::vector<std::uint64_t> Since(const FullTargetPasses& before) const
    {
        const FullTargetPasses now = Counted();
        return {now.draws - before.draws, now.copies - before.copies, now.clears - before.clears};
    }
};

using Counts = std::vector<std::uint64_t>;

TEST_F(FullTargetPassTest, DrawsAreCountedWhenTheyCoverTheirTarget)
{
    UseDiffuseOnly(*device);
    const float w = float(kWidth), h = float(kHeight);

    FullTargetPasses before = Counted();
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, w, h, 0xFFFFFFFF)), kOk);
    EXPECT_EQ(Since(before), (Counts{1, 0, 0})) << "pre-transformed quad over the target";

    before = Counted();
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, w / 2, h, 0xFFFFFFFF)), kOk);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(2, 2, 5, 5, 0xFFFFFFFF)), kOk);
    EXPECT_EQ(Since(before), (Counts{0, 0, 0})) << "quads over part of the target";

    // Transformed vertices land through world, view and projection.
    UseScreenProjection();
    const std::vector<XyzDiffuse> strip = {{0, h, 0, 0xFFFF0000}, {0, 0, 0, 0xFFFF0000}, {w, h, 0, 0xFFFF0000},
                                           {w, 0, 0, 0xFFFF0000}};
    before = Counted();
    ASSERT_EQ(Draw(*device, 0x42, strip), kOk);
    math::Matrix shifted;
    math::MatrixTranslation(&shifted, w / 2, 0, 0);
    ASSERT_EQ(device->SetTransform(TransformState::World, shifted), kOk);
    ASSERT_EQ(Draw(*device, 0x42, strip), kOk);
    EXPECT_EQ(Since(before), (Counts{1, 0, 0})) << "transformed quad, then moved half off the target";
    ASSERT_EQ(device->SetTransform(TransformState::World, math::Matrix{}), kOk);

    // An indexed 2 x 2 grid over the target.
    std::vector<XyzDiffuse> grid;
    for (int row = 0; row <= 2; ++row)
        for (int column = 0; column <= 2; ++column)
            grid.push_back({column * w / 2, row * h / 2, 0, 0xFF00FF00});
    std::vector<std::uint16_t> indices;
    for (std::uint16_t row = 0; row < 2; ++row)
        for (std::uint16_t column = 0; column < 2; ++column) {
            const std::uint16_t corner = std::uint16_t(row * 3 + column);
            indices.insert(indices.end(), {corner, std::uint16_t(corner + 1), std::uint16_t(corner + 3),
                                           std::uint16_t(corner + 1), std::uint16_t(corner + 4),
                                           std::uint16_t(corner + 3)});
        }
    const auto vertices = MakeVertexBuffer(*device, grid, 0x42);
    const auto indexBuffer = MakeIndexBuffer(*device, indices);
    ASSERT_EQ(device->SetFVF(0x42), kOk);
    ASSERT_EQ(device->SetStreamSource(0, vertices.Get(), 0, sizeof(XyzDiffuse)), kOk);
    ASSERT_EQ(device->SetIndices(indexBuffer.Get()), kOk);
    before = Counted();
    ASSERT_EQ(device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 9, 0, 8), kOk);
    ASSERT_EQ(device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 9, 0, 4), kOk);
    EXPECT_EQ(Since(before), (Counts{1, 0, 0})) << "the whole grid, then its upper half";

    // The target is the one drawn into: a quad of 8 x 8 pixels covers an 8 x 8 target.
    const auto small = MakeRenderTarget(*device, 8, 8);
    ASSERT_EQ(device->SetRenderTarget(0, small->SurfaceLevel(0).Get()), kOk);
    before = Counted();
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, 8, 8, 0xFFFFFFFF)), kOk);
    EXPECT_EQ(Since(before), (Counts{1, 0, 0})) << "quad over a smaller target";
}

TEST_F(FullTargetPassTest, WholeTargetCopiesAndClearsAreCounted)
{
    Surface* raw = nullptr;
    ASSERT_EQ(device->GetBackBuffer(&raw), kOk);
    const auto backBuffer = Ref<Surface>::Adopt(raw);
    const auto copy = MakeRenderTarget(*device, kWidth, kHeight);
    const auto small = MakeRenderTarget(*device, 8, 8);

    FullTargetPasses before = Counted();
    ASSERT_EQ(device->StretchRect(backBuffer.Get(), nullptr, copy->SurfaceLevel(0).Get(), nullptr, TextureFilter::Point),
              kOk);
    ASSERT_EQ(device->StretchRect(backBuffer.Get(), nullptr, small->SurfaceLevel(0).Get(), nullptr, TextureFilter::Linear),
              kOk);
    EXPECT_EQ(Since(before), (Counts{0, 2, 0})) << "the whole back buffer copied, then shrunk";

    before = Counted();
    const Rect corner{0, 0, 4, 4};
    ASSERT_EQ(device->StretchRect(backBuffer.Get(), &corner, small->SurfaceLevel(0).Get(), &corner, TextureFilter::Point),
              kOk);
    ASSERT_EQ(device->StretchRect(small->SurfaceLevel(0).Get(), nullptr, copy->SurfaceLevel(0).Get(), &corner,
                                  TextureFilter::Point),
              kOk);
    EXPECT_EQ(Since(before), (Counts{0, 0, 0})) << "corners copied";

    before = Counted();
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0), kOk);
    ASSERT_EQ(device->Clear(1, &corner, ClearFlags::Target, 0xFF000000, 1.0f, 0), kOk);
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::ZBuffer, 0, 1.0f, 0), kOk);
    EXPECT_EQ(Since(before), (Counts{0, 0, 1})) << "whole-target colour clear, a corner, the depth alone";
}

} // namespace
} // namespace gfx::test
