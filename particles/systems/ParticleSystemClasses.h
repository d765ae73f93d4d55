#pragma once
// Registration of the particle-system layer's stored classes and draw
// hooks: the explosion ("DS_ExplosionConstructor") in the main class
// registry and the sprite-array describer. Called by
// InstallPlayerDocumentClasses (player/SlideShow.cpp), which the player,
// the inspector, the renderer and the fuzzer all call; a registration made
// only at static initialisation of a static library would be dropped by
// the linker.

void RegisterParticleSystemClasses();
