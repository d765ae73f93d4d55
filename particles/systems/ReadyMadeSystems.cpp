#include "particles/systems/ReadyMadeSystems.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/systems/BurstPtclSys.h"
#include "particles/systems/FountainPtclSys.h"
#include "particles/systems/RainOnGlass.h"
#include "particles/systems/RayOfLight.h"
#include "particles/systems/SplashPtclSys.h"
#include "particles/systems/StreamPtclSys.h"
#include "particles/systems/VortexPtclSys.h"

void RegisterReadyMadeSystemClasses()
{
    RegisterMainClass<KXI_BurstPtclSys>(KXI_BurstPtclSys::kClassName);
    RegisterMainClass<KXI_FontainPtclSys>(KXI_FontainPtclSys::kClassName);
    RegisterMainClass<DS_PtclFire>(DS_PtclFire::kClassName);
    RegisterMainClass<DS_PtclFireStream>(DS_PtclFireStream::kClassName);
    RegisterMainClass<DS_PtclSmoke>(DS_PtclSmoke::kClassName);
    RegisterMainClass<DS_WaterJet>(DS_WaterJet::kClassName);
    RegisterMainClass<DS_LightBeams>(DS_LightBeams::kClassName);
    RegisterMainClass<KXI_SplashPtclSys>(KXI_SplashPtclSys::kClassName);
    RegisterMainClass<KXI_SprayPtclSys>(KXI_SprayPtclSys::kClassName);
    RegisterMainClass<DS_PtclFog>(DS_PtclFog::kClassName);
    RegisterMainClass<DS_PtclSmoke3>(DS_PtclSmoke3::kClassName);
    RegisterMainClass<DS_BokehLights>(DS_BokehLights::kClassName);
    RegisterMainClass<DS_Shimmer>(DS_Shimmer::kClassName);
    RegisterMainClass<DS_StreamPtclSys>(DS_StreamPtclSys::kClassName);
    RegisterMainClass<DS_PtclSmoke2>(DS_PtclSmoke2::kClassName);
    RegisterMainClass<KXI_VortexPtclSys>(KXI_VortexPtclSys::kClassName);
    RegisterMainClass<DS_RainOnGlass>(DS_RainOnGlass::kClassName);
    RegisterMainClass<DS_RayOfLight>(DS_RayOfLight::kClassName);
}
