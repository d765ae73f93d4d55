#include "effects/DistortionEffectClasses.h"

#include "effects/CentreDistortionFX.h"
#include "objectmodel/ClassRegistry.h"

void RegisterDistortionEffectClasses()
{
    RegisterMainClass<DS_ExpandFX>(u"DS_ExpandFX");
    RegisterMainClass<DS_RadialWaveFX>(u"DS_RadialWaveFX");
    RegisterMainClass<DS_RotationFX>(u"DS_RotationFX");
    RegisterMainClass<DS_BendFX>(u"DS_BendFX");
}
