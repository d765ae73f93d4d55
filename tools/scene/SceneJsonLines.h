#pragma once
// The line systems add ", \"line\": {...}" to their object: control points,
// samples and length as attach samples the path (100 steps per segment),
// width, show particles, head offsets, the line layer (blend, glow, texture
// links, effect link, colour count) and the class's own values. Nothing for
// other items.

#include <sstream>

class KXI_ParticleSystemCtrl;
void WriteLineFields(std::ostringstream& out, const KXI_ParticleSystemCtrl& system);
