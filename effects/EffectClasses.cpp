#include "effects/EffectClasses.h"

#include "effects/DayNightHeatFX.h"
#include "effects/DistortionEffectClasses.h"
#include "effects/FakeLake2D.h"
#include "effects/FireFX.h"
#include "effects/FlameLight.h"
#include "effects/GlassBallLight.h"
#include "effects/MatrixCodeLight.h"
#include "effects/PatternBrush.h"
#include "effects/UnderwaterLight.h"
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
    RegisterMainClass<DS_FireFX>(u"DS_FireFX");
    RegisterMainClass<DS_DayToNight>(u"DS_DayToNight");
    RegisterMainClass<DS_HeatDistortion>(u"DS_HeatDistortion");
    RegisterFamilyClass<DS_FlameLight, DS_2D_Light>(GetLightClassRegistry(), DS_FlameLight::kClassName);
    RegisterFamilyClass<FakeUndervater, DS_2D_Light>(GetLightClassRegistry(), FakeUndervater::kClassName);
    RegisterFamilyClass<DS_MatrixCodeLight, DS_2D_Light>(GetLightClassRegistry(), DS_MatrixCodeLight::kClassName);
    RegisterDistortionEffectClasses();
    RegisterFamilyClass<FakeLake2D, DS_2D_Light>(GetLightClassRegistry(), FakeLake2D::kClassName);
    RegisterFamilyClass<DS_WaterRingLight, DS_2D_Light>(GetLightClassRegistry(), DS_WaterRingLight::kClassName);
    RegisterFamilyClass<DS_GlassBallLight, DS_2D_Light>(GetLightClassRegistry(), DS_GlassBallLight::kClassName);
}
