// The light registry's base class and the read that uses the registry.
//
// "DS_2D_Light" registers here, next to ReadLightObject, rather than from a
// source of its own: the render library is a static library, and a source
// whose only job were to register a class would never be linked into a
// program that does not name that class. Every program that reads a slide's
// light goes through this file, so the class is registered whenever the
// registry is used.

#include "objectmodel/ClassRegistry.h"
#include "render/PictureScene.h"

namespace {

// The registry with "DS_2D_Light" entered. Entered on first use as well as
// at start-up, so a read during another source's static initialisation
// still finds the class.
const FamilyClassRegistry<DS_2D_Light>& LightRegistry()
{
    static const bool registered =
        RegisterFamilyClass<DS_2D_Light, DS_2D_Light>(GetLightClassRegistry(), DS_2D_Light::kClassName);
    static_cast<void>(registered);
    return GetLightClassRegistry();
}

const bool registeredAtStart = (LightRegistry(), true);

} // namespace

std::unique_ptr<DS_2D_Light> ReadLightObject(ArchiveReader ar)
{
    return ReadRegisteredObject(ar, LightRegistry());
}
