#include "effects/DistortionEffectClasses.h"

#include "effects/CentreDistortionFX.h"
#include "effects/FlowFieldFX.h"
#include "effects/LineDistortionFX.h"
#include "effects/WaterfallCloudFX.h"
#include "objectmodel/ClassRegistry.h"

void RegisterDistortionEffectClasses()
{
    RegisterMainClass<DS_ExpandFX>(u"DS_ExpandFX");
    RegisterMainClass<DS_RadialWaveFX>(u"DS_RadialWaveFX");
    RegisterMainClass<DS_RotationFX>(u"DS_RotationFX");
    RegisterMainClass<DS_BendFX>(u"DS_BendFX");
    RegisterMainClass<DS_PerspectiveFX>(u"DS_PerspectiveFX");
    RegisterMainClass<DS_StretchFX>(u"DS_StretchFX");
    RegisterMainClass<DS_VarrowLinear>(u"DS_VarrowLinear");
    RegisterMainClass<DS_VarrowRadial>(u"DS_VarrowRadial");
    RegisterMainClass<DS_VarrowVortical>(u"DS_VarrowVortical");
    RegisterMainClass<DS_WaterfallFX>(u"DS_WaterfallFX");
    RegisterMainClass<DS_CloudFX>(u"DS_CloudFX");
}
