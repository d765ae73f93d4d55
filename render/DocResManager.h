#pragma once
// DS_DocResManager: the document's resource manager. It owns everything the
// document's objects load: the resource records the document stores, the
// textures, texture sets, animated pictures, meshes and effects loaded for
// their file links, the shared render targets and textures named by GUID,
// the registry of objects that hold device-dependent resources, and the
// ScreenInfo that tells objects where the picture lands on the screen.
//
// Objects never receive the manager as an argument: the manager of the
// document being read or played is the calling thread's current one
// (g_DocResManagerTls; CurrentDocResManager() below). The document opener
// (objectmodel/SceneDocument.h) creates it empty through the factory this
// layer installs at static initialisation, makes it current while the slide
// show is read, then fills it from the document's last record.
//
// Stored record: "DS_DocResManager", int32 version (4), then the body that
// objectmodel/DocResRecord.h reads. While the body is read the manager
// builds the texture sets of the stored pictures and the textures of the
// stored GUID textures, and keeps the stored frames of animated pictures.
//
// Loading by link (the Get... operations): every entry is created on first
// request and kept until the manager goes; an entry that holds nothing (a
// texture set without texture, a mesh without vertices, no effect) is loaded
// again on the next request. Which source comes first differs by kind:
//   pictures   texture sets built from the document's records; then, for a
//              module link (".dll") or an empty path, the module's (or the
//              program's) picture; a plain file's picture is shown only when
//              the document stored it.
//   meshes     the bytes the document stored for the link, else the module's.
//   effects    the module's effect resource, else the bytes the document
//              stored. A module that cannot be loaded yields only the stored
//              bytes; the program's own resources are never searched.
// No loader reports an error: a missing resource leaves its entry empty.
//
// Loads use the manager's own ResourceCache and the resource device
// (ResourceLoading.h).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/DocumentClasses.h"
#include "objectmodel/ResourceBlob.h"
#include "render/DocResManagerLosables.h"
#include "render/FileLink.h"
#include "render/PictureBudget.h"
#include "render/RenderTargetPair.h"
#include "render/ResourceCache.h"
#include "render/ResourceLoadingFrames.h"
#include "render/ScreenInfo.h"

// The pictures of one link: one texture for a still picture, several for a
// texture set, with values per set (frame times, or values given with an
// image). Width, height and ratio are those of the most recently added
// texture.
struct TextureSetEntry {
    std::vector<gfx::Ref<gfx::Texture>> textures;
    std::vector<std::uint32_t> values;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    float ratio = 0.0f;
    std::int32_t reserved = 0;

    bool HasTexture() const;
    // Sets texture `index` (the vector must hold it) and takes its size.
    void SetTexture(std::size_t index, const TextureRef& texture);
    void AddTexture(const TextureRef& texture);
    // The first texture with the entry's size and ratio.
    TextureRef GetFirst() const;
};

// Base of the document resource managers; no data of its own.
class KXI_DocResManager {
public:
    virtual ~KXI_DocResManager() = default;
};

// The animated-picture part of a manager and its losable registry.
class KXI_DocResManagerTmp : public KXI_DocResManager {
public:
    KXI_DocResManagerTmp();

    // Fills `frames` with the encoded frames of `link` from outside the
    // document; false when this manager has no source for them.
    virtual bool LoadFrameSource(const DS_FileLink3& link, std::vector<FrameData>& frames);

    LosableRegistry& Losables() { return *m_losables; }
    const LosableRegistry& Losables() const { return *m_losables; }
    // The registry as the losable objects hold it: they outlive it safely.
    std::weak_ptr<LosableRegistry> LosableRegistryHandle() const { return m_losables; }

protected:
    std::shared_ptr<LosableRegistry> m_losables;
    std::map<LinkKey, std::vector<FrameData>> m_frameData;
    // The frames read from a document until they are merged into
    // m_frameData, and the frames to write when a document is saved.
    std::map<LinkKey, std::vector<FrameData>> m_pendingFrameData;
    std::map<LinkKey, SpriteFrameInfo> m_frameLists;
};

class DS_DocResManager : public DS_DocResManagerBase, public KXI_DocResManagerTmp, public ScreenInfoOwner {
public:
    using ResourceRecords = std::vector<ModuleResourceBlob>;

    // Empty; its new cache becomes g_CurrentResourceCache.
    DS_DocResManager();
    DS_DocResManager(const DS_DocResManager&) = delete;
    DS_DocResManager& operator=(const DS_DocResManager&) = delete;
    // Releases the device objects (OnLostDevice), then everything it holds;
    // a current cache that is its own is no longer current.
    ~DS_DocResManager() override;

    // ---- the stored record
    void ReadBody(ArchiveReader ar, std::int32_t version) override;
    std::int32_t StoredVersion() const { return m_storedVersion; }

    // ---- loaders by link
    TextureSetEntry& GetTexture(const DS_FileLink3& link);
    std::vector<TextureSetEntry*> GetTextures(const std::vector<DS_ImageFileLink>& links);
    // A set of pictures stored as one "DDS" resource of a module (or of the
    // program, for an empty path): int32 count and that many int32 values,
    // then int32 count and that many module blobs.
    TextureSetEntry& GetTextureSet(const DS_FileLink3& link);
    std::vector<TextureSetEntry*> GetTextureSets(const std::vector<DS_ImageFileLink>& links);
    // The frames of an animated picture; `filter` is kFrameFilterNone or
    // kFrameFilterDefault.
    SpriteFrameInfo& GetAnimatedTexture(const DS_FileLink3& link, std::uint32_t filter);
    // The first record of the link (its raw bytes), or null.
    const ModuleResourceBlob* GetResourceData(const DS_FileLink3& link);
    const LoadedMesh& GetMesh(const DS_FileLink3& link, std::uint32_t stride);
    gfx::Ref<gfx::Effect> GetEffect(const DS_FileLink3& link);
    // The program's built-in effect `name` (render/BuiltinEffects.h), made
    // once and told of device loss like the linked effects; null when there
    // is no such effect or no device.
    gfx::Ref<gfx::Effect> GetBuiltinEffect(std::string_view name);

