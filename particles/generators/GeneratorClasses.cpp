#include "particles/generators/GeneratorClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/generators/FallingStars.h"
#include "particles/generators/Firework.h"
#include "particles/generators/Lightning.h"
#include "particles/generators/RadialRays.h"
#include "particles/generators/Smoke.h"

void RegisterGeneratorClasses()
{
    RegisterMainClass<DS_RadialRays>(DS_RadialRays::kClassName);
    RegisterMainClass<DS_FallingStars>(DS_FallingStars::kClassName);
    RegisterMainClass<DS_FireworkSimple>(DS_FireworkSimple::kClassName);
    RegisterMainClass<DS_LightningGN>(DS_LightningGN::kClassName);
    RegisterMainClass<DS_Smoke>(DS_Smoke::kClassName);
}

namespace {

// Also at static initialisation, for programs that link the generators but
// open documents without installing the player's classes (InstallPlayer-
// DocumentClasses pulls this file in).
const bool registeredAtStart = (RegisterGeneratorClasses(), true);

} // namespace
