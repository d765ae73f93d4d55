#include "particles/generators/GeneratorClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/generators/RadialRays.h"

void RegisterGeneratorClasses()
{
    RegisterMainClass<DS_RadialRays>(DS_RadialRays::kClassName);
}

namespace {

// Also at static initialisation, for programs that link the generators but
// open documents without installing the player's classes (InstallPlayer-
// DocumentClasses pulls this file in).
const bool registeredAtStart = (RegisterGeneratorClasses(), true);

} // namespace
