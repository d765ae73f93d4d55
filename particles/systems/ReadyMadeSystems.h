#pragma once
// Registers the ready-made particle systems (bursts, fountains and their
// presets, splashes and sprays, streams, the vortex, rain on glass and rays
// of light) in the main class registry.
void RegisterReadyMadeSystemClasses();
