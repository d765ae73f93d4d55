#pragma once
// The inspector's fields of the ready-made particle systems, appended to an
// object's JSON after its block summary, under the members' own names with
// their stored (unscaled) values:
//   "burst": {"emitter": [x, y, z], "burstCount", "speed", "range",
//             "spatial", "angle", "spread", "focused", "startRadius",
//             "rate" (fountains), "windSpeed" (smoke), "stored": [...]}
//   "splash": {"emitter": [4 corners], "sector": {"position", "radius",
//              "angle", "spread"}, "useSector", "burstCount", "life",
//              "angle", "spread", "speed", "rate" (sprays), "stored": [...]}
//   "stream": {"emitterQuad", "rate", "life", "speed", "jitter",
//              "targetSpread", "stored": [...]}
//   "vortex": {"emitter", "rate", "speed", "swirl", "swirlReversed", "angle",
//              "spread", "armCount", "armSpin", "armSpinReversed", "range"}
//   "rain": {"emitter", "rate", "slideForce", "direction"}
//   "rays": {"rayArea", "rayCount", "rayLife": [value, jitter], "rayWidth",
//            "rayDrift", "spreadFactor", "fadeInLength", "fadeOutLength",
//            "edgeFade", "storedFlag"}

#include <sstream>

class KXI_ParticleSystemCtrl;

void WriteReadyMadeFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system);
