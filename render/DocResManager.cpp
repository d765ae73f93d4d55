#include "render/DocResManager.h"

#include <algorithm>

namespace {

std::unique_ptr<DS_DocResManagerBase> MakeDocResManager()
{
    return std::make_unique<DS_DocResManager>();
}

// Documents read by any program that links the render layer get this
// manager, as stored classes register their readers before main runs.
const bool g_docResManagerInstalled = (InstallRenderDocResManager(), true);

std::vector<FrameData> ToFrameData(const std::vector<StoredFrame>& stored)
{
    std::vector<FrameData> frames;
    frames.reserve(stored.size());
    for (const StoredFrame& frame : stored) {
        FrameData data;
        data.SetBytes(frame.bytes);
        data.frameTime = frame.frameTime;
        frames.push_back(std::move(data));
    }
    return frames;
}

} // namespace

void InstallRenderDocResManager()
{
    InstallDocResManagerClass(&MakeDocResManager);
}

DS_DocResManager* CurrentDocResManager()
{
    return dynamic_cast<DS_DocResManager*>(g_DocResManagerTls);
}

// ---------------------------------------------------------------- TextureSetEntry

bool TextureSetEntry::HasTexture() const
{
    return std::any_of(textures.begin(), textures.end(), [](const auto& texture) { return texture != nullptr; });
}

void TextureSetEntry::SetTexture(std::size_t index, const TextureRef& texture)
{
    textures.at(index) = texture.texture;
    width = texture.width;
    height = texture.height;
    ratio = texture.ratio;
}

void TextureSetEntry::AddTexture(const TextureRef& texture)
{
    textures.emplace_back();
    SetTexture(textures.size() - 1, texture);
}

TextureRef TextureSetEntry::GetFirst() const
{
    TextureRef first;
    if (!textures.empty())
        first.texture = textures.front();
    first.width = width;
    first.height = height;
    first.ratio = ratio;
    return first;
}

// ---------------------------------------------------------------- KXI_DocResManagerTmp

KXI_DocResManagerTmp::KXI_DocResManagerTmp() : m_losables(std::make_shared<LosableRegistry>()) {}

bool KXI_DocResManagerTmp::LoadFrameSource(const DS_FileLink3&, std::vector<FrameData>&)
{
    return false;
}

// ---------------------------------------------------------------- lifetime

DS_DocResManager::DS_DocResManager() : m_cache(std::make_unique<ResourceCache>())
{
    g_CurrentResourceCache = m_cache.get();
}

DS_DocResManager::~DS_DocResManager()
{
    OnLostDevice();
    // Nothing may go on loading through a cache that is about to go.
    if (g_CurrentResourceCache == m_cache.get())
        g_CurrentResourceCache = nullptr;
    if (g_DocResManagerTls == this)
        g_DocResManagerTls = nullptr;
    m_cache.reset();
    m_sharedRenderTargets.clear();
}

// ---------------------------------------------------------------- the stored record

void DS_DocResManager::ReadBody(ArchiveReader ar, std::int32_t version)
{
    DocResManagerRecord record = ReadDocResManagerBody(ar, version);
    m_storedVersion = version;

    for (auto& [key, records] : record.textureSetRecords)
        m_textureSetRecords.insert_or_assign(key, std::move(records));
    for (auto& [key, values] : record.textureSetValues)
        m_textureSetValues.insert_or_assign(key, std::move(values));
    // The stored pictures are counted while they are decoded here.
    PictureBudget budget;
    BuildTextureSets(budget);
    m_textureSetRecords.clear();

    // Versions are compared only against 1, 2 and 3: 0 and 5+ read everything.
    if (version != 1)
        TakeStoredResources(std::move(record.storedResources));
    if (version != 1 && version != 2)
        BuildGuidTextures(record.guidTextures, budget);
    if (version != 1 && version != 2 && version != 3)
        TakeStoredFrames(record.frames);
}

void DS_DocResManager::BuildTextureSets(PictureBudget& budget)
{
    for (const auto& [key, records] : m_textureSetRecords) {
        TextureSetEntry& set = m_textureSets[key];
        m_resourceRecords[key] = records;
        set.textures.resize(records.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            budget.Charge(records[i].Bytes());
            set.SetTexture(i, m_cache->GetTexture(records[i]));
        }
        // A single picture has no frame values, whatever is stored for it.
        if (set.textures.size() > 1)
            set.values = m_textureSetValues[key];
    }
}

void DS_DocResManager::TakeStoredResources(std::map<LinkKey, ResourceRecords> stored)
{
    for (auto& [key, records] : stored) {
        m_resourceRecords.try_emplace(key, records);
        m_storedResources.insert_or_assign(key, std::move(records));
    }
}

void DS_DocResManager::BuildGuidTextures(const std::map<GuidNameKey, GuidTextureRecord>& records,
                                         PictureBudget& budget)
{
    for (const auto& [key, record] : records) {
        budget.Charge(record.blob.Bytes());
        m_guidTextures.insert_or_assign(key, m_cache->TextureFromMemory(record.blob.Bytes()).texture);
    }
}

