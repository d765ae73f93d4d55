#pragma once
// The inspector's output for a slide's light variant: its own stored
// values, as its reader leaves them, next to its class.

#include <sstream>

class DS_2D_Light;

// Appends `, "light_params": {...}` with the variant's own values; nothing
// for the plain light, which stores only its background and camera.
void WriteLightParams(std::ostringstream& out, const DS_2D_Light& light);
