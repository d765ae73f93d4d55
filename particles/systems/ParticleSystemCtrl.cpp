#include "particles/systems/ParticleSystemCtrl.h"

#include "particles/systems/SpriteArrayObj.h"

std::unique_ptr<KXI_RenderObj> DS_ParticleSystemCtrl::CreateRenderObject()
{
    LoadTextures();
    return std::make_unique<DS_SpriteArrayObj>(Clone());
}
