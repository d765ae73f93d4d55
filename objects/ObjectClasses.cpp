#include "objects/ObjectClasses.h"

void RegisterObjectClasses()
{
    // Each family of scene objects adds its registration here.
}
