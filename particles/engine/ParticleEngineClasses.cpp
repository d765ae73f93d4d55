#include "particles/engine/ParticleEngineClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/FieldPtclSys.h"

void RegisterParticleEngineClasses()
{
    RegisterMainClass<KXI_FieldPtclSys>(KXI_FieldPtclSys::kClassName);
}
