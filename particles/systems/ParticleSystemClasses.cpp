#include "particles/systems/ParticleSystemClasses.h"

#include "objectmodel/ClassRegistry.h"
#include "particles/systems/Explosion.h"
#include "particles/systems/ReadyMadeSystems.h"
#include "particles/systems/LineSystemClasses.h"
#include "particles/systems/SpriteArrayObj.h"

void RegisterParticleSystemClasses()
{
    RegisterMainClass<DS_ExplosionConstructor>(DS_ExplosionConstructor::kClassName);
    InstallSpriteArrayObjDescriber();
    RegisterReadyMadeSystemClasses();
    RegisterLineSystemClasses();
}