    bool LoadFrameSource(const DS_FileLink3& link, std::vector<FrameData>& frames) override;

    // ---- records and GUID resources
    // Every record known for a link (created empty when absent).
    ResourceRecords& GetResourceRecords(const LinkKey& key);
    // The GUID texture slot of a picture effect (created empty when absent).
    gfx::Ref<gfx::Texture>& GetGuidTexture(const GuidNameKey& key);
    // The shared render target of a GUID: made at 512 x 512 on first
    // request, seeded from the GUID's texture when there is one.
    RenderTargetPair* GetSharedRenderTarget(const GuidNameKey& key);

    // ---- device loss
    // Registered objects release, cached effects are told, shared render
    // targets release their textures.
    void OnLostDevice();
    // Registered objects rebuild, cached effects are told, shared render
    // targets are made again at their own sizes and seeded again.
    void OnResetDevice();

    // ---- writing documents and legacy records
    // Copies the records of a link into the stored resources (writers call
    // it before writing the link).
    void RegisterLink(const DS_FileLink3& link);
    // Copies what a picture link needs into the records to write: its
    // records and values, or the frames of an animated picture.
    void RegisterImage(const DS_FileLink3& link);
    // The image link of a picture stored whole in an old sprite record.
    DS_ImageFileLink ImportLegacyBlob(const ModuleResourceBlob& blob);
    // The image link of a texture set stored whole in an old sprite record.
    DS_ImageFileLink ImportLegacyTextureSet(const std::vector<ModuleResourceBlob>& blobs,
                                            const std::vector<std::uint32_t>& values);
    // The image link of a file (its modification time as id), loaded; a
    // value above 0 becomes the set's one value.
    DS_ImageFileLink LinkImageFile(const kxi_string& path, std::int32_t value = 0);

    // ---- inspection
    ResourceCache& Cache() { return *m_cache; }
    const std::map<LinkKey, ResourceRecords>& StoredResources() const { return m_storedResources; }
    const std::map<LinkKey, ResourceRecords>& TextureSetRecords() const { return m_textureSetRecords; }
    const std::map<LinkKey, std::vector<std::uint32_t>>& TextureSetValues() const { return m_textureSetValues; }
    const std::map<LinkKey, TextureSetEntry>& TextureSets() const { return m_textureSets; }
    const std::map<LinkKey, LoadedMesh>& Meshes() const { return m_meshes; }
    const std::map<LinkKey, gfx::Ref<gfx::Effect>>& Effects() const { return m_effects; }
    const std::map<LinkKey, ResourceRecords>& ResourceRecordMap() const { return m_resourceRecords; }
    const std::map<GuidNameKey, gfx::Ref<gfx::Texture>>& GuidTextures() const { return m_guidTextures; }
    std::size_t SharedRenderTargetCount() const { return m_sharedRenderTargets.size(); }
    const std::map<LinkKey, std::vector<FrameData>>& FrameDataMap() const { return m_frameData; }
    const std::map<LinkKey, std::vector<FrameData>>& PendingFrameData() const { return m_pendingFrameData; }
    const std::map<LinkKey, SpriteFrameInfo>& FrameLists() const { return m_frameLists; }

private:
    template <typename Visit>
    void ForEachCachedEffect(Visit visit)
    {
        for (auto& [key, effect] : m_effects)
            if (effect)
                visit(*effect);
        for (auto& [name, effect] : m_builtinEffects)
            if (effect)
                visit(*effect);
    }
    void BuildTextureSets(PictureBudget& budget);
    void TakeStoredResources(std::map<LinkKey, ResourceRecords> stored);
    void BuildGuidTextures(const std::map<GuidNameKey, GuidTextureRecord>& records, PictureBudget& budget);
    void TakeStoredFrames(const std::map<LinkKey, std::vector<StoredFrame>>& frames);

    std::unique_ptr<ResourceCache> m_cache;
    std::int32_t m_storedVersion = 0;
    // What the document stores for links, and what was loaded for them.
    std::map<LinkKey, ResourceRecords> m_storedResources;               // stored for links
    std::map<LinkKey, ResourceRecords> m_textureSetRecords;             // stored texture sets
    std::map<LinkKey, std::vector<std::uint32_t>> m_textureSetValues;   // their values
    std::map<LinkKey, TextureSetEntry> m_textureSets;                   // loaded pictures
    std::map<LinkKey, LoadedMesh> m_meshes;
    std::map<GuidNameKey, std::unique_ptr<RenderTargetPair>> m_sharedRenderTargets;
    std::map<LinkKey, gfx::Ref<gfx::Effect>> m_effects;
    std::map<std::string, gfx::Ref<gfx::Effect>, std::less<>> m_builtinEffects;
    std::map<LinkKey, ResourceRecords> m_resourceRecords;               // every record known
    std::map<GuidNameKey, gfx::Ref<gfx::Texture>> m_guidTextures;
};

// The calling thread's current manager, or null.
DS_DocResManager* CurrentDocResManager();

// Makes DS_DocResManager the class of the managers that documents create.
// Done at static initialisation; a program that installed other document
// classes afterwards calls it again to use this one.
void InstallRenderDocResManager();

// The size of a shared render target made on first request.
inline constexpr std::int32_t kSharedRenderTargetSize = 512;
