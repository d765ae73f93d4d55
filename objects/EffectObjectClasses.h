#pragma once
// Registration of the effect-drawn scene objects and the text objects: the
// glowing discharge, the text descriptions and the particle-engine text
// items. Called by RegisterObjectClasses.

void RegisterEffectObjectClasses();
