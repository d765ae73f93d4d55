#include "particles/systems/FXControllers.h"

#include "objectmodel/StoredParams.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/EffectResolution.h"
#include "render/ViewObjCtrl.h"

namespace {

constexpr std::int32_t kFirstStatVersionWithSize = 2;

} // namespace

// ---- DS_FXParticleSystemCtrl ------------------------------------------------------

void DS_FXParticleSystemCtrl::FetchEffect()
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;
    effect = ResolveEffectWithFallback(*manager, effectLink, BuiltinEffectName(), BuiltinEffectRule::ForUnrunnableBytesOnly)
                 .effect;
}

void DS_FXParticleSystemCtrl::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterLink(effectLink);
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WriteFileLink(ar, effectLink);
    DS_BaseSpriteProp::Save(ar);
}

void DS_FXParticleSystemCtrl::Load(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    ReadFileLink(ar, effectLink);
    DS_BaseSpriteProp::Load(ar);
}

// ---- DS_BaseFXCtrl -------------------------------------------------------------------

std::unique_ptr<KXI_RenderObj> DS_BaseFXCtrl::CreateRenderObject()
{
    std::unique_ptr<DS_BaseFXCtrl> clone = CloneAs<DS_BaseFXCtrl>(*this);
    if (!clone)
        return nullptr;
    return std::make_unique<DS_FXObj>(std::move(clone));
}

void DS_BaseFXCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    DS_FXParticleSystemCtrl::Save(ar);
}

void DS_BaseFXCtrl::Load(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    DS_FXParticleSystemCtrl::Load(ar);
}

// ---- DS_StatBaseFXCtrl -----------------------------------------------------------------

DS_StatBaseFXCtrl::DS_StatBaseFXCtrl()
    : centre(math::Vec3{CurrentPictureWidth() / 2.0f, CurrentPictureHeight() / 2.0f, 0.0f}), height(0), width(0)
{
}

void DS_StatBaseFXCtrl::FetchEffect()
{
    DS_BaseFXCtrl::FetchEffect();
    if (keepId != 0)
        return;
    math::Vec3 middle = centre.value;
    middle.x = CurrentPictureWidth() / 2.0f;
    middle.y = CurrentPictureHeight() / 2.0f;
    centre.StoreValue(middle);
    keepId = 1;
}

void DS_StatBaseFXCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteFloat(centre.value.x);
    ar->WriteFloat(centre.value.y);
    ar->WriteFloat(centre.value.z);
    WriteParamValue(ar, height);
    WriteParamValue(ar, width);
    DS_BaseFXCtrl::Save(ar);
}

void DS_StatBaseFXCtrl::Load(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    ReadParamValue(ar, centre);
    if (version >= kFirstStatVersionWithSize) {
        ReadParamValue(ar, height);
        ReadParamValue(ar, width);
    }
    DS_BaseFXCtrl::Load(ar);
}

// ---- DS_FXObj ------------------------------------------------------------------------

DS_FXObj::DS_FXObj(std::unique_ptr<DS_BaseFXCtrl> controller)
    : ParticleGeomArray(std::move(controller)), m_fx(static_cast<DS_BaseFXCtrl*>(&Controller()))
{
    m_fx->FetchEffect();
}

void DS_FXObj::Render(DS_ABRender& renderer)
{
    gfx::Effect* effect = m_fx->HeldEffect();
    if (!effect || !m_fx->SetEffectParameters(renderer, *this))
        return;
    renderer.DrawColoredWithEffect(Quads(), *effect);
}

void DS_FXObj::Animate(float time)
{
    StepSprites(time);
    FillVertices(Controller());
}
