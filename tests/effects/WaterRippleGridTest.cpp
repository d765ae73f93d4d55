// The water ripple grid: sizing, the spiral strip, drops, the simulation and
// the mesh it writes, with the safeguards against degenerate sizes and
// unstable factors.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "effects/WaterRippleGrid.h"
#include "platform/crt/Random.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/QuadBase.h"
#include "render/ResourceLoading.h"

namespace {

const math::Vec3 kEye{0.0f, 120.0f, 0.0f};

class WaterRippleGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        device = gfx::CreateHeadlessDevice(16, 16, &error);
        ASSERT_TRUE(device) << error;
        scope = std::make_unique<ResourceDeviceScope>(device.get());
    }

    static std::vector<WaterVertex> Mesh(const WaterRippleGrid& grid)
    {
        BufferLock<WaterVertex> lock(grid.Vertices());
        if (!lock.Holds(grid.VertexCount()))
            return {};
        return {lock.Data(), lock.Data() + grid.VertexCount()};
    }

    static std::vector<std::uint16_t> Indices(const WaterRippleGrid& grid)
    {
        BufferLock<std::uint16_t> lock(grid.Indices());
        return {lock.Data(), lock.Data() + lock.Count()};
    }

    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> scope;
};

TEST_F(WaterRippleGridTest, InitSizesTheGridEvenAndCapped)
{
    struct Case {
        const char* name;
        float resolution, width, height, density;
        std::uint32_t columns, rows;
    };
    const Case cases[] = {
        {"default", 1.0f, 40.0f, 30.0f, 1.0f, 128, 96},
        {"over the cell cap", 3.0f, 40.0f, 30.0f, 1.0f, 226, 288},
        {"odd counts lose their last", 1.0f, 40.0f, 29.9f, 1.0f, 128, 94},
        {"a very wide plane keeps interior rows", 1.0f, 1.0e6f, 1.0f, 1.0f, 128, 4},
        {"no resolution keeps interior columns", 0.0f, 40.0f, 30.0f, 1.0f, 4, 4},
        {"a plane of width 0", 1.0f, 0.0f, 30.0f, 1.0f, 4, 16384},
        {"a NaN density", 1.0f, 40.0f, 30.0f, std::nanf(""), 128, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaterRippleGrid grid;
        grid.Init(c.resolution, c.width, c.height, c.density);
        EXPECT_EQ(grid.Columns(), c.columns);
        EXPECT_EQ(grid.Rows(), c.rows);
        EXPECT_EQ(grid.CellCount(), c.columns * c.rows);
        EXPECT_LE(grid.CellCount(), WaterRippleGrid::kMaxCells);
        EXPECT_EQ(grid.VertexCount(), grid.CellCount());
        EXPECT_EQ(grid.IndexCount(), 2 * grid.CellCount());
        EXPECT_EQ(grid.Cells().size(), grid.CellCount());
        ASSERT_NE(grid.Vertices(), nullptr);
        ASSERT_NE(grid.Indices(), nullptr);
        EXPECT_EQ(grid.Vertices()->Size(), grid.VertexCount() * 36);
        EXPECT_EQ(grid.Indices()->IndexCount(), grid.IndexCount());
    }
}

TEST_F(WaterRippleGridTest, SpiralStripRunsRingByRingFromTheBorderIn)
{
    const std::vector<std::uint16_t> expected{0,  4,  1,  5,  2,  6, 3, 7, 7, 6, 11, 10, 15, 14, 14, 10,
                                              13, 9,  12, 8,  8,  9, 4, 5, 5, 9, 6,  10, 10, 9,  9,  5};
    EXPECT_EQ(WaterRippleGrid::SpiralStrip(4, 4, 32), expected);

    for (auto [columns, rows] : {std::pair{6u, 4u}, {4u, 10u}, {128u, 96u}, {226u, 288u}}) {
        SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
        const std::uint32_t cells = columns * rows;
        const std::vector<std::uint16_t> strip = WaterRippleGrid::SpiralStrip(columns, rows, 2 * cells);
        ASSERT_EQ(strip.size(), 2 * cells);
        std::vector<bool> used(cells);
        for (std::uint16_t index : strip) {
            ASSERT_LT(index, cells);
            used[index] = true;
        }
        EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](bool u) { return u; })) << "every cell is in the strip";
    }

    WaterRippleGrid grid;
    grid.Init(1.0f, 40.0f, 30.0f, 1.0f);
    EXPECT_EQ(Indices(grid), WaterRippleGrid::SpiralStrip(128, 96, 24576)) << "the index buffer holds the strip";
}

