#include "render/PictureBack.h"

#include <string_view>

#include "render/ABRender.h"
#include "render/DocResManager.h"

namespace {

constexpr std::string_view kPictureCopyEffect = "picture-copy";

} // namespace

bool DrawPictureBack(DS_ABRender& host)
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager || !host.GetTargetTexture())
        return false;
    const gfx::Ref<gfx::Effect> copy = manager->GetBuiltinEffect(kPictureCopyEffect);
    if (!copy)
        return false;
    copy->SetTechnique("Copy");
    copy->SetTexture("Background", host.GetTargetTexture());
    host.DrawWithEffect(host.GetBackgroundQuad(), *copy);
    // The effect is shared: it must not keep the frame's texture alive.
    copy->SetTexture("Background", nullptr);
    return true;
}
