#pragma once
// Registration of the sprite scene objects (flows, rain, fish, birds,
// ghosts, god rays, sparkles, fog, lighting, grass, placed objects, flowers
// and discharges) in the main class registry. Called by
// RegisterObjectClasses.

void RegisterSpriteObjectClasses();
