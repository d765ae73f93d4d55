#pragma once
// WaterRippleGrid: a rippling water surface on a grid of cells (height and
// velocity each), turned every frame into a lit, refracted mesh. Each vertex
// carries the surface height as its y, the surface normal, a transparency
// from the shared refraction table and the texture coordinates where a ray
// from the eye, bent by the surface (refraction index 1.333), meets a bowl
// (a sphere of radius 35 about (0, 20, 0)) under the water. Textured with a
// picture, the mesh shows it lying under rippling water.
//
// The mesh is drawn as one triangle strip that spirals ring by ring from the
// border inwards (16-bit indices; the cell count is capped at 65536 so that
// every vertex can be addressed). Both buffers live in the default pool: the
// owner releases them on device loss and calls Init again after a reset,
// which restarts the surface flat.
//
// Safeguards: the grid sizes are computed in double precision and held to
// 4..16384 before conversion (a very wide or tall plane, or a NaN, never
// gives a grid without interior cells or an out-of-range conversion); a
// step that leaves a non-finite height restarts the surface flat; where the
// refracted ray misses the bowl the coordinate is left undisplaced; a grid
// without cells or buffers steps, drops and draws nothing.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Buffers.h"
#include "platform/gfx/Ref.h"
#include "platform/math/Vector.h"

namespace gfx {
class Device;
}

// One mesh vertex: XYZ | NORMAL | DIFFUSE | TEX1, 36 bytes.
struct WaterVertex {
    static constexpr std::uint32_t kFvf = 0x152;
    math::Vec3 position;
    math::Vec3 normal;
    std::uint32_t diffuse = 0;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(WaterVertex) == 36);

// One entry of the refraction table, for the cosine i / 256 between the view
// ray and the surface normal: the refracted ray is (a n + e) b, and the
// colour is black with the entry's transparency.
struct RefractionEntry {
    float a = 0.0f;
    float b = 0.0f;
    std::uint32_t colour = 0;
};

class WaterRippleGrid {
public:
    static constexpr std::uint32_t kTableSize = 256;
    static constexpr std::uint32_t kMaxCells = 65536;
    static constexpr int kSubsteps = 4;
    static constexpr float kRefractionIndex = 1.333f;
    static constexpr float kBowlRadius = 35.0f;
    static constexpr float kBowlCentreHeight = 20.0f;

    struct Cell {
        float height = 0.0f;
        float velocity = 0.0f;
    };

    WaterRippleGrid() = default;
    WaterRippleGrid(const WaterRippleGrid&) = delete;
    WaterRippleGrid& operator=(const WaterRippleGrid&) = delete;
    ~WaterRippleGrid() = default;

    // The table shared by every grid, for indices 0..255.
    static const std::array<RefractionEntry, kTableSize>& RefractionTable();
    // The entry for a table index; indices below 0 read entry 0, above 255
    // entry 255.
    static const RefractionEntry& RefractionAt(int index);
    // Points this grid at the shared table.
    void BuildRefractionTable();
    bool HasRefractionTable() const { return m_table != nullptr; }

    // Sizes the grid for a resolution (128 columns per unit), a plane of
    // width x height and a row density; the surface restarts flat and both
    // buffers are made again on the resource device.
    void Init(float resolution, float width, float height, float density);
    // Creates the index buffer (written once) and the vertex buffer where
    // they are missing; the device's result.
    HRESULT CreateBuffers();
    // Lets both buffers go (device loss); the cells stay.
    void ReleaseBuffers();

    // One drop at a random interior cell: two rand() calls, column then row.
    void AddDrop();
    // Four simulation substeps, then the mesh for an eye at `eye`; the
    // result of the vertex buffer's lock (kInvalidCall without one).
    HRESULT Step(const math::Vec3& eye);
    // The simulation alone: four substeps.
    void Simulate();
    // Draws the mesh as its spiral strip; the device's result.
    HRESULT Draw() const;

    // The spiral strip of a columns x rows grid: `count` indices.
    static std::vector<std::uint16_t> SpiralStrip(std::uint32_t columns, std::uint32_t rows, std::uint32_t count);

    // ---- factors the owner sets
    float timeStep = 1.0f;
    float dropStrength = 0.5f;
    float damping = 0.99f;
    float refractionDepth = 0.2f;

    // ---- state, for the owner and tests
    std::uint32_t Columns() const { return m_columns; }
    std::uint32_t Rows() const { return m_rows; }
    std::uint32_t CellCount() const { return m_cellCount; }
    std::uint32_t VertexCount() const { return m_vertexCount; }
    std::uint32_t IndexCount() const { return m_indexCount; }
    float PlaneWidth() const { return m_width; }
    float PlaneHeight() const { return m_height; }
    float Mean() const { return m_mean; }
    std::vector<Cell>& Cells() { return m_cells; }
    const std::vector<Cell>& Cells() const { return m_cells; }
    Cell& At(std::uint32_t row, std::uint32_t column) { return m_cells[row * m_columns + column]; }
    gfx::VertexBuffer* Vertices() const { return m_vertices.Get(); }
    gfx::IndexBuffer* Indices() const { return m_indices.Get(); }

private:
    void SubStep();
    void FillMesh(WaterVertex* out, const math::Vec3& eye) const;
    WaterVertex MeshVertex(std::uint32_t row, std::uint32_t column, const math::Vec3& eye) const;
    float HeightAt(std::uint32_t row, std::uint32_t column) const { return m_cells[row * m_columns + column].height; }

    float m_width = 0.0f;
    float m_height = 0.0f;
    float m_inverseWidth = 1.0f;
    float m_inverseHeight = 1.0f;
    float m_mean = 0.0f;
    std::uint32_t m_indexCount = 0;
    std::uint32_t m_vertexCount = 0;
    std::vector<Cell> m_cells;
    const std::array<RefractionEntry, kTableSize>* m_table = nullptr;
    std::uint32_t m_columns = 4;
    std::uint32_t m_rows = 4;
    std::uint32_t m_cellCount = 16;
    gfx::Ref<gfx::IndexBuffer> m_indices;
    gfx::Ref<gfx::VertexBuffer> m_vertices;
};
