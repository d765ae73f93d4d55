#include "render/ABRenderItems.h"

namespace {

SpriteArrayDescriber& InstalledDescriber()
{
    static SpriteArrayDescriber describer = nullptr;
    return describer;
}

} // namespace

void InstallSpriteArrayDescriber(SpriteArrayDescriber describer)
{
    InstalledDescriber() = describer;
}

bool HasSpriteArrayDescriber()
{
    return InstalledDescriber() != nullptr;
}

SpriteArrayDraw DescribeSpriteArray(DS_SpriteArrayObj& array)
{
    const SpriteArrayDescriber describer = InstalledDescriber();
    return describer ? describer(array) : SpriteArrayDraw{};
}
