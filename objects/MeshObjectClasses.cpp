#include "objects/MeshObjectClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "objects/ButterflyClockItems.h"
#include "objects/DriftingObjects.h"

void RegisterMeshObjectClasses()
{
    RegisterMainClass<DS_ButterflyConstructor>(DS_ButterflyConstructor::kClassName);
    RegisterMainClass<DS_ClockConstructor>(DS_ClockConstructor::kClassName);
    RegisterMainClass<DS_3D_in_2D_array_Constructor>(DS_3D_in_2D_array_Constructor::kClassName);
}
