#pragma once
// The inspector's fields of wandering particles, appended to an object's
// JSON after its block summary:
//   "brownian": {"count": N, "area": [left, top, right, bottom],
//                "drift": N, "change": N, "turn": N}
//   "trail": {"rate": N, "lifetime": N, "spread": N, "velocity": N,
//             "texture": ..., "pictures": [{"path", "id"}], "effect": {"path", "id"},
//             "size": N, "blend": N, "glow": N, "colours": [N...],
//             "sizeEnvelope": [2], "opacityEnvelope": [2], "flags": N}

#include <sstream>

class KXI_ParticleSystemCtrl;

void WriteWandererFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system);
