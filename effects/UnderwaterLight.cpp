#include "effects/UnderwaterLight.h"

#include "objectmodel/StoredParams.h"
#include "render/ResourceLoading.h"

namespace {

constexpr std::int32_t kVersionWithSpeedOnly = 1;

} // namespace

void ReadEmbeddedUnderwaterFX(ArchiveReader ar, DS_UnderwaterFX& effect)
{
    ReadEmbeddedEffect(ar, effect);
}

bool FakeUndervater::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version == kVersionWithSpeedOnly) {
        ReadParamValue(ar, underwater.speed);
        underwater.speed.SetChangedValue(underwater.speed.value >> 1, nullptr);
    } else {
        ReadEmbeddedUnderwaterFX(ar, underwater);
    }
    DS_2D_Light::Load(ar, *this);
    return true;
}

void FakeUndervater::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kClassName, kWrittenVersion);
    underwater.Save(ar);
    DS_2D_Light::Save(ar);
}

void FakeUndervater::CreateDeviceObjects()
{
    DS_2D_Light::CreateDeviceObjects();
    gfx::Ref<gfx::Texture> noMask;
    underwater.Attach(&noMask);
}

void FakeUndervater::UpdateCamera(float time)
{
    m_camera.Update(time);
    underwater.Update(time);
}

bool FakeUndervater::NeedsRenderTarget() const
{
    return true;
}

void FakeUndervater::DrawBorderBars(bool skip)
{
    // Only the light's own pass gives a finished frame; without one the
    // frame is already on the target.
    if (gfx::Texture* frame = EndRenderTarget(false)) {
        SetTargetTexture(frame);
        if (underwater.CanApply(*this))
            underwater.Apply(*this);
        else
            DrawFramePlainly(frame);
    }
    DS_2D_Light::DrawBorderBars(skip);
}
