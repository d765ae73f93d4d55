#pragma once
// Registration of the distortion effects (centre, line and flow-field
// distortions, waterfall and clouds) in the main class registry, under the
// names documents store. RegisterEffectClasses calls it.

void RegisterDistortionEffectClasses();