TEST_F(WaterRippleGridTest, DropLowersTheVelocitiesAroundARandomInteriorCell)
{
    WaterRippleGrid grid;
    grid.Init(1.0f, 40.0f, 30.0f, 1.0f);
    crt::srand(77);
    const std::uint32_t column = std::uint32_t(crt::rand()) % (grid.Columns() - 2) + 1;
    const std::uint32_t row = std::uint32_t(crt::rand()) % (grid.Rows() - 2) + 1;
    crt::srand(77);
    grid.AddDrop();
    for (std::uint32_t r = 0; r < grid.Rows(); ++r)
        for (std::uint32_t c = 0; c < grid.Columns(); ++c) {
            const int dr = int(r) - int(row), dc = int(c) - int(column);
            float expected = 0.0f;
            if (std::abs(dr) <= 1 && std::abs(dc) <= 1)
                expected = dr == 0 && dc == 0 ? -0.125f : (dr == 0 || dc == 0 ? -0.0625f : -0.03125f);
            ASSERT_FLOAT_EQ(grid.At(r, c).velocity, expected) << r << "," << c;
            ASSERT_EQ(grid.At(r, c).height, 0.0f);
        }
}

TEST_F(WaterRippleGridTest, StepsSpreadTheDropKeepingTheBorderFlatAndTheMeanAtZero)
{
    WaterRippleGrid grid;
    grid.Init(0.25f, 40.0f, 30.0f, 1.0f);
    crt::srand(5);
    grid.AddDrop();
    grid.AddDrop();
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(grid.Step(kEye), gfx::kOk);
    double sum = 0.0;
    float largest = 0.0f;
    for (std::uint32_t r = 0; r < grid.Rows(); ++r)
        for (std::uint32_t c = 0; c < grid.Columns(); ++c) {
            const float h = grid.At(r, c).height;
            sum += h;
            largest = std::max(largest, std::abs(h));
            const bool border = r == 0 || c == 0 || r == grid.Rows() - 1 || c == grid.Columns() - 1;
            if (border) {
                EXPECT_NEAR(h, -grid.Mean(), 1e-6f) << "border " << r << "," << c;
            }
        }
    EXPECT_GT(largest, 1e-3f) << "the drops moved the surface";
    EXPECT_NEAR(sum / grid.CellCount(), 0.0, 1e-5);
}

TEST_F(WaterRippleGridTest, RefractionTableEntries)
{
    const RefractionEntry& grazing = WaterRippleGrid::RefractionAt(0);
    EXPECT_EQ(grazing.colour, 253u << 24) << "the largest alpha, black";
    // Grazing: sin 1, the refracted sine 1 / 1.333.
    EXPECT_NEAR(grazing.a, 1.333f * std::cos(std::asin(1.0f / 1.333f)), 1e-5f);
    EXPECT_NEAR(grazing.b, -1.0f / 1.333f, 1e-5f);
    EXPECT_EQ(WaterRippleGrid::RefractionAt(255).colour, 0u);
    EXPECT_EQ(WaterRippleGrid::RefractionAt(-40).colour, grazing.colour) << "below 0 reads entry 0";
    EXPECT_EQ(WaterRippleGrid::RefractionAt(128).colour, ((127u * 127u * 127u) >> 16) << 24);
    for (int i = 1; i < 256; ++i)
        ASSERT_NEAR(WaterRippleGrid::RefractionAt(i).b, -1.0f / 1.333f, 1e-4f) << i;
}

