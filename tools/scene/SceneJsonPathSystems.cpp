#include "tools/scene/SceneJsonPathSystems.h"

#include "particles/engine/PathParticleSystems.h"
#include "particles/engine/ThroughSpace.h"
#include "tools/scene/SceneJson.h"

namespace {

// The curve's length as the running copy samples it (a description is never
// sampled).
float SampledLength(const SplinePath& path)
{
    SplinePath sampled(path);
    sampled.RebuildCurve();
    return sampled.length;
}

} // namespace

void WritePathSystemFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system)
{
    if (const auto* stream = dynamic_cast<const KXI_ParticlePath*>(&system)) {
        out << ", \"pathStream\": {\"points\": " << stream->path.GetPointCount()
            << ", \"length\": " << SampledLength(stream->path) << ", \"rate\": " << stream->rate.rate.value
            << ", \"speed\": " << stream->pathSpeed.value << ", \"width\": " << stream->width.value
            << ", \"wander\": " << stream->wanderMode.value << "}";
    } else if (const auto* trace = dynamic_cast<const KXI_ParticleTrace*>(&system)) {
        out << ", \"trace\": {\"count\": " << trace->count.value << ", \"lifetime\": " << trace->lifetime.value
            << "}";
    } else if (const auto* flight = dynamic_cast<const KXI_ThroughSpaceCtrl*>(&system)) {
        out << ", \"throughSpace\": {\"area\": [";
        const auto& corners = flight->emitter.geometry.area.corners;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            out << (i ? ", " : "");
            out << JsonPoint(corners[i].value);
        }
        out << "], \"centre\": ";
        out << JsonPoint(flight->centre.value);
        out << ", \"rate\": " << flight->emitter.counter.rate.value
            << ", \"receding\": " << (flight->receding ? "true" : "false") << "}";
    }
}
