#pragma once
// The inspector's fields of the single-object controllers, appended to an
// object's JSON after the particle block:
//   static object:  "static": {"quad": [[x, y, z] x 4], "turnSpeed": N,
//                              "reverse": N}
//   walking object: "walk": {"points": N, "orientation": N, "speed": N}

#include <sstream>

class KXI_ParticleSystemCtrl;

void WriteSingleObjectFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system);
