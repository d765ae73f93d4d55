#include "render/ABRenderItems.h"

#include "render/DocResManager.h"

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

void MeshItem::LoadMesh(const DS_FileLink3& meshLink, const DS_FileLink3& imageLink)
{
    texture.Reset();
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager) {
        Release();
        return;
    }
    // Both loaders share the manager's entry for the link: a set that holds
    // no texture is loaded again as a plain picture.
    const TextureSetEntry* entry = &manager->GetTextureSet(imageLink);
    if (!entry->HasTexture())
        entry = &manager->GetTexture(imageLink);
    texture = entry->GetFirst().texture;
    SetMesh(manager->GetMesh(meshLink, kMeshVertexStride));
}
