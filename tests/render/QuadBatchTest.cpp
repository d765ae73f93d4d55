// Quad batches and the quad-batch array on a headless device: the index
// pattern, growth limits, sharing on copy, the split into batches of at most
// 16383 quads, the vertex reset, and a draw read back.

#include <gtest/gtest.h>

#include "render/QuadBatchArray.h"
#include "render/QuadBatchBuffer.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using namespace quad_test;

class QuadBatchTest : public DeviceFixture {};

TEST_F(QuadBatchTest, QuadIndicesFollowTheSixIndexPattern)
{
    QuadBatchBuffer batch;
    EXPECT_EQ(batch.vertices.PrimitiveType(), gfx::PrimitiveType::TriangleStrip) << "a new batch";
    ASSERT_TRUE(batch.BuildQuadIndices(*device, 3));
    EXPECT_EQ(batch.vertices.VertexCount(), 12);
    EXPECT_EQ(batch.vertices.Buffer()->Size(), 12u * 24u);
    EXPECT_EQ(batch.vertices.PrimitiveType(), gfx::PrimitiveType::TriangleList);
    EXPECT_EQ(batch.indices.PrimitiveCount(), 6);
    EXPECT_EQ(batch.QuadCapacity(), 3);
    EXPECT_EQ(batch.indices.Buffer()->Size(), 6u * 16u) << "16 bytes per primitive";
    const auto indices = BufferRecords<std::uint16_t>(batch.indices.Buffer());
    const std::vector<std::uint16_t> expected = {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7, 8, 9, 10, 10, 9, 11};
    EXPECT_EQ(std::vector<std::uint16_t>(indices.begin(), indices.begin() + 18), expected);
}

