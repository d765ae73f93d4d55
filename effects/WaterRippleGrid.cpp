#include "effects/WaterRippleGrid.h"

#include <algorithm>
#include <cmath>

#include "platform/crt/Random.h"
#include "platform/gfx/Device.h"
#include "render/QuadBase.h"
#include "render/ResourceLoading.h"

namespace {

// Grid sizes are held here before conversion: at least 4 columns and rows
// (two interior ones for the drops), and rows few enough that the cell cap
// still leaves 4 columns.
constexpr double kMinSide = 4.0;
constexpr double kMaxSide = double(WaterRippleGrid::kMaxCells / 4);

std::uint32_t EvenSide(double value)
{
    if (!(value >= kMinSide)) // also NaN
        value = kMinSide;
    value = std::min(value, kMaxSide);
    const auto side = static_cast<std::uint32_t>(value);
    return side & ~1u;
}

std::array<RefractionEntry, WaterRippleGrid::kTableSize> MakeRefractionTable()
{
    std::array<RefractionEntry, WaterRippleGrid::kTableSize> table{};
    for (std::uint32_t i = 0; i < WaterRippleGrid::kTableSize; ++i) {
        const float cosIn = static_cast<float>(i) / 256.0f;
        const float sinIn = std::sin(std::acos(cosIn));
        const float sinOut = sinIn / WaterRippleGrid::kRefractionIndex;
        const float cosOut = std::cos(std::asin(sinOut));
        const std::uint32_t rest = 255u - i;
        table[i].a = cosOut * (sinIn / sinOut) - cosIn;
        table[i].b = -(sinOut / sinIn);
        table[i].colour = ((rest * rest * rest) & 0xFFFF0000u) << 8;
    }
    return table;
}

float Dot(const math::Vec3& a, const math::Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

math::Vec3 Normalised(const math::Vec3& v)
{
    const float length = std::sqrt(Dot(v, v));
    if (!(length > 0.0f))
        return v;
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

// ---- refraction table ------------------------------------------------------------

const std::array<RefractionEntry, WaterRippleGrid::kTableSize>& WaterRippleGrid::RefractionTable()
{
    static const std::array<RefractionEntry, kTableSize> table = MakeRefractionTable();
    return table;
}

const RefractionEntry& WaterRippleGrid::RefractionAt(int index)
{
    return RefractionTable()[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(kTableSize) - 1))];
}

void WaterRippleGrid::BuildRefractionTable()
{
    m_table = &RefractionTable();
}

// ---- sizing and buffers -------------------------------------------------------------

void WaterRippleGrid::Init(float resolution, float width, float height, float density)
{
    m_columns = EvenSide(static_cast<double>(resolution) * 128.0);
    m_rows = EvenSide(static_cast<double>(height) / static_cast<double>(width) * m_columns * density);
    m_cellCount = m_columns * m_rows;
    if (m_cellCount > kMaxCells) {
        m_columns = (kMaxCells / m_rows) & ~1u;
        m_cellCount = m_columns * m_rows;
    }
    m_vertexCount = m_cellCount;
    m_indexCount = 2 * m_cellCount;
    m_width = width;
    m_height = height;
    m_inverseWidth = width != 0.0f ? 1.0f / width : 0.0f;
    m_inverseHeight = height != 0.0f ? 1.0f / height : 0.0f;
    m_cells.assign(m_cellCount, Cell{});
    ReleaseBuffers();
    CreateBuffers();
}

std::vector<std::uint16_t> WaterRippleGrid::SpiralStrip(std::uint32_t columns, std::uint32_t rows,
                                                         std::uint32_t count)
{
    std::vector<std::uint16_t> strip;
    strip.reserve(count);
    const auto put = [&](std::uint32_t row, std::uint32_t column) {
        if (strip.size() < count)
            strip.push_back(static_cast<std::uint16_t>(row * columns + column));
    };
    for (std::uint32_t j = 0; strip.size() < count && 2 * j < columns && 2 * j < rows; ++j) {
        const std::uint32_t w = columns - 2 * j, h = rows - 2 * j;
        const std::uint32_t last = j + w - 1, bottom = j + h - 1;
        for (std::uint32_t c = j; c <= last; ++c) {
            put(j, c);
            put(j + 1, c);
        }
        if (h > 1)
            for (std::uint32_t r = j + 1; r <= bottom; ++r) {
                put(r, last);
                put(r, last - 1);
            }
        if (w > 1)
            for (std::uint32_t c = last - 1; c + 1 > j; --c) {
                put(bottom, c);
                put(bottom - 1, c);
            }
        if (h > 2)
            for (std::uint32_t r = bottom - 1; r > j; --r) {
                put(r, j);
                put(r, j + 1);
            }
    }
    strip.resize(count, 0);
    return strip;
}

HRESULT WaterRippleGrid::CreateBuffers()
{
    gfx::Device* device = GetResourceDevice();
    if (!device || m_cellCount == 0)
        return gfx::kInvalidCall;
    if (!m_indices) {
        gfx::IndexBuffer* indices = nullptr;
        HRESULT result =
            device->CreateIndexBuffer(m_indexCount * 2, 0, gfx::Format::Index16, gfx::Pool::Default, &indices);
        if (result != gfx::kOk)
            return result;
        m_indices = gfx::Ref<gfx::IndexBuffer>::Adopt(indices);
        std::vector<std::uint16_t> strip = SpiralStrip(m_columns, m_rows, m_indexCount);
        for (std::uint16_t& index : strip)
            if (index >= m_vertexCount)
                index = 0;
        BufferLock<std::uint16_t> lock(indices);
        if (!lock.Holds(strip.size())) {
            m_indices.Reset();
            return gfx::kInvalidCall;
        }
        std::copy(strip.begin(), strip.end(), lock.Data());
    }
    if (!m_vertices) {
        gfx::VertexBuffer* vertices = nullptr;
        const HRESULT result = device->CreateVertexBuffer(m_vertexCount * sizeof(WaterVertex), gfx::Usage::Dynamic,
                                                          WaterVertex::kFvf, gfx::Pool::Default, &vertices);
        if (result != gfx::kOk)
            return result;
        m_vertices = gfx::Ref<gfx::VertexBuffer>::Adopt(vertices);
    }
    return gfx::kOk;
}

void WaterRippleGrid::ReleaseBuffers()
{
    m_indices.Reset();
    m_vertices.Reset();
}

// ---- simulation ----------------------------------------------------------------------

void WaterRippleGrid::AddDrop()
{
    if (m_cells.size() != m_cellCount || m_columns < 3 || m_rows < 3)
        return;
    const std::uint32_t column = static_cast<std::uint32_t>(crt::rand()) % (m_columns - 2) + 1;
    const std::uint32_t row = static_cast<std::uint32_t>(crt::rand()) % (m_rows - 2) + 1;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
            const int away = (dr != 0) + (dc != 0); // 0 centre, 1 edge, 2 corner
            const float share = 0.25f / static_cast<float>(1 << away);
            At(row + dr, column + dc).velocity -= dropStrength * share;
        }
}

