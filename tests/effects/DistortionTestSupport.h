#pragma once
// Fixtures shared by the distortion-effect tests: a timeline held at one
// level, the clock run to a time, and effect links holding bytes this
// platform cannot run (what a document of the other platform stores), which
// give each class its built-in effect.

#include <cmath>
#include <memory>

#include "effects/ImageEffect.h"
#include "render/DocResManager.h"
#include "render/Timing.h"

namespace image_effect_test {

// A timeline held at one level.
class HeldLevel : public KXI_Timing {
public:
    explicit HeldLevel(float level) { m_level = level; }
};

inline void HoldLevel(DS_FX_Constructor& fx, float level)
{
    fx.timing.SetTimeline(std::make_unique<HeldLevel>(level));
}

// Runs the clock in steps of at most 0.2 s from local time `from` (where it
// stands) to `t`.
inline void RunClockTo(DS_FX_Constructor& fx, float t, float from = 0.0f)
{
    for (float at = from + 0.2f; at < t; at += 0.2f)
        fx.Update(at);
    fx.Update(t);
}

// Links `fx` to bytes of the other platform's effect language stored in
// `manager`, as a document does: the class plays its built-in effect.
inline void LinkForeignEffect(DS_DocResManager& manager, DS_FX_Constructor& fx)
{
    const LinkKey key{u"effects\\foreign.fx", 77};
    auto& records = manager.GetResourceRecords(key);
    if (records.empty()) {
        ModuleResourceBlob hlsl(u"foreign.fx");
        hlsl.SetBytes({'f', 'l', 'o', 'a', 't', '4', ' ', 'm', 'a', 'i', 'n'});
        records.push_back(hlsl);
    }
    fx.effectLink.StorePathAndId(key.path, key.id);
}

} // namespace image_effect_test