TEST_F(QuadBatchTest, BatchesBeyondSixteenBitIndicesOrEmptyHoldNoBuffers)
{
    struct Case {
        const char* name;
        std::int32_t quads;
        bool built;
        bool buffers;
    };
    const Case cases[] = {
        {"Largest", kMaxQuadsPerBatch, true, true},
        {"Empty", 0, true, false},
        {"TooMany", kMaxQuadsPerBatch + 1, false, false},
        {"Negative", -1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QuadBatchBuffer batch;
        ASSERT_TRUE(batch.BuildQuadIndices(*device, 2));
        EXPECT_EQ(batch.BuildQuadIndices(*device, c.quads), c.built);
        EXPECT_EQ(batch.HasBuffers(), c.buffers);
        EXPECT_EQ(batch.LockQuads() != nullptr, c.buffers) << "a batch without buffers yields no vertices";
        batch.UnlockQuads();
        if (c.buffers) {
            const auto indices = BufferRecords<std::uint16_t>(batch.indices.Buffer());
            EXPECT_EQ(indices[6 * std::size_t(c.quads) - 1], std::uint16_t(4 * c.quads - 1)) << "last index";
        }
    }
}

TEST_F(QuadBatchTest, CopiesShareTheBuffers)
{
    QuadBatchBuffer batch;
    ASSERT_TRUE(batch.BuildQuadIndices(*device, 2));
    batch.header.local.m[3][0] = 7.0f;
    const std::uint32_t references = batch.vertices.Buffer()->ReferenceCount();
    {
        const QuadBatchBuffer copy = batch;
        EXPECT_EQ(copy.vertices.Buffer(), batch.vertices.Buffer());
        EXPECT_EQ(copy.indices.Buffer(), batch.indices.Buffer());
        EXPECT_EQ(batch.vertices.Buffer()->ReferenceCount(), references + 1);
        EXPECT_EQ(copy.indices.PrimitiveCount(), 4);
        EXPECT_EQ(copy.header.local.m[3][0], 7.0f);
    }
    EXPECT_EQ(batch.vertices.Buffer()->ReferenceCount(), references);
}

TEST_F(QuadBatchTest, GridBatchesKeepTheirCellCounts)
{
    QuadBatchBuffer grid;
    ASSERT_TRUE(grid.BuildGrid(*device, 2, 2));
    EXPECT_EQ(grid.vertices.VertexCount(), 9);
    EXPECT_EQ(grid.vertices.Stride(), 20u);
    EXPECT_EQ(grid.indices.PrimitiveCount(), 8);
    FillGridFromCorners(grid, {0, 0, 0, 0, 0}, {8, 0, 0, 1, 0}, {0, 8, 0, 0, 1}, {8, 8, 0, 1, 1});
    const auto vertices = BufferRecords<TexturedQuadVertex>(grid.vertices.Buffer());
    EXPECT_FLOAT_EQ(vertices[4].x, 4.0f) << "the centre vertex";
    EXPECT_FLOAT_EQ(vertices[4].v, 0.5f);
    EXPECT_EQ(grid.LockQuads(), nullptr) << "a grid is no quad batch";
}

// ---- QuadBatchArray ------------------------------------------------------------

TEST_F(QuadBatchTest, ArraySplitsIntoBatchesOfAtMost16383Quads)
{
    struct Case {
        const char* name;
        std::int32_t count;
        std::vector<std::int32_t> batchQuads;
        std::int32_t storedCount;
    };
    const Case cases[] = {
        {"None", 0, {0}, 0},
        {"Some", 5, {5}, 5},
        {"ExactlyOneBatchGetsAnEmptyOne", 16383, {16383, 0}, 16383},
        {"TwoBatches", 20000, {16383, 3617}, 20000},
        {"NegativeIsNone", -7, {0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QuadBatchArray array;
        EXPECT_TRUE(array.Resize(*device, c.count));
        EXPECT_EQ(array.QuadCount(), c.storedCount);
        ASSERT_EQ(array.BatchCount(), c.batchQuads.size());
        for (std::size_t i = 0; i < c.batchQuads.size(); ++i) {
            EXPECT_EQ(array.Batch(i).QuadCapacity(), c.batchQuads[i]) << "batch " << i;
            EXPECT_EQ(array.Batch(i).HasBuffers(), c.batchQuads[i] > 0) << "batch " << i;
        }
    }
}

TEST_F(QuadBatchTest, ArrayQuadsAddressTheirBatchAndStartReset)
{
    QuadBatchArray array;
    ASSERT_TRUE(array.Resize(*device, 20000));
    EXPECT_EQ(array.QuadVerticesAt(0), nullptr) << "nothing is locked yet";
    array.LockAll();
    QuadBatchVertex* first = array.QuadVerticesAt(16383);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, static_cast<QuadBatchVertex*>(array.Batch(1).vertices.Locked())) << "quad 0 of batch 1";
    EXPECT_EQ(array.QuadVerticesAt(19999), first + 4 * 3616);
    EXPECT_EQ(array.QuadVerticesAt(20000), nullptr);
    EXPECT_EQ(array.QuadVerticesAt(-1), nullptr);
    const float uv[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
    for (int corner = 0; corner < 4; ++corner) {
        EXPECT_EQ(first[corner].x, 0.0f);
        EXPECT_EQ(first[corner].colour, 0u);
        EXPECT_EQ(first[corner].u, uv[corner][0]) << corner;
        EXPECT_EQ(first[corner].v, uv[corner][1]) << corner;
    }
    array.UnlockAll();
    EXPECT_EQ(array.QuadVerticesAt(16383), nullptr);
}

TEST_F(QuadBatchTest, ArrayLimitsItsQuadCount)
{
    QuadBatchArray array;
    ASSERT_TRUE(array.Resize(*device, QuadBatchArray::kMaxQuads + 100000));
    EXPECT_EQ(array.QuadCount(), QuadBatchArray::kMaxQuads);
    EXPECT_EQ(array.BatchCount(), std::size_t(QuadBatchArray::kMaxBatches + 1));
}

TEST_F(QuadBatchTest, ArrayBatchesKeepTheFirstBatchsTexture)
{
    const auto texture = MakeTexture(*device, 1, 1, {kGreen});
    QuadBatchArray array;
    ASSERT_TRUE(array.Resize(*device, 10));
    array.SetTexture(texture.Get());
    ASSERT_TRUE(array.Resize(*device, 40000));
    ASSERT_EQ(array.BatchCount(), 3u);
    for (std::size_t i = 0; i < array.BatchCount(); ++i)
        EXPECT_EQ(array.Batch(i).texture.Get(), texture.Get()) << "batch " << i;
}

TEST_F(QuadBatchTest, ArrayDrawsEveryBatchWhereItsQuadsAre)
{
    // Quads on both sides of a batch boundary: the last of batch 0 and the
    // first of batch 1.
    const auto texture = MakeTexture(*device, 1, 1, {kWhite});
    QuadBatchArray array;
    ASSERT_TRUE(array.Resize(*device, 16384));
    array.SetTexture(texture.Get());
    array.LockAll();
    const auto place = [](QuadBatchVertex* quad, float left, float top, std::uint32_t colour) {
        const float corners[4][2] = {{left, top + 4}, {left, top}, {left + 4, top + 4}, {left + 4, top}};
        for (int i = 0; i < 4; ++i) {
            quad[i].x = corners[i][0];
            quad[i].y = corners[i][1];
            quad[i].colour = colour;
        }
    };
    place(array.QuadVerticesAt(16382), 2, 2, kRed);
    place(array.QuadVerticesAt(16383), 20, 8, kBlue);
    array.UnlockAll();

    device->SetTransform(gfx::TransformState::Projection, OrthoOverTarget(float(kWidth), float(kHeight)));
    device->SetTextureStageState(0, gfx::TextureStageState::ColorOp, std::uint32_t(gfx::TextureOp::Modulate));
    device->SetTextureStageState(0, gfx::TextureStageState::ColorArg1, gfx::TextureArg::Texture);
    device->SetTextureStageState(0, gfx::TextureStageState::ColorArg2, gfx::TextureArg::Diffuse);
    array.DrawAll(*device);

    const auto pixels = BackBufferPixels();
    EXPECT_EQ(pixels[3 * kWidth + 3] & 0xFFFFFFu, kRed & 0xFFFFFFu) << "last quad of batch 0";
    EXPECT_EQ(pixels[10 * kWidth + 21] & 0xFFFFFFu, kBlue & 0xFFFFFFu) << "first quad of batch 1";
    EXPECT_EQ(pixels[10 * kWidth + 10] & 0xFFFFFFu, 0u) << "between them";
    EXPECT_EQ(pixels[0] & 0xFFFFFFu, 0u) << "the reset quads at the origin are empty";
}

} // namespace
