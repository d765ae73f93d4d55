#pragma once
// Fixtures for the generators that leave trails of light: a timeline the
// test sets to any state, level and length, and readers of a layer's quads.

#include <cstdint>
#include <memory>
#include <vector>

#include "particles/generators/ParticlesObj.h"
#include "render/ABObjConstructor.h"
#include "render/Timing.h"
#include "render/TimingSmart.h"
#include "tests/render/QuadTestSupport.h"

namespace light_test {

// A timeline whose state, level and length the test sets. A copied object
// shares its timeline, so the test steers the clone through this one.
class ScriptedTimeline : public KXI_Timing {
public:
    float GetValue() const override { return level; }
    int GetState() const override { return state; }
    float GetLength() const override { return length; }

    void Set(int newState, float newLevel)
    {
        state = newState;
        level = newLevel;
    }

    int state = kTimingOn;
    float level = 1.0f;
    float length = 0.0f;
};

// Installs a scripted timeline under `selector` and returns it.
inline ScriptedTimeline& Script(DS_ABObj_Constructor& object, int selector)
{
    auto timeline = std::make_unique<ScriptedTimeline>();
    ScriptedTimeline& kept = *timeline;
    object.timing.StoreValue(selector);
    object.timing.SetTimeline(std::move(timeline));
    return kept;
}

// The quads of a layer as stored (four vertices each).
inline std::vector<QuadBatchVertex> LayerVertices(DS_ParticlesObj& object, std::size_t layer)
{
    std::vector<QuadBatchVertex> vertices = quad_test::BufferRecords<QuadBatchVertex>(object.Layer(layer)->vertices.Buffer());
    vertices.resize(std::min(vertices.size(), std::size_t(object.QuadCount(layer)) * 4));
    return vertices;
}

inline std::uint32_t Alpha(std::uint32_t argb)
{
    return argb >> 24;
}

// The side of a square quad (vertices 4i..4i+3).
inline float QuadWidth(const std::vector<QuadBatchVertex>& vertices, std::size_t quad)
{
    float lo = vertices[quad * 4].x, hi = lo;
    for (std::size_t i = quad * 4; i < quad * 4 + 4; ++i) {
        lo = std::min(lo, vertices[i].x);
        hi = std::max(hi, vertices[i].x);
    }
    return hi - lo;
}

} // namespace light_test
