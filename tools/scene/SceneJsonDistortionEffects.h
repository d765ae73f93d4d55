#pragma once
// The inspector's own values of the distortion effects (centre, line and
// flow-field distortions, waterfall and clouds), by name, as the reader left
// them (after its conversions): raw stored values, links as JSON links.

#include <string>
#include <utility>
#include <vector>

class DS_FX_Constructor;

// Appends the values of `fx` when it is a distortion effect; false (nothing
// appended) for any other class.
bool AddDistortionEffectValues(const DS_FX_Constructor& fx, std::vector<std::pair<const char*, std::string>>& values);
