#include "particles/systems/LineSystemClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/systems/PathLines.h"
#include "particles/systems/ShootingLine.h"
#include "particles/systems/WavingLine.h"

void RegisterLineSystemClasses()
{
    RegisterMainClass<KXI_GrovingLine>(KXI_GrovingLine::kClassName);
    RegisterMainClass<KXI_SlidingLine>(KXI_SlidingLine::kClassName);
    RegisterMainClass<KXI_ShootingLine>(KXI_ShootingLine::kClassName);
    RegisterMainClass<KXI_WavingLine>(KXI_WavingLine::kClassName);
    RegisterMainClass<KXI_Tears>(KXI_Tears::kClassName);
}
