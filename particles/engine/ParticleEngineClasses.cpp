#include "particles/engine/ParticleEngineClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/BrownAnimation.h"
#include "particles/engine/EmitShapes.h"
#include "particles/engine/FieldPtclSys.h"
#include "particles/engine/ObjectPath.h"
#include "particles/engine/Firefly.h"
#include "particles/engine/ParticleGeometry.h"
#include "particles/engine/SingleParticle.h"
#include "particles/engine/PathParticleSystems.h"
#include "particles/engine/ThroughSpace.h"
#include "particles/engine/PartyBalloon.h"
#include "particles/engine/TreeLeaves.h"
#include "particles/engine/TreeNodes.h"
#include "particles/engine/TreePreset.h"
#include "particles/engine/TreeRoot.h"

void RegisterParticleEngineClasses()
{
    RegisterMainClass<KXI_FieldPtclSys>(KXI_FieldPtclSys::kClassName);
    RegisterMainClass<KXI_StaticObject>(KXI_StaticObject::kClassName);
    RegisterMainClass<KXI_SigleObjectPath>(KXI_SigleObjectPath::kClassName);
    RegisterMainClass<KXI_ParticlePath>(KXI_ParticlePath::kClassName);
    RegisterMainClass<KXI_ParticleTrace>(KXI_ParticleTrace::kClassName);
    RegisterMainClass<KXI_ThroughSpaceCtrl>(KXI_ThroughSpaceCtrl::kClassName);
    RegisterMainClass<KXI_BrownAnimation>(KXI_BrownAnimation::kClassName);
    RegisterMainClass<KXI_Firefly>(KXI_Firefly::kClassName);
    RegisterFamilyClass<KXI_PSGeometry_Swarm>(GetItemClassRegistry(), KXI_PSGeometry_Swarm::kClassName);
    RegisterFamilyClass<KXI_PSGeometry_Point>(GetItemClassRegistry(), KXI_PSGeometry_Point::kClassName);
    RegisterFamilyClass<KXI_PSGeometry_Trace>(GetItemClassRegistry(), KXI_PSGeometry_Trace::kClassName);
    RegisterFamilyClass<KXI_PSGeomEmit_Point>(GetItemClassRegistry(), KXI_PSGeomEmit_Point::kClassName);
    RegisterFamilyClass<KXI_PSGeomEmit_Sector>(GetItemClassRegistry(), KXI_PSGeomEmit_Sector::kClassName);
    RegisterFamilyClass<KXI_PSGeomEmit_Rect>(GetItemClassRegistry(), KXI_PSGeomEmit_Rect::kClassName);
    RegisterFamilyClass<KXI_PSGeomEmit_Stream>(GetItemClassRegistry(), KXI_PSGeomEmit_Stream::kClassName);
    RegisterFamilyClass<KXI_PSTree_Stem>(GetItemClassRegistry(), KXI_PSTree_Stem::kClassName);
    RegisterFamilyClass<KXI_PSTree_Leaf>(GetItemClassRegistry(), KXI_PSTree_Leaf::kClassName);
    RegisterFamilyClass<KXI_PSTree_Trace>(GetItemClassRegistry(), KXI_PSTree_Trace::kClassName);
    RegisterMainClass<KXI_PSTree_Root>(KXI_PSTree_Root::kClassName);
    RegisterMainClass<KXI_PtclSysPreset>(KXI_PtclSysPreset::kClassName);
    RegisterFamilyClass<KXI_PartyBalloon>(GetItemClassRegistry(), KXI_PartyBalloon::kClassName);
}
