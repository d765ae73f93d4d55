#include "particles/generators/GeneratorClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/generators/AirBrush.h"
#include "particles/generators/AnimatedFont.h"
#include "particles/generators/Aurora.h"
#include "particles/generators/Bling.h"
#include "particles/generators/FallingStars.h"
#include "particles/generators/Firework.h"
#include "particles/generators/Lightning.h"
#include "particles/generators/RadialRays.h"
#include "particles/generators/SingleRect.h"
#include "particles/generators/Smoke.h"

void RegisterGeneratorClasses()
{
    RegisterMainClass<DS_RadialRays>(DS_RadialRays::kClassName);
    RegisterMainClass<DS_FallingStars>(DS_FallingStars::kClassName);
    RegisterMainClass<DS_FireworkSimple>(DS_FireworkSimple::kClassName);
    RegisterMainClass<DS_LightningGN>(DS_LightningGN::kClassName);
    RegisterMainClass<DS_Smoke>(DS_Smoke::kClassName);
    RegisterMainClass<DS_Plant>(DS_Plant::kClassName);
    RegisterMainClass<DS_CustomAirBrush>(DS_CustomAirBrush::kClassName);
    RegisterMainClass<DS_Bling>(DS_Bling::kClassName);
    RegisterMainClass<DS_TwinklingStars>(DS_TwinklingStars::kClassName);
    RegisterMainClass<DS_Aurora>(DS_Aurora::kClassName);
    RegisterMainClass<DS_AnimatedFont>(DS_AnimatedFont::kClassName);
}

namespace {

// Also at static initialisation, for programs that link the generators but
// open documents without installing the player's classes (InstallPlayer-
// DocumentClasses pulls this file in).
const bool registeredAtStart = (RegisterGeneratorClasses(), true);

} // namespace
