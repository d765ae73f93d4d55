#include "particles/engine/ParticleEngineClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/FieldPtclSys.h"
#include "particles/engine/ParticleGeometry.h"

void RegisterParticleEngineClasses()
{
    RegisterMainClass<KXI_FieldPtclSys>(KXI_FieldPtclSys::kClassName);
    RegisterFamilyClass<KXI_PSGeometry_Swarm>(GetItemClassRegistry(), KXI_PSGeometry_Swarm::kClassName);
    RegisterFamilyClass<KXI_PSGeometry_Point>(GetItemClassRegistry(), KXI_PSGeometry_Point::kClassName);
    RegisterFamilyClass<KXI_PSGeometry_Trace>(GetItemClassRegistry(), KXI_PSGeometry_Trace::kClassName);
}
