#pragma once
// The inspector's fields of particle systems, appended to an object's JSON:
//   "particles": {"blockVersion": 11, "texture": ..., "pictures": [{"path", "id"}],
//                 "grid": [columns, rows], "effect": {"path", "id"}, "size": N,
//                 "blend": N, "glow": {"mode", "strength", "colour", "brightness", "passes"},
//                 "sizeEnvelope": [4], "opacityEnvelope": [4], "rotation": N,
//                 "flags": N, "speed": N}
//   "field": {"positions": N, "density": N, "lifetime": N, "sector": [angle, spread], "speed": N}

#include <sstream>

class DS_IOF_Item;

void WriteParticleFields(std::ostringstream& out, const DS_IOF_Item& item);