TEST_F(WaterRippleGridTest, FlatSurfaceSeenFromAboveIsClearAndUndistortedAtTheCentre)
{
    WaterRippleGrid grid;
    grid.BuildRefractionTable();
    grid.Init(1.0f, 40.0f, 30.0f, 1.0f);
    ASSERT_EQ(grid.Step(kEye), gfx::kOk);
    const std::vector<WaterVertex> mesh = Mesh(grid);
    ASSERT_EQ(mesh.size(), grid.VertexCount());
    const WaterVertex& centre = mesh[(grid.Rows() / 2) * grid.Columns() + grid.Columns() / 2];
    EXPECT_EQ(centre.normal, (math::Vec3{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(centre.diffuse, 0u) << "q = 255: alpha 0";
    EXPECT_NEAR(centre.position.x, 40.0f / 127 * 0.5f, 1e-4f);
    EXPECT_EQ(centre.position.y, 0.0f);
    // Straight down the ray is not bent: the coordinate is the point's own.
    EXPECT_NEAR(centre.u, 0.99f * (centre.position.x / 40.0f) + 0.5f, 1e-3f);
    EXPECT_NEAR(centre.v, 0.99f * (centre.position.z / 30.0f) + 0.5f, 1e-3f);
    for (const WaterVertex& vertex : mesh) {
        ASSERT_TRUE(std::isfinite(vertex.u) && std::isfinite(vertex.v));
        ASSERT_EQ(vertex.normal, (math::Vec3{0.0f, 1.0f, 0.0f}));
    }
}

TEST_F(WaterRippleGridTest, RayMissingTheBowlKeepsTheUndisplacedCoordinate)
{
    WaterRippleGrid grid;
    grid.Init(0.25f, 200.0f, 30.0f, 1.0f);
    ASSERT_EQ(grid.Step(kEye), gfx::kOk);
    const std::vector<WaterVertex> mesh = Mesh(grid);
    ASSERT_FALSE(mesh.empty());
    const WaterVertex& corner = mesh[0];
    EXPECT_EQ(corner.position.x, -100.0f);
    EXPECT_FLOAT_EQ(corner.u, 0.99f * (-100.0f / 200.0f) + 0.5f);
    EXPECT_FLOAT_EQ(corner.v, 0.99f * (-15.0f / 30.0f) + 0.5f);
}

TEST_F(WaterRippleGridTest, UnstableFactorsRestartTheSurfaceFlat)
{
    WaterRippleGrid grid;
    grid.Init(0.25f, 40.0f, 30.0f, 1.0f);
    grid.damping = 1.0e30f;
    grid.timeStep = 1.0e30f;
    grid.AddDrop();
    for (int i = 0; i < 3; ++i)
        grid.Step(kEye);
    for (const WaterRippleGrid::Cell& cell : grid.Cells()) {
        ASSERT_EQ(cell.height, 0.0f);
        ASSERT_EQ(cell.velocity, 0.0f);
    }
    for (const WaterVertex& vertex : Mesh(grid))
        ASSERT_TRUE(std::isfinite(vertex.u) && std::isfinite(vertex.position.y));
}

TEST_F(WaterRippleGridTest, GridWithoutInitOrBuffersDoesNothing)
{
    WaterRippleGrid grid;
    grid.AddDrop();
    EXPECT_EQ(grid.Step(kEye), gfx::kInvalidCall);
    EXPECT_EQ(grid.Draw(), gfx::kInvalidCall);

    grid.Init(0.25f, 40.0f, 30.0f, 1.0f);
    grid.ReleaseBuffers();
    grid.AddDrop();
    EXPECT_EQ(grid.Step(kEye), gfx::kInvalidCall) << "the lock fails";
    EXPECT_EQ(grid.Draw(), gfx::kInvalidCall);
    EXPECT_EQ(grid.CreateBuffers(), gfx::kOk);
    EXPECT_EQ(grid.Step(kEye), gfx::kOk);
    EXPECT_EQ(grid.Draw(), gfx::kOk);
}

} // namespace