void WaterRippleGrid::SubStep()
{
    const std::uint32_t nx = m_columns, ny = m_rows;
    m_mean = 0.0f;
    for (std::uint32_t row = 0; row < ny; ++row)
        for (std::uint32_t column = 0; column < nx; ++column) {
            Cell& cell = At(row, column);
            float average = 0.0f;
            if (row == 0 || column == 0 || row == ny - 1 || column == nx - 1) {
                cell.height = 0.0f;
                cell.velocity = 0.0f;
            } else {
                const float diagonal = HeightAt(row - 1, column - 1) + HeightAt(row - 1, column + 1) +
                                       HeightAt(row + 1, column - 1) + HeightAt(row + 1, column + 1);
                const float edge = HeightAt(row - 1, column) + HeightAt(row + 1, column) +
                                   HeightAt(row, column - 1) + HeightAt(row, column + 1);
                average = diagonal / 12.0f + edge / 6.0f;
            }
            cell.velocity = (average - cell.height) * 0.25f + damping * cell.velocity;
            m_mean += cell.height + cell.velocity;
        }
    m_mean /= static_cast<float>(m_cellCount);
    for (Cell& cell : m_cells)
        cell.height = cell.height + cell.velocity * timeStep - m_mean;
}

void WaterRippleGrid::Simulate()
{
    if (m_cells.size() != m_cellCount || m_cellCount == 0)
        return;
    for (int i = 0; i < kSubsteps; ++i)
        SubStep();
    // Factors that make the surface blow up leave it flat rather than
    // carrying infinities into the mesh.
    const bool finite = std::all_of(m_cells.begin(), m_cells.end(), [](const Cell& cell) {
        return std::isfinite(cell.height) && std::isfinite(cell.velocity);
    });
    if (!finite) {
        std::fill(m_cells.begin(), m_cells.end(), Cell{});
        m_mean = 0.0f;
    }
}

