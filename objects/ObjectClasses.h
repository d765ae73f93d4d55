#pragma once
// Registration of the scene-object layer's stored classes (sprite objects,
// 3D objects, effect-drawn objects, animations and text). Called by
// InstallPlayerDocumentClasses (player/SlideShow.cpp), which the player, the
// inspector, the renderer and the fuzzer all call; a registration made only
// at static initialisation of a static library would be dropped by the
// linker.

void RegisterObjectClasses();
