#pragma once
// The inspector's fields of the path stream, the trace and the
// through-space flight, appended to the object's JSON after the block:
//   "pathStream": {"points": N, "length": sampled length, "rate": N,
//                  "speed": N, "width": N, "wander": N}
//   "trace": {"count": N, "lifetime": N}
//   "throughSpace": {"area": [[x, y, z] x 4], "centre": [x, y, z],
//                    "rate": N, "receding": true|false}
// Stored values are shown as stored (rates and lifetimes unscaled).

#include <sstream>

class KXI_ParticleSystemCtrl;

void WritePathSystemFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system);
