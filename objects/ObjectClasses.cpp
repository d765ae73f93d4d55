#include "objects/ObjectClasses.h"

#include "objects/EffectObjectClasses.h"
#include "objects/MeshObjectClasses.h"
#include "objects/SpriteObjectClasses.h"

void RegisterObjectClasses()
{
    // Each family of scene objects adds its registration here.
    RegisterMeshObjectClasses();
    RegisterSpriteObjectClasses();
    RegisterEffectObjectClasses();
}