void DS_DocResManager::TakeStoredFrames(const std::map<LinkKey, std::vector<StoredFrame>>& frames)
{
    for (const auto& [key, stored] : frames)
        m_pendingFrameData.insert_or_assign(key, ToFrameData(stored));
    for (auto& [key, pending] : m_pendingFrameData)
        m_frameData.try_emplace(key, std::move(pending));
    m_pendingFrameData.clear();
}

// ---------------------------------------------------------------- records and GUID resources

DS_DocResManager::ResourceRecords& DS_DocResManager::GetResourceRecords(const LinkKey& key)
{
    return m_resourceRecords[key];
}

gfx::Ref<gfx::Texture>& DS_DocResManager::GetGuidTexture(const GuidNameKey& key)
{
    return m_guidTextures[key];
}

RenderTargetPair* DS_DocResManager::GetSharedRenderTarget(const GuidNameKey& key)
{
    if (const auto found = m_sharedRenderTargets.find(key); found != m_sharedRenderTargets.end())
        return found->second.get();
    auto pair = std::make_unique<RenderTargetPair>();
    const auto seed = m_guidTextures.find(key);
    pair->ResizeAndCopy(seed != m_guidTextures.end() ? seed->second.Get() : nullptr, kSharedRenderTargetSize,
                        kSharedRenderTargetSize);
    return m_sharedRenderTargets.emplace(key, std::move(pair)).first->second.get();
}

// ---------------------------------------------------------------- device loss

void DS_DocResManager::OnLostDevice()
{
    m_losables->NotifyLost();
    ForEachCachedEffect([](gfx::Effect& effect) { effect.OnLostDevice(); });
    for (auto& [key, pair] : m_sharedRenderTargets)
        pair->ReleaseTextures();
}

void DS_DocResManager::OnResetDevice()
{
    m_losables->NotifyReset();
    ForEachCachedEffect([](gfx::Effect& effect) { effect.OnResetDevice(); });
    for (auto& [key, pair] : m_sharedRenderTargets)
        pair->ResizeAndCopy(m_guidTextures[key].Get(), pair->Width(), pair->Height());
}

// ---------------------------------------------------------------- writing and legacy records

void DS_DocResManager::RegisterLink(const DS_FileLink3& link)
{
    if (link.Path().empty())
        return;
    const LinkKey key = link.Key();
    m_storedResources[key] = m_resourceRecords[key];
}

void DS_DocResManager::RegisterImage(const DS_FileLink3& link)
{
    if (link.Path().empty())
        return;
    const LinkKey key = link.Key();
    const auto frameList = m_frameLists.find(key);
    if (frameList == m_frameLists.end()) {
        if (const auto set = m_textureSets.find(key); set != m_textureSets.end() && !set->second.values.empty())
            m_textureSetValues[key] = set->second.values;
        m_textureSetRecords[key] = m_resourceRecords[key];
        return;
    }
    std::vector<std::uint32_t>& values = m_textureSetValues[key];
    values.clear();
    for (const float seconds : frameList->second.frameDurations)
        values.push_back(FrameTimeValue(seconds));
    m_pendingFrameData[key] = m_frameData[key];
}

DS_ImageFileLink DS_DocResManager::ImportLegacyBlob(const ModuleResourceBlob& blob)
{
    const DS_FileLink3 link(blob);
    const LinkKey key = link.Key();
    ResourceRecords& records = m_resourceRecords[key];
    if (records.empty())
        records.push_back(blob);
    TextureSetEntry& set = m_textureSets[key];
    set = TextureSetEntry{};
    set.AddTexture(m_cache->GetTexture(blob));
    return DS_ImageFileLink(link);
}

DS_ImageFileLink DS_DocResManager::ImportLegacyTextureSet(const std::vector<ModuleResourceBlob>& blobs,
                                                          const std::vector<std::uint32_t>& values)
{
    if (blobs.empty())
        return DS_ImageFileLink();
    const DS_FileLink3 link(blobs.front());
    const LinkKey key = link.Key();
    TextureSetEntry& set = m_textureSets[key];
    if (set.textures.empty()) {
        ResourceRecords& records = m_resourceRecords[key];
        for (const ModuleResourceBlob& blob : blobs) {
            set.AddTexture(m_cache->GetTexture(blob));
            records.push_back(blob);
        }
        set.values = values;
    }
    return DS_ImageFileLink(link);
}

DS_ImageFileLink DS_DocResManager::LinkImageFile(const kxi_string& path, std::int32_t value)
{
    DS_ImageFileLink link{DS_FileLink3(path)};
    TextureSetEntry& set = GetTexture(link);
    if (value > 0)
        set.values = {static_cast<std::uint32_t>(value)};
    return link;
}
