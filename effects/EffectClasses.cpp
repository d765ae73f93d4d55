#include "effects/EffectClasses.h"

#include "effects/FakeLake2D.h"
#include "effects/GlassBallLight.h"
#include "effects/PatternBrush.h"
#include "effects/WaterMoveFX.h"
#include "effects/WaterRingLight.h"
#include "effects/WavesLightFX.h"
#include "objectmodel/ClassRegistry.h"

void RegisterEffectClasses()
{
    RegisterMainClass<DS_PatternBrush>(u"DS_PatternBrush");
    RegisterMainClass<DS_PatternBrushC>(u"DS_PatternBrushC");
    RegisterMainClass<DS_BackgroundCopy>(u"DS_BackgroundCopy");
    RegisterMainClass<DS_WavesFX>(u"DS_WavesFX");
    RegisterMainClass<DS_LightFX>(u"DS_LightFX");
    RegisterMainClass<DS_LightFX_II>(u"DS_LightFX_II");
    RegisterMainClass<DS_UnderwaterFX>(u"DS_UnderwaterFX");
    RegisterMainClass<DS_WaterFX>(u"DS_WaterFX");
    RegisterMainClass<DS_MoveFX>(u"DS_MoveFX");
    RegisterFamilyClass<FakeLake2D, DS_2D_Light>(GetLightClassRegistry(), FakeLake2D::kClassName);
    RegisterFamilyClass<DS_WaterRingLight, DS_2D_Light>(GetLightClassRegistry(), DS_WaterRingLight::kClassName);
    RegisterFamilyClass<DS_GlassBallLight, DS_2D_Light>(GetLightClassRegistry(), DS_GlassBallLight::kClassName);
}
