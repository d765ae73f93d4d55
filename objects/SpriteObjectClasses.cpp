#include "objects/SpriteObjectClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "objects/AtmosphereSpriteConstructors.h"
#include "objects/FishConstructor.h"
#include "objects/FlowConstructor.h"
#include "objects/PlacedSpriteConstructors.h"

void RegisterSpriteObjectClasses()
{
    RegisterMainClass<DS_FlowConstructor>(DS_FlowConstructor::kClassName);
    RegisterMainClass<DS_RainConstructor>(DS_RainConstructor::kClassName);
    RegisterMainClass<DS_FishConstructor>(DS_FishConstructor::kClassName);
    RegisterMainClass<DS_BirdConstructor>(DS_BirdConstructor::kClassName);
    RegisterMainClass<DS_GhostConstructor>(DS_GhostConstructor::kClassName);
    RegisterMainClass<DS_GodRayConstructor>(DS_GodRayConstructor::kClassName);
    RegisterMainClass<DS_SparkleConstructor>(DS_SparkleConstructor::kClassName);
    RegisterMainClass<DS_FogConstructor>(DS_FogConstructor::kClassName);
    RegisterMainClass<DS_LightingConstructor>(DS_LightingConstructor::kClassName);
    RegisterMainClass<DS_GrassConstructor>(DS_GrassConstructor::kClassName);
    RegisterMainClass<DS_StatObjConstructor>(DS_StatObjConstructor::kClassName);
    RegisterMainClass<DS_FlowerConstructor>(DS_FlowerConstructor::kClassName);
    RegisterMainClass<DS_DischargeConstructor>(DS_DischargeConstructor::kClassName);
}