// ---- the mesh ---------------------------------------------------------------------------

WaterVertex WaterRippleGrid::MeshVertex(std::uint32_t row, std::uint32_t column, const math::Vec3& eye) const
{
    const std::uint32_t nx = m_columns, ny = m_rows;
    const float dx = m_width / static_cast<float>(nx - 1);
    const float dy = m_height / static_cast<float>(ny - 1);
    const float x = -m_width * 0.5f + static_cast<float>(column) * dx;
    const float z = -m_height * 0.5f + static_cast<float>(row) * dy;
    const float h = HeightAt(row, column);

    const std::uint32_t up = (row + ny - 1) % ny, down = (row + 1) % ny;
    const std::uint32_t left = (column + nx - 1) % nx, right = (column + 1) % nx;
    const float d1 = HeightAt(up, left) - HeightAt(down, right);
    const float d2 = HeightAt(up, column) - HeightAt(down, column);
    const float d3 = HeightAt(up, right) - HeightAt(down, left);
    const float d4 = HeightAt(row, left) - HeightAt(row, right);

    WaterVertex vertex;
    vertex.position = {x, h, z};
    vertex.normal = Normalised({d1 - d3 + d4, 1.0f, d1 + d2 + d3});
    const math::Vec3& n = vertex.normal;
    const math::Vec3 e = Normalised({eye.x - x, eye.y - h, eye.z - z});
    const RefractionEntry& entry = RefractionAt(static_cast<int>(std::lround(255.0f * Dot(e, n))));
    const math::Vec3 t{(entry.a * n.x + e.x) * entry.b, (entry.a * n.y + e.y) * entry.b,
                       (entry.a * n.z + e.z) * entry.b};
    const math::Vec3 q{x, h - kBowlCentreHeight, z};
    const float b = 2.0f * Dot(t, q);
    const float c = 4.0f * (Dot(q, q) - kBowlRadius * kBowlRadius);
    const float discriminant = b * b - c;
    // A ray that misses the bowl keeps the undisplaced coordinate.
    const float m = discriminant >= 0.0f ? (std::sqrt(discriminant) - b) * 0.5f * refractionDepth : 0.0f;
    const float shrink = 1.0f - refractionDepth * 0.05f;
    vertex.diffuse = entry.colour;
    vertex.u = shrink * ((t.x * m + x) * m_inverseWidth) + 0.5f;
    vertex.v = shrink * ((t.z * m + z) * m_inverseHeight) + 0.5f;
    return vertex;
}

void WaterRippleGrid::FillMesh(WaterVertex* out, const math::Vec3& eye) const
{
    for (std::uint32_t row = 0; row < m_rows; ++row)
        for (std::uint32_t column = 0; column < m_columns; ++column)
            *out++ = MeshVertex(row, column, eye);
}

HRESULT WaterRippleGrid::Step(const math::Vec3& eye)
{
    Simulate();
    if (!m_vertices || m_cells.size() != m_cellCount)
        return gfx::kInvalidCall;
    BufferLock<WaterVertex> lock(m_vertices.Get());
    if (!lock.Holds(m_vertexCount))
        return gfx::kInvalidCall;
    FillMesh(lock.Data(), eye);
    return gfx::kOk;
}

HRESULT WaterRippleGrid::Draw() const
{
    gfx::Device* device = GetResourceDevice();
    if (!device || !m_vertices || !m_indices || m_indexCount < 3)
        return gfx::kInvalidCall;
    HRESULT result = device->SetFVF(WaterVertex::kFvf);
    if (result == gfx::kOk)
        result = device->SetStreamSource(0, m_vertices.Get(), 0, sizeof(WaterVertex));
    if (result == gfx::kOk)
        result = device->SetIndices(m_indices.Get());
    if (result == gfx::kOk)
        result = device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 0, m_vertexCount, 0,
                                              m_indexCount - 2);
    return result;
}
