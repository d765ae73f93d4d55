#include "render/ResourceLoadingFrames.h"

#include "platform/crt/FileBytes.h"

#include "render/DocResManager.h"
#include "render/ResourceLoading.h"

void FrameData::SetBytes(std::vector<std::uint8_t> data)
{
    size = static_cast<std::int32_t>(data.size());
    bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(data));
}

void FrameData::ReadFile(const kxi_string& path)
{
    std::string error;
    if (auto data = crt::ReadFileBytes(ToFileSystemPath(path), kMaxResourceFileBytes, error))
        SetBytes(std::move(*data));
}

void SpriteFrameInfo::Init(const TextureSetEntry& entry)
{
    frameTextures = entry.textures;
    frameDurations.clear();
    for (const std::uint32_t value : entry.values)
        frameDurations.push_back(FrameTimeOfValue(value));
    sourceWidth = textureWidth = entry.width;
    sourceHeight = textureHeight = entry.height;
    ratio = entry.ratio;
    uScale = vScale = 1.0f;
    currentFrame = 0;
    frameStart = 0.0f;
}

void CreateFrameTextures(SpriteFrameInfo& list, std::span<const FrameData> frames, bool gif, std::uint32_t filter)
{
    const SpriteFrameInfo initial;
    gfx::TextureLoadOptions options = StandardTextureOptions();
    options.format = gif ? gfx::Format::DXT1 : gfx::Format::Unknown;
    options.filter = filter;

    list.frameTextures.assign(frames.size(), nullptr);
    list.frameDurations.assign(frames.size(), 0.0f);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        gfx::ImageInfo info;
        list.frameTextures[i] = CreateTextureFromBytes(frames[i].Bytes(), options, &info);
        list.frameDurations[i] = frames[i].frameTime;
        if (!list.frameTextures[i])
            continue;
        list.sourceWidth = info.width;
        list.sourceHeight = info.height;
    }
    if (!list.HasTexture()) {
        list = initial;
        return;
    }

    list.textureWidth = list.frameTextures.front()->Width();
    list.textureHeight = list.frameTextures.front()->Height();
    const bool keepsSize = filter == kFrameFilterNone;
    list.uScale = keepsSize && list.textureWidth ? float(list.sourceWidth) / float(list.textureWidth) : 1.0f;
    list.vScale = keepsSize && list.textureHeight ? float(list.sourceHeight) / float(list.textureHeight) : 1.0f;
    list.ratio = list.sourceWidth ? float(list.sourceHeight) / float(list.sourceWidth) : 1.0f;
}
